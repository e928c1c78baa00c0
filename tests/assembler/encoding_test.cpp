// Instruction encoding in pass 2: single statements fed through the lexer, and their words.
// The expected words are the templates of the instruction tables ORed with the operand fields
// worked out by hand: REG = $0A, REG2 = $0C, PORT = 6, SUBR = $45, SUBR2 = $245 (page 1),
// TARGET = $123 (page 0), FAR = $345 (page 1).

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/devices.h"
#include "assembler/encoding.h"
#include "assembler/image.h"
#include "assembler/keywords.h"
#include "assembler/lexer.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "assembler/symbols.h"

namespace tarn {
namespace {

using Words = std::vector<uint16_t>;

struct EncodingFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};

  void SetUp() override {
    run.options.syntax_mode = kModeKestrian;
    run.options.listing_mode = kListNone;
    run.pass = 2;
    DefineSymbolBit(run, "REG", 0x0A, 0, kSymData);
    DefineSymbolBit(run, "REG2", 0x0C, 0, kSymData);
    DefineSymbolBit(run, "PORT", 6, 0, kSymData);
    DefineSymbolBit(run, "SUBR", 0x45, 0, kSymAddr);
    DefineSymbolBit(run, "SUBR2", 0x245, 0, kSymAddr);
    DefineSymbolBit(run, "TARGET", 0x123, 0, kSymAddr);
    DefineSymbolBit(run, "FAR", 0x345, 0, kSymAddr);
  }

  // Encodes one statement whose first word is its mnemonic.
  StatementWords Encode(const std::string& statement, uint16_t address = 0x10) {
    BeginLine(run, statement);
    NextToken(run);
    EXPECT_EQ(LookupKeyword(run), 1) << statement;
    return EncodeStatement(run, run.keyword, address);
  }

  // Every message shown so far, as "W48", "E30", "C43"..., in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> found;
    std::string text = console.str();
    for (const char* level : {"Comment ", "Warning ", "Error "}) {
      for (size_t at = text.find(level); at != std::string::npos; at = text.find(level, at + 1)) {
        size_t digits = at + std::string(level).size();
        size_t end = text.find(", Pass", digits);
        if (end == std::string::npos || end == digits) continue;
        std::string code = text.substr(digits, end - digits);
        if (code.find_first_not_of("0123456789") != std::string::npos) continue;
        found.push_back(std::to_string(at) + " " + level[0] + code);
      }
    }
    // In the order shown: sorted by position, then the position dropped.
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
      return std::stoul(a) < std::stoul(b);
    });
    for (std::string& f : found) f = f.substr(f.find(' ') + 1);
    return found;
  }
  void ClearMessages() { console.str(""); }
};

using Shown = std::vector<std::string>;

struct Case {
  int mode;
  const char* statement;
  Words words;
};

void ExpectCases(EncodingFixture& f, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    f.run.options.syntax_mode = c.mode;
    StatementWords s = f.Encode(c.statement);
    EXPECT_EQ(s.words, c.words);
  }
  EXPECT_EQ(f.Messages(), Shown{});
}

