#include "assembler/sources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "source_harness.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using harness::SourceHarness;
using harness::TempFolder;
using Records = std::vector<std::string>;

const fs::path kFixtures = fs::path(TARN_FIXTURES) / "sources";

class SourcesTest : public ::testing::Test {
 protected:
  TempFolder folder;
  SourceHarness h;

  void Source(const std::string& text) {
    h.SetSource(folder.Write("main.asm", text), folder.path());
  }
  void Fixture(const std::string& name) { h.SetSource(kFixtures / name, folder.path()); }
};

TEST_F(SourcesTest, IncludeNesting) {
  Fixture("include_main.asm");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.records, (Records{"include_main.asm(2) DW 1", "Inc\\Level1.INC(1) DW 2",
                                "inc/level2.inc(2) DW 22", "Inc\\Level1.INC(3) DW 3",
                                "include_main.asm(4) DW 4", "inc/level2.inc(2) DW 22"}));
  EXPECT_EQ(h.Errors(), 0);
  // Numbered in the order of first opening; a second INCLUDE of a file registers nothing.
  const auto& files = h.run.sources.files;
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].name, "include_main.asm");
  EXPECT_EQ(files[1].name, "Inc\\Level1.INC");
  EXPECT_EQ(files[2].name, "inc/level2.inc");
  EXPECT_EQ(files[1].path, fs::weakly_canonical(kFixtures / "inc" / "level1.inc").string());
  EXPECT_EQ(files[0].line_count, 6);
  EXPECT_EQ(files[2].line_count, 2);
  EXPECT_EQ(files[2].line_data.size(), 12u);
  EXPECT_EQ(h.run.sources.total_lines, 6 + 3 + 2 + 2);
}

TEST_F(SourcesTest, MissingIncludeIsFatal61InTheIdeMode) {
  Source("        DW 1\n        INCLUDE \"nothere.inc\"\n        END\n");
  h.run.options.kestrian = true;
  EXPECT_FALSE(h.RunPass(1));
  EXPECT_EQ(h.exit_code, 1);
  EXPECT_TRUE(h.Printed("\nCannot open INCLUDE file: " +
                        (fs::weakly_canonical(folder.path()) / "nothere.inc").string() + "\n"));
  std::string line =
      "main.asm(2) Line 2, Error 61, Pass 1: Couldn't open include file: nothere.inc";
  EXPECT_TRUE(h.Printed(line));
  std::ifstream err(folder.path() / "main.err");
  std::string first;
  std::getline(err, first);
  EXPECT_EQ(first, line);
}

TEST_F(SourcesTest, MissingIncludeEndsTheRunOutsideTheIdeMode) {
  Source("        INCLUDE \"nothere.inc\"\n        END\n");
  EXPECT_FALSE(h.RunPass(1));
  EXPECT_EQ(h.exit_code, 1);
  EXPECT_TRUE(h.Printed("\nCannot open INCLUDE file: "));
  EXPECT_FALSE(h.Printed("Error 61"));
  EXPECT_FALSE(fs::exists(folder.path() / "main.err"));
}

TEST_F(SourcesTest, TenIncludeLevelsAtMost) {
  // main includes d1, d1 includes d2, ...: d9 is the tenth level and cannot include d10.
  for (int i = 1; i <= 10; ++i) {
    // Built by appending: GCC 12's optimiser takes a prepending concatenation for an
    // overlapping copy.
    std::string name = "d";
    name += std::to_string(i);
    name += ".inc";
    std::string text = "        DW ";
    text += std::to_string(i);
    text += "\n        INCLUDE 'd";
    text += std::to_string(i + 1);
    text += ".inc'\n";
    folder.Write(name, text);
  }
  Source("        INCLUDE 'd1.inc'\n        DW 0\n        END\n");
  ASSERT_TRUE(h.Assemble());
  ASSERT_EQ(h.records.size(), 10u);
  EXPECT_EQ(h.records[8], "d9.inc(1) DW 9");
  EXPECT_EQ(h.records[9], "main.asm(2) DW 0");
  EXPECT_EQ(h.Errors(), 1);
  EXPECT_TRUE(
      h.Printed("d9.inc(2) Line 19, Error 21, Pass 2: File nesting error - Exceeded 10 levels"));
}

TEST_F(SourcesTest, ElevenFilesInAll) {
  std::string text;
  for (int i = 1; i <= 11; ++i) {
    folder.Write("f" + std::to_string(i) + ".inc", "        DW " + std::to_string(i) + "\n");
    text += "        INCLUDE 'f" + std::to_string(i) + ".inc'\n";
  }
  Source(text + "        INCLUDE 'f3.inc'\n        END\n");
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_EQ(h.Errors(), 1);
  // Pass 2 finds the ten files of pass 1 registered and refuses only the new one again.
  ASSERT_TRUE(h.RunPass(2));
  EXPECT_EQ(h.Errors(), 1);
  EXPECT_TRUE(h.Printed(
      "main.asm(11) Line 21, Error 67, Pass 2: Total number of INCLUDE files exceeded 31"));
  EXPECT_EQ(h.records.size(), 11u);
  EXPECT_EQ(h.records.back(), "f3.inc(1) DW 3");
  EXPECT_EQ(h.run.sources.files.size(), 11u);
}

