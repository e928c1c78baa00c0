#include "workbench/gui/application.h"

#include <QApplication>
#include <QCloseEvent>

#include "workbench/command_line.h"
#include "workbench/gui/form_placement.h"
#include "workbench/gui/guarded.h"
#include "workbench/gui/localize_form.h"
#include "workbench/gui/text.h"
#include "workbench/localize.h"
#include "workbench/message_strings.h"
#include "workbench/registry_settings.h"

namespace gui {

ApplicationSession::ApplicationSession(const std::filesystem::path& settings_file) {
  QCoreApplication::setApplicationName("QVKey");
  platform::SetMessageBoxService(&boxes_);
  workbench::CreateSettingsStore(settings_file);
  workbench::SetRegistryRoot(workbench::kRegistryRoot);
  workbench::InitMessageStrings();
  workbench::InitLocalization(FromQt(QCoreApplication::applicationDirPath()) + "/");
}

ApplicationSession::~ApplicationSession() {
  workbench::FreeSettingsStore();
  workbench::DoneMessageStrings();
  workbench::DoneLocalization();
  platform::SetMessageBoxService(nullptr);
}

ProgramWindow::ProgramWindow() {
  setObjectName("EditorFRM");
  setWindowTitle("QVKey");
  resize(800, 600);
  RegisterFormLanguageCallback(*this);
  RunGuarded([this] { RestoreFormPlacement("EditorWindow", *this); });
}

void ProgramWindow::closeEvent(QCloseEvent* event) {
  RunGuarded([this] { SaveFormPlacement("EditorWindow", *this); });
  QMainWindow::closeEvent(event);
}

int RunQVKey(QApplication& app, const std::vector<std::string>& parameters) {
  ApplicationSession session;
  workbench::T_ZKCmdLineParse command_line;
  command_line.ParseCommandLine(parameters);
  workbench::ShowParseErrors(command_line);
  ProgramWindow window;
  workbench::ReapplyLanguage();
  window.show();
  return app.exec();
}

}  // namespace gui
