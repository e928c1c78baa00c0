#include "build_debug/tools/tarn_output.h"

#include <gtest/gtest.h>

namespace build_debug {
namespace {

void PutWord(std::string& bytes, std::size_t offset, std::uint16_t word) {
  bytes[offset] = static_cast<char>(word & 0xFF);
  bytes[offset + 1] = static_cast<char>(word >> 8);
}

// A map as tarn writes it: the header, zeros up to 2,560 bytes, and the records from 2048.
std::string MapFile(std::int16_t device, std::int16_t last_word,
                    const std::vector<TarnMapRecord>& records) {
  std::string bytes(2560, '\0');
  const std::uint16_t header[] = {0xAAFF,
                                  0x0100,
                                  static_cast<std::uint16_t>(device),
                                  static_cast<std::uint16_t>(last_word),
                                  static_cast<std::uint16_t>(last_word),
                                  0xFFFF};
  for (std::size_t i = 0; i < 6; ++i) PutWord(bytes, i * 2, header[i]);
  std::size_t offset = 2048;
  for (const TarnMapRecord& r : records) {
    if (offset + 8 > bytes.size()) bytes.resize(offset + 8);
    PutWord(bytes, offset, r.Address);
    PutWord(bytes, offset + 2, r.SourceLine);
    PutWord(bytes, offset + 4, r.ListingLine);
    PutWord(bytes, offset + 6, r.FileIndex);
    offset += 8;
  }
  return bytes;
}

// An object of count program words (word i holds i) and a trailer of ID words 0x0F00 + i and
// configuration words 0x0E00 + i.
std::string ObjFile(int count) {
  std::string bytes(static_cast<std::size_t>(count) * 2 + 48, '\0');
  for (int i = 0; i < count; ++i)
    PutWord(bytes, static_cast<std::size_t>(i) * 2, static_cast<std::uint16_t>(i));
  std::size_t trailer = static_cast<std::size_t>(count) * 2;
  for (int i = 0; i < 16; ++i)
    PutWord(bytes, trailer + static_cast<std::size_t>(i) * 2,
            static_cast<std::uint16_t>(0x0F00 + i));
  for (int i = 0; i < 8; ++i)
    PutWord(bytes, trailer + 32 + static_cast<std::size_t>(i) * 2,
            static_cast<std::uint16_t>(0x0E00 + i));
  return bytes;
}

TEST(ParseHexTest, DigitsOnly) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"", 0},          {"0", 0},  {"1F", 31}, {"ff", 255}, {"00000308", 0x308},
      {"3.3", -1},      {"G", -1}, {"-1", -1}, {" 1", -1},  {"02FAF080", 50'000'000},
      {"FFFFFFFE", -2},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHex(c.text), c.value) << c.text;
}

TEST(SplitTokensTest, RunsOfBlanksAreOneSeparator) {
  std::vector<std::string> list{"old"};
  SplitTokens("count                             DATA   00000009   0007", list, 0);
  EXPECT_EQ(list, (std::vector<std::string>{"count", "DATA", "00000009", "0007"}));
  SplitTokens("a b ", list, 0);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "b", ""}));
  SplitTokens("", list, 0);
  EXPECT_EQ(list, (std::vector<std::string>{""}));
  list = {"keep", "x", "y"};
  SplitTokens("p\tq r s", list, 1);
  EXPECT_EQ(list, (std::vector<std::string>{"keep", "p", "q", "r", "s"}));
}

