#include "assembler/listing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "assembler/run.h"
#include "test_support.h"

namespace tarn {
namespace {

using tarn_test::ReadFile;
using tarn_test::TempFolder;

class Listing : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.output_base = dir_ / "prog";
    run_.pass = 2;
  }
  void Open() {
    ASSERT_EQ(CreateListing(run_), 0);
    ASSERT_EQ(CreateMapFile(run_), 0);
    run_.listing.title = "TITLE";
  }
  std::string ListingText() {
    CloseListing(run_);
    return ReadFile(dir_ / "prog.lst");
  }

  TempFolder dir_;
  std::ostringstream console_;
  TarnRun run_{console_};
};

unsigned Word(const std::string& bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

TEST_F(Listing, SixWordStatementWithContinuationLinesAndMapRecords) {
  Open();
  ListedLine line;
  line.line_class = kLineCode;
  line.address = 0x10;
  line.words = {1, 2, 3, 4, 5, 6};
  line.source = "\tDW 1,2,3,4,5,6";
  line.number = 3;
  line.file_line = 2;
  line.file_index = 0;
  ListSourceLine(run_, line);
  EXPECT_EQ(ListingText(),
            "Page  1 TITLE\n"
            "\n"
            "Line    PC    Opcode    Source\n"
            "     3  0010  0001              DW 1,2,3,4,5,6\n"
            "        0011  0002 0003 0004 0005\n"
            "        0015  0006\n");
  std::string map = ReadFile(dir_ / "prog.map");
  ASSERT_EQ(map.size(), 2560u);
  EXPECT_EQ(Word(map, 0), 0xAAFFu);
  EXPECT_EQ(Word(map, 2), 0x0100u);
  EXPECT_EQ(Word(map, 4), 0u);  // QV18AC
  EXPECT_EQ(Word(map, 6), 2047u);
  EXPECT_EQ(Word(map, 8), 2047u);
  EXPECT_EQ(Word(map, 10), 0xFFFFu);
  EXPECT_EQ(map.substr(12, 20), std::string(20, '\0'));
  const unsigned records[3][4] = {{0x10, 2, 4, 0}, {0x11, 2, 5, 0}, {0x15, 2, 6, 0}};
  for (int r = 0; r < 3; ++r) {
    for (int f = 0; f < 4; ++f)
      EXPECT_EQ(Word(map, 2048 + 8 * r + 2 * f), records[r][f]) << r << "," << f;
  }
  EXPECT_EQ(map.substr(2048 + 24), std::string(2560 - 2048 - 24, '\0'));
}

TEST_F(Listing, LineClasses) {
  Open();
  auto list = [&](int cls, const char* source, char marker = kMarkerNone) {
    ListedLine l;
    l.line_class = cls;
    l.source = source;
    l.marker = marker;
    l.number = 7;
    return l;
  };
  ListedLine value = list(kLineValue, "COUNT\tEQU 8");
  value.value = 8;
  ListSourceLine(run_, value);
  ListedLine bit = list(kLineValue, "FLAG = RA.3", kMarkerInclude);
  bit.value = 6;
  bit.bit_part = 3;
  ListSourceLine(run_, bit);
  ListSourceLine(run_, list(kLinePlain, "; note", kMarkerMacro));
  ListSourceLine(run_, list(kLinePlainNoMarker, "\tINCLUDE \"x.inc\"", kMarkerInclude));
  ListedLine blank = list(kLineBlankLines, "\tSPAC 2");
  blank.blank_lines = 2;
  ListSourceLine(run_, blank);
  ListedLine fuses = list(kLineFuses, "\tDEVICE QV28");
  fuses.words = {0x0FFB, 0x0FFF};
  ListSourceLine(run_, fuses);
  ListedLine reset = list(kLineResetVector, "\tRESET start");
  reset.words = {0x07FF, 0x0A00};
  ListSourceLine(run_, reset);
  ListSourceLine(run_, list(kLineNotListed, "\tENDM"));
  EXPECT_EQ(ListingText(),
            "Page  1 TITLE\n"
            "\n"
            "Line    PC    Opcode    Source\n"
            "     7  =00000008       COUNT   EQU 8\n"
            "     7  =00000006.3  +  FLAG = RA.3\n"
            "     7               m  ; note\n"
            "     7                          INCLUDE \"x.inc\"\n"
            "     7                          SPAC 2\n"
            "\n"
            "\n"
            "     7  0FFB  0FFF              DEVICE QV28\n"
            "     7  07FF  0A00              RESET start\n");
}

TEST_F(Listing, DeferredTextsFollowTheirLine) {
  Open();
  DeferLine(run_, 5, "****** second");
  DeferLine(run_, 4, "****** first");
  DeferLine(run_, 9, "****** later");
  ListedLine l;
  l.source = "x";
  l.number = 5;
  ListSourceLine(run_, l);
  std::string text = ListingText();
  EXPECT_NE(text.find("     5                  x\n****** first\n****** second\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find("later"), std::string::npos);
}

TEST_F(Listing, PagingStartsLaterPagesWithAFormFeed) {
  run_.options.listing_mode = kListPage;
  Open();
  SetPageLength(run_, 5);  // ignored: 1 to 5 leave the length
  EXPECT_EQ(run_.listing.page_length, 60);
  SetPageLength(run_, 6);
  run_.listing.subtitle = "Blinker";
  // A header sets the page's line count to 2, and to 3 with a subtitle; the line that
  // brings the count to the page length starts the next page.
  for (int i = 1; i <= 7; ++i) ListText(run_, i, "line");
  const std::string header = "TITLE\nBlinker\n\nLine    PC    Opcode    Source\n";
  EXPECT_EQ(ListingText(), "Page  1 " + header +
                               "     1  line\n     2  line\n     3  line\n"
                               "\f\nPage  2 " +
                               header +
                               "     4  line\n     5  line\n     6  line\n"
                               "\f\nPage  3 " +
                               header + "     7  line\n");
}

TEST_F(Listing, MapNameSlotsNeverSpillIntoTheNext) {
  Open();
  WriteMapFileName(run_, 1, "/src/b.inc");
  WriteMapFileName(run_, 0, std::string(100, 'a'));
  CloseListing(run_);
  std::string map = ReadFile(dir_ / "prog.map");
  EXPECT_EQ(map.substr(32, 63), std::string(63, 'a'));
  EXPECT_EQ(map[32 + 63], '\0');
  EXPECT_EQ(map.substr(96, 11), std::string("/src/b.inc\0", 11));
}

TEST_F(Listing, MapHeaderHoldsTheHighestAddressThatPassOneLeft) {
  run_.device.highest_address = 511;  // PAGES1 on a 2,048-word device
  Open();
  CloseListing(run_);
  std::string map = ReadFile(dir_ / "prog.map");
  EXPECT_EQ(Word(map, 6), 2047u);
  EXPECT_EQ(Word(map, 8), 511u);
}

TEST_F(Listing, MapNamesWithoutFoldersUnderZ) {
  run_.options.full_map_names = false;
  Open();
  WriteMapFileName(run_, 0, "/src/deep/prog.asm");
  CloseListing(run_);
  EXPECT_EQ(ReadFile(dir_ / "prog.map").substr(32, 9), std::string("prog.asm\0", 9));
}

std::string FormatSymbolLine(const SymbolLine& symbol, bool kestrian) {
  std::string out;
  AppendSymbolLine(out, symbol, kestrian);
  return out;
}

TEST(SymbolLines, OrdinaryBitAndWatchForms) {
  const std::string pad27(27, ' ');
  EXPECT_EQ(FormatSymbolLine({"COUNT", 0, 8, 0, 12}, false),
            "COUNT" + pad27 + "  DATA   00000008   0012");
  EXPECT_EQ(FormatSymbolLine({"FLAG", 5, 6, 3, 3}, false),
            "FLAG" + pad27 + " " + "  BDAT   00000006.3 0003");
  EXPECT_EQ(FormatSymbolLine({"V", 4, 0xFFFFFFFF, 0, 1}, false),
            "V" + std::string(31, ' ') + "   VAR   FFFFFFFF   0001");
  EXPECT_EQ(FormatSymbolLine({"X", 42, 1, 0, 1}, false),
            "X" + std::string(31, ' ') + "   ERR   00000001   0001");
  EXPECT_EQ(FormatSymbolLine({"__QV_WATCH:cnt", 11, 0x0C, 0x08, 20}, true),
            "__QV_WATCH:cnt" + std::string(18, ' ') + "  UHEX   0000000C 08 0020");
  // Outside the IDE's mode a watch kind is just an unknown kind.
  EXPECT_EQ(FormatSymbolLine({"W", 9, 0, 0, 0}, false),
            "W" + std::string(31, ' ') + "   ERR   00000000   0000");
}

}  // namespace
}  // namespace tarn