// The rows of the form table, in the native syntax.
TEST_F(EncodingFixture, FormTableRows) {
  const int K = kModeKestrian;
  ExpectCases(*this, {
                         {K, "\tAND REG,W", {0x16A}},
                         {K, "\tAND W,REG", {0x14A}},
                         {K, "\tAND W,#$35", {0xE35}},
                         {K, "\tNOT REG", {0x26A}},
                         {K, "\tNOT W", {0xFFF}},
                         {K, "\tOR REG,W", {0x12A}},
                         {K, "\tOR W,REG", {0x10A}},
                         {K, "\tOR W,#$35", {0xD35}},
                         {K, "\tXOR REG,W", {0x1AA}},
                         {K, "\tXOR W,REG", {0x18A}},
                         {K, "\tXOR W,#$35", {0xF35}},
                         {K, "\tADD REG,W", {0x1EA}},
                         {K, "\tADD W,REG", {0x1CA}},
                         {K, "\tSUB REG,W", {0x0AA}},
                         {K, "\tCLR REG", {0x06A}},
                         {K, "\tCLR W", {0x040}},
                         {K, "\tCLR !WDT", {0x004}},
                         {K, "\tMOV REG,W", {0x02A}},
                         {K, "\tMOV W,REG", {0x20A}},
                         {K, "\tMOV W,REG-W", {0x08A}},
                         {K, "\tMOV W,#$35", {0xC35}},
                         {K, "\tMOV W,/REG", {0x24A}},
                         {K, "\tMOV W,--REG", {0x0CA}},
                         {K, "\tMOV W,++REG", {0x28A}},
                         {K, "\tMOV W,<<REG", {0x34A}},
                         {K, "\tMOV W,>>REG", {0x30A}},
                         {K, "\tMOV W,<>REG", {0x38A}},
                         {K, "\tMOV W,M", {0x042}},
                         {K, "\tMOV M,W", {0x043}},
                         {K, "\tMOV M,#5", {0x055}},
                         {K, "\tMOV !REG,W", {0x00A}},
                         {K, "\tMOV !RA,W", {0x005}},
                         {K, "\tMOV !RB,W", {0x006}},
                         {K, "\tMOV !RC,W", {0x007}},
                         {K, "\tMOV !RD,W", {0x008}},
                         {K, "\tMOV !RE,W", {0x009}},
                         {K, "\tMOV !OPTION,W", {0x002}},
                         {K, "\tMOVSZ W,--REG", {0x2CA}},
                         {K, "\tMOVSZ W,++REG", {0x3CA}},
                         {K, "\tJMP TARGET", {0xB23}},
                         {K, "\tJMP #$45", {0xA45}},
                         {K, "\tJMP W", {0x022}},
                         {K, "\tJMP PC+W", {0x1E2}},
                         {K, "\tTEST REG", {0x22A}},
                         {K, "\tTEST W", {0xD00}},
                         {K, "\tCALL SUBR", {0x945}},
                         {K, "\tCLRB RA.2", {0x445}},
                         {K, "\tCLRB RA.0", {0x405}},
                         {K, "\tSETB RA.2", {0x545}},
                         {K, "\tSETB REG", {0x50A}},
                         {K, "\tSNB RA.2", {0x645}},
                         {K, "\tSNB REG", {0x60A}},
                         {K, "\tSB RA.2", {0x745}},
                         {K, "\tSB C", {0x703}},
                         {K, "\tMOV REG,#$35", {0xC35, 0x02A}},
                         {K, "\tADD REG,#$35", {0xC35, 0x1EA}},
                         {K, "\tSUB REG,#$35", {0xC35, 0x0AA}},
                         {K, "\tAND REG,#$35", {0xC35, 0x16A}},
                         {K, "\tOR REG,#$35", {0xC35, 0x12A}},
                         {K, "\tXOR REG,#$35", {0xC35, 0x1AA}},
                         {K, "\tMOV REG,REG2", {0x20C, 0x02A}},
                         {K, "\tADD REG,REG2", {0x20C, 0x1EA}},
                         {K, "\tSUB REG,REG2", {0x20C, 0x0AA}},
                         {K, "\tAND REG,REG2", {0x20C, 0x16A}},
                         {K, "\tOR REG,REG2", {0x20C, 0x12A}},
                         {K, "\tXOR REG,REG2", {0x20C, 0x1AA}},
                         {K, "\tMOV M,REG", {0x20A, 0x043}},
                         {K, "\tMOV REG,M", {0x042, 0x02A}},
                         {K, "\tMOV !RA,#$35", {0xC35, 0x005}},
                         {K, "\tMOV !RB,#$35", {0xC35, 0x006}},
                         {K, "\tMOV !RC,#$35", {0xC35, 0x007}},
                         {K, "\tMOV !RD,#$35", {0xC35, 0x008}},
                         {K, "\tMOV !RE,#$35", {0xC35, 0x009}},
                         {K, "\tMOV !RA,REG", {0x20A, 0x005}},
                         {K, "\tMOV !RB,REG", {0x20A, 0x006}},
                         {K, "\tMOV !RC,REG", {0x20A, 0x007}},
                         {K, "\tMOV !RD,REG", {0x20A, 0x008}},
                         {K, "\tMOV !RE,REG", {0x20A, 0x009}},
                         {K, "\tMOV !OPTION,#$35", {0xC35, 0x002}},
                         {K, "\tMOV !OPTION,REG", {0x20A, 0x002}},
                         {K, "\tMOV !PORT,REG", {0x20A, 0x006}},
                         {K, "\tMOV !PORT,#$35", {0xC35, 0x006}},
                     });
}

