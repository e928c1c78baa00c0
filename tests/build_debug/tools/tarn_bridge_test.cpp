#include "build_debug/tools/tarn_bridge.h"

#include <gtest/gtest.h>

#include "tarn_harness.h"

namespace build_debug {
namespace {

constexpr std::uint16_t Used(std::uint16_t word) { return UsedWord(word); }

// What a previous build left: every field the bridge may write holds a marker.
void MarkImage(ObjectImage& image) {
  image.WorkingImage.fill(Used(0x123));
  image.ProgrammingImage.fill(Used(0x456));
  image.BreakAddress = 7;
  image.ClockHz = 1'234'567;
  image.WatchCount = 1;
  image.Device4K = 1;
}

void ExpectMarkedImage(const ObjectImage& image) {
  for (std::size_t i = 0; i < kImageWords; ++i) {
    ASSERT_EQ(image.WorkingImage[i], Used(0x123)) << i;
    ASSERT_EQ(image.ProgrammingImage[i], Used(0x456)) << i;
  }
  EXPECT_EQ(image.BreakAddress, 7);
  EXPECT_EQ(image.ClockHz, 1'234'567);
  EXPECT_EQ(image.WatchCount, 1);
  EXPECT_EQ(image.Device4K, 1);
}

// An image of empty program words with the given first ID words (the others 0x0FFF), FUSE and
// FUSEX.
WordArray EmptyImage(std::initializer_list<std::uint16_t> ids, std::uint16_t fuse,
                     std::uint16_t fusex) {
  WordArray words;
  words.fill(kEmptyWord);
  std::size_t i = kIdWordsIndex;
  for (std::uint16_t id : ids) words[i++] = id;
  words[kFuseIndex] = fuse;
  words[kFusexIndex] = fusex;
  return words;
}

class TarnBridgeTest : public ::testing::Test {
 protected:
  TarnSession s;
};

TEST_F(TarnBridgeTest, ProgramWithWatchesBreakAndReset) {
  s.PlaceRealTarn();
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  EXPECT_TRUE(s.boxes.Boxes().empty());
  MarkImage(*s.image);
  std::string source = s.Source("watch_break_reset.asm");

  ASSERT_EQ(s.tarn.TarnAssemble(source, false), 0);

  WordArray expected = EmptyImage({0x0FF4, 0x0FF1, 0x0FF4, 0x0FF2}, 0x0FDB, 0x0BFF);
  expected[0] = Used(0x069);
  expected[1] = Used(0x2A9);
  expected[2] = Used(0x568);
  expected[3] = Used(0xA01);
  expected[0x7FF] = Used(0xA00);
  for (std::size_t i = 0; i < kImageWords; ++i) {
    ASSERT_EQ(s.image->WorkingImage[i], expected[i]) << "working word " << i;
    ASSERT_EQ(s.image->ProgrammingImage[i], expected[i]) << "programming word " << i;
  }
  EXPECT_EQ(s.image->Device4K, 0);
  EXPECT_EQ(s.image->BreakAddress, 2);
  EXPECT_EQ(s.image->ClockHz, 4'000'000);
  EXPECT_EQ(s.irc_cal_modes, std::vector<int>{2});

  ASSERT_EQ(s.image->WatchCount, 2);
  const WatchEntry& count = s.image->Watches[0];
  EXPECT_STREQ(count.Name, "count");
  EXPECT_EQ(int{count.Address}, 0x009);
  EXPECT_EQ(count.Width, 8);
  EXPECT_EQ(count.Format, UDEC);
  const WatchEntry& flag = s.image->Watches[1];
  EXPECT_STREQ(flag.Name, "flags.3");
  EXPECT_EQ(int{flag.Address}, 0x308);  // bit 3 of register 8
  EXPECT_EQ(flag.Width, 1);
  EXPECT_EQ(flag.Format, UBIN);

  EXPECT_EQ(s.tarn.LastAssembledSource(), source);
  EXPECT_EQ(s.tarn.OutputBase(), s.OutputFolder() + "watch_break_reset");
  EXPECT_EQ(s.tarn.BreakInfo().Value, 2);
  EXPECT_EQ(s.tarn.BreakInfo().Line, 14);
  EXPECT_EQ(s.tarn.ResetInfo().Line, 17);

  T_EXTLANG_SymbolInfo loop = s.tarn.FindSymbolInfo("LOOP", false);
  EXPECT_EQ(loop.Name, "loop");
  EXPECT_EQ(loop.Value, 1);
  EXPECT_EQ(loop.Line, 13);
  EXPECT_EQ(s.tarn.FindSymbolInfo("flags", true).Value, 8);
  T_EXTLANG_SymbolInfo none = s.tarn.FindSymbolInfo("LOOP", true);
  EXPECT_EQ(none.Name, "");
  EXPECT_EQ(none.Value, 0);
  EXPECT_EQ(none.Line, -1);

  // One map record per code line; a listing line is its source line behind the page
  // heading's three lines.
  ASSERT_EQ(s.tarn.MapRecords().size(), 4u);
  const int addresses[] = {0, 1, 2, 3};
  const int listing_lines[] = {15, 16, 18, 19};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.tarn.MapAddressAt(i), addresses[i]);
    EXPECT_EQ(s.tarn.MapListingLineAt(i), listing_lines[i]);
  }
  EXPECT_EQ(s.tarn.FindMapByAddress(2), 2);
  EXPECT_EQ(s.tarn.FindMapByAddress(0x7FF), -1);
  EXPECT_EQ(s.tarn.FindMapByLine(19), 3);
  EXPECT_EQ(s.tarn.FindMapByLine(17), -1);
  EXPECT_EQ(s.tarn.MapAddressAt(4), -1);
  EXPECT_EQ(s.tarn.MapListingLineAt(-1), -1);

