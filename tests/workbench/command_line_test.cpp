#include "workbench/command_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace workbench {

void PrintTo(const T_CLP& entry, std::ostream* os) {
  *os << "{" << int(entry.Code) << ", \"" << entry.Value << "\"}";
}

namespace {

// The messages, verbatim.
const std::string kInvalid = " : Invalid commandline parameter #";
const std::string kMustBeLast =
    " is a filename, it must be the last parameter on the command line.";
const std::string kWrenfieldAlone =
    "The \"/b\" switch (Wrenfield mode) cannot be used with any other switches that control "
    "communication with the QV-Key.";
const std::string kDebugTwice = "Can't do a \"Debug\" and a \"Debug Again\" at the same time";
const std::string kDebugWins =
    "Can't program or verify chip if also debugging chip.  Only debugging will be performed";
const std::string kVerifyAlone = "Verifying a chip without programming it is not allowed";
const std::string kNoFile = "No file to load on command line";
const std::string kProgramNoFile = "Programming not allowed without loading source file.";
const std::string kHideIgnored = "Request to hide GUI ignored";

struct ParseCase {
  const char* name;
  std::vector<std::string> parameters;
  std::vector<T_CLP> entries;
  std::vector<std::string> messages;
  bool result;
  bool hide_gui;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

std::string Joined(const std::vector<std::string>& messages) {
  std::string joined;
  for (const std::string& m : messages) {
    if (!joined.empty()) joined += "\r\r";
    joined += m;
  }
  return joined;
}

class ParseTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, EntriesMessagesAndResult) {
  const ParseCase& c = GetParam();
  T_ZKCmdLineParse parser;
  EXPECT_EQ(parser.ParseCommandLine(c.parameters), c.result);
  EXPECT_EQ(parser.Error(), !c.result);
  EXPECT_EQ(parser.Errors(), Joined(c.messages));
  EXPECT_EQ(parser.HideGui(), c.hide_gui);
  std::vector<T_CLP> entries;
  for (int i = 0; i < parser.Count(); ++i) entries.push_back(parser.GetEntry(i));
  EXPECT_EQ(entries, c.entries);
}

const T_CLP kCd{1, ""}, kDbg{2, ""}, kDbgNoList{3, ""}, kHide{5, ""}, kWren{6, ""},
    kReadOnly{7, ""}, kDebugChip{9, ""}, kDebugAgain{10, ""}, kProgram{11, ""}, kVerify{12, ""},
    kNone{0, ""};
T_CLP Com(const char* name) { return T_CLP{4, name}; }
T_CLP File(const char* name) { return T_CLP{8, name}; }

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ParseTable,
    testing::Values(
        ParseCase{"NoParameters", {}, {}, {}, true, false},
        // Every switch on its own beside a file, lower-cased and trimmed before comparing.
        ParseCase{"ShowParsed", {"/CD", "x.src"}, {kCd, File("x.src")}, {}, true, false},
        ParseCase{"DebugIde", {"/debug", "x.src"}, {kDbg, File("x.src")}, {}, true, false},
        ParseCase{"DebugNoFileList", {"/Debug_No_FileList"}, {kDbgNoList}, {}, true, false},
        ParseCase{"ReadOnly", {" /R ", "x.src"}, {kReadOnly, File("x.src")}, {}, true, false},
        ParseCase{"Hide", {"/h", "x.src"}, {kHide, File("x.src")}, {}, true, true},
        ParseCase{"DebugChip", {"/d", "x.src"}, {File("x.src"), kDebugChip}, {}, true, false},
        ParseCase{"DebugAgain", {"/da", "x.src"}, {File("x.src"), kDebugAgain}, {}, true, false},
        ParseCase{"Program", {"/p", "x.src"}, {File("x.src"), kProgram}, {}, true, false},
        ParseCase{"ProgramVerifySorted",
                  {"/p", "/v", "x.src"},
                  {File("x.src"), kProgram, kVerify},
                  {},
                  true,
                  false},
        ParseCase{"SortKeepsOrderOfEqualCodes",
                  {"/4", "/r", "/2", "x.src"},
                  {Com("COM4"), Com("COM2"), kReadOnly, File("x.src")},
                  {},
                  true,
                  false},
        // The COM switch: any two characters whose second is 1 to 4; needs no file.
        ParseCase{"ComPortAlone", {"/2"}, {Com("COM2")}, {}, true, false},
        ParseCase{"ComPortAnyFirstCharacter",
                  {"x4", "f.src"},
                  {Com("COM4"), File("f.src")},
                  {},
                  true,
                  false},
        ParseCase{"ComPortFiveIsInvalid",
                  {"/5", "x.src"},
                  {kNone},
                  {"\"/5\"" + kInvalid + "1"},
                  false,
                  false},
        // The file: the name kept as typed, the extension compared in lower case.
        ParseCase{"FileKeepsItsCase", {"Dir/My.Src"}, {File("Dir/My.Src")}, {}, true, false},
        ParseCase{"AbsolutePathIsAFile",
                  {"/r", "/home/u/x.src"},
                  {kReadOnly, File("/home/u/x.src")},
                  {},
                  true,
                  false},
        ParseCase{"CodFileAddsWrenfieldMode", {"x.cod"}, {kWren, File("x.cod")}, {}, true, false},
        ParseCase{"CodFileUpperCase", {"X.COD"}, {kWren, File("X.COD")}, {}, true, false},
        ParseCase{"WrenfieldCodHidesAndDebugs",
                  {"/b", "x.cod"},
                  {kHide, kWren, File("x.cod"), kDebugChip},
                  {},
                  true,
                  true},
        ParseCase{
            "WrenfieldWithoutCodFile", {"/b", "x.src"}, {kWren, File("x.src")}, {}, true, false},
        // Rule 1: "/b" alone with the key.
        ParseCase{"WrenfieldWithDebug", {"/b", "/d", "x.cod"}, {}, {kWrenfieldAlone}, false, false},
        ParseCase{
            "WrenfieldWithDebugAgain", {"/b", "/da", "x.src"}, {}, {kWrenfieldAlone}, false, false},
        ParseCase{
            "WrenfieldWithVerify", {"/v", "/b", "x.src"}, {}, {kWrenfieldAlone}, false, false},
        ParseCase{"WrenfieldWithHideWarnsToo",
                  {"/h", "/b", "/p", "x.cod"},
                  {},
                  {kWrenfieldAlone},
                  false,
                  false},
        // Rule 2: debug and debug again exclude each other.
        ParseCase{"DebugAndDebugAgain", {"/d", "/da", "x.src"}, {}, {kDebugTwice}, false, false},
        ParseCase{
            "DebugAndDebugAgainNoFile", {"/d", "/da"}, {}, {kDebugTwice, kNoFile}, false, false},
        // Rule 3: debugging wins over programming; verifying needs programming.
        ParseCase{"DebugDropsProgram",
                  {"/d", "/p", "x.src"},
                  {File("x.src"), kDebugChip},
                  {kDebugWins},
                  true,
                  false},
        ParseCase{"DebugAgainDropsProgramAndVerify",
                  {"/v", "/da", "/p", "x.src"},
                  {File("x.src"), kDebugAgain},
                  {kDebugWins},
                  true,
                  false},
        ParseCase{
            "VerifyWithoutProgram", {"/v", "x.src"}, {File("x.src")}, {kVerifyAlone}, false, false},
        ParseCase{"VerifyWithoutProgramShowsWindow",
                  {"/h", "/v", "x.src"},
                  {File("x.src")},
                  {kVerifyAlone, kHideIgnored},
                  false,
                  false},
        // Removals after the walk's position must not move it back past the first entry.
        ParseCase{"DebugProgramVerifyNoFile",
                  {"/d", "/p", "/v"},
                  {},
                  {kDebugWins, kNoFile, kProgramNoFile},
                  false,
                  false},
        ParseCase{"UnsortedRemovalBeforeWalk",
                  {"/p", "/d", "/x"},
                  {kDebugChip, kNone},
                  {"\"/x\"" + kInvalid + "3", kDebugWins},
                  false,
                  false},
        // Rule 4: something to do.
        ParseCase{"HideAlone", {"/h"}, {}, {kNoFile, kHideIgnored}, false, false},
        ParseCase{"ProgramWithoutFile", {"/p"}, {}, {kNoFile, kProgramNoFile}, false, false},
        ParseCase{"ReadOnlyWithoutFile", {"/r"}, {}, {kNoFile}, false, false},
        // Invalid parameters: parsing stops there; what was read stays, unsorted.
        ParseCase{"InvalidSwitch",
                  {"/r", "/x", "y.src"},
                  {kReadOnly, kNone},
                  {"\"/x\"" + kInvalid + "2"},
                  false,
                  false},
        ParseCase{"InvalidSwitchKeepsCaseAsTyped",
                  {"/P", " /Dx ", "y.src"},
                  {kProgram, kNone},
                  {"\"/Dx\"" + kInvalid + "2"},
                  false,
                  false},
        ParseCase{"FileNotLast",
                  {"X.SRC", "/r"},
                  {kNone},
                  {"\"X.SRC\"" + kInvalid + "1", "If parameter #1" + kMustBeLast},
                  false,
                  false},
        ParseCase{"InvalidLastSwitch",
                  {"/r", "/q"},
                  {kReadOnly, kNone},
                  {"\"/q\"" + kInvalid + "2"},
                  false,
                  false},
        ParseCase{"InvalidUnsortedStaysInOrder",
                  {"/p", "/r", "bad", "x.src"},
                  {kProgram, kReadOnly, kNone},
                  {"\"bad\"" + kInvalid + "3", "If parameter #3" + kMustBeLast},
                  false,
                  false},
        ParseCase{"InvalidWithHide",
                  {"/h", "/zz"},
                  {kNone},
                  {"\"/zz\"" + kInvalid + "2", kHideIgnored},
                  false,
                  false},
        ParseCase{"EmptyParameter", {"  "}, {kNone}, {"\"\"" + kInvalid + "1"}, false, false}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(CommandLineFlags, SwitchesSetTheirFlags) {
  T_ZKCmdLineParse parser;
  ASSERT_TRUE(parser.ParseCommandLine({"/p", "/v", "x.src"}));
  EXPECT_TRUE(parser.Program());
  EXPECT_TRUE(parser.ProgramOrVerify());
  EXPECT_FALSE(parser.Debug());
  ASSERT_TRUE(parser.ParseCommandLine({"/b", "x.cod"}));
  EXPECT_TRUE(parser.Wrenfield());
  EXPECT_TRUE(parser.HideGui());
  ASSERT_TRUE(parser.ParseCommandLine({"/da", "x.src"}));
  EXPECT_TRUE(parser.DebugAgain());
  EXPECT_FALSE(parser.Wrenfield());
}

TEST(CommandLineEntries, OutOfRangeGivesTheEmptyEntry) {
  T_ZKCmdLineParse parser;
  ASSERT_TRUE(parser.ParseCommandLine({"/1"}));
  EXPECT_EQ(parser.GetEntry(0), Com("COM1"));
  EXPECT_EQ(parser.GetEntry(1), T_CLP{});
  EXPECT_EQ(parser.GetEntry(-1), T_CLP{});
}

struct ParsedTextCase {
  std::vector<std::string> parameters;
  std::string text;
};

TEST(CommandLineParsedText, FullCommandLines) {
  const ParsedTextCase cases[] = {
      {{}, ""},
      {{"/cd", "/debug", "/3", "/r", "/p", "Prog.SRC"},
       "CMD: Debug command line parsing\rCMD: Debug\rCMD: Set COM port - COM3\rCMD: Read Only\r"
       "CMD: Load File - Prog.SRC\rCMD: Program Chip"},
      {{"/b", "/cd", "x.cod"},
       "CMD: Debug command line parsing\rCMD: Hide GUI\rCMD:Set Wrenfield \"C\" Mode\r"
       "CMD: Load File - x.cod\rCMD: Debug Chip"},
      {{"/debug_no_filelist", "/h", "/da", "/p", "/v", "a.src"},
       "CMD: Debug - No file list\rCMD: Hide GUI\rCMD: Load File - a.src\rCMD: Debug Again Chip"},
      {{"/p", "/v", "x.src"}, "CMD: Load File - x.src\rCMD: Program Chip\rCMD: Verify Chip"},
      // An invalid parameter's entry adds only its separator.
      {{"/r", "/x"}, "CMD: Read Only\r"},
  };
  for (const ParsedTextCase& c : cases) {
    T_ZKCmdLineParse parser;
    parser.ParseCommandLine(c.parameters);
    std::string text;
    parser.ParsedText(text);
    EXPECT_EQ(text, c.text) << testing::PrintToString(c.parameters);
  }
}

TEST(CommandLineBoxes, ErrorsAndParsedListGoToTheirBoxes) {
  platform::RecordingMessageBoxes boxes;
  boxes.AnswerWithFirstButton();  // both boxes have only OK
  T_ZKCmdLineParse parser;
  parser.ParseCommandLine({"/h"});
  ShowParseErrors(parser, boxes);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, kNoFile + "\r\r" + kHideIgnored);
  EXPECT_EQ(boxes.Boxes()[0].caption, "Command Line Parse Errors");
  EXPECT_EQ(boxes.Boxes()[0].buttons, platform::BoxButtons::Ok);

  parser.ParseCommandLine({"/cd", "/1"});
  ShowParseErrors(parser, boxes);  // nothing to report: no box
  ShowParsedCommandLine(parser, boxes);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[1].text, "CMD: Debug command line parsing\rCMD: Set COM port - COM1");
  EXPECT_EQ(boxes.Boxes()[1].caption, "Parsed Command Line");
}

TEST(CommandLineParameters, ProgramNameIsDropped) {
  const char* argv[] = {"QVKey", "-platform", "/p", "x.src"};
  EXPECT_EQ(ProgramParameters(4, argv), (std::vector<std::string>{"-platform", "/p", "x.src"}));
}

}  // namespace
}  // namespace workbench
