#pragma once
// The main window's editors as the error list sees them.

#include <string>

#include "workbench/gui/error_list.h"
#include "workbench/gui/main_find.h"

namespace gui {

class TEditorFRM;
}
namespace workbench {
class IdeSession;
}
namespace gui {

class MainWindowErrorEditors : public ErrorListEditors {
 public:
  MainWindowErrorEditors(TEditorFRM& form, workbench::IdeSession& session)
      : form_(form), session_(session) {}

  bool UsesEnhancedEditor() const override;
  std::string CurrentFileName() const override;
  int FindEditorByName(const std::string& name) const override;
  void OpenSourceFile(const std::string& name) override;
  void SelectEditor(int index) override;
  scrivlet::gui::TScrivlet* CurrentScrivlet() const override;

 private:
  TEditorFRM& form_;
  workbench::IdeSession& session_;
};

}  // namespace gui
