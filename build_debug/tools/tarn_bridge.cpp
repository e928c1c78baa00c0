#include "build_debug/tools/tarn_bridge.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "build_debug/image/object_image.h"
#include "build_debug/tools/tool_install.h"
#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/file_routines.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/options.h"
#include "services/program_runner.h"
#include "services/text_routines.h"

namespace build_debug {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kVersionLine = "Version as integer: ";

std::string WithSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// The whole file; false when it is missing or cannot be read to its end.
bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // A read that fails under the buffer (a folder in the file's place, a device error) raises
  // out of the stream buffer instead of setting the stream's state.
  try {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure&) {
    return false;
  }
  return !in.bad();
}

// False only when the file exists and stays.
bool DeleteIfPresent(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
  return !ec;
}

// What "/v 0" printed, else the exit code: an exit status holds only 8 bits here.
int VersionNumber(const std::string& output, int exit_code) {
  std::size_t at = output.find(kVersionLine);
  if (at == std::string::npos) return exit_code;
  const char* begin = output.data() + at + kVersionLine.size();
  int number = 0;
  auto [ptr, ec] = std::from_chars(begin, output.data() + output.size(), number);
  return ec == std::errc() && ptr != begin ? number : exit_code;
}

}  // namespace

TarnUnit::TarnUnit(ObjectImage& image, const workbench::ProgramRunner& runner,
                   const workbench::MessageStrings& boxes,
                   const workbench::EditorOptions& editor_options,
                   const workbench::IdeOptions& ide_options, IrcCalModeSink set_irc_cal_mode)
    : image_(image),
      runner_(runner),
      boxes_(boxes),
      editor_options_(editor_options),
      ide_options_(ide_options),
      set_irc_cal_mode_(std::move(set_irc_cal_mode)),
      extern_lang_(image, boxes) {}

bool TarnUnit::TARN_Init(const std::string& folder, const std::string& output_root) {
  namespace ids = string_ids::TarnUnit;
  tool_folder_ = WithSlash(folder);
  output_root_ = output_root.empty() ? tool_folder_ : WithSlash(output_root);
  std::error_code ec;
  if (!fs::is_directory(tool_folder_, ec)) {
    if (fs::create_directories(tool_folder_, ec) && !ec) {
      boxes_.MsgBoxById1(ids::SCU_CREATED_DIR, ids::SCU_CREATED_DIR_CAPTION, tool_folder_);
    } else {
      boxes_.MsgBoxById2(ids::SCU_CREATE_DIR_FAILED, ids::SCU_CREATE_DIR_FAILED_CAPTION, "TARN",
                         tool_folder_);
    }
  }
  bool available = fs::is_regular_file(ProgramFile(), ec);
  if (!available) {
    boxes_.MsgBoxById1(string_ids::EditorUnit::SCU_FORMAT_ONLY, ids::SCU_TARN_MISSING_CAPTION,
                       boxes_.Texts().LU_GetString(ids::SCU_TARN_MISSING));
  }
  current_ = TarnReadBack();
  return available;
}

std::string TarnUnit::Arguments(const std::string& source, bool basic_output) const {
  std::string arguments = " /F BIN16 /E KESTRIAN";
  if (editor_options_.UseNewEditor) arguments += " /T " + std::to_string(editor_options_.Tabsize);
  if (ide_options_.TarnFilesToOutputDir) arguments += " /O USE_OUTPUT_DIR";
  if (!ide_options_.LocalLabelStartCol) arguments += " /D LBL_START_ANY";
  arguments += ide_options_.StricterAssemblyParsing ? " /S 1" : " /S 0";
  if (basic_output) arguments += " /X 1";
  return arguments + " " + QuotedArgument(source);
}

