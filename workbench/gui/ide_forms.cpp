#include "workbench/gui/ide_forms.h"

#include "resources/widget_names.h"
#include "workbench/gui/about_form.h"

#include <QUrl>

#include "build_debug/tools/basic_bridge.h"
#include "platform/message_box.h"
#include "services/gui/localize_form.h"
#include "services/gui/text.h"
#include "workbench/gui/configuration_form.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/find_replace_form.h"
#include "workbench/gui/goto_line_form.h"
#include "workbench/gui/grid_debug_form.h"
#include "workbench/gui/hint_form.h"
#include "workbench/gui/notice_forms.h"
#include "workbench/gui/print_forms.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;

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

template <typename Form>
QWidget* Keep(Form* form, Form*& slot) {
  slot = form;
  return form;
}

}  // namespace

IdeWindow::IdeWindow(QWidget& owner, std::string class_name, const char* caption)
    : QWidget(&owner, Qt::Window), class_name_(std::move(class_name)) {
  // The form tables are named without the leading T.
  setObjectName(QString::fromLatin1(class_name_.c_str() + 1));
  setWindowTitle(QString::fromLatin1(caption));
  resize(400, 300);
}

IdeForms::IdeForms(TEditorFRM& main_form, workbench::IdeSession& session, FormServices services)
    : main_form_(main_form), session_(session), services_(std::move(services)) {
  if (services_.printer) {
    printer_ = services_.printer;
  } else {
    own_printer_ = std::make_unique<QtPrintTarget>();
    printer_ = own_printer_.get();
  }
  order_.push_back("TEditorFRM");
  forms_.push_back(&main_form);
  for (const FormEntry& entry : kForms) {
    order_.push_back(entry.class_name);
    forms_.push_back(Make(entry.class_name, entry.caption));
  }
  main_form.AttachForms(this);
  main_form.SetMenuHandler(main_menu::HelpAboutMENUITM, [this] { about_->Execute(); });
  main_form.SetMenuHandler(main_menu::HelpContentsMENUITM, [this] {
    help_->show();
    help_->raise();
  });
  main_form.SetMenuHandler(main_menu::HelpQvbHelpMENUITM, [this] { OpenQvbHelp(); });
}

void IdeForms::OpenQvbHelp() {
  // No compiler is shipped: the help file is there only when one was put in place.
  const std::optional<std::string> help = session_.QvBasic().QvBasicHelpToOpen();
  if (help && services_.open_url)
    services_.open_url(FromQt(QUrl::fromLocalFile(NameToQt(*help)).toString()));
}

IdeForms::~IdeForms() { main_form_.AttachForms(nullptr); }

QWidget* IdeForms::Make(std::string_view class_name, const char* caption) {
  if (auto maker = services_.makers.find(class_name); maker != services_.makers.end())
    return maker->second(main_form_, session_);
  workbench::IdeSession& s = session_;
  TEditorFRM& owner = main_form_;
  if (class_name == "TFindReplaceForm")
    return Keep(new TFindReplaceForm(s.Dialogs(), &owner), find_replace_);
  if (class_name == "TAboutFRM")
    return Keep(new TAboutFRM(s.Texts(), s.Dialogs(),
                              {[&s] { return s.Tarn().TarnVersionText(); },
                               [&s] { return s.QvBasic().QvBasicVersionText(); },
                               [&s] { return s.QvSim().QvSimVersionText(); }},
                              services_.open_url, &owner),
                about_);
  if (class_name == "TConfigFRM") {
    workbench::ConfigFormServices config =
        workbench::ProgramServices(s, s.LinkChoices(), s.ComPorts());
    config.apply_options = [&owner] {
      owner.ApplyEditorMode();
      owner.ReselectEditor();
    };
    config.hint_time = services_.hint_time;
    return Keep(new workbench::TConfigFRM(std::move(config), &owner), config_);
  }
  if (class_name == "TPrintForm")
    return Keep(new TPrintForm(*printer_, s.Globals().EditorFontName, s.Dialogs(), &owner), print_);
  if (class_name == "TPrintStatusForm") return Keep(new TPrintStatusForm(&owner), print_status_);
  if (class_name == "THelpForm") return Keep(new THelpForm(owner), help_);
  if (class_name == "THintForm") return Keep(new THintForm(owner), hint_);
  if (class_name == "TGotoLineNumDLG")
    return Keep(new TGotoLineNumDLG(s.Texts(), s.Dialogs(), &owner), goto_line_);
  if (class_name == "TFileSaveNotificationDLG")
    return Keep(new TFileSaveNotificationDLG(s.Registry(), s.Dialogs(), s.Boxes(), &owner),
                file_save_);
  if (class_name == "TClockGenInfoFRM")
    return Keep(new TClockGenInfoFRM(s.Registry(), s.Dialogs(), s.Boxes(), &owner),
                clock_gen_info_);
  if (class_name == "TGridDebugFRM") return Keep(new TGridDebugFRM(owner), grid_debug_);
  auto* form = new IdeWindow(owner, std::string(class_name), caption);
  RegisterFormLanguageCallback(*form, s.Texts());
  return form;
}

QWidget* IdeForms::Form(std::string_view class_name) const {
  for (std::size_t i = 0; i < order_.size(); ++i)
    if (order_[i] == class_name) return forms_[i];
  return nullptr;
}

}  // namespace gui
