#pragma once
// IdeSession: one run of the IDE. It owns what the IDE keeps for the run (the global values,
// the string tables, the message boxes over them, the settings store, the object image, the
// process runner, and every unit added from now on) and holds the services it was handed.
// The main program makes one; a test can make two side by side.
//
// The members are built in the order of the IDE's start-up and destroyed in the reverse, which
// is the order of its shut-down: the units first, then the settings store, the message strings
// and the localized texts, in this order.
//
// Adding a unit: a member declared after the ones it uses (it is built after them and gone
// before them), built in the constructor's initializer list from the session's own members
// and services, and an accessor named for the unit.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/image/object_image.h"
#include "build_debug/key/cts_monitor_port.h"
#include "build_debug/key/key_link.h"
#include "build_debug/key/key_protocol.h"
#include "build_debug/tools/assemble_compile.h"
#include "build_debug/tools/basic_bridge.h"
#include "build_debug/tools/c_output_loader.h"
#include "build_debug/tools/simulator_bridge.h"
#include "build_debug/tools/tarn_bridge.h"
#include "platform/serial_port.h"
#include "platform/settings_store.h"
#include "platform/vex_com_port.h"
#include "platform/window_socket.h"
#include "services/globals.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/program_runner.h"
#include "services/registry_settings.h"
#include "workbench/com_ports.h"
#include "workbench/keyword_lists.h"
#include "workbench/recent_files.h"
#include "workbench/session/key_link_relays.h"
#include "workbench/templates.h"
#include "workbench/top_files.h"

namespace platform {
class Clipboard;
class Clock;
class MessageBoxService;
class ModalDialogService;
class ProcessRunner;
class SerialPortOpener;
}  // namespace platform

namespace workbench {

// The services a session works through; all of them outlive it. Those whose bindings are not
// written yet may be left out (null): asking for one then is a programming error.
struct SessionServices {
  platform::MessageBoxService& boxes;
  platform::ModalDialogService& dialogs;
  platform::ProcessRunner& processes;
  platform::Clipboard* clipboard = nullptr;
  platform::SerialPortOpener* serial_ports = nullptr;
  platform::Clock* clock = nullptr;
  // Runs the serial-port component's events on the UI thread; null: no component, and the
  // key link has no CTS monitor.
  platform::EventPoster* events = nullptr;
};

// Where a session finds its files and texts.
struct SessionSetup {
  std::filesystem::path settings_file = platform::SettingsStore::DefaultPath();
  std::string exe_folder;  // the program's folder, ending with "/"
  TextResourceLookup texts = EmbeddedTextResource;
  // Where the simulator's window is looked for.
  platform::WindowSockets windows = platform::WindowSockets::ForUser();
  // The environment's say on serial devices (the program binds the process environment);
  // null: none.
  platform::SerialPortResolver::Lookup serial_environment = nullptr;
  // Where the folders the IDE writes go (platform/user_data_folder.h); "": exe_folder.
  std::string data_folder{};
};

// A service asked for that the session was not given.
class MissingService : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

class IdeSession {
 public:
  IdeSession(const SessionServices& services, SessionSetup setup);
  ~IdeSession();
  IdeSession(const IdeSession&) = delete;
  IdeSession& operator=(const IdeSession&) = delete;