  EXPECT_EQ(s.tarn.ImageWordAt(3), 0xA01);
  EXPECT_EQ(s.tarn.ImageWordAt(0x7FF), 0xA00);
  EXPECT_EQ(s.tarn.ImageWordAt(4), -1);      // empty
  EXPECT_EQ(s.tarn.ImageWordAt(0x800), -1);  // beyond a 2,048-word device
  EXPECT_EQ(s.tarn.ImageWordAt(-1), -1);

  std::vector<std::string> listing = ReadLines(s.OutputFolder() + "watch_break_reset.lst");
  EXPECT_EQ(s.tarn.ResetListingLine(listing), 20);
  EXPECT_EQ(s.tarn.MainListingLine(listing), 15);
  EXPECT_TRUE(s.boxes.Boxes().empty());
}

TEST_F(TarnBridgeTest, WarningsLoadLikeACleanBuildOnAFourKWordDevice) {
  s.PlaceRealTarn();
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  s.image->BreakAddress = 5;
  s.image->Device4K = 0;

  ASSERT_EQ(s.tarn.TarnAssemble(s.Source("four_k_warnings.asm"), false), 2);

  WordArray expected = EmptyImage({}, 0x0FFB, 0x0FFF);
  expected[0x10] = Used(0x000);
  expected[0x11] = Used(0x003);
  expected[0xFFF] = Used(0xA10);
  for (std::size_t i = 0; i < kImageWords; ++i) {
    ASSERT_EQ(s.image->WorkingImage[i], expected[i]) << "working word " << i;
    ASSERT_EQ(s.image->ProgrammingImage[i], expected[i]) << "programming word " << i;
  }
  EXPECT_EQ(s.image->Device4K, 1);
  EXPECT_EQ(s.image->BreakAddress, AddressNone);
  EXPECT_EQ(s.image->ClockHz, 50'000'000);
  EXPECT_EQ(s.image->WatchCount, 0);
  EXPECT_EQ(s.irc_cal_modes, std::vector<int>{0});
  EXPECT_EQ(s.tarn.ImageWordAt(0xFFF), 0xA10);
  EXPECT_EQ(s.tarn.ImageWordAt(0x10), 0x000);  // a written 0 is a word, not "none"
  EXPECT_EQ(s.tarn.ImageWordAt(0x1000), -1);
  EXPECT_EQ(s.tarn.BreakInfo().Value, -1);

  // The warning of line 2 is listed under it and shifts the lines after it down by one.
  std::vector<std::string> listing = ReadLines(s.OutputFolder() + "four_k_warnings.lst");
  EXPECT_EQ(s.tarn.ResetListingLine(listing), 10);
  EXPECT_EQ(s.tarn.MainListingLine(listing), -1);

  ASSERT_TRUE(s.tarn.LoadTarnErrors());
  ASSERT_EQ(s.tarn.Errors().size(), 3u);
  EXPECT_TRUE(s.tarn.Errors()[0].ends_with(
      "(1) Line 1, Warning 65, Pass 1: No IRC_CAL directive. Default IRC_SLOW being used"))
      << s.tarn.Errors()[0];
  ASSERT_TRUE(s.tarn.ClearTarnErrors());
  EXPECT_TRUE(s.tarn.Errors().empty());
  EXPECT_FALSE(fs::exists(s.OutputFolder() + "four_k_warnings.err"));
}