TEST(TextLinesTest, LfOrCrLf) {
  EXPECT_EQ(TextLines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(TextLines("a\n\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(TextLines("").empty());
}

TEST(ListingLineOfTest, SkipsHeadingsPagesAndContinuations) {
  const std::vector<std::string> listing = {
      "Page  1 TARN Cross-Assembler Version 1.51.07  Thu Dec 10 13:24:24 2026",  // 1
      "",                                                                        // 2
      "Line    PC    Opcode    Source",                                          // 3
      "     1  0000  0069      start   CLR     count",                           // 4
      "     2  0001  0C01              DW      1,2,3,4,5,6",                     // 5
      "        0002  0002 0003 0004 0005",                                       // 6
      "****** prog.asm(2) Line 5, Warning 59, Pass 2: something",                // 7
      "\f",                                                                      // 8
      "Page  2 TARN Cross-Assembler Version 1.51.07  Thu Dec 10 13:24:24 2026",  // 9
      "",                                                                        // 10
      "Line    PC    Opcode    Source",                                          // 11
      "     3                          INCLUDE inc.asm",                         // 12
      "     1  0007  0000   +          NOP",                                     // 13
      "     4  0008  0003              SLEEP",                                   // 14
      "",                                                                        // 15
      "Cross Reference",                                                         // 16
      "     9  not a listing line any more",                                     // 17
  };
  const struct {
    int number;
    int line;
  } cases[] = {
      {1, 4}, {2, 5}, {3, 12}, {4, 14}, {9, -1}, {5, -1}, {0, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ListingLineOf(listing, c.number), c.line) << c.number;
  EXPECT_EQ(ListingLineOf({}, 1), -1);

  // A larger number before the wanted one sends the search back to the top, once.
  const std::vector<std::string> shuffled = {"     7  a", "     3  b", "     8  c"};
  EXPECT_EQ(ListingLineOf(shuffled, 3), 2);
  EXPECT_EQ(ListingLineOf(shuffled, 2), -1);
}

TEST(ParseTarnMapTest, HeaderAndRecordsUpToAZeroRecord) {
  TarnReadBack read;
  const std::vector<TarnMapRecord> records = {{0, 11, 14, 0}, {0x7FF, 12, 15, 1}};
  ASSERT_TRUE(ParseTarnMap(MapFile(3, 4095, records), read));
  EXPECT_EQ(read.MapHeader[2], 3);
  EXPECT_EQ(read.MapHeader[3], 4095);
  ASSERT_EQ(read.MapRecords.size(), 2u);
  EXPECT_EQ(read.MapRecords[1].Address, 0x7FF);
  EXPECT_EQ(read.MapRecords[1].SourceLine, 12);
  EXPECT_EQ(read.MapRecords[1].ListingLine, 15);
  EXPECT_EQ(read.MapRecords[1].FileIndex, 1);
}

TEST(ParseTarnMapTest, RecordsToTheEndOfTheFile) {
  std::vector<TarnMapRecord> records;
  for (std::uint16_t i = 1; i <= 70; ++i) records.push_back({i, i, i, 0});
  TarnReadBack read;
  std::string bytes = MapFile(0, 2047, records);
  ASSERT_EQ(bytes.size(), 2048u + 70 * 8);
  ASSERT_TRUE(ParseTarnMap(bytes, read));
  EXPECT_EQ(read.MapRecords.size(), 70u);
}

TEST(ParseTarnMapTest, CutFilesAreRefused) {
  std::vector<TarnMapRecord> records;
  for (std::uint16_t i = 1; i <= 70; ++i) records.push_back({i, i, i, 0});
  std::string full = MapFile(0, 2047, records);
  for (std::size_t size : {std::size_t{0}, std::size_t{11}, std::size_t{2047}, full.size() - 3}) {
    TarnReadBack read;
    EXPECT_FALSE(ParseTarnMap(std::string_view(full).substr(0, size), read)) << size;
  }
}

TEST(ParseTarnMapTest, DeviceSize) {
  const struct {
    std::int16_t device;
    MapDeviceSize size;
  } cases[] = {{0, MapDeviceSize::k2K},
               {2, MapDeviceSize::k2K},
               {3, MapDeviceSize::k4K},
               {4, MapDeviceSize::k4K},
               {5, MapDeviceSize::kUnknown}};
  for (const auto& c : cases) {
    TarnReadBack read;
    read.MapHeader[2] = c.device;
    EXPECT_EQ(DeviceSizeOf(read), c.size) << c.device;
  }
}

TEST(ParseTarnObjTest, ReadsTheWordsTheMapNamesAndTheTrailer) {
  TarnReadBack read;
  read.MapHeader[3] = 3;  // words 0..3 of a longer object
  ASSERT_TRUE(ParseTarnObj(ObjFile(10), read));
  EXPECT_EQ(read.ProgramWords[3], 3);
  EXPECT_EQ(read.ProgramWords[4], kEmptyWord);  // not read: empty, never 0xFFFF
  EXPECT_EQ(read.ProgramWords[4095], kEmptyWord);
  EXPECT_EQ(read.IdWords[0], 0x0F00);
  EXPECT_EQ(read.IdWords[15], 0x0F0F);
  EXPECT_EQ(read.ConfigWords[kConfigFuse], 0x0E00);
  EXPECT_EQ(read.ConfigWords[kConfigBreak], 0x0E07);
}

TEST(ParseTarnObjTest, AWordCountBeyondTheBufferIsClamped) {
  for (std::int16_t last : {std::int16_t{4096}, std::int16_t{0x7FFF}}) {
    TarnReadBack read;
    read.MapHeader[3] = last;
    ASSERT_TRUE(ParseTarnObj(ObjFile(4096), read)) << last;
    EXPECT_EQ(read.ProgramWords[4095], 4095);
    EXPECT_EQ(read.IdWords[0], 0x0F00);
    // The object holds fewer words than the map claims: cut.
    EXPECT_FALSE(ParseTarnObj(ObjFile(2048), read)) << last;
  }
  TarnReadBack none;
  none.MapHeader[3] = -1;
  ASSERT_TRUE(ParseTarnObj(ObjFile(0), none));
  EXPECT_EQ(none.ProgramWords[0], kEmptyWord);
}

TEST(ParseTarnObjTest, CutObjectsAreRefused) {
  std::string full = ObjFile(2048);
  for (std::size_t size : {std::size_t{0}, std::size_t{47}, full.size() - 1}) {
    TarnReadBack read;
    read.MapHeader[3] = 2047;
    EXPECT_FALSE(ParseTarnObj(std::string_view(full).substr(0, size), read)) << size;
  }
  TarnReadBack read;
  EXPECT_FALSE(ParseObjTrailer(std::string(47, '\0'), read));
}

constexpr const char* kSymHeader =
    "Cross Reference\n%d symbols\n\nSymbol                            Type   Value      Line";

std::string SymFile(const std::vector<std::string>& lines) {
  char head[128];
  std::snprintf(head, sizeof head, kSymHeader, static_cast<int>(lines.size()));
  std::string text = head;
  for (const std::string& line : lines) text += "\n" + line;
  return text + "\n";
}

TEST(ParseTarnSymTest, SymbolsWatchesBreakAndReset) {
  TarnReadBack read;
  std::string text = SymFile({
      "count                             DATA   00000009   0007",
      "flag                              BDAT   00000008.3 0008",
      "loop                              ADDR   00000001   0012",
      "__QV_BREAK                        ADDR   00000002   0013",
      "__QV_FREQ                         DATA   003D0900   0004",
      "__QV_RESET                        RESB   00000004   0016",
      "__QV_WATCH:count                  SDEC   00000009 08 0009",
      "__QV_WATCH:flags.3                UBIN   00000308 01 0008",
      "__QV_WATCH:text                   ZSTR   00000010 0C 0010",
      "__TARN                            DATA   00000001   0000",
  });
  ASSERT_TRUE(ParseTarnSym(text, read));
  ASSERT_EQ(read.Symbols.size(), 3u);
  EXPECT_EQ(read.Symbols[1].Name, "flag");
  EXPECT_EQ(read.Symbols[1].Value, 8);  // a bit symbol keeps its register
  EXPECT_EQ(read.Symbols[1].Line, 8);
  EXPECT_EQ(read.Symbols[2].Value, 1);
  EXPECT_EQ(read.Symbols[2].Line, 12);
  EXPECT_EQ(read.BreakInfo.Value, 2);
  EXPECT_EQ(read.BreakInfo.Line, 13);
  EXPECT_EQ(read.ResetInfo.Value, 4);
  EXPECT_EQ(read.ResetInfo.Line, 16);
  ASSERT_EQ(read.Watches.size(), 3u);
  EXPECT_EQ(read.Watches[0].Name, "count");
  EXPECT_EQ(read.Watches[0].Type, SDEC);
  EXPECT_EQ(read.Watches[1].Name, "flags.3");
  EXPECT_EQ(read.Watches[1].Address, 0x308);
  EXPECT_EQ(read.Watches[1].Width, 1);
  EXPECT_EQ(read.Watches[2].Type, ZSTR);
  EXPECT_EQ(read.Watches[2].Width, 12);

  // CR LF lines read the same; a second read starts afresh.
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_TRUE(ParseTarnSym(crlf, read));
  EXPECT_EQ(read.Symbols.size(), 3u);
  EXPECT_EQ(read.Watches.size(), 3u);
}

TEST(ParseTarnSymTest, NoBreakNoResetNoSymbols) {
  TarnReadBack read;
  read.BreakInfo = {"__QV_BREAK", 5, 5};
  ASSERT_TRUE(ParseTarnSym(SymFile({}), read));
  EXPECT_TRUE(read.Symbols.empty());
  EXPECT_EQ(read.BreakInfo.Value, -1);
  EXPECT_EQ(read.ResetInfo.Value, -1);
}

TEST(ParseTarnSymTest, DamagedFilesAreRefused) {
  const std::string good = SymFile({"count                             DATA   00000009   0007",
                                    "loop                              ADDR   00000001   0012"});
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"title only", "Cross Reference\n"},
      {"no count", "Cross Reference\nsymbols\n\nheading\n"},
      {"count without blank", "Cross Reference\n2\n\nheading\n"},
      {"negative count", "Cross Reference\n-1 symbols\n\nheading\n"},
      {"cut in the list", good.substr(0, good.rfind("loop"))},
      {"count above the lines", SymFile({"count  DATA   00000009   0007"}).replace(16, 1, 1, '5')},
      {"short line", SymFile({"count DATA 00000009"})},
      {"line not a number", SymFile({"count  DATA   00000009   00x7"})},
      {"break line not a number", SymFile({"__QV_BREAK  ADDR   00000002   line"})},
      {"unknown watch type", SymFile({"__QV_WATCH:count  UOCT   00000009 08 0009"})},
      {"watch width not hex", SymFile({"__QV_WATCH:count  UDEC   00000009 0Z 0009"})},
      {"watch address not hex", SymFile({"__QV_WATCH:count  UDEC   0000000Q 08 0009"})},
  };
  for (const auto& c : cases) {
    TarnReadBack read;
    EXPECT_FALSE(ParseTarnSym(c.text, read)) << c.what;
  }
}

}  // namespace
}  // namespace build_debug
