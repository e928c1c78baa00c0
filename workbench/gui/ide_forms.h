#pragma once
// The windows of QVKey besides the main window, created once in their order right after it and
// owned by it for the run. Windows whose parts are not built yet exist with their class names
// and captions; windows of other libraries come in through makers that the program hands in.

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace workbench {
class IdeSession;
class TConfigFRM;
}  // namespace workbench

namespace gui {

class HintDisplayTime;
class PrintTarget;
class TAboutFRM;
class TClockGenInfoFRM;
class TEditorFRM;
class TFileSaveNotificationDLG;
class TFindReplaceForm;
class TGotoLineNumDLG;
class TGridDebugFRM;
class THelpForm;
class THintForm;
class TPrintForm;
class TPrintStatusForm;

// A window of the IDE that its own part fills later.
class IdeWindow : public QWidget {
 public:
  IdeWindow(QWidget& owner, std::string class_name, const char* caption);
  const std::string& ClassName() const { return class_name_; }

 private:
  std::string class_name_;
};

// Makes the form of one class, owned by the main window.
using FormMaker = std::function<QWidget*(TEditorFRM& owner, workbench::IdeSession& session)>;

// What the forms work through besides the session.
struct FormServices {
  // The printers; null: the machine's own.
  PrintTarget* printer = nullptr;
  // Opens an address with the shell's "open" verb; null: nothing is opened.
  std::function<void(const std::string&)> open_url;
  // Forms built elsewhere, by class name; they take the place of the empty windows.
  std::map<std::string, FormMaker, std::less<>> makers;
  // The application's hint display time; null: the forms leave it alone.
  HintDisplayTime* hint_time = nullptr;
};

class IdeForms {
 public:
  IdeForms(TEditorFRM& main_form, workbench::IdeSession& session, FormServices services = {});
  ~IdeForms();

  // The class names of every form, the main form first, in the order they were created.
  const std::vector<std::string>& CreationOrder() const { return order_; }
  // The form of that class, or null.
  QWidget* Form(std::string_view class_name) const;

  TFindReplaceForm& FindReplace() const { return *find_replace_; }
  TAboutFRM& About() const { return *about_; }
  TPrintForm& Print() const { return *print_; }
  TPrintStatusForm& PrintStatus() const { return *print_status_; }
  THelpForm& Help() const { return *help_; }
  THintForm& Hint() const { return *hint_; }
  TGotoLineNumDLG& GotoLine() const { return *goto_line_; }
  TFileSaveNotificationDLG& FileSaveNotification() const { return *file_save_; }
  TClockGenInfoFRM& ClockGenInfo() const { return *clock_gen_info_; }
  TGridDebugFRM& GridDebug() const { return *grid_debug_; }
  workbench::TConfigFRM& Config() const { return *config_; }
  PrintTarget& Printer() const { return *printer_; }

 private:
  QWidget* Make(std::string_view class_name, const char* caption);
  // Help > QV/B Help: the compiler's help file with the desktop's viewer, when it is there.
  void OpenQvbHelp();

  TEditorFRM& main_form_;
  workbench::IdeSession& session_;
  FormServices services_;
  std::unique_ptr<PrintTarget> own_printer_;
  PrintTarget* printer_;
  std::vector<std::string> order_;
  std::vector<QWidget*> forms_;  // owned by the main form
  TFindReplaceForm* find_replace_ = nullptr;
  TAboutFRM* about_ = nullptr;
  TPrintForm* print_ = nullptr;
  TPrintStatusForm* print_status_ = nullptr;
  THelpForm* help_ = nullptr;
  THintForm* hint_ = nullptr;
  TGotoLineNumDLG* goto_line_ = nullptr;
  TFileSaveNotificationDLG* file_save_ = nullptr;
  TClockGenInfoFRM* clock_gen_info_ = nullptr;
  TGridDebugFRM* grid_debug_ = nullptr;
  workbench::TConfigFRM* config_ = nullptr;
};

}  // namespace gui
