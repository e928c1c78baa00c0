#include "build_debug/tools/c_output_loader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/message_box.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/text_routines.h"

namespace build_debug {
namespace {

namespace ids = string_ids::QVCUnit;

constexpr std::int32_t kMinClockHz = 400'000;
constexpr std::int32_t kMaxClockHz = 110'000'000;
constexpr std::size_t kImageDirectoryEntries = 17;  // program, ID, configuration and clock words
constexpr std::size_t kWordsPerBlock = 256;
constexpr std::size_t kClockLowIndex = 4114;
constexpr std::size_t kClockHighIndex = 4115;
constexpr std::size_t kMemoryMapEntries = 128;
constexpr int kMaxWatchBits = 32;
constexpr int kMaxWatchStringBytes = 16;
constexpr std::array<std::string_view, 8> kWatchFormats = {"UDEC", "SDEC", "UHEX", "SHEX",
                                                           "UBIN", "SBIN", "FSTR", "ZSTR"};

std::uint16_t Word16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                    static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

// The blocks of a table as the loader names them: the low bytes of its directory fields.
struct BlockRange {
  std::size_t first;
  std::size_t last;
};
BlockRange LowByteRange(std::string_view directory, CodTable table) {
  return {static_cast<std::size_t>(Word16(directory, table) & 0xFF),
          static_cast<std::size_t>(Word16(directory, table + 2) & 0xFF)};
}

// The block's bytes, or an empty view when the file does not hold it whole.
std::string_view FileBlock(std::string_view bytes, std::size_t block) {
  std::size_t offset = block * kCodBlockSize;
  if (offset > bytes.size() || bytes.size() - offset < kCodBlockSize) return {};
  return bytes.substr(offset, kCodBlockSize);
}

}  // namespace

TQVCForm::TQVCForm(ObjectImage& image, const workbench::MessageStrings& boxes)
    : image_(image), boxes_(boxes), extern_lang_(image, boxes) {}

void TQVCForm::Refuse(const std::string& text, const std::string& file_name) const {
  boxes_.Service().Show({text + "\r\r" + file_name, "I/O Error", platform::BoxButtons::Ok});
}

bool TQVCForm::QVCLoad(const std::string& base) {
  auto code = std::make_unique<TCode>(boxes_.Service());
  const std::string listing = CompanionFile(base, ".lst").value_or(base + ".lst");
  try {
    code->Open(CompanionFile(base, ".cod").value_or(base + ".cod"));
  } catch (const CodError&) {
    return false;  // the reader showed why
  }
  auto staged = std::make_unique<Staged>();
  if (!PrepareEEPROM(*code, *staged)) return false;
  if (!PrepareList(listing, *staged)) return false;
  code_ = std::move(code);
  Commit(*staged);
  SetCodWatchesAndBreak();
  return true;
}

bool TQVCForm::LoadFile(const std::string& file_name, std::string& bytes) const {
  std::ifstream in(file_name, std::ios::binary);
  if (!in) {
    Refuse("I/O Error: Unable to open file", file_name);
    return false;
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0);
  if (size < 0 || size > image_.FileBufferSize) {
    Refuse("The file is larger than the IDE's text buffer (" +
               workbench::ThousandsSep(image_.FileBufferSize) + " bytes)",
           file_name);
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad() || bytes.size() > static_cast<std::size_t>(image_.FileBufferSize)) {
    Refuse("I/O Error: Unable to read file", file_name);
    return false;
  }
  return true;
}

// Kept whole: one walk over the code file's directory and blocks into the staged image.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
bool TQVCForm::PrepareEEPROM(const TCode& code, Staged& staged) const {
  const std::string_view bytes = code.FileBytes();
  const std::string_view directory = bytes.substr(0, kCodBlockSize);

  staged.words = image_.WorkingImage;
  // Words of an earlier program must not survive as "in use" under the new one.
  std::fill(staged.words.begin(), staged.words.begin() + kProgramWords, kEmptyWord);
  staged.device4k = image_.Device4K;
  if (const CodSymbol* reset = code.FindSymbol("__RESET")) staged.device4k = reset->Value == 4095;

  std::uint32_t clock = static_cast<std::uint32_t>(kDefaultClockHz);
  const std::vector<std::uint8_t>& rom = code.Image();
  for (std::size_t i = 0; i < kImageDirectoryEntries; ++i) {
    if (code.ImageBlocks()[i] == 0) continue;
    for (std::size_t j = 0; j < kWordsPerBlock; ++j) {
      std::size_t at = (i * kWordsPerBlock + j) * 2;
      auto word = static_cast<std::uint16_t>(rom[at] | rom[at + 1] << 8);
      std::size_t index = i * kWordsPerBlock + j;
      if (index < static_cast<std::size_t>(kImageWords)) {
        staged.words[index] = word & kInstructionBits;
      } else if (index == kClockLowIndex) {
        clock = (clock & 0xFFFF0000u) | word;
      } else if (index == kClockHighIndex) {
        clock = (clock & 0x0000FFFFu) | static_cast<std::uint32_t>(word) << 16;
      }
    }
  }
  staged.clock_hz =
      static_cast<std::int32_t>(std::clamp<std::uint32_t>(clock, kMinClockHz, kMaxClockHz));

  BlockRange map = LowByteRange(directory, kCodMemoryMap);
  for (std::size_t b = map.first; map.first != 0 && b <= map.last; ++b) {
    std::string_view block = FileBlock(bytes, b);
    if (block.empty()) {
      Refuse("I/O Error: Unable to read memory map block", code.FileName());
      return false;
    }
    for (std::size_t e = 0; e < kMemoryMapEntries; ++e) {
      std::size_t start = Word16(block, e * 4) / 2u;
      std::size_t end = Word16(block, e * 4 + 2) / 2u;
      if ((start == 0 && end == 0) || end < start) continue;
      for (std::size_t a = start; a <= end && a < static_cast<std::size_t>(kProgramWords); ++a) {
        staged.words[a] |= kInUseBit;
      }
    }
  }
  for (std::size_t a = 0; a < static_cast<std::size_t>(kProgramWords); ++a) {
    if (!IsInUse(staged.words[a])) staged.words[a] = kEmptyWord;
  }

  staged.address_line.fill(-1);
  std::int32_t listing_line = 0;
  BlockRange lines = LowByteRange(directory, kCodLines);
  bool ended = false;
  for (std::size_t b = lines.first; lines.first != 0 && b <= lines.last && !ended; ++b) {
    std::string_view block = FileBlock(bytes, b);
    if (block.empty()) {
      Refuse("I/O Error: Unable to read source line information block", code.FileName());
      return false;
    }
    for (std::size_t r = 0; r < kCodLinesPerBlock; ++r) {
      std::string_view record = block.substr(r * kCodLineRecordSize, kCodLineRecordSize);
      // Zero padding ends the records; it is not code at address 0.
      if (std::all_of(record.begin(), record.end(), [](char c) { return c == 0; })) {
        ended = true;
        break;
      }
      auto flags = static_cast<std::uint8_t>(record[1]);
      std::uint16_t address = Word16(record, 4);
      // The compiler's last line block ends with records past the program; one is kept.
      if (b == lines.last && address > 5887 && !(address == 5888 && b == 101)) continue;
      if ((flags & 0x1C) == 0 && address < kProgramWords)
        staged.address_line[address] = listing_line;
      if ((flags & 0x04) == 0) ++listing_line;
      if (flags == 0xFF) listing_line += address;
    }
  }
  return true;
}

bool TQVCForm::PrepareList(const std::string& file_name, Staged& staged) const {
  if (!LoadFile(file_name, staged.listing)) return false;
  staged.line_offsets.clear();
  // A line ends at CR (CR LF on the compiler's platform) or at a bare LF.
  const std::string& text = staged.listing;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    if (text[i] == '\n' && i > 0 && text[i - 1] == '\r') {
      start = i + 1;
      continue;
    }
    if (staged.line_offsets.size() == static_cast<std::size_t>(kMaxListingFileLines)) {
      Refuse("The listing has more than " + workbench::ThousandsSep(kMaxListingFileLines) +
                 " lines",
             file_name);
      return false;
    }
    staged.line_offsets.push_back(static_cast<std::int32_t>(start));
    start = i + 1;
  }
  return true;
}