int TarnUnit::TarnAssemble(const std::string& source_name, bool basic_output) {
  int result = kTarnMissing;
  std::error_code ec;
  if (!fs::is_regular_file(ProgramFile(), ec)) {
    boxes_.MsgBoxById2(string_ids::TarnUnit::SCU_PROGRAM_NOT_FOUND,
                       string_ids::TarnUnit::SCU_START_UP_CAPTION, "TARN.DLL", tool_folder_);
  } else {
    // tarn runs in its own folder: a relative name would be taken from there.
    std::string source = fs::absolute(source_name, ec).string();
    if (ec) source = source_name;
    last_source_ = source;
    TarnSetOutputDir(source);
    // tarn writes a new one; an old one that stays is replaced or trimmed by it.
    [[maybe_unused]] bool deleted = DeleteIfPresent(OutputName(".err"));
    int exit_code = 0;
    pending_ = TarnReadBack();
    if (!TarnRun(Arguments(source, basic_output), exit_code)) {
      result = kTarnNotRun;
    } else if (exit_code != 0 && exit_code != 2) {
      return exit_code;  // nothing to read back; the last build stays
    } else if (!ReadTarnMap()) {
      result = kTarnMapUnread;
    } else if (!ReadTarnObj()) {
      result = kTarnObjUnread;
    } else if (!ReadTarnSym()) {
      result = kTarnSymUnread;
    } else {
      CommitReadBack();
      return exit_code;
    }
  }
  last_source_.clear();
  return result;
}

bool TarnUnit::TarnRun(const std::string& arguments, int& exit_code, std::string* output) const {
  std::uint32_t code = 0;
  if (runner_.RunAndWait(ProgramFile(), arguments, code, output) != workbench::kRunStarted) {
    exit_code = kTarnNotRun;
    return false;
  }
  exit_code = static_cast<int>(code);
  return true;
}

std::string TarnUnit::TarnVersionText() const {
  std::string output;
  int exit_code = 0;
  if (!TarnRun("/v 0", exit_code, &output)) return "";
  int number = VersionNumber(output, exit_code);
  bool debug_build = number < 0;
  std::string text = workbench::VersionToStr(debug_build ? -number : number);
  return debug_build ? text + " DBG" : text;
}

bool TarnUnit::ReadTarnMap() {
  std::string bytes;
  return ReadWholeFile(OutputName(".map"), bytes) && ParseTarnMap(bytes, pending_);
}

bool TarnUnit::ReadTarnObj() {
  std::string bytes;
  return ReadWholeFile(OutputName(".obj"), bytes) && ParseTarnObj(bytes, pending_);
}

bool TarnUnit::ReadTarnSym() {
  std::string text;
  return ReadWholeFile(OutputName(".sym"), text) && ParseTarnSym(text, pending_);
}

void TarnUnit::CommitReadBack() {
  current_ = std::move(pending_);
  pending_ = TarnReadBack();
  const TarnReadBack& read = current_;

  CopyWorkingToProgramming(image_);
  for (int i = 0; i < kProgramWords; ++i) {
    std::uint16_t word = read.ProgramWords[static_cast<std::size_t>(i)] & kInstructionBits;
    if (word != kEmptyWord) word |= kInUseBit;
    image_.WorkingImage[static_cast<std::size_t>(i)] = word;
    image_.ProgrammingImage[static_cast<std::size_t>(i)] = word;
  }
  for (int i = 0; i < kIdWordCount; ++i) {
    std::uint16_t word = read.IdWords[static_cast<std::size_t>(i)] & kInstructionBits;
    image_.WorkingImage[static_cast<std::size_t>(kIdWordsIndex + i)] = word;
    image_.ProgrammingImage[static_cast<std::size_t>(kIdWordsIndex + i)] = word;
  }
  image_.WorkingImage[kFuseIndex] = read.ConfigWords[kConfigFuse] & kInstructionBits;
  image_.WorkingImage[kFusexIndex] = read.ConfigWords[kConfigFusex] & kInstructionBits;
  image_.ProgrammingImage[kFuseIndex] = image_.WorkingImage[kFuseIndex];
  image_.ProgrammingImage[kFusexIndex] = image_.WorkingImage[kFusexIndex];

  // 0xFFFF means no BREAK; nothing else outside program memory can be one either.
  std::uint16_t break_word = read.ConfigWords[kConfigBreak];
  image_.BreakAddress =
      break_word < kProgramWords ? static_cast<std::int16_t>(break_word) : AddressNone;
  image_.ClockHz = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(read.ConfigWords[kConfigClockHigh]) << 16 |
      read.ConfigWords[kConfigClockLow]);
  if (set_irc_cal_mode_) {
    set_irc_cal_mode_(static_cast<std::uint8_t>(read.ConfigWords[kConfigIrcCal] & 0xFF));
  }
  switch (DeviceSizeOf(read)) {
    case MapDeviceSize::k2K: image_.Device4K = 0; break;
    case MapDeviceSize::k4K: image_.Device4K = 1; break;
    case MapDeviceSize::kUnknown: break;
  }
  extern_lang_.SetImageWatches(read.Watches);
}