TEST_F(TarnBridgeTest, ErrorsReadNothingBackAndKeepThePreviousBuild) {
  s.PlaceRealTarn();
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  ASSERT_EQ(s.tarn.TarnAssemble(s.Source("watch_break_reset.asm"), false), 0);
  const WordArray built = s.image->WorkingImage;
  std::string broken =
      s.WriteSource("broken.asm", "        DEVICE QV18AC\n        NOSUCH 1\n        END\n");

  EXPECT_EQ(s.tarn.TarnAssemble(broken, false), 1);

  EXPECT_EQ(s.image->WorkingImage, built);
  EXPECT_EQ(s.tarn.FindSymbolInfo("loop", true).Value, 1);
  EXPECT_EQ(s.tarn.MapRecords().size(), 4u);
  EXPECT_EQ(s.tarn.LastAssembledSource(), broken);  // tarn ran to its end
  ASSERT_TRUE(s.tarn.LoadTarnErrors());
  EXPECT_FALSE(s.tarn.Errors().empty());
}

TEST_F(TarnBridgeTest, OutputsBesideTheSourceWhenNotInTheOutputFolder) {
  s.PlaceRealTarn();
  s.ide_options.TarnFilesToOutputDir = false;
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  ASSERT_EQ(s.tarn.TarnAssemble(s.Source("watch_break_reset.asm"), false), 0);
  EXPECT_EQ(s.tarn.TarnGetOutputDir(), s.source_folder);
  EXPECT_TRUE(fs::exists(s.source_folder + "watch_break_reset.obj"));
  EXPECT_FALSE(fs::exists(s.OutputFolder()));
  EXPECT_EQ(s.image->WorkingImage[3], Used(0xA01));
}

TEST_F(TarnBridgeTest, FortyWatchesKeepTheFirstThirtyTwo) {
  s.PlaceRealTarn();
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  std::string text =
      "        DEVICE QV18AC, OSCXT2\n        FREQ 4_000_000\n        IRC_CAL irc_slow\n";
  for (int i = 0; i < 40; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "v%02d     EQU     $%02X\n        WATCH   v%02d, 8, UHEX\n", i,
                  8 + i, i);
    text += line;
  }
  text += "        END\n";

  ASSERT_EQ(s.tarn.TarnAssemble(s.WriteSource("watches.asm", text), false), 0);

  ASSERT_EQ(s.boxes.Boxes().size(), 1u);
  EXPECT_EQ(s.boxes.Boxes()[0].text,
            "You have 40 WATCH variables, and the max allowed is 32.\r\rOnly the first 32 will be "
            "used.");
  EXPECT_EQ(s.boxes.Boxes()[0].caption, "Too Many Watch Variables");
  EXPECT_EQ(s.tarn.Watches().size(), 40u);
  ASSERT_EQ(s.image->WatchCount, 32);
  EXPECT_STREQ(s.image->Watches[0].Name, "v00");
  EXPECT_STREQ(s.image->Watches[31].Name, "v31");
  EXPECT_EQ(int{s.image->Watches[31].Address}, 8 + 31);
  EXPECT_EQ(s.image->Watches[31].Format, UHEX);
}

TEST_F(TarnBridgeTest, CommandLineFollowsTheOptions) {
  std::string args_file = s.temp.Path() + "args.txt";
  s.PlaceStandIn("printf '%s\\n' \"$@\" > '" + args_file + "'\nexit 1\n");
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  std::string source = s.source_folder + "odd \"name\".asm";
  struct Case {
    bool new_editor;
    int tab;
    bool output_dir;
    bool column_one;
    bool strict;
    bool basic;
    std::vector<std::string> args;
  } cases[] = {
      {true,
       4,
       true,
       true,
       false,
       false,
       {"/F", "BIN16", "/E", "KESTRIAN", "/T", "4", "/O", "USE_OUTPUT_DIR", "/S", "0", source}},
      {false,
       8,
       false,
       false,
       true,
       true,
       {"/F", "BIN16", "/E", "KESTRIAN", "/D", "LBL_START_ANY", "/S", "1", "/X", "1", source}},
  };
  for (const Case& c : cases) {
    s.editor_options.UseNewEditor = c.new_editor;
    s.editor_options.Tabsize = c.tab;
    s.ide_options.TarnFilesToOutputDir = c.output_dir;
    s.ide_options.LocalLabelStartCol = c.column_one;
    s.ide_options.StricterAssemblyParsing = c.strict;
    EXPECT_EQ(s.tarn.TarnAssemble(source, c.basic), 1);
    std::vector<std::string> args = ReadLines(args_file);
    EXPECT_EQ(args, c.args);
  }
}

