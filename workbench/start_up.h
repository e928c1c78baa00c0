#pragma once
// What the main window does between its creation and the message loop, and on the way down,
// as far as it needs no window: the DEBUG boxes, the DEBUG switch, the first-run placement and
// the command-line actions.

#include <functional>
#include <string>
#include <vector>

#include "services/globals.h"

namespace platform {
class MessageBoxService;
}

namespace workbench {

class Localizer;
class MessageStrings;
class T_ZKCmdLineParse;

inline constexpr char kDebugModeCaption[] = "DEBUG MODE - FormCreate()";
inline constexpr char kStartUpCaption[] = "DEBUG - StartUpStuff";
inline constexpr char kFormShowCaption[] = "DEBUG - FormShow";
inline constexpr char kFormActivateCaption[] = "DEBUG - FormActivate";

// The box that says DEBUG mode is on.
std::string DebugModeText();

// DEBUG mode is asked for only by a single parameter "/debug" or "/debug_no_filelist", in any
// case; with any other parameter beside it the switch is an ordinary (parsed) one.
struct DebugSwitch {
  bool on = false;
  bool hide_file_list = false;
};
DebugSwitch ReadDebugSwitch(const std::vector<std::string>& parameters);

// Reports a step of start-up before it is done, when DEBUG mode is on.
class DebugBoxes {
 public:
  DebugBoxes(const GlobalValues& globals, platform::MessageBoxService& boxes)
      : globals_(globals), boxes_(boxes) {}
  void Report(const std::string& text, const std::string& caption) const;

 private:
  const GlobalValues& globals_;
  platform::MessageBoxService& boxes_;
};

struct ScreenBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Where the main window goes on the first run: the middle half of the screen's width, three
// quarters of its height, an eighth from the top (integer divisions). A window that would be
// narrower than `least_width` (what its tool bar needs whole) takes that width, no more than
// the screen's, in the middle of the screen.
ScreenBounds FirstRunBounds(int screen_width, int screen_height, int least_width = 0);

// What the command line asks the main window to do after start-up.
struct CommandLineRequests {
  std::string ComPort;  // "COM" and a digit, or empty
  bool DebugRequested = false;
  bool DebugAgainRequested = false;
  bool ProgramRequested = false;
  bool VerifyRequested = false;
  bool HideWindow = false;
  bool ReadOnly = false;  // "/r": the command-line file opens read-only
};

// Carries out the parsed command line on the session's values.
class CommandLineActions {
 public:
  using SetComPort = std::function<void(const std::string&)>;
  CommandLineActions(GlobalValues& globals, const Localizer& texts, const MessageStrings& messages,
                     platform::MessageBoxService& boxes, SetComPort set_com_port);

  // Parses `parameters` into `parser` and applies each entry; fills `requests`.
  void Run(const std::vector<std::string>& parameters, T_ZKCmdLineParse& parser,
           CommandLineRequests& requests) const;

 private:
  void LoadFile(std::string name, CommandLineRequests& requests) const;

  GlobalValues& globals_;
  const Localizer& texts_;
  const MessageStrings& messages_;
  platform::MessageBoxService& boxes_;
  SetComPort set_com_port_;
};

}  // namespace workbench