bool TarnUnit::LoadTarnErrors() {
  errors_.clear();
  std::string text;
  std::error_code ec;
  if (!fs::exists(OutputName(".err"), ec)) return !ec;
  if (!ReadWholeFile(OutputName(".err"), text)) return false;
  errors_ = TextLines(text);
  return true;
}

bool TarnUnit::ClearTarnErrors() {
  errors_.clear();
  return last_source_.empty() || DeleteIfPresent(OutputName(".err"));
}

bool TarnUnit::TarnClearOutputDir() {
  output_folder_ = output_root_ + kTarnOutputFolderName;
  std::error_code ec;
  if (!fs::is_directory(output_folder_, ec)) return true;
  return workbench::DeleteFilesByMask(output_folder_, "*.*") == 0;
}

void TarnUnit::TarnSetOutputDir(const std::string& source) {
  fs::path path = source;
  output_folder_ = ide_options_.TarnFilesToOutputDir ? output_root_ + kTarnOutputFolderName
                                                     : WithSlash(path.parent_path().string());
  output_base_ = output_folder_ + path.stem().string();
}

void TarnUnit::TarnCleanup() {
  errors_.clear();
  errors_.shrink_to_fit();
  current_ = TarnReadBack();
  pending_ = TarnReadBack();
}

int TarnUnit::FindMapByAddress(int address) const {
  const auto& records = current_.MapRecords;
  auto it = std::find_if(records.begin(), records.end(),
                         [address](const TarnMapRecord& r) { return r.Address == address; });
  return it == records.end() ? -1 : static_cast<int>(it - records.begin());
}

int TarnUnit::FindMapByLine(int listing_line) const {
  const auto& records = current_.MapRecords;
  auto it = std::find_if(records.begin(), records.end(), [listing_line](const TarnMapRecord& r) {
    return r.ListingLine == listing_line;
  });
  return it == records.end() ? -1 : static_cast<int>(it - records.begin());
}

int TarnUnit::MapListingLineAt(int index) const {
  if (index < 0 || index >= static_cast<int>(current_.MapRecords.size())) return -1;
  return current_.MapRecords[static_cast<std::size_t>(index)].ListingLine;
}

int TarnUnit::MapAddressAt(int index) const {
  if (index < 0 || index >= static_cast<int>(current_.MapRecords.size())) return -1;
  return current_.MapRecords[static_cast<std::size_t>(index)].Address;
}

int TarnUnit::ResetListingLine(const std::vector<std::string>& listing) const {
  if (last_source_.empty() || current_.ResetInfo.Value == -1) return -1;
  return ListingLineOf(listing, current_.ResetInfo.Line);
}

int TarnUnit::MainListingLine(const std::vector<std::string>& listing) const {
  T_EXTLANG_SymbolInfo main = FindSymbolInfo("main", false);
  return main.Line == -1 ? -1 : ListingLineOf(listing, main.Line);
}

T_EXTLANG_SymbolInfo TarnUnit::FindSymbolInfo(const std::string& name, bool exact) const {
  for (const T_EXTLANG_SymbolInfo& symbol : current_.Symbols) {
    if (exact ? symbol.Name == name : platform::SameText(symbol.Name, name)) return symbol;
  }
  return {"", 0, -1};
}

int TarnUnit::ImageWordAt(int address) const {
  if (address < 0 || address >= ProgramSize(image_)) return -1;
  std::uint16_t word = image_.WorkingImage[static_cast<std::size_t>(address)];
  return word == kEmptyWord ? -1 : word & kInstructionBits;
}

}  // namespace build_debug
