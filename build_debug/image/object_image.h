#pragma once
// ObjectImage: the program being worked on, as the last builder (built-in assembler, tarn
// bridge, C-output loader or an image-file load) left it. The device dialog, the programmer,
// the debugger and the code and watch windows read it.
//
// Invariants of both word arrays (WorkingImage, ProgrammingImage):
//   - index 0..4095 program words by address (a 2,048-word device uses 0..2047),
//     4096..4111 the 16 ID words, 4112 FUSE, 4113 FUSEX;
//   - bits 0-11 hold the instruction word, bits 12-14 are 0, bit 15 marks a program word that
//     a builder wrote (in use). The empty word is 0x0FFF with bit 15 clear (erased memory), so
//     a written 0x0FFF (0x8FFF) differs from an empty one;
//   - users that send, compare or print words take bits 0-11 only.
// ErrorText is meaningful only while Failed is 1. BreakAddress is AddressNone when there is no
// BREAK. WatchCount <= 32 and LineCount <= 25,000 (the writers enforce the limits).
//
// Nothing locks the record: the UI thread writes it, a programming worker reads the
// ProgrammingImage and Device4K while the UI waits.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace build_debug {

constexpr int kProgramWords = 4096;
constexpr int kIdWordsIndex = 4096;
constexpr int kIdWordCount = 16;
constexpr int kFuseIndex = 4112;
constexpr int kFusexIndex = 4113;
constexpr int kImageWords = 4114;

constexpr std::int16_t AddressNone = 0x1000;
constexpr std::uint16_t kEmptyWord = 0x0FFF;
constexpr std::uint16_t kInUseBit = 0x8000;
constexpr std::uint16_t kInstructionBits = 0x0FFF;
constexpr std::uint16_t kDefaultFuse = 0x0FFA;
constexpr std::uint16_t kDefaultFusex2K = 0x0BFF;
constexpr std::uint16_t kDefaultFusex4K = 0x0FFF;
// Configuration bits that more than one unit reads.
constexpr std::uint16_t kFuseWatchdogBit = 0x004;
constexpr std::uint16_t kFuseTurboOffBit = 0x800;  // 2,048-word parts: set runs without turbo
constexpr std::uint16_t kFusexMemoryBits = 0x003;  // 2,048-word parts: 512, 1,024 or 2,048 words
// One bit, two meanings: a QV28 rather than a QV18, or on the 4,096-word parts no sleep clock.
constexpr std::uint16_t kFusexQv28Bit = 0x400;
constexpr std::uint16_t kFusexNoSleepClockBit = 0x400;
constexpr std::int32_t kDefaultClockHz = 50'000'000;
constexpr int kMaxListingLines = 25'000;
constexpr std::int32_t kFileBufferSize = 2'000'000;
constexpr int kMaxWatches = 32;
constexpr int kWatchNameLength = 32;

using WordArray = std::array<std::uint16_t, kImageWords>;

enum WatchFormat : std::uint8_t { UDEC, SDEC, UHEX, SHEX, UBIN, SBIN, FSTR, ZSTR };

#pragma pack(push, 1)
// One watched variable, 37 bytes packed.
struct WatchEntry {
  std::uint16_t Address = 0;  // bits 0-7 register address, bits 8-10 bit offset in it
  std::uint8_t Width = 0;     // bits 1..32; for FSTR and ZSTR the number of characters
  std::uint8_t Format = UDEC;
  char Name[kWatchNameLength + 1] = {};  // NUL-terminated
};
#pragma pack(pop)
static_assert(sizeof(WatchEntry) == 37);

struct ObjectImage {
  std::uint8_t Failed = 0;
  const char* ErrorText = nullptr;   // one of the fixed messages of the image services
  std::uint8_t Device4K = 0;         // 1: 4,096-word device (QV48, QV52)
  const char* SourceText = nullptr;  // set by the caller before each built-in assembly
  std::int32_t ErrorStart = 0;       // offsets in SourceText of the failing token
  std::int32_t ErrorEnd = 0;
  char* FileBuffer = nullptr;  // shared text buffer of every builder and file reader
  std::int32_t FileBufferSize = 0;
  std::int32_t FileBufferLength = 0;
  std::array<std::int32_t, kMaxListingLines> LineSourceOffset{};
  std::array<std::int32_t, kMaxListingLines> LineBufferOffset{};
  std::array<std::int32_t, kProgramWords> AddressLine;  // -1: no listing line
  std::int32_t LineCount = 0;
  std::int16_t BreakAddress = AddressNone;
  std::int32_t WatchCount = 0;
  std::array<WatchEntry, kMaxWatches> Watches{};
  std::int32_t ClockHz = kDefaultClockHz;
  WordArray WorkingImage;
  WordArray ProgrammingImage;

  ObjectImage();
};

// The record of a run with its text buffer of kFileBufferSize bytes, both allocated once and
// never moved (the record is about 230 KB, the buffer 2 MB).
class ProgramObjectImage {
 public:
  ProgramObjectImage();
  ProgramObjectImage(const ProgramObjectImage&) = delete;
  ProgramObjectImage& operator=(const ProgramObjectImage&) = delete;

  // Resets the WorkingImage (and nothing else) first, as the IDE's start-up expects.
  ObjectImage* GetObjectImage();
  ObjectImage& Image() const { return *image_; }

 private:
  std::unique_ptr<ObjectImage> image_;
  std::vector<char> buffer_;
};

// Words 0..4111 := 0x0FFF, FUSE := 0x0FFA, FUSEX := 0x0FFF on a 4,096-word device, else 0x0BFF.
void ResetWordArray(WordArray& words, bool device4k);
void CopyWorkingToProgramming(ObjectImage& image);
void CopyProgrammingToWorking(ObjectImage& image);

// A word as a builder writes it: the 12 instruction bits with the in-use mark.
constexpr std::uint16_t UsedWord(std::uint16_t value) {
  return static_cast<std::uint16_t>((value & kInstructionBits) | kInUseBit);
}
constexpr bool IsInUse(std::uint16_t word) { return (word & kInUseBit) != 0; }

// Stores at most the first 32 characters of name, NUL-terminated.
void SetWatchName(WatchEntry& entry, std::string_view name);

// 2,048 or 4,096.
inline int ProgramSize(const ObjectImage& image) { return image.Device4K ? 4096 : 2048; }

}  // namespace build_debug
