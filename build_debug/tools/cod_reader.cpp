#include "build_debug/tools/cod_reader.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/message_box.h"

namespace build_debug {
namespace {

constexpr std::size_t kShortEntrySize = 16;
constexpr std::size_t kShortNameLength = 12;
constexpr std::size_t kCompilerIdLength = 12;
constexpr std::size_t kShortFileNameSize = 64;
constexpr std::size_t kLongFileNameSize = 256;
constexpr std::size_t kDirectiveArea = 506;  // directives are read while fewer bytes are used
constexpr std::size_t kMemoryMapEntries = 128;
constexpr std::size_t kUnknownCompilerTextLength = 52;
constexpr std::string_view kLocalScopeName = "__LOCAL";

constexpr std::string_view kReadDirectoryBlock = "I/O Error: Unable to read code directory block";
constexpr std::string_view kReadDirectory = "I/O Error: Unable to read code directory";
constexpr std::string_view kReadImageBlock = "I/O Error: Unable to read ROM code block";
constexpr std::string_view kReadImage = "I/O Error: Unable to read ROM code image";
constexpr std::string_view kReadShortLocals =
    "I/O Error: Unable to read short local symbol table block";
constexpr std::string_view kReadLongLocals =
    "I/O Error: Unable to read long local symbol table block";
constexpr std::string_view kReadShortSymbols = "I/O Error: Unable to read short symbol table block";
constexpr std::string_view kReadLongSymbols = "I/O Error: Unable to read long symbol table block";
constexpr std::string_view kReadLinesBlock =
    "I/O Error: Unable to read source line information block";
constexpr std::string_view kReadLines = "I/O Error: Unable to read source gline information";
constexpr std::string_view kReadDirectivesBlock =
    "I/O Error: Unable to read debugging information block";
constexpr std::string_view kReadDirectives = "I/O Error: Unable to read debugging information";
constexpr std::string_view kReadShortNames = "I/O Error: Unable to read source file short names";
constexpr std::string_view kReadLongNames = "I/O Error: Unable to read source file long names";
constexpr std::string_view kReadMemoryMapBlock = "I/O Error: Unable to read memory map block";
constexpr std::string_view kReadMemoryMap = "I/O Error: Unable to read memory map";
constexpr std::string_view kReadEnvironmentBlock = "I/O Error: Unable to read environment block";
constexpr std::string_view kReadEnvironment = "I/O Error: Unable to read environment files";

struct CompilerFamily {
  std::string_view id;
  int family;
};
constexpr CompilerFamily kCompilerFamilies[] = {
    {"BCLC38", 4},      {"BCLC6805", 6}, {"BCLC6805KJ1", 6}, {"BCLK6805", 6},
    {"BCLR6805", 6},    {"BCLCST8", 6},  {"BCLC6808", 7},    {"BCLCOP8C", 1},
    {"BCLCOP8GG", 1},   {"BCLCYC", 8},   {"BCLETPUC", 10},   {"BCLMPC", 2},
    {"BCLMPC Tech", 2}, {"BCLQVC", 3},   {"BCLQVCEDU", 3},   {"BCLZ8C", 5},
};

std::uint16_t Word16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                    static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::uint32_t Word32(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint32_t>(Word16(bytes, offset)) |
         static_cast<std::uint32_t>(Word16(bytes, offset + 2)) << 16;
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  return value;
}

// A block's entries one after another, each read only after its bytes were checked.
class BlockCursor {
 public:
  explicit BlockCursor(std::string_view block, std::size_t limit = kCodBlockSize)
      : block_(block.substr(0, limit)) {}
  bool AtEnd() const { return at_ >= block_.size(); }
  std::size_t Used() const { return at_; }
  bool Has(std::size_t count) const { return block_.size() - at_ >= count; }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(block_[at_++]); }
  std::uint16_t Word() {
    std::uint16_t w = Word16(block_, at_);
    at_ += 2;
    return w;
  }
  std::uint32_t BigEndian() {
    std::uint32_t w = BigEndian32(block_, at_);
    at_ += 4;
    return w;
  }
  std::string Text(std::size_t count) {
    std::string text(block_.substr(at_, count));
    at_ += count;
    return text;
  }