// Stand-ins for tarn that leave the outputs of a real run, or some of them, and exit as told.
class StandInTest : public TarnBridgeTest {
 protected:
  void SetUp() override {
    std::string good = s.temp.Path() + "good/";
    fs::create_directories(good);
    fs::copy_file(std::string(BUILD_DEBUG_FIXTURES) + "/tarn_bridge/watch_break_reset.asm",
                  good + "prog.asm");
    platform::ProcessLaunch launch;
    launch.program = TARN_EXE;
    launch.arguments = {"/F", "BIN16", "/E", "KESTRIAN", good + "prog.asm"};
    ASSERT_EQ(platform::RunProcess(launch).exit_code, 0);
    good_ = good;
    source_ = s.WriteSource("prog.asm", "; the stand-ins do not read it\n");
  }

  // The stand-in copies the good outputs, then runs the extra commands, then exits.
  void PlaceCopyingStandIn(const std::string& extra, const std::string& exit) {
    s.PlaceStandIn("mkdir -p 'TARN Output'\ncp '" + good_ + "prog.map' '" + good_ + "prog.obj' '" +
                   good_ + "prog.sym' 'TARN Output/'\n" + extra + "\n" + exit + "\n");
  }

  std::string good_;
  std::string source_;
};

TEST_F(StandInTest, ExitCodesAndMissingOutputs) {
  const struct Case {
    const char* extra;
    const char* exit;
    int result;
    bool loaded;
  } cases[] = {
      {"", "exit 0", 0, true},
      {"", "exit 2", 2, true},
      {"", "exit 1", 1, false},
      {"", "exit 3", 3, false},
      {"", "exit 4", 4, false},
      {"", "exit 5", 5, false},
      {"", "exit 6", 6, false},
      {"", "exit 8", 8, false},
      {"", "exit 9", 9, false},
      {"rm 'TARN Output/prog.map'", "exit 0", kTarnMapUnread, false},
      {"rm 'TARN Output/prog.obj'", "exit 2", kTarnObjUnread, false},
      {"rm 'TARN Output/prog.sym'", "exit 0", kTarnSymUnread, false},
      {"truncate -s 2000 'TARN Output/prog.map'", "exit 0", kTarnMapUnread, false},
      {"truncate -s 4000 'TARN Output/prog.obj'", "exit 0", kTarnObjUnread, false},
      {"head -n 8 'TARN Output/prog.sym' > cut && mv cut 'TARN Output/prog.sym'", "exit 0",
       kTarnSymUnread, false},
      {"", "kill -9 $$", kTarnNotRun, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.extra) + " / " + c.exit);
    PlaceCopyingStandIn(c.extra, c.exit);
    ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
    ASSERT_TRUE(s.tarn.TarnClearOutputDir());
    MarkImage(*s.image);

    EXPECT_EQ(s.tarn.TarnAssemble(source_, false), c.result);

    if (c.loaded) {
      EXPECT_EQ(s.image->WorkingImage[3], Used(0xA01));
      EXPECT_EQ(s.image->BreakAddress, 2);
      EXPECT_EQ(s.image->WatchCount, 2);
      EXPECT_EQ(s.tarn.FindSymbolInfo("loop", true).Value, 1);
      s.tarn.TarnCleanup();
    } else {
      ExpectMarkedImage(*s.image);
      EXPECT_TRUE(s.tarn.Symbols().empty());
      EXPECT_TRUE(s.tarn.MapRecords().empty());
      EXPECT_TRUE(s.tarn.Watches().empty());
    }
    EXPECT_EQ(s.tarn.LastAssembledSource(), c.result < 10 ? source_ : "");
  }
}

TEST_F(StandInTest, ErrorFileWithCrLfLines) {
  PlaceCopyingStandIn(
      "printf 'prog.asm(2) first\\r\\nprog.asm(3) second\\r\\n' > 'TARN Output/prog.err'",
      "exit 1");
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  ASSERT_EQ(s.tarn.TarnAssemble(source_, false), 1);
  ASSERT_TRUE(s.tarn.LoadTarnErrors());
  EXPECT_EQ(s.tarn.Errors(), (std::vector<std::string>{"prog.asm(2) first", "prog.asm(3) second"}));
}