// The compound mnemonics; SB C is 703 and the complement of 10 is 245 (F5).
TEST_F(EncodingFixture, CompoundInstructions) {
  const int K = kModeKestrian;
  ExpectCases(*this,
              {
                  {K, "\tADDB REG,RA.2", {0x645, 0x2AA}},
                  {K, "\tADDB REG,RA.0", {0x605, 0x2AA}},
                  {K, "\tADDB REG,/RA.2", {0x745, 0x2AA}},
                  {K, "\tSUBB REG,RA.2", {0x645, 0x0EA}},
                  {K, "\tSUBB REG,/RA.2", {0x745, 0x0EA}},
                  {K, "\tMOVB REG.1,RA.2", {0x745, 0x42A, 0x645, 0x52A}},
                  {K, "\tMOVB REG,RA.2", {0x745, 0x40A, 0x645, 0x50A}},
                  {K, "\tMOVB REG.1,RA", {0x705, 0x42A, 0x605, 0x52A}},
                  {K, "\tMOVB REG.1,/RA.2", {0x645, 0x42A, 0x745, 0x52A}},
                  {K, "\tIJNZ REG,TARGET", {0x3EA, 0xB23}},
                  {K, "\tDJNZ REG,TARGET", {0x2EA, 0xB23}},
                  {K, "\tCSE REG,#$35", {0xC35, 0x08A, 0x743}},
                  {K, "\tCSE REG,REG2", {0x20C, 0x08A, 0x743}},
                  {K, "\tCSNE REG,#$35", {0xC35, 0x08A, 0x643}},
                  {K, "\tCSNE REG,REG2", {0x20C, 0x08A, 0x643}},
                  {K, "\tCSAE REG,#$35", {0xC35, 0x08A, 0x703}},
                  {K, "\tCSAE REG,REG2", {0x20C, 0x08A, 0x703}},
                  {K, "\tCSB REG,#$35", {0xC35, 0x08A, 0x603}},
                  {K, "\tCSB REG,REG2", {0x20C, 0x08A, 0x603}},
                  {K, "\tCSA REG,#10", {0xCF5, 0x1CA, 0x703}},  // MOV W,#245; ADD W,REG; SB C
                  {K, "\tCSA REG,REG2", {0x20A, 0x08C, 0x603}},
                  {K, "\tCSBE REG,#10", {0xCF5, 0x1CA, 0x603}},
                  {K, "\tCSBE REG,REG2", {0x20A, 0x08C, 0x703}},
                  {K, "\tCJE REG,#$35,TARGET", {0xC35, 0x08A, 0x643, 0xB23}},
                  {K, "\tCJE REG,REG2,TARGET", {0x20C, 0x08A, 0x643, 0xB23}},
                  {K, "\tCJNE REG,#$35,TARGET", {0xC35, 0x08A, 0x743, 0xB23}},
                  {K, "\tCJNE REG,REG2,TARGET", {0x20C, 0x08A, 0x743, 0xB23}},
                  {K, "\tCJAE REG,#$35,TARGET", {0xC35, 0x08A, 0x603, 0xB23}},
                  {K, "\tCJAE REG,REG2,TARGET", {0x20C, 0x08A, 0x603, 0xB23}},
                  {K, "\tCJB REG,#$35,TARGET", {0xC35, 0x08A, 0x703, 0xB23}},
                  {K, "\tCJB REG,REG2,TARGET", {0x20C, 0x08A, 0x703, 0xB23}},
                  {K, "\tCJA REG,#10,TARGET", {0xCF5, 0x1CA, 0x603, 0xB23}},
                  {K, "\tCJA REG,REG2,TARGET", {0x20A, 0x08C, 0x703, 0xB23}},
                  {K, "\tCJBE REG,#10,TARGET", {0xCF5, 0x1CA, 0x703, 0xB23}},
                  {K, "\tCJBE REG,REG2,TARGET", {0x20A, 0x08C, 0x603, 0xB23}},
                  {K, "\tJB RA.2,TARGET", {0x645, 0xB23}},
                  {K, "\tJB REG,TARGET", {0x60A, 0xB23}},
                  {K, "\tJNB RA.2,TARGET", {0x745, 0xB23}},
                  {K, "\tJC TARGET", {0x603, 0xB23}},
                  {K, "\tJZ TARGET", {0x643, 0xB23}},
                  {K, "\tJNC TARGET", {0x703, 0xB23}},
                  {K, "\tJNZ TARGET", {0x743, 0xB23}},
                  {K, "\tJNZ FAR", {0x743, 0xB45}},  // the jump field keeps the address AND 511
              });
}