void TQVCForm::Commit(Staged& staged) {
  if (!staged.listing.empty()) {
    std::memcpy(image_.FileBuffer, staged.listing.data(), staged.listing.size());
  }
  image_.FileBufferLength = static_cast<std::int32_t>(staged.listing.size());
  std::copy(staged.line_offsets.begin(), staged.line_offsets.end(),
            image_.LineBufferOffset.begin());
  image_.LineCount = static_cast<std::int32_t>(staged.line_offsets.size());
  image_.AddressLine = staged.address_line;
  image_.WorkingImage = staged.words;
  image_.Device4K = staged.device4k;
  image_.ClockHz = staged.clock_hz;
  image_.BreakAddress = AddressNone;
  image_.WatchCount = 0;
}

void TQVCForm::SetCodWatchesAndBreak() {
  std::vector<T_EXTLANG_WatchInfo> watches;
  T_EXTLANG_SymbolInfo first_break{"BREAK", -1, -1};
  for (const TBCdirect& directive : code_->Directives()) {
    if (directive.Command == 'w') {
      if (watches.size() == static_cast<std::size_t>(kMaxWatches)) {
        boxes_.MsgBoxById1(ids::SCU_TOO_MANY_WATCHES, ids::SCU_TOO_MANY_WATCHES_CAPTION,
                           PragmaLocation(directive.Address));
        continue;
      }
      T_EXTLANG_WatchInfo watch;
      if (ParseWatchPragma(watch, directive)) watches.push_back(std::move(watch));
    } else if (directive.Command == 'b') {
      if (first_break.Value == -1) {
        first_break.Value = directive.Address;
        first_break.Line = code_->LineOfAddress(directive.Address);
      } else {
        boxes_.MsgBoxById2(ids::SCU_TOO_MANY_BREAKS, ids::SCU_TOO_MANY_BREAKS_CAPTION,
                           PragmaLocation(directive.Address), std::to_string(first_break.Line));
      }
    }
  }
  if (!watches.empty()) extern_lang_.SetImageWatches(watches);
  // A break outside program memory cannot be set on the chip.
  if (first_break.Value >= 0 && first_break.Value < kProgramWords)
    extern_lang_.SetImageBreak(first_break);
}

