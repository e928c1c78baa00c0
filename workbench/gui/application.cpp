#include "workbench/gui/application.h"

#include <QApplication>
#include <QDesktopServices>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "platform/process_runner.h"
#include "platform/serial_port.h"
#include "platform/user_data_folder.h"
#include "services/gui/hint_time.h"
#include "services/gui/text.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/run_commands.h"
#include "workbench/gui/waiting_process_runner.h"
#include "workbench/session/session.h"

namespace gui {

int RunQVKey(QApplication& app, const std::vector<std::string>& parameters,
             platform::MessageBoxService& boxes, platform::ModalDialogService& dialogs,
             RunOptions options, ProgramParts parts) {
  QCoreApplication::setApplicationName("QVKey");
  platform::SystemProcessRunner system_processes;
  // Every tool the IDE waits for is waited for with the window alive and a way to stop it.
  WaitingProcessRunner processes(system_processes);
  workbench::SessionSetup setup;
  // The program's folder as the file system has it: Qt's answer is Unicode, which a name that
  // is not UTF-8 does not survive.
  std::error_code no_link;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", no_link);
  setup.exe_folder = (no_link ? NameFromQt(QCoreApplication::applicationDirPath()).value_or(".")
                              : program.parent_path().string()) +
                     "/";
  setup.data_folder = platform::WrittenFoldersRoot(setup.exe_folder, platform::ProcessEnvironment);
  setup.serial_environment = platform::ProcessEnvironment;
  workbench::SessionServices services{boxes, dialogs, processes};
  services.events = parts.events;
  workbench::IdeSession session(services, std::move(setup));
  platform::TermiosSerialPortOpener serial_ports(session.Resolver());
  session.BindSerialPorts(serial_ports);

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screen_size = screen ? screen->availableGeometry().size() : QSize(1024, 768);
  int result = 0;
  {
    TEditorFRM main_form(session, parameters, screen_size);
    HintDisplayTime hint_time;
    app.installEventFilter(&hint_time);
    FormServices services;
    services.hint_time = &hint_time;
    services.open_url = [](const std::string& address) {
      QDesktopServices::openUrl(QUrl(ToQt(address)));
    };
    services.makers = std::move(parts.makers);
    IdeForms forms(main_form, session, std::move(services));
    std::shared_ptr<void> bound;
    if (parts.bind) bound = parts.bind(main_form, forms, session);
    session.Texts().ReapplyLanguage();
    // The window may stay hidden: the program ends when its close goes through, not when the
    // last visible window goes.
    QObject::connect(&main_form, &TEditorFRM::Closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (main_form.PrepareRun()) main_form.show();
    // Everything the start-up reads has been read: a damaged settings file is told now.
    session.ReportSettingsDamage();
    if (options.quit_after_start)
      QTimer::singleShot(0, &main_form, [&main_form] { main_form.close(); });
    result = app.exec();
    // A hidden run says how its command-line action ended.
    if (result == 0) result = main_form.Run().ExitCode();
    // A programming run still going reports nowhere from here on; one report being handled
    // gets the events it waits for.
    session.KeyNotices().Unbind([] { QCoreApplication::processEvents(); });
  }
  return result;
}

}  // namespace gui
