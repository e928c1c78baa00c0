#include "workbench/session/session.h"

#include <tuple>
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

std::string DamageText(const platform::SettingsStore& store) {
  std::string text = "The settings file\r\r" + store.File().string() +
                     "\r\ris damaged. QVKey left out what it could not use and takes its "
                     "defaults for it:\r\r";
  for (const std::string& problem : store.Problems()) text += problem + "\r";
  text += "\rThe damaged file is kept as\r\r" + store.DamagedCopy().string() +
          "\r\rbefore QVKey saves its settings.";
  return text;
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
      resolver_({setup.serial_environment, build_debug::StoredSerialDevice(registry_)}),
      com_ports_(resolver_),
      com_port_(services_.events ? std::make_unique<platform::TVexComPort>(*services_.events,
                                                                           resolver_, modem_lines_)
                                 : nullptr),
      cts_monitor_(com_port_ ? std::make_unique<build_debug::VexCtsMonitorPort>(*com_port_)
                             : nullptr),
      key_link_(serial_ports_, messages_, cts_monitor_.get()),
      key_unit_(key_link_, image_.Image(), messages_, key_notices_),
      debug_(key_link_, key_unit_, image_.Image(), messages_),
      link_choices_(key_link_, key_unit_),
      tarn_(image_.Image(), runner_, messages_, globals_.EditorOptions, globals_.IdeOptions,
            [this](std::uint8_t mode) { key_unit_.SetIrcCalMode(mode); }),
      basic_(messages_, runner_, globals_.IdeOptions),
      assemble_compile_(localizer_, tarn_, basic_),
      windows_(std::move(setup.windows)),
      simulator_(messages_, runner_, windows_),
      qvc_(image_.Image(), messages_),
      top_files_(registry_),
      recent_files_(localizer_),
      templates_(messages_) {
  serial_ports_.Bind(services_.serial_ports);
  globals_.ExeFolder = setup.exe_folder;
  globals_.DataFolder = setup.data_folder.empty() ? setup.exe_folder : setup.data_folder;
  build_debug::ObjectImage& image = *GetObjectImage();
  image.ClockHz = build_debug::kDefaultClockHz;
  image.Device4K = 0;
  ReportUnreadableSettings(*store_, services_.boxes);
  registry_.SetRegistryRoot(kRegistryRoot);
  localizer_.InitLocalization(globals_.ExeFolder);
}

IdeSession::~IdeSession() { localizer_.DoneLocalization(); }

void IdeSession::ReportSettingsDamage() {
  if (damage_reported_ || !store_->Damaged()) return;
  damage_reported_ = true;
  services_.boxes.Show({DamageText(*store_), "Settings File", platform::BoxButtons::Ok});
}

platform::Clipboard& IdeSession::Clipboard() const {
  return Bound(services_.clipboard, "clipboard");
}

platform::Clock& IdeSession::Clock() const { return Bound(services_.clock, "clock"); }

}  // namespace workbench
