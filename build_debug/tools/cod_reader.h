#pragma once
// TCode: a C compiler's Wrenfield ".cod" debug file, read whole and kept for the lookups of the
// debug windows. The file is 512-byte blocks; block 0 is a directory of the others (little-
// endian 16-bit block numbers, 0 = table absent). The reader takes the program image (64 KB),
// the symbols with their scopes, the source file names, the source line records, the debug
// directives, the memory map and the environment.
//
// The file comes from another program, so nothing in it is trusted: every block number, count
// and length is checked against the file and the target before use. A file that fails a check
// is refused: a box shows what could not be read and the file's name, then Open throws
// CodError and the caller drops the object.
//
// Stored layouts this reader chooses where the format leaves them open: source file names are
// length-prefixed entries, 8 of 64 bytes a block (short names) or 2 of 256 bytes (long names),
// numbered in file order; the memory map is kept as its {start, end} byte-address entries; the
// environment as its raw blocks. Scopes nest: a scope is placed inside the innermost scope
// that contains its address range.

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class MessageBoxService;
}

namespace build_debug {

constexpr std::size_t kCodBlockSize = 512;
constexpr std::size_t kCodImageBytes = 65536;
constexpr std::size_t kCodImageBlocks = 128;
// The IDE's text buffer holds the whole file while it loads.
constexpr std::size_t kMaxCodFileBytes = 2'000'000;

// A directory field: the byte offset of the first block number of a table (the last follows).
enum CodTable : std::size_t {
  kCodShortSymbols = 426,
  kCodShortFileNames = 430,
  kCodLines = 434,
  kCodMemoryMap = 443,
  kCodShortLocals = 447,
  kCodLongSymbols = 462,
  kCodDirectives = 466,
  kCodLongLocals = 470,
  kCodEnvironment = 474,
  kCodLongFileNames = 478,
};
constexpr std::size_t kCodCompilerId = 350;
constexpr std::size_t kCodVersion = 451;
constexpr std::size_t kCodLineRecordSize = 6;
constexpr std::size_t kCodLinesPerBlock = 85;

class CodError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CodSymbol {
  std::string Name;
  std::uint16_t Type = 0;
  std::int32_t Value = 0;
};

struct CodScope {
  std::uint32_t Start = 0;
  std::uint32_t End = 0xFFFF;
  std::vector<CodSymbol> Symbols;
  std::vector<std::unique_ptr<CodScope>> Inner;
};

struct CodLineRecord {
  std::uint16_t Address = 0;
  std::uint8_t FileIndex = 0;
  std::uint16_t LineNumber = 0;
  std::int32_t Counter = 0;
  std::uint8_t Flags = 0;
};

// One debug directive: "w" a watch, "b" a break.
struct TBCdirect {
  std::uint16_t Address = 0;
  char Command = 0;
  std::string Text;
};

struct CodMemoryRange {
  std::uint16_t Start = 0;  // byte addresses
  std::uint16_t End = 0;
};

class TCode {
 public:
  explicit TCode(platform::MessageBoxService& boxes) : boxes_(boxes) {}

  // Reads the whole file; throws CodError after its box when the file is refused.
  void Open(const std::string& file_name);

  // The symbol of that name in the innermost scope around address that has one; nullptr when
  // absent.
  const CodSymbol* FindSymbol(std::string_view name, std::uint32_t address = 0) const;
  // Index into LineRecords(): the record at address, else the nearest one (the lower on a tie);
  // with code_only a record that does not begin code gives way to the nearest earlier one
  // that does. -1 when there are no records.
  int FindLineIndex(std::uint32_t address, bool code_only) const;
  int LineOfAddress(std::uint32_t address) const;
  std::string FileOfAddress(std::uint32_t address) const;

  const std::string& FileName() const { return file_name_; }
  const std::string& FileBytes() const { return bytes_; }
  int Version() const { return version_; }
  const std::string& CompilerId() const { return compiler_id_; }
  int Family() const { return family_; }
  // The symbol type that marks code in this compiler family.
  std::uint16_t CodeSymbolType() const { return family_ == 3 ? 156 : 137; }
  const std::array<std::uint16_t, kCodImageBlocks>& ImageBlocks() const { return image_blocks_; }
  const std::vector<std::uint8_t>& Image() const { return image_; }
  const CodScope& RootScope() const { return root_; }
  const std::vector<std::string>& FileNames() const { return file_names_; }
  const std::vector<CodLineRecord>& LineRecords() const { return lines_; }  // by address
  const std::vector<TBCdirect>& Directives() const { return directives_; }
  const std::vector<CodMemoryRange>& MemoryMap() const { return memory_map_; }
  const std::vector<std::string>& Environment() const { return environment_; }

  // The directory's first and last block of a table (first 0: absent).
  std::uint16_t FirstBlock(CodTable table) const;
  std::uint16_t LastBlock(CodTable table) const;

 private:
  [[noreturn]] void Refuse(std::string_view text, std::string_view outer_text = {}) const;
  std::string_view Block(std::size_t block, std::string_view text,
                         std::string_view outer_text = {}) const;
  std::uint16_t DirectoryWord(std::size_t offset) const;
  template <typename ReadBlock>
  void ForEachBlock(CodTable table, std::string_view text, std::string_view outer_text,
                    ReadBlock read_block) const;

  void ReadDirectory();
  void ReadSymbols();
  void ReadShortSymbols();
  void ReadLongSymbols();
  void ReadShortLocals();
  void ReadLongLocals();
  void ReadImage();
  void ReadEnvironment();
  void ReadFileNames();
  void ReadLines();
  void ReadDirectives();
  void ReadMemoryMap();
  CodScope& OpenScope(std::uint32_t start, std::uint32_t end);
  void AddLocal(CodScope& scope, CodSymbol symbol, bool in_name_order);

  platform::MessageBoxService& boxes_;
  std::string file_name_;
  std::string bytes_;
  std::string_view directory_;
  int version_ = 0;
  std::string compiler_id_;
  int family_ = -1;
  std::array<std::uint16_t, kCodImageBlocks> image_blocks_{};
  std::vector<std::uint8_t> image_;
  CodScope root_;
  std::vector<std::string> file_names_;
  std::vector<CodLineRecord> lines_;
  std::vector<TBCdirect> directives_;
  std::vector<CodMemoryRange> memory_map_;
  std::vector<std::string> environment_;
};

}  // namespace build_debug
