#include "build_debug/tools/c_output_loader.h"

#include <gtest/gtest.h>

#include <random>

#include "cod_fixture.h"

namespace build_debug {
namespace {

class COutputLoaderTest : public ::testing::Test {
 protected:
  CodSession s;
};

TEST_F(COutputLoaderTest, LoadsProgramConfigurationClockLinesWatchesAndBreak) {
  s.Write(SmallProgram());
  s.image->Device4K = 1;
  s.image->WorkingImage.fill(UsedWord(0x555));  // an earlier program
  ASSERT_TRUE(s.loader.QVCLoad(s.base));

  WordArray expected = s.image->WorkingImage;
  for (std::size_t i = 0; i < kProgramWords; ++i) expected[i] = kEmptyWord;
  expected[0] = UsedWord(0x0C05);
  expected[1] = UsedWord(0x0025);
  expected[2] = UsedWord(0x0A00);
  expected[0x7FF] = UsedWord(0x0A00);  // word 3 is not in the memory map: empty
  const std::uint16_t ids[] = {0x0FF1, 0x0FF2, 0x0FF3, 0x0FF4};
  for (std::size_t i = 0; i < 4; ++i) expected[kIdWordsIndex + i] = ids[i];
  expected[kFuseIndex] = 0x0FDB;
  expected[kFusexIndex] = 0x0BFF;
  for (std::size_t i = 0; i < kImageWords; ++i)
    ASSERT_EQ(s.image->WorkingImage[i], expected[i]) << i;
  EXPECT_EQ(s.image->Device4K, 0);  // __RESET at 2047
  EXPECT_EQ(s.image->ClockHz, 20'000'000);

  // Listing lines 0, 1, 2, 3, 4 from the code line records in file order.
  const std::pair<int, int> address_lines[] = {{0, 0},    {1, 1},  {2, 2},     {0x10, 3},
                                               {0x20, 4}, {3, -1}, {0x7FF, -1}};
  for (auto [address, line] : address_lines) {
    EXPECT_EQ(s.image->AddressLine[static_cast<std::size_t>(address)], line) << address;
  }
  ASSERT_EQ(s.image->LineCount, 4);
  EXPECT_EQ(s.image->LineBufferOffset[0], 0);
  EXPECT_EQ(s.image->LineBufferOffset[1], 10);
  EXPECT_EQ(s.image->LineBufferOffset[2], 20);
  EXPECT_EQ(s.image->LineBufferOffset[3], 22);
  EXPECT_EQ(std::string(s.image->FileBuffer, static_cast<std::size_t>(s.image->FileBufferLength)),
            kSmallListing);

  ASSERT_EQ(s.image->WatchCount, 2);
  EXPECT_STREQ(s.image->Watches[0].Name, "count");
  EXPECT_EQ(int{s.image->Watches[0].Address}, 0x09);
  EXPECT_EQ(s.image->Watches[0].Width, 8);
  EXPECT_EQ(s.image->Watches[0].Format, UDEC);
  EXPECT_STREQ(s.image->Watches[1].Name, "flags");
  EXPECT_EQ(s.image->Watches[1].Width, 1);
  EXPECT_EQ(s.image->Watches[1].Format, UBIN);
  EXPECT_EQ(s.image->BreakAddress, 2);

  // The second break names the first one's line.
  ASSERT_EQ(s.boxes.Boxes().size(), 1u);
  EXPECT_EQ(s.boxes.Boxes()[0].text,
            "Src. File:util.h\rLine #5\r\r\rQV-Key can only have a single BREAK line\rThe first "
            "breakpoint (line 12) will be used.");
  EXPECT_EQ(s.boxes.Boxes()[0].caption, "Too Many Breakpoints");
  ASSERT_NE(s.loader.Code(), nullptr);
  EXPECT_EQ(s.loader.Code()->LineOfAddress(0x20), 20);
}

TEST_F(COutputLoaderTest, ResetSymbolChoosesTheDeviceSize) {
  const std::pair<std::int32_t, std::uint8_t> cases[] = {{4095, 1}, {2047, 0}};
  for (auto [reset, device4k] : cases) {
    CodWriter cod = SmallProgram();
    cod.short_symbols[0].value = reset;
    s.Write(cod);
    s.image->Device4K = static_cast<std::uint8_t>(1 - device4k);
    ASSERT_TRUE(s.loader.QVCLoad(s.base));
    EXPECT_EQ(s.image->Device4K, device4k) << reset;
  }
}

TEST_F(COutputLoaderTest, ClockWords) {
  const struct {
    bool present;
    std::uint16_t low;
    std::uint16_t high;
    std::int32_t hz;
  } cases[] = {
      {true, 0x2D00, 0x0131, 20'000'000},
      {true, 0, 0, 400'000},
      {true, 0xC200, 0x0BEB, 110'000'000},  // 200,000,000
      {false, 0, 0, 50'000'000},
  };
  for (const auto& c : cases) {
    CodWriter cod = SmallProgram();
    // Without the block of ID, configuration and clock words the clock keeps its default.
    cod.words.erase(cod.words.lower_bound(kIdWordsIndex), cod.words.end());
    if (c.present) {
      cod.words[4114] = c.low;
      cod.words[4115] = c.high;
    }
    s.Write(cod);
    ASSERT_TRUE(s.loader.QVCLoad(s.base));
    EXPECT_EQ(s.image->ClockHz, c.hz) << c.low << " " << c.high;
  }
}

TEST_F(COutputLoaderTest, LineMapIsBoundedAndStopsAtPadding) {
  CodWriter cod = SmallProgram();
  cod.lines = {{0, 0x80, 1, 0x10},
               {0, 0x04, 2, 0x11},    // not a code line, and the counter stays
               {0, 0x80, 3, 0x1000},  // beyond the table: not written, but counted
               {0, 0x80, 4, 0x2000},  // past the program in the last block: skipped
               {0, 0x80, 5, 0x12}};
  s.Write(cod);
  ASSERT_TRUE(s.loader.QVCLoad(s.base));
  EXPECT_EQ(s.image->AddressLine[0x10], 0);
  EXPECT_EQ(s.image->AddressLine[0x11], -1);
  EXPECT_EQ(s.image->AddressLine[0x12], 2);
  EXPECT_EQ(s.image->AddressLine[0], -1);  // the zero records after them are padding
}

struct PragmaCase {
  const char* text;
  const char* box;
  const char* caption;
};

TEST_F(COutputLoaderTest, BadWatchPragmasShowWhatIsWrongAndDropTheWatch) {
  const std::string at = "Src. File:main.c\rLine #11\r\r";
  const PragmaCase cases[] = {
      {"count,40,UDEC",
       "Pragma: count,40,UDEC\r\r40 is greater than the max. # of WATCH bits (32).",
       "ParsePragma()"},
      {"count,20,FSTR",
       "Pragma: count,20,FSTR\r\r20 is greater than the max. # of string WATCH bytes (16).",
       "ParsePragma()"},
      {"count,abc,UDEC",
       "Pragma: count,abc,UDEC\r\rNumber of WATCH bits must be a valid integer.\r\"abc\" is not a "
       "valid integer.",
       "ParsePragma()"},
      {"count,0,UDEC",
       "Pragma: count,0,UDEC\r\rNumber of WATCH bits must be a valid integer.\r\"0\" is not a "
       "valid integer.",
       "ParsePragma()"},
      {"nosuch,8,UDEC", "Pragma: nosuch,8,UDEC\r\r\"nosuch\" is not a valid WATCH variable.",
       "ParsePragma()"},
      {"count,8,udec", "Pragma: count,8,udec\r\r\"udec\" is not a valid WATCH type.",
       "ParsePragma()"},
      {"count", "Pragma: count\r\r\"\" is not a valid WATCH type.", "ParsePragma()"},
      {"", "Pragma: \r\r\"\" is not a valid WATCH variable.", "ParsePragma()"},
  };
  for (const PragmaCase& c : cases) {
    CodWriter cod = SmallProgram();
    cod.directives = {{1, 'w', c.text}, {1, 'w', "flags,8,SHEX"}};
    s.Write(cod);
    s.boxes.Clear();
    ASSERT_TRUE(s.loader.QVCLoad(s.base));
    ASSERT_EQ(s.boxes.Boxes().size(), 1u) << c.text;
    EXPECT_EQ(s.boxes.Boxes()[0].text, at + c.box);
    EXPECT_EQ(s.boxes.Boxes()[0].caption, c.caption);
    ASSERT_EQ(s.image->WatchCount, 1) << c.text;
    EXPECT_STREQ(s.image->Watches[0].Name, "flags");
  }
}

TEST_F(COutputLoaderTest, TheThirtyThirdAndFourthWatchEachShowABox) {
  CodWriter cod = SmallProgram();
  cod.directives.clear();
  for (int i = 0; i < 34; ++i) cod.directives.push_back({0x20, 'w', "count,16,UHEX"});
  s.Write(cod);
  ASSERT_TRUE(s.loader.QVCLoad(s.base));
  ASSERT_EQ(s.boxes.Boxes().size(), 2u);
  for (const auto& box : s.boxes.Boxes()) {
    EXPECT_EQ(box.text,
              "Src. File:main.c\rLine #20\r\r\rYou have exceeded the maximum number of WATCH "
              "variables (32)\rAny additional WATCH variables will be ignored.");
    EXPECT_EQ(box.caption, "Too Many Watch Variables");
  }
  EXPECT_EQ(s.image->WatchCount, 32);
}

// The image as a refused load must leave it.
struct ImageSnapshot {
  WordArray working;
  std::int16_t break_address;
  std::int32_t clock;
  std::int32_t watches;
  std::int32_t lines;
  std::uint8_t device4k;
  std::int32_t first_address_line;

  explicit ImageSnapshot(const ObjectImage& image)
      : working(image.WorkingImage),
        break_address(image.BreakAddress),
        clock(image.ClockHz),
        watches(image.WatchCount),
        lines(image.LineCount),
        device4k(image.Device4K),
        first_address_line(image.AddressLine[0]) {}
  bool operator==(const ImageSnapshot&) const = default;
};

class RefusedLoadTest : public COutputLoaderTest {
 protected:
  void SetUp() override {
    s.Write(SmallProgram());
    ASSERT_TRUE(s.loader.QVCLoad(s.base));
    s.boxes.Clear();
  }
  // Loads the bytes as the ".cod"; expects a refusal with a box and the image as it was.
  void ExpectRefused(const std::string& bytes, const std::string& what) {
    SCOPED_TRACE(what);
    ImageSnapshot before(*s.image);
    WriteBytes(s.base + ".cod", bytes);
    s.boxes.Clear();
    EXPECT_FALSE(s.loader.QVCLoad(s.base));
    EXPECT_FALSE(s.boxes.Boxes().empty());
    EXPECT_TRUE(ImageSnapshot(*s.image) == before);
  }
};

TEST_F(RefusedLoadTest, TruncatedAtEveryBlockBoundary) {
  const std::string full = SmallProgram().Build();
  ASSERT_EQ(full.size() % kCodBlockSize, 0u);
  for (std::size_t size = 0; size < full.size(); size += kCodBlockSize) {
    ExpectRefused(full.substr(0, size), "cut at " + std::to_string(size));
    ExpectRefused(full.substr(0, size + 100), "cut at " + std::to_string(size + 100));
  }
}

TEST_F(RefusedLoadTest, CountsAndOffsetsBeyondTheFile) {
  const std::string full = SmallProgram().Build();
  auto with_word = [&](std::size_t offset, std::uint16_t word) {
    std::string bytes = full;
    bytes[offset] = static_cast<char>(word & 0xFF);
    bytes[offset + 1] = static_cast<char>(word >> 8);
    return bytes;
  };
  ExpectRefused(with_word(0, 999), "image block past the end");
  ExpectRefused(with_word(kCodLines + 2, 200), "line table past the end");
  ExpectRefused(with_word(kCodDirectives + 2, 0xFFFF), "directive table past the end");
  ExpectRefused(with_word(kCodMemoryMap + 2, 250), "memory map past the end");
  ExpectRefused(with_word(kCodShortSymbols, 0x7777), "symbol table past the end");
  std::size_t symbols = full[kCodShortSymbols] * kCodBlockSize;
  ExpectRefused(with_word(kCodShortFileNames + 2, 0), "last block before the first");
  std::string long_name = full;
  long_name[symbols] = 40;  // a 12-character field
  ExpectRefused(long_name, "symbol name longer than its field");
  std::string long_id = full;
  long_id[kCodCompilerId] = 13;
  ExpectRefused(long_id, "compiler id longer than its field");
  ExpectRefused(std::string(kCodBlockSize, '\0'), "all zero");
  ExpectRefused(std::string(kCodBlockSize * 4, '\0'), "zero blocks");
}

TEST_F(RefusedLoadTest, EntriesRunningPastTheirBlock) {
  CodWriter long_tables;
  // Eight entries of 57 bytes fill the first block to 456; a ninth goes to the next.
  for (char c = 'a'; c < 'j'; ++c) long_tables.long_symbols.push_back({std::string(50, c), 1, 1});
  long_tables.directives = {{1, 'b', ""}};
  const std::string full = long_tables.Build();
  std::size_t symbols = static_cast<unsigned char>(full[kCodLongSymbols]) * kCodBlockSize;
  std::string bytes = full;
  bytes[symbols + 456] = static_cast<char>(60);  // a name that would end past the block
  ExpectRefused(bytes, "long symbol past its block");
  std::size_t directives = static_cast<unsigned char>(full[kCodDirectives]) * kCodBlockSize;
  bytes = full;
  bytes[directives + 5] = static_cast<char>(255);  // a text longer than the rest of the block
  bytes[directives + 4] = 'w';
  for (std::size_t i = 6; i < 512; ++i) bytes[directives + i] = 'x';
  ExpectRefused(bytes, "directive text past its block");
}

TEST_F(RefusedLoadTest, FilesTooLargeOrMissing) {
  ExpectRefused(SmallProgram().Build() + std::string(kMaxCodFileBytes, '\0'),
                "over 2,000,000 bytes");
  EXPECT_EQ(s.boxes.Boxes()[0].text,
            ".COD file too large: the IDE reads at most 2,000,000 bytes\r\r" + s.base + ".cod");

  ImageSnapshot before(*s.image);
  s.Write(SmallProgram(), std::string(kMaxListingLines + 1, '\n'));
  s.boxes.Clear();
  EXPECT_FALSE(s.loader.QVCLoad(s.base));
  ASSERT_EQ(s.boxes.Boxes().size(), 1u);
  EXPECT_EQ(s.boxes.Boxes()[0].text,
            "The listing has more than 25,000 lines\r\r" + s.base + ".lst");
  EXPECT_TRUE(ImageSnapshot(*s.image) == before);

  s.Write(SmallProgram(), std::string(kMaxListingLines, '\n'));
  EXPECT_TRUE(s.loader.QVCLoad(s.base));
  EXPECT_EQ(s.image->LineCount, kMaxListingLines);

  std::filesystem::remove(s.base + ".lst");
  s.boxes.Clear();
  EXPECT_FALSE(s.loader.QVCLoad(s.base));
  ASSERT_EQ(s.boxes.Boxes().size(), 1u);
  EXPECT_EQ(s.boxes.Boxes()[0].text, "I/O Error: Unable to open file\r\r" + s.base + ".lst");
}

TEST_F(COutputLoaderTest, CompanionFilesAreFoundWhateverTheCaseOfTheirExtension) {
  struct Case {
    const char* written;  // the listing's extension on disk, or nothing
    const char* found;
  };
  const Case cases[] = {
      {".lst", ".lst"},
      {".LST", ".LST"},
      {".Lst", ".Lst"},
      {nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written ? c.written : "none");
    for (const char* old : {".lst", ".LST", ".Lst"}) std::filesystem::remove(s.base + old);
    WriteBytes(s.base + ".cod", SmallProgram().Build());
    WriteBytes(s.base + "x.lst", kSmallListing);  // another program's listing never stands in
    if (c.written) WriteBytes(s.base + c.written, kSmallListing);
    const auto found = CompanionFile(s.base, ".lst");
    if (!c.found) {
      EXPECT_FALSE(found.has_value());
      continue;
    }
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, s.base + c.found);
    s.boxes.Clear();
    EXPECT_TRUE(s.loader.QVCLoad(s.base));
    EXPECT_EQ(s.image->LineCount, 4);
  }
}

// Random damage to a valid file: every outcome is a load or a refusal, never a read or write
// outside a buffer (the sanitizer build runs this too).
TEST_F(RefusedLoadTest, RandomMutationsNeverCrash) {
  CodWriter cod = SmallProgram();
  cod.long_symbols = {{"g", 1, 1}, {"count", 1, 9}};
  cod.long_locals = {{"__LOCAL", 0x10, 0x1F}, {"i", 1, 0x0A}};
  cod.long_file_names = {"main.c"};
  const std::string valid = cod.Build();
  std::mt19937 random(20261210);
  int loaded = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string bytes = valid;
    int changes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < changes; ++i) {
      // Half of the damage goes to the directory, where it moves whole tables.
      std::size_t at = random() % 2 ? random() % kCodBlockSize : random() % bytes.size();
      bytes[at] = static_cast<char>(random() % 3 == 0 ? 0xFF : random() % 256);
    }
    if (random() % 8 == 0) bytes.resize(random() % bytes.size());
    WriteBytes(s.base + ".cod", bytes);
    ImageSnapshot before(*s.image);
    s.boxes.Clear();
    if (s.loader.QVCLoad(s.base)) {
      ++loaded;
    } else {
      ASSERT_FALSE(s.boxes.Boxes().empty()) << round;
      ASSERT_TRUE(ImageSnapshot(*s.image) == before) << round;
    }
    ASSERT_LE(s.image->WatchCount, kMaxWatches);
    ASSERT_LE(s.image->LineCount, kMaxListingLines);
  }
  EXPECT_GT(loaded, 0);  // the damage is not all fatal: loads run to their end too
}

}  // namespace
}  // namespace build_debug