// The mnemonic formats of the native syntax, and the same words in the QV mode.
TEST_F(EncodingFixture, NativeFormatRows) {
  for (int mode : {kModeQV, kModeKestrian}) {
    SCOPED_TRACE(mode);
    ExpectCases(
        *this,
        {
            {mode, "\tRL REG", {0x36A}},
            {mode, "\tRR REG", {0x32A}},
            {mode, "\tSC", {0x703}},
            {mode, "\tSZ", {0x743}},
            {mode, "\tDEC REG", {0x0EA}},
            {mode, "\tINC REG", {0x2AA}},
            {mode, "\tNOP", {0x000}},
            {mode, "\tCLC", {0x403}},
            {mode, "\tCLZ", {0x443}},
            {mode, "\tDECSZ REG", {0x2EA}},
            {mode, "\tINCSZ REG", {0x3EA}},
            {mode, "\tIREAD", {0x041}},
            {mode, "\tRET", {0x00C}},
            {mode, "\tRETP", {0x00D}},
            {mode, "\tRETI", {0x00E}},
            {mode, "\tRETIW", {0x00F}},
            {mode, "\tSNC", {0x603}},
            {mode, "\tSNZ", {0x643}},
            {mode, "\tSTC", {0x503}},
            {mode, "\tSTZ", {0x543}},
            {mode, "\tSWAP REG", {0x3AA}},
            {mode, "\tSLEEP", {0x003}},
            {mode, "\tMODE 5", {0x055}},
            {mode, "\tM 5", {0x055}},
            {mode, "\tRETW 'AB'", {0x841, 0x842}},
            {mode, "\tRETW 1,$1FF,'a'", {0x801, 0x8FF, 0x861}},
            {mode, "\tDW $C0A,1,2,\"ab\",255", {0xC0A, 0x001, 0x002, 0x061, 0x062, 0x0FF}},
            {mode, "\tDW 'A'+1", {0x042}},  // a string that begins an expression is one value
            // A string longer than a short string's room, read past and gone back to: the lexer
            // must keep its characters where the position it returns to shows them.
            {mode, "\tDW 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'+1", {0x042}},
            {mode,
             "\tRETW 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'+1, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'-1",
             {0x842, 0x840}},
            {mode, "\tDW -1", {0xFFF}},
        });
  }
}

// The MCHIP rows: x,1 and x,F set the destination bit 020, x,0 and x,W leave it clear.
TEST_F(EncodingFixture, MchipRows) {
  for (int mode : {kModeMchip, kModeAll}) {
    SCOPED_TRACE(mode);
    ExpectCases(*this, {
                           {mode, "\tRLF REG,1", {0x36A}},
                           {mode, "\tRLF REG,0", {0x34A}},
                           {mode, "\tRRF REG,F", {0x32A}},
                           {mode, "\tRRF REG,W", {0x30A}},
                           {mode, "\tBCF REG,3", {0x46A}},
                           {mode, "\tBSF REG,3", {0x56A}},
                           {mode, "\tCLRF REG", {0x06A}},
                           {mode, "\tCLRW", {0x040}},
                           {mode, "\tCOMF REG,1", {0x26A}},
                           {mode, "\tDECF REG,w", {0x0CA}},
                           {mode, "\tINCF REG,f", {0x2AA}},
                           {mode, "\tMOVF REG,0", {0x20A}},
                           {mode, "\tTRIS 6", {0x006}},
                           {mode, "\tGOTO TARGET", {0xB23}},
                           {mode, "\tDATA 1,\"a\"", {0x001, 0x061}},
                           {mode, "\tADDWF REG,0", {0x1CA}},
                           {mode, "\tADDWF REG,F", {0x1EA}},
                           {mode, "\tANDWF REG,1", {0x16A}},
                           {mode, "\tANDLW $35", {0xE35}},
                           {mode, "\tIORWF REG,1", {0x12A}},
                           {mode, "\tIORLW $35", {0xD35}},
                           {mode, "\tMOVWF REG", {0x02A}},
                           {mode, "\tMOVLW $FE", {0xCFE}},
                           {mode, "\tSUBWF REG,1", {0x0AA}},
                           {mode, "\tSWAPF REG,1", {0x3AA}},
                           {mode, "\tXORWF REG,1", {0x1AA}},
                           {mode, "\tXORLW $35", {0xF35}},
                           {mode, "\tBTFSC REG,3", {0x66A}},
                           {mode, "\tBTFSS REG,3", {0x76A}},
                           {mode, "\tRETLW $35", {0x835}},
                           {mode, "\tSLEEP", {0x003}},
                           {mode, "\tADDLW $35", {0xC35}},
                           {mode, "\tSUBLW $35", {0x035}},
                           {mode, "\tDECFSZ REG,1", {0x2EA}},
                           {mode, "\tINCFSZ REG,1", {0x3EA}},
                           {mode, "\tOPTION", {0x002}},
                           {mode, "\tCLRWDT", {0x004}},
                           {mode, "\tRETFIE", {0x00E}},
                           {mode, "\tRETURN", {0x00C}},
                       });
  }
}