 private:
  std::string_view block_;
  std::size_t at_ = 0;
};

// A length-prefixed name of at most max_length characters in an entry of its own.
bool ShortName(std::string_view entry, std::size_t max_length, std::string& name) {
  std::size_t length = static_cast<unsigned char>(entry[0]);
  if (length > max_length || length + 1 > entry.size()) return false;
  name.assign(entry.substr(1, length));
  return true;
}

CodScope* InnermostScope(CodScope& scope, std::uint32_t start, std::uint32_t end) {
  for (auto& inner : scope.Inner) {
    if (inner->Start <= start && end <= inner->End) return InnermostScope(*inner, start, end);
  }
  return &scope;
}

}  // namespace

void TCode::Refuse(std::string_view text, std::string_view outer_text) const {
  boxes_.Show({std::string(text) + "\r\r" + file_name_, "I/O Error", platform::BoxButtons::Ok});
  if (!outer_text.empty()) {
    boxes_.Show(
        {std::string(outer_text) + "\r\r" + file_name_, "I/O Error", platform::BoxButtons::Ok});
  }
  throw CodError(std::string(text) + ": " + file_name_);
}

std::string_view TCode::Block(std::size_t block, std::string_view text,
                              std::string_view outer_text) const {
  std::size_t offset = block * kCodBlockSize;
  if (block == 0 || offset > bytes_.size() || bytes_.size() - offset < kCodBlockSize) {
    Refuse(text, outer_text);
  }
  return std::string_view(bytes_).substr(offset, kCodBlockSize);
}

std::uint16_t TCode::DirectoryWord(std::size_t offset) const { return Word16(directory_, offset); }
std::uint16_t TCode::FirstBlock(CodTable table) const { return DirectoryWord(table); }
std::uint16_t TCode::LastBlock(CodTable table) const { return DirectoryWord(table + 2); }

template <typename ReadBlock>
void TCode::ForEachBlock(CodTable table, std::string_view text, std::string_view outer_text,
                         ReadBlock read_block) const {
  std::size_t first = FirstBlock(table);
  if (first == 0) return;
  std::size_t last = LastBlock(table);
  if (last < first) Refuse(text, outer_text);
  for (std::size_t block = first; block <= last; ++block) {
    if (!read_block(Block(block, text, outer_text))) Refuse(text, outer_text);
  }
}

void TCode::Open(const std::string& file_name) {
  file_name_ = file_name;
  std::ifstream in(file_name, std::ios::binary);
  if (!in) {
    boxes_.Show({"I/O Error: Unable to open code file: " + file_name + " ", "I/O Error",
                 platform::BoxButtons::Ok});
    throw CodError("Unable to open code file: " + file_name);
  }
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::uint64_t>(size) > kMaxCodFileBytes) {
    Refuse(".COD file too large: the IDE reads at most 2,000,000 bytes");
  }
  in.seekg(0);
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) Refuse(kReadDirectoryBlock, kReadDirectory);

  ReadDirectory();
  ReadSymbols();
  ReadImage();
  ReadEnvironment();
  ReadFileNames();
  ReadLines();
  ReadDirectives();
  ReadMemoryMap();
}

