#include <QApplication>
#include <cstdlib>
#include <memory>

#include "build_debug/gui/code_form.h"
#include "build_debug/gui/debug_windows.h"
#include "build_debug/gui/device_form.h"
#include "build_debug/gui/multi_prog_form.h"
#include "build_debug/gui/progress_form.h"
#include "build_debug/gui/qt_event_poster.h"
#include "build_debug/gui/qt_key_notifications.h"
#include "build_debug/gui/qvc_debug_form.h"
#include "build_debug/gui/zk_code_form.h"
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
  auto bind_debug_windows = gui::DebugWindows::AddTo(parts);
  parts.bind = [bind_debug_windows](gui::TEditorFRM& main_form, gui::IdeForms& forms,
                                    workbench::IdeSession& session) -> std::shared_ptr<void> {
    auto* progress = static_cast<gui::TProgressFRM*>(forms.Form("TProgressFRM"));
    auto* device = static_cast<gui::TDeviceFRM*>(forms.Form("TDeviceFRM"));
    main_form.SetImageFileLoader([device](const std::string& file, bool read_only) {
      if (device->LoadImageFile(file, read_only)) device->show();
    });
    auto debug_windows = bind_debug_windows(main_form, session);
    gui::RunWindows run_windows;
    run_windows.image_built = [device] {
      device->ClearReadOnlyImage();
      if (device->isVisible()) device->ShowImage();
    };
    run_windows.show_device_window = [device] {
      device->show();
      device->raise();
    };
    run_windows.show_list_file = [list = debug_windows->ListForm()](const std::string& source) {
      if (!list || !list->ShowListFile(source)) return false;
      list->show();
      list->raise();
      return true;
    };
    run_windows.toggle_code_window = [code = debug_windows->CodeForm()] {
      if (code) code->setVisible(!code->isVisible());
    };
    main_form.Run().SetWindows(std::move(run_windows));
    main_form.SetWindowsMenuHandler([device, list = debug_windows->ListForm()](int tag) {
      QWidget* window = nullptr;
      if (tag == workbench::kListWindowItem) window = list;
      if (tag == workbench::kDeviceWindowItem) window = device;
      if (!window) return;
      window->show();
      window->raise();
      window->activateWindow();
    });
    auto notices = std::make_shared<gui::QtKeyNotifications>(
        *progress, [&main_form](int code) { main_form.Run().KeyNotify(code); },
        [windows = debug_windows.get()] { windows->DebugProgrammed(); });
    session.KeyNotices().Bind(notices.get());
    return std::shared_ptr<void>(notices.get(), [notices, debug_windows](void*) {});
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