TEST_F(EncodingFixture, RegistersOfTheUpperBanksOnThe4096WordDevices) {
  ApplyDevice(run, 3);  // QV48BD: registers from 16 up are 16 + their offset in the bank
  ExpectCases(*this, {
                         {kModeKestrian, "\tMOV M,#5", {0x055}},
                         {kModeKestrian, "\tINC $3A", {0x2BA}},
                         {kModeKestrian, "\tINC REG", {0x2AA}},
                     });
}

TEST_F(EncodingFixture, SkipDependsOnTheAddress) {
  EXPECT_EQ(Encode("\tSKIP", 0x10).words, Words{0x702});
  EXPECT_EQ(Encode("\tSKIP", 0x11).words, Words{0x602});
  EXPECT_TRUE(Encode("\tSKIP", 0).skip);
}

TEST_F(EncodingFixture, SkipFlags) {
  struct Flag {
    const char* statement;
    bool skip;
  };
  const Flag flags[] = {
      {"\tSC", true},          {"\tSZ", true},         {"\tSNC", true},
      {"\tSNZ", true},         {"\tDECSZ REG", true},  {"\tINCSZ REG", true},
      {"\tSB RA.1", true},     {"\tSNB RA.1", true},   {"\tMOVSZ W,++REG", true},
      {"\tCSE REG,#1", true},  {"\tCSA REG,#1", true}, {"\tCSBE REG,REG2", true},
      {"\tDEC REG", false},    {"\tSETB RA.1", false}, {"\tCJE REG,#1,TARGET", false},
      {"\tMOV REG,#1", false}, {"\tNOP", false},
  };
  for (const Flag& f : flags) EXPECT_EQ(Encode(f.statement).skip, f.skip) << f.statement;
}

TEST_F(EncodingFixture, PagePrefixInsertsAPageWordBeforeTheJump) {
  const int K = kModeKestrian;
  ExpectCases(*this, {
                         {K, "\tJMP @FAR", {0x011, 0xB45}},
                         {K, "\tJMP @TARGET", {0x010, 0xB23}},
                         {K, "\tCALL @SUBR2", {0x011, 0x945}},
                         {K, "\tDJNZ REG,@FAR", {0x2EA, 0x011, 0xB45}},
                         {K, "\tCJE REG,#1,@FAR", {0xC01, 0x08A, 0x643, 0x011, 0xB45}},
                         {K, "\tJB RA.2,@FAR", {0x645, 0x011, 0xB45}},
                         {K, "\tJNZ @FAR", {0x743, 0x011, 0xB45}},
                         {kModeMchip, "\tGOTO @FAR", {0x011, 0xB45}},
                     });
  run.options.syntax_mode = K;
  StatementWords s = Encode("\tJNZ @FAR");
  EXPECT_TRUE(s.page_inserted);
  EXPECT_EQ(run.instruction.size, 3);
  EXPECT_FALSE(Encode("\tJNZ FAR").page_inserted);
}

TEST_F(EncodingFixture, PagePrefixEndsPageTrackingSoNoPageWarning) {
  Encode("\tPAGE $200");
  EXPECT_EQ(run.tracking.page, 1);
  EXPECT_EQ(run.tracking.page_countdown, 5);
  EXPECT_EQ(Encode("\tJNZ @TARGET").words, (Words{0x743, 0x010, 0xB23}));
  EXPECT_EQ(run.tracking.page_countdown, 0);
  EXPECT_EQ(Messages(), Shown{});
}

TEST_F(EncodingFixture, BankSelectionAndWarning48) {
  EXPECT_EQ(Encode("\tBANK $20").words, Words{0x019});
  StatementWords bank = Encode("\tBANK $20");
  EXPECT_TRUE(bank.bank_or_page);
  EXPECT_EQ(run.tracking.bank, 1);
  EXPECT_EQ(run.tracking.bank_countdown, 5);
  EXPECT_EQ(Encode("\tINC $3F").words, Words{0x2BF});
  EXPECT_EQ(Messages(), Shown{});
  EXPECT_EQ(Encode("\tINC $45").words, Words{0x2A5});  // bank 2
  EXPECT_EQ(Messages(), Shown{"W48"});
  EXPECT_EQ(Encode("\tMOV $45,W").words, Words{0x025});
  EXPECT_EQ(Messages(), (Shown{"W48", "W48"}));
  // Five code lines later BANK is no longer trusted.
  for (int i = 0; i < 5; ++i) CountDownTracking(run);
  Encode("\tINC $45");
  EXPECT_EQ(Messages(), (Shown{"W48", "W48"}));
}

