#include "assembler/options.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "assembler/devices.h"
#include "assembler/messages.h"
#include "assembler/named_values.h"
#include "assembler/run.h"
#include "assembler/text.h"
#include "assembler/version.h"

namespace tarn {
namespace {

constexpr NamedValue kSyntaxModes[] = {{"QV", kModeQV},
                                       {"KESTRIAN", kModeKestrian},
                                       {"MCHIP", kModeMchip},
                                       {"ALL", kModeAll},
                                       {"DEBUGGER", kModeDebugger}};

constexpr std::string_view kValueLetters = "FPSRTWCLEQODVIX";

enum class Outcome { kNext, kIllegal, kVersion };

// Applies one option with its value; prints the illegal-value line itself.
Outcome ApplyOption(TarnRun& run, char letter, const std::string& value) {
  Options& o = run.options;
  bool legal = true;
  switch (letter) {
    case 'C': {
      int mode = LookupNamedValue(kSyntaxModes, value);
      o.syntax_mode = mode < 0 ? kModeKestrian : mode;
      legal = mode >= 0;
      break;
    }
    case 'D':
      if (EqualsNoCase(value, "LBL_START_ONE")) o.local_label_column_one = true;
      if (EqualsNoCase(value, "LBL_START_ANY")) o.local_label_column_one = false;
      break;
    case 'E':
      if (EqualsNoCase(value, "KESTRIAN"))
        o.kestrian = true;
      else if (EqualsNoCase(value, "NOHAU"))
        o.nohau = true;
      else if (!EqualsNoCase(value, "NONE"))  // the default that the usage text names
        legal = false;
      break;
    case 'F': {
      int format = LookupNamedValue(kFormatNames, value);
      o.output_format = format < 0 ? kBin16 : format;
      legal = format >= 0;
      break;
    }
    case 'I':  // names always compare without regard to case
      break;
    case 'L': {
      int mode = LookupNamedValue(kListingModeNames, value);
      o.listing_mode = mode < 0 ? kListNone : mode;
      legal = mode >= 0;
      break;
    }
    case 'O':
      if (EqualsNoCase(value, "USE_OUTPUT_DIR")) o.use_output_dir = true;
      if (EqualsNoCase(value, "USE_SRC_DIR")) o.use_output_dir = false;
      break;
    case 'P': {
      int device = FindDeviceName(value);
      legal = device != kDeviceUnknown;
      if (legal) {
        o.device = device;
        o.device_name = value;
      }
      break;
    }
    case 'Q':
      o.quiet_given = true;
      legal = QuietMessage(run, value) == 0;
      break;
    case 'R': {
      int radix = LookupNamedValue(kRadixNames, value);
      o.radix = radix < 0 ? 10 : radix;
      legal = radix >= 0;
      break;
    }
    case 'S': o.strict_statements = value == "1"; break;
    case 'T': {
      long width = std::strtol(value.c_str(), nullptr, 10);
      // A width of 0 would divide the tab expansion by zero later.
      if (width > 20) {
        o.tab_width = 20;
        legal = false;
      } else if (width < 1) {
        legal = false;
      } else {
        o.tab_width = static_cast<int>(width);
      }
      break;
    }
    case 'V': return Outcome::kVersion;
    case 'W': {
      long level = std::strtol(value.c_str(), nullptr, 10);
      if (level >= 0 && level <= 2) {
        o.warning_level = static_cast<int>(level);
      } else {
        o.warning_level = 1;
        legal = false;
      }
      break;
    }
    case 'X': o.irc_cal_zero = value == "1"; break;
  }
  if (legal) return Outcome::kNext;
  Print(run, "\nIllegal option /%c %s\n", letter, value.c_str());
  return Outcome::kIllegal;
}

}  // namespace

bool IsOptionArgument(const std::string& arg) {
  if (arg.empty()) return false;
  if (arg[0] == '-') return true;
  return arg[0] == '/' && arg.find('/', 1) == std::string::npos;
}

OptionsResult ReadOptions(TarnRun& run, const std::vector<std::string>& args, std::string* source) {
  size_t i = 1;
  for (; i < args.size() && IsOptionArgument(args[i]); ++i) {
    const std::string& arg = args[i];
    char letter = arg.size() > 1 ? UpperChar(arg[1]) : '\0';
    if (letter == '?' || letter == 'H') return OptionsResult::kUsage;
    if (letter == 'Z') {
      run.options.full_map_names = false;
      continue;
    }
    if (letter == '\0' || kValueLetters.find(letter) == std::string_view::npos) {
      Print(run, "\nIllegal option /%c", arg.size() > 1 ? arg[1] : ' ');
      return OptionsResult::kUsage;
    }
    std::string value;
    if (arg.size() > 2) {
      value = arg.substr(arg[2] == '=' ? 3 : 2);
    } else if (i + 1 >= args.size()) {
      // The letter alone as the last argument: there is no value to take.
      Print(run, "\nIllegal option /%c", arg[1]);
      return OptionsResult::kUsage;
    } else if (!IsOptionArgument(args[i + 1])) {
      value = args[++i];
    }
    switch (ApplyOption(run, letter, value)) {
      case Outcome::kNext: break;
      case Outcome::kIllegal: return OptionsResult::kUsage;
      case Outcome::kVersion: return OptionsResult::kVersion;
    }
  }
  // Exactly one argument, the source name, must remain.
  if (i + 1 != args.size()) return OptionsResult::kUsage;
  *source = args[i];
  return OptionsResult::kSource;
}

void PrintUsage(TarnRun& run) {
  static const char* const kLines[] = {
      "\nUsage: TARN [options] file[.asm]         where file = source file name\n",
      "\nOptions summary: ",
      "\nOpt Arguments                            Description           Default",
      "\n--- ----------------------------------   ------------------    -------",
      "\n/F  [INHX8M|INHX16|INHX8S|BIN16|IEEE695] Output Format         INHX8M",
      "\n/P  [QV18AC|QV20AC|QV28AC|QV48BD|QV52BD] Processor Type        QV18AC",
      "\n/R  [HEX|DEC|OCT]                        Default Radix         DEC",
      "\n/T  [TABWIDTH]                           Tab width             8",
      "\n/W  [0|1|2]                              Warning level         1",
      "\n/Q  [n|-n]                               Quiet or Unquiet      all unquieted",
      "\n                                         error messsage n",
      "\n/I  Turn on Case sensitivity             Symbols               Off",
      "\n/L  [NONE|NOPAGE|PAGE]                   List file control     NOPAGE",
      "\n/E  [NONE|NOHAU]                         Extensions for tools  NONE",
      "\n/H or /?                                 Display Help Message",
  };
  for (const char* line : kLines) Print(run, "%s", line);
}

void PrintBanner(TarnRun& run) {
  Print(run, "\nTARN Cross-Assembler for Orbant QV-based microcontrollers %20.20s\n", kVersionText);
  Print(run, "Version as integer: %d\n", kVersionNumber);
}

}  // namespace tarn