bool TQVCForm::ParseWatchPragma(T_EXTLANG_WatchInfo& watch, const TBCdirect& directive) const {
  std::vector<std::string> fields;
  workbench::SplitString(directive.Text, ',', fields, 0);
  for (std::string& field : fields) field = Trimmed(field);
  const std::string location = PragmaLocation(directive.Address);
  const std::string& name = fields[0];
  const CodSymbol* symbol = name.empty() ? nullptr : code_->FindSymbol(name, directive.Address);
  if (symbol == nullptr) {
    boxes_.MsgBoxById3(ids::SCU_INVALID_WATCH_NAME, ids::SCU_PARSE_PRAGMA_CAPTION, location,
                       directive.Text, name);
    return false;
  }
  const std::string format = fields.size() > 2 ? fields[2] : "";
  auto format_at = std::find(kWatchFormats.begin(), kWatchFormats.end(), format);
  if (format_at == kWatchFormats.end()) {
    boxes_.MsgBoxById3(ids::SCU_INVALID_WATCH_TYPE, ids::SCU_PARSE_PRAGMA_CAPTION, location,
                       directive.Text, format);
    return false;
  }
  const auto format_index = static_cast<std::uint8_t>(format_at - kWatchFormats.begin());
  const bool string_format = format_index == FSTR || format_index == ZSTR;

  const std::string width_text = fields.size() > 1 ? fields[1] : "";
  int width = 0;
  auto [ptr, ec] = std::from_chars(width_text.data(), width_text.data() + width_text.size(), width);
  const workbench::Localizer& texts = boxes_.Texts();
  std::string collected;
  if (width_text.empty() || ec != std::errc() || ptr != width_text.data() + width_text.size() ||
      width <= 0) {
    collected =
        workbench::FormatText(texts.LU_GetString(ids::SCU_WATCH_BITS_NOT_INTEGER), {width_text});
  } else if (string_format && width > kMaxWatchStringBytes) {
    collected =
        workbench::FormatText(texts.LU_GetString(ids::SCU_TOO_MANY_WATCH_BYTES), {width_text});
  } else if (!string_format && width > kMaxWatchBits) {
    collected =
        workbench::FormatText(texts.LU_GetString(ids::SCU_TOO_MANY_WATCH_BITS), {width_text});
  }
  if (!collected.empty()) {
    boxes_.MsgBoxById1(string_ids::EditorUnit::SCU_FORMAT_ONLY, ids::SCU_PARSE_PRAGMA_CAPTION,
                       location + "Pragma: " + directive.Text + "\r\r" + collected);
    return false;
  }
  watch = {name, symbol->Value, -1, static_cast<std::uint8_t>(width), format_index};
  return true;
}

std::string TQVCForm::PragmaLocation(std::uint32_t address) const {
  if (!code_) return "";
  const workbench::Localizer& texts = boxes_.Texts();
  std::string location;
  std::string file = code_->FileOfAddress(address);
  if (!file.empty()) location = texts.LU_GetString(ids::SCU_SOURCE_FILE_LABEL) + file;
  int line = code_->LineOfAddress(address);
  if (line != -1) {
    if (!file.empty()) location += "\r";
    location += texts.LU_GetString(ids::SCU_LINE_LABEL) + std::to_string(line) + "\r\r";
  }
  return location;
}

}  // namespace build_debug
