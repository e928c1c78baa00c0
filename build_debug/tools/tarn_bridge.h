#pragma once
// TarnUnit: the IDE's road to the cross-assembler. It finds tarn ("TARN.dll" in the IDE's
// folder, an executable despite its name), builds its command line from the options, runs it
// through the session's program runner, reads back the map, the object and the
// cross-reference, and answers address, line and symbol questions for the list, code and
// debugger windows.
//
// Invariants: the image, the map records, the symbols and the watches change together, and
// only after a run whose three files were read whole; after any failure they hold the last
// good build and the last assembled source is empty.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "build_debug/tools/extern_lang.h"
#include "build_debug/tools/tarn_output.h"

namespace workbench {
class MessageStrings;
class ProgramRunner;
struct EditorOptions;
struct IdeOptions;
}  // namespace workbench

namespace build_debug {

struct ObjectImage;

// Results of TarnAssemble beyond tarn's own exit codes (0, 1, 2, 3-6, 8, 9).
enum TarnResultCode : int {
  kTarnMapUnread = 10,
  kTarnObjUnread = 11,
  kTarnSymUnread = 12,
  kTarnNotRun = 13,
  kTarnMissing = 14,
};

inline constexpr const char* kTarnProgramName = "TARN.dll";
inline constexpr const char* kTarnOutputFolderName = "TARN Output/";

class TarnUnit {
 public:
  // Receives the IRC calibration setting of each build (0xFF: none) for the key unit.
  using IrcCalModeSink = std::function<void(std::uint8_t)>;

  // The options are the session's, read at each build.
  TarnUnit(ObjectImage& image, const workbench::ProgramRunner& runner,
           const workbench::MessageStrings& boxes, const workbench::EditorOptions& editor_options,
           const workbench::IdeOptions& ide_options, IrcCalModeSink set_irc_cal_mode = {});

  // Start-up: the tool folder (created when missing) and whether tarn is in it. "TARN Output/"
  // is in output_root ("": the tool folder), where tarn puts it too (platform/user_data_folder.h).
  bool TARN_Init(const std::string& folder, const std::string& output_root = "");
  // Runs tarn on source and commits its outputs; tarn's exit code or a TarnResultCode.
  [[nodiscard]] int TarnAssemble(const std::string& source, bool basic_output);
  // False with exit code 13 when tarn could not be started or gave no exit code. When output
  // is given it receives what tarn printed.
  [[nodiscard]] bool TarnRun(const std::string& arguments, int& exit_code,
                             std::string* output = nullptr) const;
  // "1.51.07", with " DBG" for a debug build; empty when tarn cannot run.
  std::string TarnVersionText() const;

  // The readers of one run's files, into the pending read-back (committed by TarnAssemble).
  [[nodiscard]] bool ReadTarnMap();
  [[nodiscard]] bool ReadTarnObj();
  [[nodiscard]] bool ReadTarnSym();

  // The ".err" lines of the last run; false when the file exists but cannot be read.
  [[nodiscard]] bool LoadTarnErrors();
  // False when the last run's ".err" exists and cannot be deleted.
  [[nodiscard]] bool ClearTarnErrors();
  // Empties "TARN Output/" of the tool folder; false when a file in it stays.
  [[nodiscard]] bool TarnClearOutputDir();
  void TarnSetOutputDir(const std::string& source);
  const std::string& TarnGetOutputDir() const { return output_folder_; }
  // Deletes the ".err", ".sym" and ".map" of the output base; false when one stays.
  [[nodiscard]] bool TarnDeleteOutputFiles();
  void TarnCleanup();

  // Index of the first map record with that address or listing line; -1 when none.
  int FindMapByAddress(int address) const;
  int FindMapByLine(int listing_line) const;
  // -1 for an index outside the records.
  int MapListingLineAt(int index) const;
  int MapAddressAt(int index) const;
  // Listing lines (1-based) in the listing shown by the list window; -1 when absent.
  int ResetListingLine(const std::vector<std::string>& listing) const;
  int MainListingLine(const std::vector<std::string>& listing) const;
  // The first symbol of that name; when none, an empty name, value 0 and line -1.
  T_EXTLANG_SymbolInfo FindSymbolInfo(const std::string& name, bool exact) const;
  // The 12-bit word at a program address; -1 outside the device or for an empty word.
  int ImageWordAt(int address) const;

  const std::string& ToolFolder() const { return tool_folder_; }
  const std::string& LastAssembledSource() const { return last_source_; }
  const std::string& OutputBase() const { return output_base_; }
  const std::vector<std::string>& Errors() const { return errors_; }
  const std::array<std::int16_t, kMapHeaderWords>& MapHeader() const { return current_.MapHeader; }
  const std::vector<TarnMapRecord>& MapRecords() const { return current_.MapRecords; }
  const std::vector<T_EXTLANG_SymbolInfo>& Symbols() const { return current_.Symbols; }
  const std::vector<T_EXTLANG_WatchInfo>& Watches() const { return current_.Watches; }
  const T_EXTLANG_SymbolInfo& BreakInfo() const { return current_.BreakInfo; }
  const T_EXTLANG_SymbolInfo& ResetInfo() const { return current_.ResetInfo; }

 private:
  std::string ProgramFile() const { return tool_folder_ + kTarnProgramName; }
  std::string OutputName(const char* extension) const { return output_base_ + extension; }
  std::string Arguments(const std::string& source, bool basic_output) const;
  void CommitReadBack();

  ObjectImage& image_;
  const workbench::ProgramRunner& runner_;
  const workbench::MessageStrings& boxes_;
  const workbench::EditorOptions& editor_options_;
  const workbench::IdeOptions& ide_options_;
  IrcCalModeSink set_irc_cal_mode_;
  ExternLangUnit extern_lang_;

  std::string tool_folder_;    // ends with "/"
  std::string output_root_;    // holds "TARN Output/"; ends with "/"
  std::string output_folder_;  // ends with "/"
  std::string output_base_;    // output folder + the source's name without extension
  std::string last_source_;
  std::vector<std::string> errors_;
  TarnReadBack pending_;  // the run being read back
  TarnReadBack current_;  // the last build that was read whole
};

}  // namespace build_debug
