#pragma once
// The windows of QVKey besides the main window, created once in their order right after it and
// owned by it for the run. Windows whose parts are not built yet exist with their class names
// and captions.

#include <QWidget>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace workbench {
class IdeSession;
}

namespace gui {

class TEditorFRM;

// A window of the IDE that its own part fills later.
class IdeWindow : public QWidget {
 public:
  IdeWindow(QWidget& owner, std::string class_name, const char* caption);
  const std::string& ClassName() const { return class_name_; }

 private:
  std::string class_name_;
};

class IdeForms {
 public:
  IdeForms(TEditorFRM& main_form, workbench::IdeSession& session);

  // The class names of every form, the main form first, in the order they were created.
  const std::vector<std::string>& CreationOrder() const { return order_; }
  // The form of that class, or null.
  QWidget* Form(std::string_view class_name) const;

 private:
  std::vector<std::string> order_;
  std::vector<QWidget*> forms_;  // owned by the main form
};

}  // namespace gui
