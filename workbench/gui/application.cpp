#include "workbench/gui/application.h"

#include <QApplication>
#include <QCloseEvent>

#include "platform/process_runner.h"
#include "workbench/command_line.h"
#include "workbench/gui/form_placement.h"
#include "workbench/gui/guarded.h"
#include "workbench/gui/localize_form.h"
#include "workbench/gui/modal_dialogs.h"
#include "workbench/gui/qt_message_boxes.h"
#include "workbench/gui/text.h"
#include "workbench/session/session.h"

namespace gui {

ProgramWindow::ProgramWindow(workbench::IdeSession& session) : session_(session) {
  setObjectName("EditorFRM");
  setWindowTitle("QVKey");
  resize(800, 600);
  RegisterFormLanguageCallback(*this, session_.Texts());
  RunGuarded(session_.Boxes(),
             [this] { RestoreFormPlacement(session_.Registry(), "EditorWindow", *this); });
}

void ProgramWindow::closeEvent(QCloseEvent* event) {
  RunGuarded(session_.Boxes(),
             [this] { SaveFormPlacement(session_.Registry(), "EditorWindow", *this); });
  QMainWindow::closeEvent(event);
}

int RunQVKey(QApplication& app, const std::vector<std::string>& parameters) {
  QCoreApplication::setApplicationName("QVKey");
  QtMessageBoxes boxes;
  QtModalDialogs dialogs;
  platform::SystemProcessRunner processes;
  workbench::SessionSetup setup;
  setup.exe_folder = FromQt(QCoreApplication::applicationDirPath()) + "/";
  workbench::IdeSession session({boxes, dialogs, processes}, std::move(setup));

  workbench::T_ZKCmdLineParse command_line;
  command_line.ParseCommandLine(parameters);
  workbench::ShowParseErrors(command_line, session.Boxes());
  ProgramWindow window(session);
  session.Texts().ReapplyLanguage();
  window.show();
  return app.exec();
}

}  // namespace gui
