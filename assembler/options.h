#pragma once
// The run options of the command line, their defaults, and the parser that reads them.

#include <string>
#include <vector>

namespace tarn {

struct TarnRun;

enum SyntaxMode : int {
  kModeQV = 0,
  kModeKestrian = 1,
  kModeMchip = 2,
  kModeAll = 3,
  kModeDebugger = 10
};
enum OutputFormat : int {
  kBin16 = 0,
  kInhx16 = 1,
  kInhx8m = 2,
  kInhx8s = 3,
  kInhx32 = 4,
  kIeee695 = 5
};
enum ListingMode : int { kListNone = 0, kListPage = 1, kListNoPage = 2 };

struct Options {
  int syntax_mode = kModeKestrian;
  int output_format = kInhx8m;
  int radix = 10;
  int listing_mode = kListNoPage;
  int tab_width = 8;
  int warning_level = 1;
  bool kestrian = false;               // /E KESTRIAN: the IDE's mode
  bool nohau = false;                  // /E NOHAU: "cmperr.log" with '#' for the parentheses
  bool use_output_dir = false;         // /O USE_OUTPUT_DIR, honoured in the IDE's mode only
  bool local_label_column_one = true;  // /D LBL_START_ONE
  bool strict_statements = false;      // /S 1
  bool full_map_names = true;          // /Z turns it off
  bool irc_cal_zero = false;           // /X 1
  bool quiet_given = false;            // some /Q was read (the bad-option exit lists numbers)
  int device = -1;                     // /P: the device index, -1 when none was given
  std::string device_name;             // /P as given
  unsigned fill_word = 0x0FFF;
};

// The outcome of reading the command line.
enum class OptionsResult {
  kSource,   // options read; exactly one argument, the source name, remains
  kUsage,    // an illegal option or value, /? or /H, or no single source name: the usage exit
  kVersion,  // /V: the banner has said everything
};

// Reads args[1..] into run.options; on kSource, *source is the source name as given.
OptionsResult ReadOptions(TarnRun& run, const std::vector<std::string>& args, std::string* source);

// An argument is an option when it begins with "-", or with "/" and holds no further "/"
// ("/home/u/prog.src" is a file name).
bool IsOptionArgument(const std::string& arg);

void PrintUsage(TarnRun& run);
void PrintBanner(TarnRun& run);

}  // namespace tarn