TEST_F(EncodingFixture, MovToFsrEndsBankTracking) {
  Encode("\tBANK $20");
  Encode("\tMOV FSR,W");
  EXPECT_EQ(run.tracking.bank_countdown, 0);
  Encode("\tBANK $20");
  Encode("\tMOV REG,W");
  EXPECT_EQ(run.tracking.bank_countdown, 5);
}

TEST_F(EncodingFixture, BankOnTheNewRevisionOf4096WordDevices) {
  ApplyDevice(run, 3);
  EXPECT_EQ(Encode("\tBANK $30").words, Words{0x01B});  // 16 registers a bank
  EXPECT_EQ(Encode("\tBANK $1FF").words, Words{0x01F});
  EXPECT_EQ(Messages(), Shown{});
  EXPECT_EQ(Encode("\tBANK $200").words, Words{0x018});
  EXPECT_EQ(Messages(), Shown{"W24"});
}

TEST_F(EncodingFixture, PageSelectionAndWarning42) {
  StatementWords page = Encode("\tPAGE FAR");
  EXPECT_EQ(page.words, Words{0x011});
  EXPECT_TRUE(page.bank_or_page);
  CountDownTracking(run);
  EXPECT_EQ(Encode("\tJNZ TARGET").words, (Words{0x743, 0xB23}));
  EXPECT_EQ(Messages(), Shown{"W42"});
  EXPECT_EQ(Encode("\tJMP FAR").words, Words{0xB45});  // the selected page
  EXPECT_EQ(Messages(), Shown{"W42"});
  // CALL, JMP and GOTO end both trackings.
  EXPECT_EQ(run.tracking.page_countdown, 0);
  Encode("\tJMP TARGET");
  EXPECT_EQ(Messages(), Shown{"W42"});
  Encode("\tBANK $20");
  Encode("\tCALL SUBR");
  EXPECT_EQ(run.tracking.bank_countdown, 0);
}

TEST_F(EncodingFixture, CountdownsAndClearing) {
  Encode("\tBANK $20");
  Encode("\tPAGE $200");
  for (int i = 0; i < 4; ++i) CountDownTracking(run);
  EXPECT_TRUE(run.tracking.PageActive());
  EXPECT_TRUE(run.tracking.BankActive());
  CountDownTracking(run);
  EXPECT_FALSE(run.tracking.PageActive());
  EXPECT_FALSE(run.tracking.BankActive());
  CountDownTracking(run);
  EXPECT_EQ(run.tracking.page_countdown, 0);
  EXPECT_EQ(run.tracking.bank_countdown, 0);
  Encode("\tBANK $20");
  Encode("\tPAGE $200");
  ClearTracking(run);
  EXPECT_FALSE(run.tracking.PageActive());
  EXPECT_FALSE(run.tracking.BankActive());
  Encode("\tBANK $20");
  Encode("\tSC");
  run.encoding.previous_skip = true;
  ResetEncodingState(run);
  EXPECT_FALSE(run.encoding.previous_skip);
  EXPECT_FALSE(run.tracking.BankActive());
}

TEST_F(EncodingFixture, CallReachesOnlyTheLowerHalfOfAPage) {
  EXPECT_EQ(Encode("\tCALL TARGET").words, Words{0x923});
  EXPECT_EQ(Messages(), Shown{"E44"});
  EXPECT_NE(
      console.str().find("Error 44, Pass 2: Address 291 is not within lower half of memory page"),
      std::string::npos);
  run.options.warning_level = 0;
  ClearMessages();
  EXPECT_EQ(Encode("\tCALL $245").words, Words{0x945});
  EXPECT_EQ(Messages(), Shown{"C43"});
  EXPECT_EQ(Encode("\tJMP FAR").words, Words{0xB45});
  EXPECT_EQ(Messages(), (Shown{"C43", "C43"}));
}

