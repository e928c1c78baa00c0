#include <QApplication>
#include <cstdlib>
#include <memory>

#include "build_debug/gui/device_form.h"
#include "build_debug/gui/multi_prog_form.h"
#include "build_debug/gui/progress_form.h"
#include "build_debug/gui/qt_event_poster.h"
#include "build_debug/gui/qt_key_notifications.h"
#include "build_debug/gui/qvc_debug_form.h"
#include "workbench/box_log.h"
#include "workbench/command_line.h"
#include "workbench/gui/accepting_dialogs.h"
#include "workbench/gui/application.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/modal_dialogs.h"
#include "workbench/gui/qt_message_boxes.h"
#include "workbench/gui/run_commands.h"
#include "workbench/session/session.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The windows of build, program and debug, and their ties to the main window and the key.
gui::ProgramParts BuildDebugParts(platform::EventPoster& events) {
  gui::ProgramParts parts;
  parts.events = &events;
  parts.makers["TProgressFRM"] = [](gui::TEditorFRM& owner, workbench::IdeSession& session) {
    return new gui::TProgressFRM(
        session.Texts(), [&session] { session.KeyUnit().CancelProgramming(); }, &owner);
  };
  parts.makers["TDeviceFRM"] = [](gui::TEditorFRM& owner, workbench::IdeSession& session) {
    return new gui::TDeviceFRM(
        gui::DeviceFormServices{session.Image(), session.KeyUnit(), session.Messages(),
                                session.Texts(), session.Registry(), owner.WindowsMenu(),
                                session.Dialogs(), session.Globals()},
        &owner);
  };
  parts.makers["TQvCDebugFRM"] = [](gui::TEditorFRM& owner, workbench::IdeSession&) {
    return new gui::TQvCDebugFRM(&owner);
  };
  parts.makers["TMultiProgFRM"] = [](gui::TEditorFRM& owner, workbench::IdeSession& session) {
    return new gui::TMultiProgFRM(session.Boxes(), &owner);
  };
  parts.bind = [](gui::TEditorFRM& main_form, gui::IdeForms& forms,
                  workbench::IdeSession& session) -> std::shared_ptr<void> {
    auto* progress = static_cast<gui::TProgressFRM*>(forms.Form("TProgressFRM"));
    auto* device = static_cast<gui::TDeviceFRM*>(forms.Form("TDeviceFRM"));
    main_form.SetImageFileLoader([device](const std::string& file, bool read_only) {
      if (device->LoadImageFile(file, read_only)) device->show();
    });
    gui::RunWindows run_windows;
    run_windows.image_built = [device] {
      device->ClearReadOnlyImage();
      if (device->isVisible()) device->ShowImage();
    };
    run_windows.show_device_window = [device] {
      device->show();
      device->raise();
    };
    main_form.Run().SetWindows(std::move(run_windows));
    // The debug window's handler of the key's reports comes with it.
    auto notices = std::make_shared<gui::QtKeyNotifications>(
        *progress, [&main_form](int code) { main_form.Run().KeyNotify(code); }, nullptr);
    session.KeyNotices().Bind(notices.get());
    return notices;
  };
  return parts;
}

}  // namespace

int main(int argc, char** argv) {
  // Qt removes the switches it knows from argv: ours are taken first.
  const std::vector<std::string> parameters = workbench::ProgramParameters(argc, argv);
  QApplication app(argc, argv);
  gui::QtEventPoster events;

  // QVKEY_BOX_LOG runs the program without a user: boxes go to the log and are answered from
  // QVKEY_BOX_ANSWERS, dialogs are accepted.
  const std::string box_log = Environment("QVKEY_BOX_LOG");
  gui::RunOptions options;
  options.quit_after_start = Environment("QVKEY_QUIT_AFTER_START") == "1";
  if (!box_log.empty()) {
    workbench::LoggedMessageBoxes boxes(box_log, Environment("QVKEY_BOX_ANSWERS"));
    gui::AcceptingModalDialogs dialogs;
    return gui::RunQVKey(app, parameters, boxes, dialogs, options, BuildDebugParts(events));
  }
  gui::QtMessageBoxes boxes;
  gui::QtModalDialogs dialogs;
  return gui::RunQVKey(app, parameters, boxes, dialogs, options, BuildDebugParts(events));
}