void TCode::ReadDirectory() {
  if (bytes_.size() < kCodBlockSize) Refuse(kReadDirectoryBlock, kReadDirectory);
  directory_ = std::string_view(bytes_).substr(0, kCodBlockSize);
  version_ = DirectoryWord(kCodVersion);
  if (version_ != 5 && version_ != 6) {
    boxes_.Show({".COD File Version Error: Unrecognized version of .COD file\r\r" + file_name_,
                 "I/O Error", platform::BoxButtons::Ok});
    throw CodError("Unrecognized version of .COD file: " + file_name_);
  }
  if (!ShortName(directory_.substr(kCodCompilerId), kCompilerIdLength, compiler_id_)) {
    Refuse(kReadDirectory);
  }
  if (version_ == 5 && compiler_id_ == "QVC") compiler_id_ = "BCLQVC";
  family_ = -1;
  for (const CompilerFamily& row : kCompilerFamilies) {
    if (row.id == compiler_id_) {
      family_ = row.family;
      break;
    }
  }
  if (family_ == -1) {
    std::string text = compiler_id_ + ") is not a recognized Wrenfield compiler.";
    boxes_.Show(
        {text.substr(0, kUnknownCompilerTextLength), ".COD file", platform::BoxButtons::Ok});
  }
  for (std::size_t i = 0; i < kCodImageBlocks; ++i) image_blocks_[i] = DirectoryWord(i * 2);
}

void TCode::ReadSymbols() {
  root_ = CodScope();
  if (FirstBlock(kCodLongSymbols) != 0)
    ReadLongSymbols();
  else
    ReadShortSymbols();
  if (FirstBlock(kCodLongLocals) != 0)
    ReadLongLocals();
  else
    ReadShortLocals();
}

void TCode::ReadShortSymbols() {
  ForEachBlock(kCodShortSymbols, kReadShortSymbols, {}, [this](std::string_view block) {
    for (std::size_t at = 0; at < kCodBlockSize; at += kShortEntrySize) {
      std::string_view entry = block.substr(at, kShortEntrySize);
      CodSymbol symbol;
      if (!ShortName(entry, kShortNameLength, symbol.Name)) return false;
      if (symbol.Name.empty()) continue;  // an unused entry
      symbol.Type = static_cast<std::uint8_t>(entry[13]);
      symbol.Value = Word16(entry, 14);
      root_.Symbols.push_back(std::move(symbol));
    }
    return true;
  });
}

void TCode::ReadLongSymbols() {
  ForEachBlock(kCodLongSymbols, kReadLongSymbols, {}, [this](std::string_view block) {
    BlockCursor cursor(block);
    while (!cursor.AtEnd()) {
      std::size_t length = cursor.Byte();
      if (length == 0) break;
      if (!cursor.Has(length + 6)) return false;
      CodSymbol symbol;
      symbol.Name = cursor.Text(length);
      symbol.Type = cursor.Word();
      symbol.Value = static_cast<std::int32_t>(cursor.BigEndian());
      root_.Symbols.push_back(std::move(symbol));
    }
    return true;
  });
}

CodScope& TCode::OpenScope(std::uint32_t start, std::uint32_t end) {
  CodScope& outer = *InnermostScope(root_, start, end);
  auto scope = std::make_unique<CodScope>();
  scope->Start = start;
  scope->End = end;
  outer.Inner.push_back(std::move(scope));
  return *outer.Inner.back();
}

void TCode::AddLocal(CodScope& scope, CodSymbol symbol, bool in_name_order) {
  auto at =
      in_name_order
          ? std::upper_bound(scope.Symbols.begin(), scope.Symbols.end(), symbol,
                             [](const CodSymbol& a, const CodSymbol& b) { return a.Name < b.Name; })
          : scope.Symbols.end();
  scope.Symbols.insert(at, std::move(symbol));
}

void TCode::ReadShortLocals() {
  // Version 5 of these two families gives byte addresses.
  const bool byte_addresses = version_ == 5 && (family_ == 2 || family_ == 3);
  const bool in_name_order = version_ != 6;
  CodScope* scope = &root_;
  ForEachBlock(kCodShortLocals, kReadShortLocals, {}, [&](std::string_view block) {
    for (std::size_t at = 0; at < kCodBlockSize; at += kShortEntrySize) {
      std::string_view entry = block.substr(at, kShortEntrySize);
      std::string name;
      if (!ShortName(entry, kShortNameLength, name)) return false;
      if (name.empty()) continue;
      if (name == kLocalScopeName) {
        std::uint32_t start = Word32(entry, 8);
        std::uint32_t end = Word32(entry, 12);
        if (byte_addresses) {
          start /= 2;
          end /= 2;
        }
        scope = &OpenScope(start, end);
        continue;
      }
      AddLocal(*scope, {name, static_cast<std::uint8_t>(entry[13]), Word16(entry, 14)},
               in_name_order);
    }
    return true;
  });
}