// Each statement alone, with the one message it must give.
TEST_F(EncodingFixture, WarningsAndErrors) {
  struct Finding {
    int mode;
    const char* statement;
    Words words;
    Shown messages;
  };
  const int K = kModeKestrian;
  const int X = kModeMchip;
  const Finding findings[] = {
      {X, "\tMOVLW $1FF", {0xCFF}, {"W37"}},
      {X, "\tMOVLW -128", {0xC80}, {}},
      {X, "\tMOVLW -129", {0xC7F}, {"W37"}},
      {K, "\tMOV W,#$1FF", {0xCFF}, {"W37"}},
      {kModeAll, "\tMOVLW RA.2", {0xC05}, {"W53"}},
      {X, "\tMOVLW", {0xC00}, {"E8"}},
      {X, "\tMOVLW 1,2", {0xC01}, {"E6"}},
      {K, "\tMODE 20", {0x054}, {"W49"}},
      {K, "\tMOV M,#20", {0x054}, {"W49"}},
      {K, "\tBANK $100", {0x018}, {"W24"}},
      {K, "\tBANK", {0x018}, {"E5"}},
      {K, "\tBANK 1,2", {0x018}, {"E6"}},
      {K, "\tPAGE 5000", {0x011}, {"W24"}},  // 5000 AND $FFF = $388, page 1
      {K, "\tJMP #$1FFF", {0xBFF}, {"W24"}},
      {K, "\tMOV !REG2,#1", {0xC01, 0x00C}, {"W24"}},  // 12 is no port
      // Only the last finding: the port of 21 does not fit 4 bits (49), the literal does not
      // fit 8 bits (37).
      {K, "\tMOV !21,#$1FF", {0xCFF, 0x005}, {"W37"}},
      {K, "\tCALL $1123", {0x923}, {"W24", "E44"}},  // the fit warning comes first
      {K, "\tNOP 1", {0x000}, {"E6"}},
      {K, "\tDEC", {0x0E0}, {"E7"}},
      {K, "\tDEC REG,REG", {0x0EA}, {"E6"}},
      {X, "\tADDWF", {0x1E0}, {"E7"}},
      {X, "\tADDWF REG,2", {0x1EA}, {"E40"}},
      {X, "\tADDWF REG,1,1", {0x1EA}, {"E6"}},
      {X, "\tBCF REG", {0x40A}, {"E5"}},
      {X, "\tBCF REG,8", {0x40A}, {"E41"}},
      {X, "\tBCF REG,1,2", {0x42A}, {"E6"}},
      {K, "\tSKIP 1", {0x702}, {"E6"}},
      {K, "\tMOV W,W", {0x000}, {"E1"}},
      {K, "\tCSE W,W", {0x000}, {"E1"}},
      {K, "\tDW 1 2", {0x001}, {"E1"}},
      {K, "\tDW", {}, {"E1"}},
      {K, "\tDW 1,", {0x001}, {"E1"}},
      {K, "\tDW $1000", {0x000}, {"W59"}},
      {K, "\tDW -2048", {0x800}, {}},
      {K, "\tDW RA.2", {0x005}, {"W53"}},
      {K, "\tRETW $1000", {0x800}, {"W59"}},
  };
  for (const Finding& f : findings) {
    SCOPED_TRACE(f.statement);
    ClearMessages();
    ClearTracking(run);
    run.options.syntax_mode = f.mode;
    EXPECT_EQ(Encode(f.statement).words, f.words);
    EXPECT_EQ(Messages(), f.messages);
  }
}

TEST_F(EncodingFixture, NoDestinationIsComment39AndSetsTheBit) {
  run.options.syntax_mode = kModeMchip;
  run.options.warning_level = 0;
  EXPECT_EQ(Encode("\tADDWF REG").words, Words{0x1EA});
  EXPECT_EQ(Messages(), Shown{"C39"});
}

std::string ListOf(int count) {
  std::string list = "\tDW 1";
  for (int i = 1; i < count; ++i) {
    list += ',';
    list += std::to_string(i % 10);
  }
  return list;
}

TEST_F(EncodingFixture, DataListsHoldAtMost200Words) {
  EXPECT_EQ(Encode(ListOf(200)).words.size(), 200u);
  EXPECT_EQ(Messages(), Shown{});
  StatementWords s = Encode(ListOf(260));
  EXPECT_EQ(s.words.size(), 200u);
  EXPECT_EQ(s.words[199], 9);
  EXPECT_EQ(Messages(), Shown{"E6"});
  // Strings count their characters.
  std::string strings =
      "\tRETW \"" + std::string(110, 'x') + "\",\"" + std::string(110, 'y') + "\"";
  s = Encode(strings);
  EXPECT_EQ(s.words.size(), 200u);
  EXPECT_EQ(s.words[109], 0x878);
  EXPECT_EQ(s.words[110], 0x879);
  EXPECT_EQ(Messages(), (Shown{"E6", "E6"}));
}

