#pragma once
// The configuration settings under "Configuration\", kept apart from the dialog's widgets:
// the settings fill a plain picture of the dialog's controls (ConfigurationControls), the
// controls fill the records (EditorOptions, IdeOptions), and OK writes the controls back.
//
// Invariants:
//   - a setting missing from the store leaves its control at the designed default;
//   - a value that a mode forces (UseTarn off in Wrenfield mode) reaches the controls and the
//     records but never the store, so the stored choice outlives the mode.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "services/options.h"
#include "services/registry_settings.h"

namespace workbench {

// The key link's choices that the dialog reads and sets.
class KeyLinkChoices {
 public:
  virtual ~KeyLinkChoices() = default;
  virtual void SetComPort(const std::string& text) = 0;
  virtual std::string GetComPortName() const = 0;
  virtual void SetIrcCalMode(std::uint8_t mode) = 0;
  virtual std::uint8_t GetIrcCalMode() const = 0;
};

// Keeps the choices in memory, for tests and for a program that has no key link yet.
// SetComPort takes the digits of a text as the port number ("com12" gives COM12); a text
// without digits gives the bare name "COM" and keeps the number.
class KeptKeyLinkChoices : public KeyLinkChoices {
 public:
  void SetComPort(const std::string& text) override;
  std::string GetComPortName() const override { return port_name_; }
  void SetIrcCalMode(std::uint8_t mode) override { irc_cal_mode_ = mode; }
  std::uint8_t GetIrcCalMode() const override { return irc_cal_mode_; }
  int PortNumber() const { return port_number_; }

 private:
  int port_number_ = 1;
  std::string port_name_ = "COM1";
  std::uint8_t irc_cal_mode_ = 0;
};

inline constexpr int kCustomColorCount = 16;  // the colour dialog's custom colours, A to P

// The states of the configuration dialog's controls, named after them; the initial values
// are the designed states.
struct ConfigurationControls {
  // "IDE"
  bool CreateBackupCB = true;
  bool UseTemplatesCB = false;
  bool RestoreWorkspaceCB = false;
  int DefaultEditorTypeRDGRP = 0;  // 0 Assembly, 1 QV/B
  std::string PortRDGRP;           // the selected port's name; empty when none is selected
  // "Editor"
  bool UseNewEditorCB = true;
  int FontsizeUpDown = 8;
  int TabsizeUpDown = 8;
  bool ColorCodeCB = false;
  Colour CodeColorPNL = clBlue;
  bool CodeBoldCB = true;
  bool ColorCommentsCB = true;
  Colour CommentColorPNL = clGreen;
  Colour ErrorBgColorPNL = clYellow;
  bool WarnLoadingKnownTopFileCB = true;
  bool WarnUsingTopFileCB = true;
  bool JumpToErrorCB = true;
  bool SmoothScrollCB = true;
  // "Assembler"
  bool UseTarnCB = true;
  bool TarnOutputFilesCB = true;
  bool LocalLabelStartColCB = true;
  bool StricterAssemblyParsingCB = false;
  int IrcRDGRP = 0;  // 0 "Slowest", 1 "4 MHz", 2 "Fastest"
  // "QV/B Compiler"
  bool QvBasicOutputFilesCB = true;
  // "Language"
  int LanguageRDGRP = 0;
  // Each the colour dialog's own line, "Color", the letter, "=" and six hex digits.
  std::array<std::string, kCustomColorCount> CustomColors = DefaultCustomColors();

  static std::array<std::string, kCustomColorCount> DefaultCustomColors();
  bool operator==(const ConfigurationControls&) const = default;
};

// Ranges of the controls, as their designs give them.
inline constexpr int kFontsizeMin = 6, kFontsizeMax = 32;
inline constexpr int kTabsizeMin = 2, kTabsizeMax = 8, kTabsizeStep = 2;
inline constexpr int kDefaultEditorTypeItems = 2;
inline constexpr int kIrcCalibrationItems = 3;
inline constexpr int kLanguageItems = 1;

inline constexpr const char* kComPortSetting = "Configuration\\ComPort";
inline constexpr const char* kIrcCalibrationSetting = "Configuration\\IRCcalibration";

// The custom colour line of a letter index (0 is A) and its colour, and back; a line that
// does not end in six hex digits after "=" gives `fallback`.
std::string CustomColorLine(int index, Colour colour);
Colour CustomColorValue(const std::string& line, Colour fallback);

// Reads the port and the calibration mode into the key link; true when no port has been
// stored yet, which marks the first run.
bool ReadKeyLinkSettings(const RegistrySettings& registry, KeyLinkChoices& link);

// Sets each control whose setting is stored, then the custom colours.
void ReadSettings(const RegistrySettings& registry, ConfigurationControls& controls,
                  bool wrenfield_mode);

void ControlsToRecords(const ConfigurationControls& controls, EditorOptions& editor,
                       IdeOptions& ide, bool wrenfield_mode);
void RecordsToControls(const EditorOptions& editor, const IdeOptions& ide,
                       ConfigurationControls& controls);

// OK: hands the port and calibration to the key link, copies the controls into the records
// and writes every setting.  The port reaches the link and the store only when one is
// chosen; the first confirmation without one stores an empty port, so the first run ends
// either way.
// Returns whether every write succeeded.
bool SaveSettings(RegistrySettings& registry, KeyLinkChoices& link,
                  const ConfigurationControls& controls, EditorOptions& editor, IdeOptions& ide,
                  bool wrenfield_mode);

// The item for the current port: the one whose name, without accelerator marks, is the
// port's whole name (letter case aside); -1 when none is.
int FindPortItem(const std::vector<std::string>& items, const std::string& port_name);

}  // namespace workbench
