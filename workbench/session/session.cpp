#include "workbench/session/session.h"

#include <utility>

#include "platform/message_box.h"

namespace workbench {
namespace {

// The store refuses to write over a file that is not a settings file; the user is told once,
// at start-up, so that the settings of the run are not thought saved.
void ReportUnreadableSettings(const platform::SettingsStore& store,
                              platform::MessageBoxService& boxes) {
  if (store.Readable()) return;
  boxes.Show({"The settings file\r\r" + store.File().string() +
                  "\r\rcannot be read as a QVKey settings file. QVKey runs with its default "
                  "settings and saves none of them over that file.",
              "Settings File", platform::BoxButtons::Ok});
}

template <typename Service>
Service& Bound(Service* service, const char* name) {
  if (!service) throw MissingService(std::string("The session has no ") + name + " service");
  return *service;
}

}  // namespace

IdeSession::IdeSession(const SessionServices& services, SessionSetup setup)
    : services_(services),
      localizer_(std::move(setup.texts)),
      messages_(localizer_, services_.boxes),
      store_(std::make_unique<platform::SettingsStore>(setup.settings_file)),
      registry_(*store_),
      runner_(services_.processes, services_.boxes),
      qvc_(image_.Image(), messages_),
      top_files_(registry_),
      recent_files_(localizer_),
      templates_(messages_) {
  globals_.ExeFolder = setup.exe_folder;
  build_debug::ObjectImage& image = *GetObjectImage();
  image.ClockHz = build_debug::kDefaultClockHz;
  image.Device4K = 0;
  ReportUnreadableSettings(*store_, services_.boxes);
  registry_.SetRegistryRoot(kRegistryRoot);
  localizer_.InitLocalization(globals_.ExeFolder);
}

IdeSession::~IdeSession() { localizer_.DoneLocalization(); }

platform::Clipboard& IdeSession::Clipboard() const {
  return Bound(services_.clipboard, "clipboard");
}

platform::SerialPortOpener& IdeSession::SerialPorts() const {
  return Bound(services_.serial_ports, "serial-port");
}

platform::Clock& IdeSession::Clock() const { return Bound(services_.clock, "clock"); }

}  // namespace workbench