// Pass 1 sizes with the same encoder: the count, error 6, and no pass-2 warnings.
TEST_F(EncodingFixture, DataListsInPass1) {
  run.pass = 1;
  BeginLine(run, "\tDW 1,2,3,\"ab\",UNDEFINED,$1000,RA.2");
  NextToken(run);
  DataList list = EncodeDataList(run, false);
  EXPECT_TRUE(list.well_formed);
  EXPECT_EQ(list.words.size(), 8u);
  BeginLine(run, ListOf(201));
  NextToken(run);
  EXPECT_EQ(EncodeDataList(run, false).words.size(), 200u);
  EXPECT_EQ(Messages(), Shown{"E6"});
  BeginLine(run, "\tDW 1 2");
  NextToken(run);
  EXPECT_FALSE(EncodeDataList(run, false).well_formed);
  EXPECT_EQ(Messages(), Shown{"E6"});  // the caller reports the bad list
}

TEST_F(EncodingFixture, PreviousSkipAndWarning73) {
  auto follow = [&](const char* statement) { FollowPreviousSkip(run, Encode(statement)); };
  follow("\tSB RA.1");
  follow("\tMOV REG,#1");
  EXPECT_EQ(Messages(), Shown{"W73"});
  // PAGE keeps the skip state, and the JMP after it is one word.
  follow("\tSB RA.1");
  follow("\tPAGE TARGET");
  EXPECT_TRUE(run.encoding.previous_skip);
  follow("\tJMP TARGET");
  EXPECT_FALSE(run.encoding.previous_skip);
  follow("\tSNB RA.1");
  follow("\tBANK $20");
  follow("\tRETW 'AB'");
  EXPECT_EQ(Messages(), (Shown{"W73", "W73"}));
  // The PAGE word that "@" inserts is accepted after a skip.
  follow("\tSC");
  follow("\tJMP @FAR");
  EXPECT_EQ(Messages(), (Shown{"W73", "W73"}));
  follow("\tNOP");
  follow("\tMOV REG,#1");
  EXPECT_EQ(Messages(), (Shown{"W73", "W73"}));
}

TEST_F(EncodingFixture, StoringWordsAndOverwriting) {
  EXPECT_EQ(StoreStatementWords(run, 0x20, {0xC35, 0x02A}), 0x22);
  EXPECT_EQ(run.image.words[0x20], 0xC35);
  EXPECT_EQ(run.image.words[0x21], 0x02A);
  EXPECT_EQ(Messages(), Shown{});
  EXPECT_EQ(StoreStatementWords(run, 0x21, {0x403, 0x503}), 0x23);
  EXPECT_EQ(Messages(), Shown{"E30"});
  EXPECT_EQ(run.image.words[0x21], 0x403);
  EXPECT_EQ(run.image.words[0x22], 0x503);
  EXPECT_NE(console.str().find("Error 30, Pass 2: Overwriting same program counter location"),
            std::string::npos);
}

TEST_F(EncodingFixture, WordsPastProgramMemoryAreError43AndNotStored) {
  EXPECT_EQ(StoreStatementWords(run, 2047, {0xC35, 0x02A}), 2049);
  EXPECT_EQ(Messages(), Shown{"E43"});
  EXPECT_EQ(run.image.words[2047], 0xC35);
  EXPECT_EQ(run.image.words[2048], kBlankWord);
  ClearMessages();
  StoreStatementWords(run, 2046, {0x000, 0x000});
  EXPECT_EQ(Messages(), Shown{"E30"});  // 2047 was used; 2046 and 2047 fit
  // On the 4,096-word devices the ID words follow program memory.
  ApplyDevice(run, 3);
  ClearMessages();
  EXPECT_EQ(StoreStatementWords(run, 4094, {1, 2, 3, 4}), 4098);
  EXPECT_EQ(Messages(), Shown{"E43"});
  EXPECT_EQ(run.image.words[4095], 2);
  EXPECT_EQ(run.image.words[kIdWordsAddress], kBlankWord);
  EXPECT_EQ(run.image.words[kIdWordsAddress + 1], kBlankWord);
  ClearMessages();
  StoreStatementWords(run, 5000, {1});
  EXPECT_EQ(Messages(), Shown{"E43"});
  EXPECT_EQ(run.image.words[5000], kBlankWord);
}

}  // namespace
}  // namespace tarn
