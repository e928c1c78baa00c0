#include "workbench/command_line.h"

#include <utility>

#include "platform/message_box.h"
#include "platform/text.h"

namespace workbench {
namespace {

struct SwitchRow {
  const char* text;  // lower case, as compared
  std::uint8_t code;
};

// The switches that are compared whole; the COM switch and the file are matched by shape.
// clang-format off
constexpr SwitchRow kSwitches[] = {
    {"/cd",                kCmdShowParsed},
    {"/debug",             kCmdDebugIde},
    {"/debug_no_filelist", kCmdDebugNoFileList},
    {"/h",                 kCmdHideGui},
    {"/b",                 kCmdWrenfield},
    {"/r",                 kCmdReadOnly},
    {"/d",                 kCmdDebugChip},
    {"/da",                kCmdDebugAgainChip},
    {"/p",                 kCmdProgramChip},
    {"/v",                 kCmdVerifyChip},
};
// clang-format on

struct ParsedLine {
  std::uint8_t code;
  const char* text;  // the value follows it for codes 4 and 8
};

// clang-format off
constexpr ParsedLine kParsedLines[] = {
    {kCmdShowParsed,      "CMD: Debug command line parsing"},
    {kCmdDebugIde,        "CMD: Debug"},
    {kCmdDebugNoFileList, "CMD: Debug - No file list"},
    {kCmdComPort,         "CMD: Set COM port - "},
    {kCmdHideGui,         "CMD: Hide GUI"},
    {kCmdWrenfield,       "CMD:Set Wrenfield \"C\" Mode"},
    {kCmdReadOnly,        "CMD: Read Only"},
    {kCmdLoadFile,        "CMD: Load File - "},
    {kCmdDebugChip,       "CMD: Debug Chip"},
    {kCmdDebugAgainChip,  "CMD: Debug Again Chip"},
    {kCmdProgramChip,     "CMD: Program Chip"},
    {kCmdVerifyChip,      "CMD: Verify Chip"},
};
// clang-format on

constexpr char kCR = '\r';

// The extension of a path: from the last dot of its last component, or empty.
std::string Extension(const std::string& path) {
  std::size_t dot = path.rfind('.');
  std::size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

// A parameter that can name a file: one that does not begin with "/", or an absolute path
// (a switch never holds a second slash), since file names here may begin with the very
// character that introduces a switch.
bool CanBeFileName(const std::string& p) {
  if (p.empty()) return false;
  return p[0] != '/' || p.find('/', 1) != std::string::npos;
}

}  // namespace

// Kept whole: one pass over the parameters, a branch for each switch.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
bool T_ZKCmdLineParse::ParseCommandLine(const std::vector<std::string>& parameters) {
  Clear();
  errors_.clear();
  error_ = false;
  bool file_given = false;
  bool cod_file = false;
  const std::size_t last = parameters.size();

  for (std::size_t i = 1; i <= last; ++i) {
    const std::string typed(platform::TrimBlanks(parameters[i - 1]));
    const std::string p = platform::LowerAscii(typed);
    if (i == last && CanBeFileName(p)) {
      AddEntry(kCmdLoadFile, typed);
      file_given = true;
      cod_file = Extension(p) == ".cod";
      continue;
    }
    const int index = AddEntry(kCmdNone);
    T_CLP& entry = items_[static_cast<std::size_t>(index)];
    for (const SwitchRow& row : kSwitches) {
      if (p == row.text) entry.Code = row.code;
    }
    if (p.size() == 2 && p[1] >= '1' && p[1] <= '4') {
      entry.Code = kCmdComPort;
      entry.Value = std::string("COM") + p[1];
    }
    switch (entry.Code) {
      case kCmdWrenfield: wrenfield_ = true; break;
      case kCmdDebugChip: debug_ = true; break;
      case kCmdDebugAgainChip: debug_again_ = true; break;
      case kCmdProgramChip:
        program_ = true;
        program_or_verify_ = true;
        break;
      case kCmdVerifyChip: program_or_verify_ = true; break;
      default: break;
    }
    if (entry.Code == kCmdNone) {
      error_ = true;
      AddError("\"" + typed + "\" : Invalid commandline parameter #" + std::to_string(i));
      if (i != last && CanBeFileName(p)) {
        AddError("If parameter #" + std::to_string(i) +
                 " is a filename, it must be the last parameter on the command line.");
      }
      break;
    }
  }

  bool hide_asked = false;
  if (Count() > 0) {
    // Rule 1: Wrenfield mode leaves the key to the C tools.
    if (wrenfield_ && (debug_ || debug_again_ || program_or_verify_)) {
      AddError(
          "The \"/b\" switch (Wrenfield mode) cannot be used with any other switches that "
          "control communication with the QV-Key.");
      Clear();
      error_ = true;
    }
    // Rule 2: a C-compiler file implies its mode; then the order of execution.
    if (!error_) {
      if (cod_file) {
        if (wrenfield_) {
          AddEntry(kCmdHideGui);
          AddEntry(kCmdDebugChip);
        } else {
          AddEntry(kCmdWrenfield);
        }
      }
      Sort();
      if (debug_ && debug_again_) {
        AddError("Can't do a \"Debug\" and a \"Debug Again\" at the same time");
        Clear();
        error_ = true;
      }
    }
    // Rule 3: debugging wins over programming; verifying needs programming.
    bool needs_no_file = false;
    for (int i = 0; i < Count(); ++i) {
      const std::uint8_t code = items_[static_cast<std::size_t>(i)].Code;
      if (code < kCmdHideGui) needs_no_file = true;
      if (code == kCmdHideGui) hide_asked = true;
      if ((code == kCmdDebugChip || code == kCmdDebugAgainChip) && program_or_verify_) {
        AddError(
            "Can't program or verify chip if also debugging chip.  Only debugging will be "
            "performed");
        RemoveCode(kCmdVerifyChip, &i);
        RemoveCode(kCmdProgramChip, &i);
        program_or_verify_ = false;
      }
      if (code == kCmdVerifyChip && !program_) {
        AddError("Verifying a chip without programming it is not allowed");
        DeleteEntry(i);
        --i;
        error_ = true;
      }
    }
    // Rule 4: something must be left to do.
    if (!file_given && !needs_no_file) {
      error_ = true;
      AddError("No file to load on command line");
      if (program_) AddError("Programming not allowed without loading source file.");
      Clear();
    }
    // Rule 5: a window that reports errors stays visible.
    if (error_ && hide_asked) {
      AddError("Request to hide GUI ignored");
      RemoveCode(kCmdHideGui);
      hide_asked = false;
    }
  }
  hide_gui_ = hide_asked;
  return !error_;
}

T_CLP T_ZKCmdLineParse::GetEntry(int index) const {
  if (index < 0 || index >= Count()) return T_CLP{};
  return items_[static_cast<std::size_t>(index)];
}

void T_ZKCmdLineParse::ParsedText(std::string& s) const {
  for (int i = 0; i < Count(); ++i) {
    if (i > 0) s += kCR;
    const T_CLP& entry = items_[static_cast<std::size_t>(i)];
    for (const ParsedLine& line : kParsedLines) {
      if (line.code != entry.Code) continue;
      s += line.text;
      if (entry.Code == kCmdComPort || entry.Code == kCmdLoadFile) s += entry.Value;
    }
  }
}

int T_ZKCmdLineParse::AddEntry(std::uint8_t code, std::string value) {
  items_.push_back(T_CLP{code, std::move(value)});
  return Count() - 1;
}

void T_ZKCmdLineParse::DeleteEntry(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

// Deletes the first entry with `code`.  A walk over the entries passes its index, which steps
// back only when the deleted entry lay at or before it, so the walk neither skips an entry
// nor goes below the first.
bool T_ZKCmdLineParse::RemoveCode(std::uint8_t code, int* walk_index) {
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<std::size_t>(i)].Code != code) continue;
    DeleteEntry(i);
    if (walk_index != nullptr && i <= *walk_index) --*walk_index;
    return true;
  }
  return false;
}