TEST_F(TarnBridgeTest, ProgramMissingOrNotExecutable) {
  ASSERT_FALSE(s.tarn.TARN_Init(s.tool_folder));
  s.boxes.Clear();
  std::string source = s.WriteSource("prog.asm", "        END\n");
  EXPECT_EQ(s.tarn.TarnAssemble(source, false), kTarnMissing);
  ASSERT_EQ(s.boxes.Boxes().size(), 1u);
  EXPECT_EQ(s.boxes.Boxes()[0].text, "Couldn't find TARN.DLL\r" + s.tool_folder);
  EXPECT_EQ(s.boxes.Boxes()[0].caption, "Start up ERROR");
  EXPECT_EQ(s.tarn.LastAssembledSource(), "");

  s.boxes.Clear();
  std::ofstream(s.tool_folder + kTarnProgramName) << "#!/bin/sh\nexit 0\n";
  fs::permissions(s.tool_folder + kTarnProgramName, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(s.tarn.TarnAssemble(source, false), kTarnNotRun);
  ASSERT_EQ(s.boxes.Boxes().size(), 1u);
  EXPECT_EQ(s.boxes.Boxes()[0].text, "Couldn't start TARN.dll");
  EXPECT_EQ(s.tarn.LastAssembledSource(), "");
}

TEST_F(TarnBridgeTest, InitCreatesTheFolderAndLooksForTheProgram) {
  std::string missing = s.temp.Path() + "new/tools/";
  EXPECT_FALSE(s.tarn.TARN_Init(missing));
  EXPECT_TRUE(fs::is_directory(missing));
  ASSERT_EQ(s.boxes.Boxes().size(), 2u);
  EXPECT_EQ(s.boxes.Boxes()[0].text, "Created TARN directory: " + missing);
  EXPECT_EQ(s.boxes.Boxes()[0].caption, "Created directory for TARN");
  EXPECT_EQ(s.boxes.Boxes()[1].text,
            "TARN will not be available as an assembler option.\rTARN.DLL is missing from QV-Key "
            "directory.\r");
  EXPECT_EQ(s.boxes.Boxes()[1].caption, "TARN_Init() Error");

  s.boxes.Clear();
  WriteBytes(s.temp.Path() + "plain file", "x");
  std::string impossible = s.temp.Path() + "plain file/tools/";
  EXPECT_FALSE(s.tarn.TARN_Init(impossible));
  ASSERT_EQ(s.boxes.Boxes().size(), 2u);
  EXPECT_EQ(s.boxes.Boxes()[0].text, "Couldn't create TARN directory:\r\r" + impossible);
  EXPECT_EQ(s.boxes.Boxes()[0].caption, "Error creating directory");

  s.boxes.Clear();
  s.PlaceRealTarn();
  EXPECT_TRUE(s.tarn.TARN_Init(s.tool_folder.substr(0, s.tool_folder.size() - 1)));
  EXPECT_EQ(s.tarn.ToolFolder(), s.tool_folder);
  EXPECT_TRUE(s.boxes.Boxes().empty());
}

TEST_F(TarnBridgeTest, VersionText) {
  const struct {
    const char* body;
    const char* text;
  } cases[] = {
      {"echo 'Version as integer: 15107'\nexit 0\n", "1.51.07"},
      {"echo 'Version as integer: -15107'\nexit 0\n", "1.51.07 DBG"},
      {"echo 'Version as integer: 20800'\nexit 0\n", "2.08"},
      {"echo 'no number here'\nexit 42\n", "0.00.42"},
  };
  ASSERT_FALSE(s.tarn.TARN_Init(s.tool_folder));
  s.boxes.Clear();
  EXPECT_EQ(s.tarn.TarnVersionText(), "");
  for (const auto& c : cases) {
    s.PlaceStandIn(c.body);
    EXPECT_EQ(s.tarn.TarnVersionText(), c.text) << c.body;
  }
  s.PlaceRealTarn();
  EXPECT_EQ(s.tarn.TarnVersionText(), "1.51.07");
}

TEST_F(TarnBridgeTest, OutputFolderFilesAreDeleted) {
  s.PlaceRealTarn();
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  ASSERT_EQ(s.tarn.TarnAssemble(s.Source("watch_break_reset.asm"), false), 0);

  WriteBytes(s.OutputFolder() + "other", "x");
  ASSERT_TRUE(s.tarn.TarnClearOutputDir());
  EXPECT_EQ(s.tarn.TarnGetOutputDir(), s.OutputFolder());
  EXPECT_TRUE(fs::is_empty(s.OutputFolder()));
}

}  // namespace
}  // namespace build_debug
