#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/string_ids.h"
#include "services/localize.h"

namespace {

struct Quoted {
  int id;
  const char* text;  // as the tables write it: "^" is a line break
};

// Every text a string id stands for, as the program's windows and units quote it.
// clang-format off
const Quoted kQuotedTexts[] = {
    {    0, R"(Invalid editor (%s) to assemble.)"},
    {    1, R"(Current editor is empty.  There is no code to assemble.)"},
    {    2, R"(Editor does not have language set properly.)"},
    {    3, R"(QVBasic compiling error^Generated code filename is blank)"},
    {    4, R"(Unable to get filename to compile or assemble.)"},
    {    5, R"(Unable to assemble due to errors in source code.)"},
    {    6, R"(TARN's expression stack overflowed)"},
    {    7, R"(TARN's expression stack underflowed)"},
    {    8, R"(Error trying to invoke TARN)"},
    {    9, R"(TARN was unable to create the %s file^File may be open in another application.)"},
    {   10, R"(%s file not found on disk)"},
    { 1000, R"(Unable to write to %s)"},
    { 1001, R"(Transmit stall on %s)"},
    { 1002, R"(Unable to read from %s)"},
    { 1003, R"(QV-Key not found on %s)"},
    { 1004, R"(Unable to open %s^COM port in use by another process)"},
    { 2000, R"(Couldn't load .LST file.  Code window will not be opened.)"},
    { 2001, R"(CODE WINDOW - LOAD ERROR)"},
    { 2002, R"(Are you sure you want to reset the^debug windows to the default positions?)"},
    { 2003, R"(WINDOW POSITION RESET)"},
    { 3000, R"(List (read-only) - Ctrl+L returns to source)"},
    { 3001, R"(Compile (Ctrl-A))"},
    { 3002, R"(Assemble (Ctrl-A))"},
    { 3003, R"(.SRC)"},
    { 3004, R"(.QVB)"},
    { 3006, R"(.bak)"},
    { 3007, R"(.cod)"},
    { 3011, R"()"},
    { 3012, R"(%s)"},
    { 3013, R"( : READ ONLY)"},
    { 3014, R"(READ ONLY file)"},
    { 3015, R"(Untitled.SRC)"},
    { 3016, R"({Blank_)"},
    { 3017, R"(This is a READ ONLY file and must be saved under a different name.)"},
    { 3018, R"(Read Only Warning)"},
    { 3019, R"(QV/B)"},
    { 3020, R"(Assembly Language)"},
    { 3021, R"(Default editor type is for %s files.  Save as this language?^^"Yes" for %s editor^"No" for %s editor)"},
    { 3022, R"(Verify Editor Type)"},
    { 3023, R"(Source Files (*.SRC)|*.SRC|All Files (*.*)|*.*)"},
    { 3024, R"(QV/B Files (*.QVB)|*.QVB|All Files (*.*)|*.*)"},
    { 3025, R"(Save Source as...)"},
    { 3026, R"(Choose a different name to save this READ ONLY file.)"},
    { 3027, R"(OK to overwrite %s ?)"},
    { 3028, R"(Nothing Found)"},
    { 3029, R"(Nothing to Find)"},
    { 3030, R"(Nothing Selected)"},
    { 3031, R"(QV/B files can't be loaded into the old editor.^^Use the enhanced editor instead.)"},
    { 3032, R"(QV/B Load Error)"},
    { 3033, R"(This file is READ ONLY.  To assemble or save it, either^save it under a new name or change it to Read/Write)"},
    { 3034, R"(READ ONLY file loaded)"},
    { 3035, R"(%s^^This file is a "Top" file.  Do you want it to be set as the current "Top"?)"},
    { 3036, R"(Known Top File)"},
    { 3037, R"(Save changes to %s ?)"},
    { 3038, R"(File on command line not found on disk:^"%s")"},
    { 3039, R"(Command Line Error)"},
    { 3040, R"("%s" is the current "Top" file^^YES to use "Top" File, NO to use file visible in editor)"},
    { 3041, R"(ASSEMBLY ERROR)"},
    { 3042, R"(Top File is Loaded)"},
    { 3043, R"(TARN Error)"},
    { 3044, R"(Kestrian Assembler Error)"},
    { 3045, R"(QV/B Error)"},
    { 3046, R"(Problem Compiling/Assembling)"},
    { 3047, R"(Assembly Successful)"},
    { 3048, R"( : Compile/Assembly Successful)"},
    { 3049, R"(Couldn't find previously opened file:^^%s^^File will be removed from list.)"},
    { 3050, R"(Error trying to load QV Assembly keyword list.^Syntax highlighting for this language will be disabled)"},
    // The BASIC list's box once named the assembly list.
    { 3051, R"(Error trying to load QV/B keyword list.^Syntax highlighting for this language will be disabled)"},
    { 3052, R"(Keyword Load Error)"},
    { 3053, R"(There is a newer version on disk of:^^%s^^Load the new version?)"},
    { 3054, R"(File Load Warning)"},
    { 3055, R"("%s"^Not found on disk.)"},
    { 3056, R"(File Not Found)"},
    { 3057, R"(top)"},
    { 3058, R"(bottom)"},
    { 3059, R"(Couldn't find: "%s"^^Continue searching from the %s?)"},
    { 3060, R"(Word Not Found)"},
    { 3061, R"(Case Sensitive Find and Replace)"},
    { 3062, R"(Find and Replace)"},
    { 3063, R"(Replaced: %s^with: %s^%s times.)"},
    { 3064, R"(Couldn't find: "%s")"},
    { 3065, R"(Default editor type is for %s files.  Create editor for this language?^^"Yes" for %s editor^"No" for %s editor)"},
    { 3066, R"(Verify Editor Type)"},
    { 3067, R"(Jumping to errors not supported with old editor.)"},
    { 3068, R"(Double Click ERROR)"},
    { 3069, R"(Current file is READ ONLY and must be saved under a new name before assembling.)"},
    { 3070, R"(Close File - )"},
    { 3071, R"(Set as Top File)"},
    { 3072, R"(Couldn't load file for viewing debug code)"},
    { 3073, R"(View Debug ERROR)"},
    { 3074, R"(.LST file not found.^Unable to launch QVSim)"},
    { 3075, R"(QVSim Launch Error)"},
    { 3076, R"(Code must be assembled with TARN to use QVSim)"},
    { 3077, R"(A matching .LST file must be in the same directory as the .COD file)"},
    { 4000, R"(You have %s WATCH variables, and the max allowed is %s.^^Only the first %s will be used.)"},
    { 4001, R"(Too Many Watch Variables)"},
    { 5000, R"(The QV chip does not allow setting a breakpoint on a NOP instruction.^Replace the "nop" with "page $" as a substitute you can set a breakpoint on.)"},
    { 5001, R"(There is no label that says "Main" in the source code.)"},
    { 5002, R"(No "Main" label)"},
    { 6000, R"(Erasing...)"},
    { 6001, R"(Programming...)"},
    { 6002, R"(Calibrating...)"},
    { 6003, R"(Programming for Debug...)"},
    { 6004, R"(Reading...)"},
    { 7000, R"(Created TARN directory: %s)"},
    { 7001, R"(Created directory for TARN)"},
    { 7002, R"(Couldn't create %s directory:^^%s)"},
    { 7003, R"(Error creating directory)"},
    { 7004, R"(TARN will not be available as an assembler option.^TARN.DLL is missing from QV-Key directory.^)"},
    { 7005, R"(TARN_Init() Error)"},
    { 7006, R"(Couldn't find %s^%s)"},
    { 7007, R"(Start up ERROR)"},
    { 8000, R"(Unable to create .ERR File In Output Directory)"},
    { 8001, R"(Unable to create .SRC File In Output Directory)"},
    { 8002, R"(No QVB source filename specified)"},
    { 8003, R"(Unable to open INVALID.TXT In QVB directory)"},
    { 8004, R"(Unable to read source file)"},
    { 8005, R"(Problem trying to run QVB)"},
    { 8006, R"(Unable to find QVB on disk)"},
    { 8007, R"(Invalid source file directory)"},
    { 8008, R"(Unable to create QV/B compiler and output directories^^%s^%sOutput Files\)"},
    { 8009, R"(QV/B compiler on disk is version %s^Update to version %s? (Recommended))"},
    { 8010, R"(QV/B Compiler Update)"},
    { 8011, R"(QV/B compiler is not on disk.^Version %s will be installed.)"},
    { 8013, R"(QV/B help file on disk was created %s^^Update to version created %s? (Recommended))"},
    { 8014, R"(QV/B Help File Update)"},
    { 8015, R"(QV/B Help File is not on disk.^^The help file created on %s will be installed.)"},
    { 8016, R"(Unable to change date on QV/B Help file)"},
    { 8017, R"(Date Change Error)"},
    { 9000, R"(%sPragma: %s^^"%s" is not a valid WATCH variable.)"},
    { 9001, R"(ParsePragma())"},
    { 9002, R"(%sPragma: %s^^"%s" is not a valid WATCH type.)"},
    { 9003, R"(Number of WATCH bits must be a valid integer.^"%s" is not a valid integer.)"},
    { 9004, R"(%s is greater than the max. # of WATCH bits (32).)"},
    { 9005, R"(%s is greater than the max. # of string WATCH bytes (16).)"},
    { 9006, R"(%s^You have exceeded the maximum number of WATCH variables (32)^Any additional WATCH variables will be ignored.)"},
    { 9007, R"(Too Many Watch Variables)"},
    { 9008, R"(%s^QV-Key can only have a single BREAK line^The first breakpoint (line %s) will be used.)"},
    { 9009, R"(Too Many Breakpoints)"},
    { 9010, R"(Src. File:)"},
    { 9011, R"(Line #)"},
    { 9012, R"(QVKey <-> PC Communication Error)"},
    {10000, R"(QV-Brisko does not support this function)"},
    {10001, R"(QVU_VerifyKey)"},
    {10004, R"(Vpp generation failed)"},
    {10005, R"(Chip connection failed)"},
    {10006, R"(Programming failed)"},
    {10007, R"(Communication failed : )"},
    {10008, R"(QvKey Error)"},
    {11000, R"(QVSim is currently running.^To prevent possible conflicts, it is recommended that you shut down^any running copies of QVSim and then click OK.)"},
    {11001, R"(QvSim on disk is version %s^Update to version %s? (Recommended))"},
    {11002, R"(QVSim Update)"},
    {11003, R"(QVSim can't be upgraded while it is running.^Please close any version of QVSim that is currently running and then click OK)"},
    {11004, R"(QVSim Upgrade Warning)"},
    {11005, R"(QVSim is not on disk.^Version %s will be installed.)"},
    {11006, R"(QVSim Manual file on disk was created %s^^Update to version created %s? (Recommended))"},
    {11007, R"(QVSim Manual File Update)"},
    {11008, R"(QVSim Manual File is not on disk.^^The help file created on %s will be installed.)"},
    {11009, R"(Unable to change date on QVSim Manual file)"},
    {12000, R"(Template filenames must be either^"Template.src" or Template.qvb"^The following filenames in the Template directory are incorrect^^%s)"},
    {12001, R"(Incorrect Template File Names)"},
    {13000, R"(Editor Window)"},
    {13001, R"(&Editor Window)"},
    {13002, R"(&List Window)"},
    {13003, R"(Dev&ice Window)"},
};
// clang-format on

std::string Shown(const char* table_text) {
  std::string s = table_text;
  for (char& c : s)
    if (c == '^') c = '\r';
  return s;
}

class StringTables : public ::testing::Test {
 protected:
  void SetUp() override { texts_.InitLocalization("/opt/qvkey"); }
  workbench::Localizer texts_;
};

TEST_F(StringTables, EveryQuotedIdGivesItsText) {
  for (const Quoted& q : kQuotedTexts)
    EXPECT_EQ(texts_.LU_GetString(q.id), Shown(q.text)) << "string id " << q.id;
}

TEST_F(StringTables, EachSlotHoldsItsCountOfTexts) {
  const int counts[14] = {11, 11, 4, 86, 2, 3, 5, 8, 22, 13, 9, 15, 2, 4};
  for (int slot = 0; slot < 14; ++slot) {
    EXPECT_EQ(texts_.TableSize(slot), counts[slot]) << "slot " << slot;
    EXPECT_EQ(texts_.LU_GetString(slot * 1000 + counts[slot]), "String not available")
        << "one past slot " << slot;
  }
}

// The generated names stand for the ids the tables give their lines: first, last, and a
// lookup through a name.
TEST_F(StringTables, NamedIdsAreTheTablesIds) {
  namespace ids = string_ids;
  EXPECT_EQ(ids::AssembleCompileUnit::SCU_INVALID_EDITOR, 0);
  EXPECT_EQ(ids::TarnUnit::SCU_CREATED_DIR, 7000);
  EXPECT_EQ(ids::WindowsMenuUnit::SCU_DEVICE_WINDOW, 13003);
  EXPECT_EQ(texts_.LU_GetString(ids::ComUnit::SCU_CANNOT_OPEN_PORT),
            Shown(R"(Unable to open %s^COM port in use by another process)"));
}

// Each generated name looks up the text of the line that carries the name. A text ending in
// "\" once shifted every later name of its table by one.
TEST_F(StringTables, EveryNamedIdGivesTheTextOfItsLine) {
  for (const string_ids::NamedId& named : string_ids::kEveryId) {
    const std::optional<std::string> table =
        workbench::EmbeddedTextResource(std::string(named.unit) + "_Strings");
    ASSERT_TRUE(table) << named.unit;
    const std::string prefix = std::string(named.name) + "\t";
    std::optional<std::string> text;
    for (const std::string& line : workbench::SplitLines(*table))
      if (line.compare(0, prefix.size(), prefix) == 0) text = line.substr(prefix.size());
    ASSERT_TRUE(text) << named.name;
    EXPECT_EQ(texts_.LU_GetString(named.id), Shown(text->c_str()))
        << named.unit << "::" << named.name;
  }
}

}  // namespace