TEST_F(SourcesTest, LineLengthLimit) {
  std::string fits(510, 'x');
  fits.replace(0, 10, "        DW");
  fits.replace(10, 2, " 1");
  fits.replace(12, 2, " ;");
  std::string too_long = fits + "y";
  Source(fits + "\n" + too_long + "\n        DW 3\n" + fits + "\r\n        END\n");
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_EQ(h.Warnings(), 0);
  ASSERT_TRUE(h.RunPass(2));
  EXPECT_EQ(h.records, (Records{"main.asm(1) DW 1", "main.asm(2) DW 1", "main.asm(3) DW 3",
                                "main.asm(4) DW 1"}));
  EXPECT_EQ(h.Warnings(), 1);
  EXPECT_TRUE(
      h.Printed("main.asm(2) Line 2, Warning 56, Pass 2: Source line is too long.  Max length = "
                "512 characters"));
}

TEST_F(SourcesTest, LongLineOfAFileWithoutCarriageReturns) {
  std::string too_long(600, 'y');
  too_long.replace(0, 14, "        DW 1 ;");
  Source(too_long + "\n        DW 3\n        END");
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_EQ(h.run.sources.files[0].line_count, 3);
  ASSERT_TRUE(h.RunPass(2));
  EXPECT_EQ(h.records, (Records{"main.asm(1) DW 1", "main.asm(2) DW 3"}));
  EXPECT_EQ(h.Warnings(), 1);
}

TEST_F(SourcesTest, LineTextAsTextModeReadIt) {
  // CR LF ends a line without its CR; 0x1A ends the file; NUL ends a line's text.
  Source(
      "        DW 1\r\n        DW 2 ; x\r\n        DW 3\0 junk\n        END\n\x1A        DW 9\n"s);
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.records, (Records{"main.asm(1) DW 1", "main.asm(2) DW 2", "main.asm(3) DW 3"}));
  EXPECT_EQ(h.run.sources.files[0].line_count, 4);

  h.run.sources = SourceState{};
  Source("        DW 5\n        DW 6");  // no line feed at the end, and no END
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_EQ(h.run.sources.files[0].line_count, 2);
  EXPECT_EQ(h.records, (Records{"main.asm(1) DW 5", "main.asm(2) DW 6"}));
  EXPECT_TRUE(h.run.sources.end_of_source);
  // Messages after the end still name the file and its last line.
  EXPECT_EQ(CurrentFileName(h.run), "main.asm");
  EXPECT_EQ(CurrentLineNumber(h.run), 2);
}

TEST_F(SourcesTest, MarksForTheListing) {
  Source("        DW 1\n        DW 2\n        END\n");
  ASSERT_TRUE(h.run.pass == 0 && OpenMainSource(h.run));
  ASSERT_EQ(ReadLine(h.run), 0);
  ASSERT_EQ(ReadLine(h.run), 0);
  MarkSourceLine(h.run, 53);
  EXPECT_EQ(h.run.sources.files[0].line_data[2], 53 * 256 + 2);
  SetLineEntry(h.run, 1);
  EXPECT_EQ(h.run.sources.files[0].line_data[2], 1);
  EXPECT_EQ(ListingLineNumber(h.run), 2);
  // Every pass starts its counters again.
  ASSERT_TRUE(OpenMainSource(h.run));
  EXPECT_EQ(ListingLineNumber(h.run), 0);
  EXPECT_EQ(h.run.sources.total_lines, 0);
  EXPECT_EQ(h.run.sources.files.size(), 1u);
}

TEST_F(SourcesTest, IncludeNamesWithoutRegardToCase) {
  folder.Write("Sub/Deeper/File.INC", "");
  h.run.working_folder = folder.path().string() + "/";
  EXPECT_EQ(ResolveIncludeName(h.run, "sub\\deeper\\file.inc"),
            (folder.path() / "Sub/Deeper/File.INC").string());
  EXPECT_EQ(ResolveIncludeName(h.run, "Sub/Deeper/File.INC"),
            (folder.path() / "Sub/Deeper/File.INC").string());
  EXPECT_EQ(ResolveIncludeName(h.run, "sub/none.inc"), (folder.path() / "sub/none.inc").string());
}

// Random bytes through the line reader and the statements must not trip the sanitizers.
TEST_F(SourcesTest, RandomBytesAreSafe) {
  std::mt19937 random(1210);
  std::uniform_int_distribution<int> byte(0, 255);
  static const std::string kWords[] = {
      "m MACRO a\n", " ENDM\n", " REPT 2\n",  " ENDR\n",  " EXITM\n",
      " m 1\n",      " DW %\n", " LOCAL q\n", "q DW q\n", " INCLUDE 'other.inc'\n"};
  for (int round = 0; round < 40; ++round) {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
      int b = byte(random);
      if (b < 20)
        text += kWords[static_cast<size_t>(b) % std::size(kWords)];
      else
        text.push_back(static_cast<char>(byte(random)));
      // Mostly without the end-of-file byte, so that the reader goes on.
      if (round % 4 != 0 && text.back() == 0x1A) text.back() = ' ';
    }
    folder.Write("other.inc", " DW 1\n m 2\n");
    SourceHarness fresh;
    fresh.SetSource(folder.Write("main.asm", text), folder.path());
    fresh.Assemble();  // any outcome but a crash
  }
}

TEST_F(SourcesTest, ReptRepeatsAnIncludedFileOncePerRun) {
  folder.Write("inc.inc", " DW 7\n");
  Source(" REPT 2\n INCLUDE 'inc.inc'\n ENDR\n DW 9\n END\n");
  ASSERT_TRUE(h.Assemble());
  // The second run replays the stored line; only the file's counter names the line.
  EXPECT_EQ(h.records, (Records{"inc.inc(1) DW 7", "main.asm(3) DW 7", "main.asm(4) DW 9"}));
  EXPECT_EQ(h.Errors(), 0);
}

}  // namespace
}  // namespace tarn
