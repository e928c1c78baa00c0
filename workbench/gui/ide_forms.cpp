#include "workbench/gui/ide_forms.h"

#include "workbench/gui/editor_form.h"
#include "workbench/gui/localize_form.h"
#include "workbench/session/session.h"

namespace gui {
namespace {

struct FormEntry {
  const char* class_name;
  const char* caption;
};

// The order matters: a form may look up the ones created before it.
constexpr FormEntry kForms[] = {
    {"TFindReplaceForm", "Find/Replace"},
    {"TProgressFRM", "Device Operation"},
    {"TAboutFRM", "About"},
    {"TCodeForm", "Code"},
    {"TDebugFRM", "Debug"},
    {"TPrintForm", "Print"},
    {"TPrintStatusForm", "Print"},
    {"TClockForm", "Clock"},
    {"TConfigFRM", "Configuration"},
    {"THelpForm", "Help"},
    {"TIrcFRM", "IRC"},
    {"TQVCForm", "QVC"},
    {"THintForm", ""},
    {"TGotoLineNumDLG", "Go to Line Number..."},
    {"TZK_CodeFRM", "Code - List File"},
    {"TFileSaveNotificationDLG", "File Save Notification"},
    {"TDeviceFRM", "Device"},
    {"TClockGenInfoFRM", "Clock Generation Info"},
    {"TQvCDebugFRM", "QvC Debug"},
    {"TRegisterForm", "Registers"},
    {"TWatchForm", "Watch"},
    {"TGridDebugFRM", "Grid Debug"},
    {"TMultiProgFRM", "Multiple Programming"},
};

}  // namespace

IdeWindow::IdeWindow(QWidget& owner, std::string class_name, const char* caption)
    : QWidget(&owner, Qt::Window), class_name_(std::move(class_name)) {
  // The form tables are named without the leading T.
  setObjectName(QString::fromLatin1(class_name_.c_str() + 1));
  setWindowTitle(QString::fromLatin1(caption));
  resize(400, 300);
}

IdeForms::IdeForms(TEditorFRM& main_form, workbench::IdeSession& session) {
  order_.push_back("TEditorFRM");
  forms_.push_back(&main_form);
  for (const FormEntry& entry : kForms) {
    auto* form = new IdeWindow(main_form, entry.class_name, entry.caption);
    RegisterFormLanguageCallback(*form, session.Texts());
    order_.push_back(entry.class_name);
    forms_.push_back(form);
  }
}

QWidget* IdeForms::Form(std::string_view class_name) const {
  for (std::size_t i = 0; i < order_.size(); ++i)
    if (order_[i] == class_name) return forms_[i];
  return nullptr;
}

}  // namespace gui
