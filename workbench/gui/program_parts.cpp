#include "workbench/gui/program_parts.h"

#include "build_debug/debug/gui/code_form.h"
#include "build_debug/debug/gui/zk_code_form.h"
#include "build_debug/key/gui/device_form.h"
#include "build_debug/key/gui/multi_prog_form.h"
#include "build_debug/key/gui/progress_form.h"
#include "build_debug/key/gui/qt_key_notifications.h"
#include "build_debug/tools/gui/qvc_debug_form.h"
#include "workbench/gui/debug_windows.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/run_commands.h"
#include "workbench/session/session.h"

namespace gui {

ProgramParts BuildDebugParts(platform::EventPoster& events) {
  ProgramParts parts;
  parts.events = &events;
  parts.makers["TProgressFRM"] = [](TEditorFRM& owner, workbench::IdeSession& session) {
    return new TProgressFRM(
        session.Texts(), [&session] { session.KeyUnit().CancelProgramming(); }, &owner);
  };
  parts.makers["TDeviceFRM"] = [](TEditorFRM& owner, workbench::IdeSession& session) {
    return new TDeviceFRM(
        DeviceFormServices{session.Image(), session.KeyUnit(), session.Messages(), session.Texts(),
                           session.Registry(), owner.WindowsMenu(), session.Dialogs(),
                           session.Globals(), workbench::WriteAllBytes,
                           [&owner](const std::string& text) { owner.StatusLine(text); }},
        &owner);
  };
  parts.makers["TQvCDebugFRM"] = [](TEditorFRM& owner, workbench::IdeSession&) {
    return new TQvCDebugFRM(&owner);
  };
  parts.makers["TMultiProgFRM"] = [](TEditorFRM& owner, workbench::IdeSession& session) {
    return new TMultiProgFRM(session.Boxes(), &owner);
  };
  auto bind_debug_windows = DebugWindows::AddTo(parts);
  parts.bind = [bind_debug_windows](TEditorFRM& main_form, IdeForms& forms,
                                    workbench::IdeSession& session) -> std::shared_ptr<void> {
    auto* progress = static_cast<TProgressFRM*>(forms.Form("TProgressFRM"));
    auto* device = static_cast<TDeviceFRM*>(forms.Form("TDeviceFRM"));
    main_form.SetImageFileLoader([device](const std::string& file, bool read_only) {
      if (device->LoadImageFile(file, read_only)) device->show();
    });
    auto debug_windows = bind_debug_windows(main_form, session);
    debug_windows->OnKeyHeld([device](bool held) { device->SessionHoldsKey(held); });
    RunWindows run_windows;
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
    run_windows.key_commands_enabled = [device](bool enabled) {
      device->EnableKeyButtons(enabled);
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
    auto notices = std::make_shared<QtKeyNotifications>(
        *progress, [&main_form](int code) { main_form.Run().KeyNotify(code); },
        [windows = debug_windows.get()] { windows->DebugProgrammed(); });
    notices->OnLinkHeld([&main_form](bool held) { main_form.Run().LinkHeldByRun(held); });
    session.KeyNotices().Bind(notices.get());
    return std::shared_ptr<void>(notices.get(), [notices, debug_windows](void*) {});
  };
  return parts;
}

}  // namespace gui
