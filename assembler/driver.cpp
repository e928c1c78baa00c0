#include "assembler/driver.h"

#include <termios.h>
#include <unistd.h>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include "assembler/expression.h"
#include "assembler/ieee695_writer.h"
#include "assembler/listing.h"
#include "assembler/messages.h"
#include "assembler/object_writers.h"
#include "assembler/options.h"
#include "assembler/pass1.h"
#include "assembler/pass2.h"
#include "assembler/run.h"
#include "assembler/sources.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

constexpr size_t kCommandTextLimit = 1024;

// The IDE and scripts start tarn without a terminal: only a person at one is asked for a key.
void WaitForKey(TarnRun& run) {
  run.out.flush();
  if (!isatty(STDIN_FILENO)) return;
  termios saved;
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char c;
  [[maybe_unused]] ssize_t n = read(STDIN_FILENO, &c, 1);
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string ProgramFolder(const std::string& program_path) {
  std::error_code ec;
  fs::path path = program_path;
  if (program_path.find('/') == std::string::npos) path = fs::read_symlink("/proc/self/exe", ec);
  if (ec || path.empty()) return WithSlash(fs::current_path(ec).string());
  return WithSlash(fs::absolute(path, ec).lexically_normal().parent_path().string());
}

// Names, absolute before anything changes where relative names are taken from.
void SetUpNames(TarnRun& run, const std::string& given) {
  fs::path name = given;
  if (!name.has_extension()) name += ".asm";
  run.source_name = name.string();
  std::error_code ec;
  fs::path absolute = fs::absolute(name, ec).lexically_normal();
  run.source_path = absolute.string();
  run.working_folder = WithSlash(absolute.parent_path().string());
  run.output_base = (absolute.parent_path() / absolute.stem()).string();
}

// Makes the folder and every missing folder above it; true when it is a folder afterwards.
bool MakeFolders(FileAccess& files, const fs::path& folder) {
  if (files.Exists(folder.string())) return files.MakeFolder(folder.string());
  if (folder.has_relative_path() && folder.has_parent_path() && folder.parent_path() != folder &&
      !MakeFolders(files, folder.parent_path()))
    return false;
  return files.MakeFolder(folder.string());
}

// "TARN Output" goes beside the program, or, for a program installed where the user may not
// write, into the user's data folder: the IDE applies the same rule to find the files.
void SetUpOutputFolder(TarnRun& run) {
  if (!run.options.kestrian || !run.options.use_output_dir) return;
  std::string root = run.program_folder;
  if (!run.files.CanWrite(root)) {
    std::string data = run.files.UserDataFolder();
    if (!data.empty()) root = data;
  }
  fs::path folder = fs::path(root) / "TARN Output";
  if (!MakeFolders(run.files, folder)) return;  // the outputs stay beside the source
  run.output_base = (folder / fs::path(run.source_path).stem()).string();
}

void DeleteOutputs(TarnRun& run, std::initializer_list<const char*> extensions) {
  for (const char* extension : extensions) run.files.Remove(run.OutputName(extension));
}

void StartPass(TarnRun& run, int pass) {
  run.pass = pass;
  ResetMessageCounts(run);
}

void Pass1(TarnRun& run) {
  StartPass(run, 1);
  // Without its error file the run would assemble nothing and still end "No errors detected":
  // the console line naming the file is the whole report.
  if (CreateErrorFile(run) != 0) {
    DeleteOutputs(run, {".map", ".bin", ".hex", ".qve", ".obj", ".hxl", ".hxh"});
    throw TarnExit{1};
  }
  if (!OpenMainSource(run)) {
    Print(run, "\nCannot open Source file: <%s>", run.source_name.c_str());
    if (run.options.kestrian) {
      SetMessageArgument(run, run.source_name);
      FatalStop(run, kError, kMsgCannotOpenFile);
    }
    throw TarnExit{1};
  }
  RunPass1(run);
  SavePass1Counts(run);
}

void Pass2(TarnRun& run) {
  StartPass(run, 2);
  if (run.options.listing_mode != kListNone) {
    if (CreateListing(run) != 0) throw TarnExit{run.options.kestrian ? 6 : 1};
    if (CreateMapFile(run) != 0) throw TarnExit{run.options.kestrian ? 3 : 1};
  }
  RunPass2(run);
  // A listing or map that lost a write is no listing: it fails as a file that could not be made.
  switch (EndListing(run)) {
    case ListingEnd::kWritten: break;
    case ListingEnd::kListingLost: throw TarnExit{run.options.kestrian ? 6 : 1};
    case ListingEnd::kMapLost: throw TarnExit{run.options.kestrian ? 3 : 1};
  }
}

int Assemble(TarnRun& run, const std::vector<std::string>& args) {
  // The command-line text, kept for the IEEE-695 writer.
  run.program_path = args.empty() ? std::string() : args[0];
  run.program_folder = ProgramFolder(run.program_path);
  for (const std::string& arg : args) run.command_text += arg;
  if (run.command_text.size() > kCommandTextLimit) {
    Print(run, "Command Line longer than %d characters\n", static_cast<int>(kCommandTextLimit - 1));
    run.command_text.resize(kCommandTextLimit - 1);
  }
  SaveCommandLine(run, run.command_text);

  // Banner, defaults, options.
  PrintBanner(run);
  std::string source;
  switch (ReadOptions(run, args, &source)) {
    case OptionsResult::kVersion: return 0;
    case OptionsResult::kUsage:
      PrintUsage(run);
      Print(run, "\nPress any key to end.\n");
      WaitForKey(run);
      if (run.options.quiet_given) ListMessageNumbers(run);
      return 1;
    case OptionsResult::kSource: break;
  }

  // Names, device, image, the IDE's mode, the working folder.
  if (source.empty()) return 1;
  SetUpNames(run, source);
  SetUpDevice(run);
  run.image.Fill(static_cast<uint16_t>(run.options.fill_word));
  SetUpOutputFolder(run);
  Print(run, "CWD = %s\n", fs::path(run.source_path).parent_path().c_str());

  // The passes.
  auto start = std::chrono::steady_clock::now();
  Pass1(run);
  PrintStackStatistics(run);
  CloseSources(run);
  Pass2(run);
  PrintStackStatistics(run);
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);

  // Summary.
  int shown = PrintSummary(run, static_cast<double>(elapsed.count()) * 0.001);

  // Outputs, or none of them after errors.
  int exit_code = 0;
  if (run.messages.counts.errors > 0) {
    Print(run, run.messages.error_file_created ? "\nOnly .ERR file was generated.\n"
                                               : "\nNo output files are generated\n");
    // No object of an earlier run may survive a failed one.
    DeleteOutputs(run, {".map", ".bin", ".hex", ".qve", ".obj", ".hxl", ".hxh"});
  } else {
    if (WriteObject(run) != 0) {
      Print(run, "\nCannot open object file");
      exit_code = run.options.kestrian ? 4 : 1;
    } else if (run.options.listing_mode != kListNone && WriteSymbolFile(run) != 0) {
      exit_code = run.options.kestrian ? 5 : 1;
    }
  }

  // Tidy up.
  TrimErrorFile(run);
  if (run.options.listing_mode == kListNone) DeleteOutputs(run, {".map", ".sym", ".lst"});
  FreeMacroStorage(run);
  CloseSources(run);
  CloseListing(run);
  if (exit_code != 0) return exit_code;

  // The exit code follows from what the summary showed.
  if (shown != 0) {
    const MessageCounts& c = run.messages.counts;
    exit_code = c.errors > 0 ? 1 : c.warnings > 0 ? 2 : 1;
  }
  Print(run, "Press any key to close...\n");
  WaitForKey(run);
  return exit_code;
}

}  // namespace

int RunTarn(const std::vector<std::string>& args, std::ostream& console) {
  TarnRun run(console);
  return RunTarn(run, args);
}

int RunTarn(TarnRun& run, const std::vector<std::string>& args) {
  int code;
  try {
    code = Assemble(run, args);
  } catch (const TarnExit& exit) {
    code = exit.code;
  }
  // A run ended early may leave any of them open; one process can assemble many sources.
  CloseErrorFile(run);
  CloseListing(run);
  CloseSources(run);
  run.out.flush();
  return code;
}

}  // namespace tarn