void TCode::ReadLongLocals() {
  CodScope* scope = &root_;
  ForEachBlock(kCodLongLocals, kReadLongLocals, {}, [&](std::string_view block) {
    BlockCursor cursor(block);
    while (!cursor.AtEnd()) {
      std::size_t length = cursor.Byte();
      if (length == 0) break;
      if (!cursor.Has(length)) return false;
      std::string name = cursor.Text(length);
      if (name == kLocalScopeName) {
        if (!cursor.Has(8)) return false;
        std::uint32_t start = cursor.BigEndian();
        std::uint32_t end = cursor.BigEndian();
        scope = &OpenScope(start, end);
        continue;
      }
      if (!cursor.Has(6)) return false;
      std::uint16_t type = cursor.Word();
      auto value = static_cast<std::int32_t>(cursor.BigEndian());
      AddLocal(*scope, {std::move(name), type, value}, true);
    }
    return true;
  });
}

void TCode::ReadImage() {
  image_.assign(kCodImageBytes, 0);
  for (std::size_t i = 0; i < kCodImageBlocks; ++i) {
    if (image_blocks_[i] == 0) continue;
    std::string_view block = Block(image_blocks_[i], kReadImageBlock, kReadImage);
    std::copy(block.begin(), block.end(),
              image_.begin() + static_cast<std::ptrdiff_t>(i * kCodBlockSize));
  }
}

void TCode::ReadEnvironment() {
  environment_.clear();
  ForEachBlock(kCodEnvironment, kReadEnvironmentBlock, kReadEnvironment,
               [this](std::string_view block) {
                 environment_.emplace_back(block);
                 return true;
               });
}

void TCode::ReadFileNames() {
  file_names_.clear();
  const bool long_names = FirstBlock(kCodLongFileNames) != 0;
  const std::size_t entry_size = long_names ? kLongFileNameSize : kShortFileNameSize;
  ForEachBlock(long_names ? kCodLongFileNames : kCodShortFileNames,
               long_names ? kReadLongNames : kReadShortNames, {}, [&](std::string_view block) {
                 for (std::size_t at = 0; at < kCodBlockSize; at += entry_size) {
                   std::string name;
                   if (!ShortName(block.substr(at, entry_size), entry_size - 1, name)) return false;
                   file_names_.push_back(std::move(name));
                 }
                 return true;
               });
}

void TCode::ReadLines() {
  lines_.clear();
  std::int32_t counter = 1;
  bool pending = false;
  bool ended = false;
  CodLineRecord pending_record;
  ForEachBlock(kCodLines, kReadLinesBlock, kReadLines, [&](std::string_view block) {
    for (std::size_t i = 0; i < kCodLinesPerBlock && !ended; ++i) {
      std::string_view raw = block.substr(i * kCodLineRecordSize, kCodLineRecordSize);
      if (std::all_of(raw.begin(), raw.end(), [](char c) { return c == 0; })) {
        ended = true;
        break;
      }
      CodLineRecord record{Word16(raw, 4), static_cast<std::uint8_t>(raw[0]), Word16(raw, 2),
                           counter, static_cast<std::uint8_t>(raw[1])};
      if (record.Flags == 0xFF)
        counter = record.Address;
      else if ((record.Flags & 0x04) == 0)
        ++counter;
      if (pending && (record.Address != pending_record.Address || (record.Flags & 0x10) != 0)) {
        lines_.push_back(pending_record);
        pending = false;
      }
      if ((record.Flags & 0x12) != 0) continue;
      pending_record = record;
      pending = true;
    }
    return true;
  });
  // The run still pending at the end is a line too.
  if (pending) lines_.push_back(pending_record);
  if (lines_.empty()) {
    boxes_.Show({"No Source Line Information Available", ".COD file", platform::BoxButtons::Ok});
  }
  std::stable_sort(
      lines_.begin(), lines_.end(),
      [](const CodLineRecord& a, const CodLineRecord& b) { return a.Address < b.Address; });
}

