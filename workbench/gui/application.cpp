#include "workbench/gui/application.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include "platform/process_runner.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/text.h"
#include "workbench/session/session.h"

namespace gui {

int RunQVKey(QApplication& app, const std::vector<std::string>& parameters,
             platform::MessageBoxService& boxes, platform::ModalDialogService& dialogs,
             RunOptions options) {
  QCoreApplication::setApplicationName("QVKey");
  platform::SystemProcessRunner processes;
  workbench::SessionSetup setup;
  setup.exe_folder = FromQt(QCoreApplication::applicationDirPath()) + "/";
  workbench::IdeSession session({boxes, dialogs, processes}, std::move(setup));

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screen_size = screen ? screen->availableGeometry().size() : QSize(1024, 768);
  int result = 0;
  {
    TEditorFRM main_form(session, parameters, screen_size);
    IdeForms forms(main_form, session);
    session.Texts().ReapplyLanguage();
    // The window may stay hidden: the program ends when its close goes through, not when the
    // last visible window goes.
    QObject::connect(&main_form, &TEditorFRM::Closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (main_form.PrepareRun()) main_form.show();
    if (options.quit_after_start)
      QTimer::singleShot(0, &main_form, [&main_form] { main_form.close(); });
    result = app.exec();
  }
  return result;
}

}  // namespace gui
