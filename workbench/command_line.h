#pragma once
// The QVKey command line: its parameters become a list of entries sorted by code, and every
// problem a line of text.  The parser only collects, checks and orders; the main window acts
// on the entries.
//
// Invariants after ParseCommandLine:
//   - the entries are sorted by code (equal codes in command-line order), except after an
//     invalid parameter, where the entries read up to it stay in command-line order and the
//     invalid one is kept with code 0;
//   - Errors() holds every message, joined by two CRs; Error() says whether one of them was
//     an error rather than a warning.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class MessageBoxService;
}

namespace workbench {

// Codes of the entries, in the order the main window carries them out.
enum CommandCode : std::uint8_t {
  kCmdNone = 0,             // an invalid parameter: nothing to do
  kCmdShowParsed = 1,       // "/cd"
  kCmdDebugIde = 2,         // "/debug"
  kCmdDebugNoFileList = 3,  // "/debug_no_filelist"
  kCmdComPort = 4,          // two characters, the second a digit 1 to 4
  kCmdHideGui = 5,          // "/h"
  kCmdWrenfield = 6,        // "/b"
  kCmdReadOnly = 7,         // "/r"
  kCmdLoadFile = 8,         // the last parameter, when it is a file name
  kCmdDebugChip = 9,        // "/d"
  kCmdDebugAgainChip = 10,  // "/da"
  kCmdProgramChip = 11,     // "/p"
  kCmdVerifyChip = 12,      // "/v"
};

// One entry: Value is "COM" and the digit for the COM switch, the file name as typed
// (trimmed) for a file, else empty.
struct T_CLP {
  std::uint8_t Code = kCmdNone;
  std::string Value;

  bool operator==(const T_CLP&) const = default;
};

class T_ZKCmdLineParse {
 public:
  // Parses the program's parameters (without the program name); returns !Error().
  bool ParseCommandLine(const std::vector<std::string>& parameters);

  int Count() const { return static_cast<int>(items_.size()); }
  // A copy of entry `index`, or an entry of code 0 with no value when out of range.
  T_CLP GetEntry(int index) const;
  // Appends one line per entry to `s`, the lines separated by a CR.
  void ParsedText(std::string& s) const;

  bool Error() const { return error_; }
  const std::string& Errors() const { return errors_; }
  bool Program() const { return program_; }
  bool ProgramOrVerify() const { return program_or_verify_; }
  bool HideGui() const { return hide_gui_; }
  bool Debug() const { return debug_; }
  bool DebugAgain() const { return debug_again_; }
  bool Wrenfield() const { return wrenfield_; }

 private:
  int AddEntry(std::uint8_t code, std::string value = {});
  void DeleteEntry(int index);
  bool RemoveCode(std::uint8_t code, int* walk_index = nullptr);
  void Sort();
  void Reset();
  void Clear();
  void AddError(const std::string& text);

  std::vector<T_CLP> items_;
  bool error_ = false;
  std::string errors_;
  bool program_ = false;
  bool program_or_verify_ = false;
  bool hide_gui_ = false;
  bool debug_ = false;
  bool debug_again_ = false;
  bool wrenfield_ = false;
};

// The parameters a program received, without its name.  Taken from main's own argv before
// the window toolkit strips the switches it knows, so that none of ours is lost.
std::vector<std::string> ProgramParameters(int argc, const char* const* argv);

// The two boxes the main window shows around a parse: the messages, captioned
// "Command Line Parse Errors", when there are any; and the parsed list, captioned
// "Parsed Command Line", when it carries out a "/cd" entry.
void ShowParseErrors(const T_ZKCmdLineParse& parser, platform::MessageBoxService& boxes);
void ShowParsedCommandLine(const T_ZKCmdLineParse& parser, platform::MessageBoxService& boxes);

}  // namespace workbench