// Bubble sort by code: stable, so entries with one code keep their command-line order.
void T_ZKCmdLineParse::Sort() {
  for (int pass = 0; pass + 1 < Count(); ++pass) {
    for (std::size_t j = 0; j + 1 < items_.size(); ++j) {
      if (items_[j + 1].Code < items_[j].Code) std::swap(items_[j], items_[j + 1]);
    }
  }
}

void T_ZKCmdLineParse::Reset() {
  items_.clear();
  program_ = program_or_verify_ = hide_gui_ = debug_ = debug_again_ = wrenfield_ = false;
}

void T_ZKCmdLineParse::Clear() {
  items_.clear();
  items_.shrink_to_fit();
  Reset();
}

void T_ZKCmdLineParse::AddError(const std::string& text) {
  if (!errors_.empty()) errors_ += "\r\r";
  errors_ += text;
}

std::vector<std::string> ProgramParameters(int argc, const char* const* argv) {
  std::vector<std::string> parameters;
  for (int i = 1; i < argc; ++i) parameters.emplace_back(argv[i]);
  return parameters;
}

void ShowParseErrors(const T_ZKCmdLineParse& parser, platform::MessageBoxService& boxes) {
  if (parser.Errors().empty()) return;
  boxes.Show({parser.Errors(), "Command Line Parse Errors", platform::BoxButtons::Ok});
}

void ShowParsedCommandLine(const T_ZKCmdLineParse& parser, platform::MessageBoxService& boxes) {
  std::string text;
  parser.ParsedText(text);
  boxes.Show({text, "Parsed Command Line", platform::BoxButtons::Ok});
}

}  // namespace workbench