void TCode::ReadDirectives() {
  directives_.clear();
  ForEachBlock(kCodDirectives, kReadDirectivesBlock, kReadDirectives,
               [this](std::string_view block) {
                 BlockCursor cursor(block);
                 while (cursor.Used() < kDirectiveArea) {
                   if (!cursor.Has(5)) return false;
                   std::uint32_t address = cursor.BigEndian();
                   char command = static_cast<char>(cursor.Byte());
                   if (command == 0) break;
                   if (!cursor.Has(1)) return false;
                   std::size_t length = cursor.Byte();
                   if (!cursor.Has(length)) return false;
                   directives_.push_back(
                       {static_cast<std::uint16_t>(address), command, cursor.Text(length)});
                 }
                 return true;
               });
}

void TCode::ReadMemoryMap() {
  memory_map_.clear();
  ForEachBlock(kCodMemoryMap, kReadMemoryMapBlock, kReadMemoryMap, [this](std::string_view block) {
    for (std::size_t i = 0; i < kMemoryMapEntries; ++i) {
      memory_map_.push_back({Word16(block, i * 4), Word16(block, i * 4 + 2)});
    }
    return true;
  });
}

const CodSymbol* TCode::FindSymbol(std::string_view name, std::uint32_t address) const {
  const CodSymbol* found = nullptr;
  const CodScope* scope = &root_;
  bool root = true;
  while (scope != nullptr) {
    for (const CodSymbol& symbol : scope->Symbols) {
      // Version 5 keeps only 12 characters of a local name.
      bool same = root || version_ != 5
                      ? symbol.Name == name
                      : symbol.Name.substr(0, kShortNameLength) == name.substr(0, kShortNameLength);
      if (same) {
        found = &symbol;
        break;
      }
    }
    const CodScope* next = nullptr;
    for (const auto& inner : scope->Inner) {
      if (inner->Start <= address && address <= inner->End) {
        next = inner.get();
        break;
      }
    }
    scope = next;
    root = false;
  }
  return found;
}

int TCode::FindLineIndex(std::uint32_t address, bool code_only) const {
  if (lines_.empty()) return -1;
  auto it = std::lower_bound(lines_.begin(), lines_.end(), address,
                             [](const CodLineRecord& r, std::uint32_t a) { return r.Address < a; });
  std::size_t index;
  if (it == lines_.end()) {
    index = lines_.size() - 1;
  } else if (it->Address == address || it == lines_.begin()) {
    index = static_cast<std::size_t>(it - lines_.begin());
  } else {
    std::size_t above = static_cast<std::size_t>(it - lines_.begin());
    std::uint32_t up = it->Address - address;
    std::uint32_t down = address - lines_[above - 1].Address;
    index = down <= up ? above - 1 : above;
  }
  if (code_only && (lines_[index].Flags & 0x80) == 0) {
    for (std::size_t i = index; i-- > 0;) {
      if (lines_[i].Flags & 0x80) return static_cast<int>(i);
    }
  }
  return static_cast<int>(index);
}

int TCode::LineOfAddress(std::uint32_t address) const {
  int index = FindLineIndex(address, false);
  return index < 0 ? -1 : lines_[static_cast<std::size_t>(index)].LineNumber;
}

std::string TCode::FileOfAddress(std::uint32_t address) const {
  int index = FindLineIndex(address, true);
  if (index < 0) return "";
  std::size_t file = lines_[static_cast<std::size_t>(index)].FileIndex;
  return file < file_names_.size() ? file_names_[file] : "";
}

}  // namespace build_debug