  GlobalValues& Globals() { return globals_; }
  const GlobalValues& Globals() const { return globals_; }
  Localizer& Texts() { return localizer_; }
  const Localizer& Texts() const { return localizer_; }
  const MessageStrings& Messages() const { return messages_; }
  platform::SettingsStore& Store() { return *store_; }
  // Once the start-up has read its settings: when the file was found damaged, one box says
  // which file, what was left out and where the damaged file is kept. Later calls show nothing.
  void ReportSettingsDamage();
  RegistrySettings& Registry() { return registry_; }
  const RegistrySettings& Registry() const { return registry_; }
  // The record as the builders and windows use it.
  build_debug::ObjectImage& Image() const { return image_.Image(); }
  // The start-up's call: resets the WorkingImage and returns the record.
  build_debug::ObjectImage* GetObjectImage() { return image_.GetObjectImage(); }
  const ProgramRunner& Runner() const { return runner_; }
  // Loads a C compiler's output in Wrenfield mode; keeps the loaded ".cod" for the debug windows.
  build_debug::TQVCForm& QVC() { return qvc_; }
  // The files of the editors: known top files, the recent list, templates, keyword lists.
  T_ZKTopFile& TopFiles() { return top_files_; }
  RecentFiles& Recent() { return recent_files_; }
  TemplateUnit& Templates() { return templates_; }
  T_MultiKeywordList& KeywordLists() { return keyword_lists_; }

  platform::MessageBoxService& Boxes() const { return services_.boxes; }
  platform::ModalDialogService& Dialogs() const { return services_.dialogs; }
  platform::ProcessRunner& Processes() const { return services_.processes; }
  platform::Clipboard& Clipboard() const;
  platform::Clock& Clock() const;
  // The program binds the machine's opener, made over Resolver(), once the session exists.
  void BindSerialPorts(platform::SerialPortOpener& ports) { serial_ports_.Bind(&ports); }
  // Port names to device paths: the environment, the settings, then the machine's devices.
  const platform::SerialPortResolver& Resolver() const { return resolver_; }
  ComPortList& ComPorts() { return com_ports_; }

  // The units, in the order the start-up brings them up.
  build_debug::KeyLink& KeyLink() { return key_link_; }
  // The event-driven serial-port component the key link's CTS monitor runs on; null without
  // an event poster.
  platform::TVexComPort* ComPort() { return com_port_.get(); }
  // Where the key worker reports; the windows that take the reports bind themselves to it.
  KeyNotificationRelay& KeyNotices() { return key_notices_; }
  build_debug::QvKeyUnit& KeyUnit() { return key_unit_; }
  // The debug protocol and the chip's state while debugging; the debug windows plug into it.
  build_debug::DebugProtocol& Debug() { return debug_; }
  KeyLinkChoices& LinkChoices() { return link_choices_; }
  build_debug::TarnUnit& Tarn() { return tarn_; }
  build_debug::QvBasicUnit& QvBasic() { return basic_; }
  // Builds the file in front with tarn, the built-in assembler or the BASIC compiler.
  build_debug::AssembleCompileUnit& AssembleCompile() { return assemble_compile_; }
  build_debug::QvSimUnit& QvSim() { return simulator_; }

 private:
  SessionServices services_;
  GlobalValues globals_;
  build_debug::ProgramObjectImage image_;
  // Freed after the settings store, as the shut-down frees them.
  Localizer localizer_;
  MessageStrings messages_;
  std::unique_ptr<platform::SettingsStore> store_;
  bool damage_reported_ = false;
  RegistrySettings registry_;
  ProgramRunner runner_;
  platform::SerialPortResolver resolver_;
  MachineComPortList com_ports_;
  SerialPortsRelay serial_ports_;
  platform::DeviceModemLines modem_lines_;
  std::unique_ptr<platform::TVexComPort> com_port_;
  std::unique_ptr<build_debug::VexCtsMonitorPort> cts_monitor_;
  build_debug::KeyLink key_link_;
  KeyNotificationRelay key_notices_;
  build_debug::QvKeyUnit key_unit_;
  build_debug::DebugProtocol debug_;
  SessionKeyLinkChoices link_choices_;
  build_debug::TarnUnit tarn_;
  build_debug::QvBasicUnit basic_;
  build_debug::AssembleCompileUnit assemble_compile_;
  platform::WindowSockets windows_;
  build_debug::QvSimUnit simulator_;
  build_debug::TQVCForm qvc_;
  T_ZKTopFile top_files_;
  RecentFiles recent_files_;
  TemplateUnit templates_;
  T_MultiKeywordList keyword_lists_;
};

}  // namespace workbench
