// Assembled by tarn, read back by the IDE's disassembler: every instruction form and every
// instruction mnemonic of tarn's tables, written as a statement, is assembled on each of the
// five devices, and each word it becomes is disassembled and compared with the statement.
//
// The statements are written in radix 16 with operands the disassembler prints as they stand
// (registers 0A and 0C, literal #5A, address 123, bits RA.3 and RB.5, port 06), so a native
// statement disassembles to itself with its mnemonic padded to six characters. Where tarn
// spells an instruction otherwise than the IDE (MCHIP mnemonics, GOTO, MODE, a jump to a
// literal), or where a statement becomes several words, kSpelledApart gives the IDE's text of
// each word. kNoRoundTrip names every word whose text is another instruction than the
// statement, and why.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/instruction_forms.h"
#include "assembler/instruction_tables.h"
#include "assembler/lexer.h"
#include "assembler/operands.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "build_debug/image/disassembler.h"
#include "tarn_build.h"

namespace build_debug {
namespace {

enum DeviceBit : unsigned { kQV18 = 1, kQV20 = 2, kQV28 = 4, kQV48 = 8, kQV52 = 16 };
constexpr unsigned kNoPortC = kQV18 | kQV20;  // FUSEX bit 10 clear: ports RA and RB only
constexpr unsigned k2K = kQV18 | kQV20 | kQV28;
constexpr unsigned kAllDevices = k2K | kQV48 | kQV52;

struct Device {
  const char* name;
  unsigned bit;
  int device_class;  // tarn's: 1 for the 2,048-word devices, 2 for the 4,096-word ones
};
constexpr Device kDevices[] = {
    {"QV18AC", kQV18, 1}, {"QV20AC", kQV20, 1}, {"QV28AC", kQV28, 1},
    {"QV48BD", kQV48, 2}, {"QV52BD", kQV52, 2},
};

// clang-format off
// Native statements whose one word disassembles to the statement itself.
const char* const kSameText[] = {
    // the one-word forms
    "AND 0A,W", "AND W,0A", "AND W,#5A", "NOT 0A", "NOT W",
    "OR 0A,W", "OR W,0A", "OR W,#5A", "XOR 0A,W", "XOR W,0A", "XOR W,#5A",
    "ADD 0A,W", "ADD W,0A", "SUB 0A,W", "CLR 0A", "CLR W", "CLR !WDT",
    "MOV 0A,W", "MOV W,0A", "MOV W,0A-W", "MOV W,#5A", "MOV W,/0A", "MOV W,--0A", "MOV W,++0A",
    "MOV W,<<0A", "MOV W,>>0A", "MOV W,<>0A", "MOV W,M", "MOV M,W", "MOV M,#5",
    "MOV !0A,W", "MOV !RA,W", "MOV !RB,W", "MOV !RC,W", "MOV !RD,W", "MOV !RE,W",
    "MOV !OPTION,W", "MOVSZ W,--0A", "MOVSZ W,++0A",
    "JMP 123", "JMP W", "JMP PC+W", "TEST 0A", "TEST W", "CALL 023",
    // bit forms: a bit number, and bit 0, which classifies as a plain register
    "CLRB RA.3", "CLRB RB.0", "SETB RA.3", "SETB RB.0",
    "SNB RA.3", "SNB RB.0", "SB RA.3", "SB RB.0",
    // the mnemonics that the form table does not encode
    "NOP", "RET", "RETP", "RETI", "RETIW", "IREAD", "SLEEP",
    "CLC", "CLZ", "STC", "STZ", "SC", "SZ", "SNC", "SNZ",
    "DEC 0A", "INC 0A", "DECSZ 0A", "INCSZ 0A", "RL 0A", "RR 0A", "SWAP 0A",
    "BANK 60", "PAGE 600", "RETW 5A",
    // twice, so that one lands on an even and one on an odd address (slots are five words
    // apart): tarn encodes it by the address's parity and the IDE decodes it the same way
    "SKIP", "SKIP",
};

// Statements that tarn spells otherwise than the IDE, or that become several words: the
// IDE's text of each word, its mnemonic not yet padded.
struct SpelledApart {
  const char* statement;
  std::vector<const char*> words;
};
const SpelledApart kSpelledApart[] = {
    {"JMP #123",  {"JMP 123"}},
    {"GOTO 123",  {"JMP 123"}},
    {"MODE 5",    {"MOV M,#5"}},
    {"M 5",       {"MOV M,#5"}},
    // MCHIP: destination 0 leaves the result in W, 1 in the register
    {"MOVF 0A,0",   {"MOV W,0A"}},      {"MOVF 0A,1",   {"TEST 0A"}},
    {"ADDWF 0A,0",  {"ADD W,0A"}},      {"ADDWF 0A,1",  {"ADD 0A,W"}},
    {"ANDWF 0A,0",  {"AND W,0A"}},      {"ANDWF 0A,1",  {"AND 0A,W"}},
    {"IORWF 0A,0",  {"OR W,0A"}},       {"IORWF 0A,1",  {"OR 0A,W"}},
    {"XORWF 0A,0",  {"XOR W,0A"}},      {"XORWF 0A,1",  {"XOR 0A,W"}},
    {"SUBWF 0A,0",  {"MOV W,0A-W"}},    {"SUBWF 0A,1",  {"SUB 0A,W"}},
    {"COMF 0A,0",   {"MOV W,/0A"}},     {"COMF 0A,1",   {"NOT 0A"}},
    {"DECF 0A,0",   {"MOV W,--0A"}},    {"DECF 0A,1",   {"DEC 0A"}},
    {"INCF 0A,0",   {"MOV W,++0A"}},    {"INCF 0A,1",   {"INC 0A"}},
    {"RLF 0A,0",    {"MOV W,<<0A"}},    {"RLF 0A,1",    {"RL 0A"}},
    {"RRF 0A,0",    {"MOV W,>>0A"}},    {"RRF 0A,1",    {"RR 0A"}},
    {"SWAPF 0A,0",  {"MOV W,<>0A"}},    {"SWAPF 0A,1",  {"SWAP 0A"}},
    {"DECFSZ 0A,0", {"MOVSZ W,--0A"}},  {"DECFSZ 0A,1", {"DECSZ 0A"}},
    {"INCFSZ 0A,0", {"MOVSZ W,++0A"}},  {"INCFSZ 0A,1", {"INCSZ 0A"}},
    {"CLRF 0A",     {"CLR 0A"}},        {"CLRW",        {"CLR W"}},
    {"MOVWF 0A",    {"MOV 0A,W"}},      {"TRIS 06",     {"MOV !RB,W"}},
    {"BCF 0A,3",    {"CLRB 0A.3"}},     {"BSF 0A,3",    {"SETB 0A.3"}},
    {"BTFSC 0A,3",  {"SNB 0A.3"}},      {"BTFSS 0A,3",  {"SB 0A.3"}},
    {"MOVLW 5A",    {"MOV W,#5A"}},     {"ANDLW 5A",    {"AND W,#5A"}},
    {"IORLW 5A",    {"OR W,#5A"}},      {"XORLW 5A",    {"XOR W,#5A"}},
    {"RETLW 5A",    {"RETW 5A"}},       {"OPTION",      {"MOV !OPTION,W"}},
    {"CLRWDT",      {"CLR !WDT"}},      {"RETFIE",      {"RETI"}},
    {"RETURN",      {"RET"}},
    // through W: the second operand first
    {"MOV 0A,#5A", {"MOV W,#5A", "MOV 0A,W"}},
    {"ADD 0A,#5A", {"MOV W,#5A", "ADD 0A,W"}},
    {"SUB 0A,#5A", {"MOV W,#5A", "SUB 0A,W"}},
    {"AND 0A,#5A", {"MOV W,#5A", "AND 0A,W"}},
    {"OR 0A,#5A",  {"MOV W,#5A", "OR 0A,W"}},
    {"XOR 0A,#5A", {"MOV W,#5A", "XOR 0A,W"}},
    {"MOV 0A,0C",  {"MOV W,0C", "MOV 0A,W"}},
    {"ADD 0A,0C",  {"MOV W,0C", "ADD 0A,W"}},
    {"SUB 0A,0C",  {"MOV W,0C", "SUB 0A,W"}},
    {"AND 0A,0C",  {"MOV W,0C", "AND 0A,W"}},
    {"OR 0A,0C",   {"MOV W,0C", "OR 0A,W"}},
    {"XOR 0A,0C",  {"MOV W,0C", "XOR 0A,W"}},
    // add or subtract a bit
    {"ADDB 0A,RA.3",  {"SNB RA.3", "INC 0A"}},
    {"ADDB 0A,RB.0",  {"SNB RB.0", "INC 0A"}},
    {"ADDB 0A,/RA.3", {"SB RA.3", "INC 0A"}},
    {"ADDB 0A,/RB.0", {"SB RB.0", "INC 0A"}},
    {"SUBB 0A,RA.3",  {"SNB RA.3", "DEC 0A"}},
    {"SUBB 0A,RB.0",  {"SNB RB.0", "DEC 0A"}},
    {"SUBB 0A,/RA.3", {"SB RA.3", "DEC 0A"}},
    {"SUBB 0A,/RB.0", {"SB RB.0", "DEC 0A"}},
    // bit moves: destination first, source second
    {"MOVB RA.3,RB.5",  {"SB RB.5", "CLRB RA.3", "SNB RB.5", "SETB RA.3"}},
    {"MOVB RA.3,RB.0",  {"SB RB.0", "CLRB RA.3", "SNB RB.0", "SETB RA.3"}},
    {"MOVB RA.0,RB.5",  {"SB RB.5", "CLRB RA.0", "SNB RB.5", "SETB RA.0"}},
    {"MOVB RA.0,RB.0",  {"SB RB.0", "CLRB RA.0", "SNB RB.0", "SETB RA.0"}},
    {"MOVB RA.3,/RB.5", {"SNB RB.5", "CLRB RA.3", "SB RB.5", "SETB RA.3"}},
    {"MOVB RA.3,/RB.0", {"SNB RB.0", "CLRB RA.3", "SB RB.0", "SETB RA.3"}},
    {"MOVB RA.0,/RB.5", {"SNB RB.5", "CLRB RA.0", "SB RB.5", "SETB RA.0"}},
    {"MOVB RA.0,/RB.0", {"SNB RB.0", "CLRB RA.0", "SB RB.0", "SETB RA.0"}},
    // loops
    {"IJNZ 0A,123", {"INCSZ 0A", "JMP 123"}},
    {"DJNZ 0A,123", {"DECSZ 0A", "JMP 123"}},
    // compare and skip; above and below-or-equal compare the other way round
    {"CSE 0A,#5A",  {"MOV W,#5A", "MOV W,0A-W", "SZ"}},
    {"CSE 0A,0C",   {"MOV W,0C", "MOV W,0A-W", "SZ"}},
    {"CSNE 0A,#5A", {"MOV W,#5A", "MOV W,0A-W", "SNZ"}},
    {"CSNE 0A,0C",  {"MOV W,0C", "MOV W,0A-W", "SNZ"}},
    {"CSAE 0A,#5A", {"MOV W,#5A", "MOV W,0A-W", "SC"}},
    {"CSAE 0A,0C",  {"MOV W,0C", "MOV W,0A-W", "SC"}},
    {"CSB 0A,#5A",  {"MOV W,#5A", "MOV W,0A-W", "SNC"}},
    {"CSB 0A,0C",   {"MOV W,0C", "MOV W,0A-W", "SNC"}},
    {"CSA 0A,#5A",  {"MOV W,#A5", "ADD W,0A", "SC"}},
    {"CSA 0A,0C",   {"MOV W,0A", "MOV W,0C-W", "SNC"}},
    {"CSBE 0A,#5A", {"MOV W,#A5", "ADD W,0A", "SNC"}},
    {"CSBE 0A,0C",  {"MOV W,0A", "MOV W,0C-W", "SC"}},
    // compare and jump
    {"CJE 0A,#5A,123",  {"MOV W,#5A", "MOV W,0A-W", "SNZ", "JMP 123"}},
    {"CJE 0A,0C,123",   {"MOV W,0C", "MOV W,0A-W", "SNZ", "JMP 123"}},
    {"CJNE 0A,#5A,123", {"MOV W,#5A", "MOV W,0A-W", "SZ", "JMP 123"}},
    {"CJNE 0A,0C,123",  {"MOV W,0C", "MOV W,0A-W", "SZ", "JMP 123"}},
    {"CJAE 0A,#5A,123", {"MOV W,#5A", "MOV W,0A-W", "SNC", "JMP 123"}},
    {"CJAE 0A,0C,123",  {"MOV W,0C", "MOV W,0A-W", "SNC", "JMP 123"}},
    {"CJB 0A,#5A,123",  {"MOV W,#5A", "MOV W,0A-W", "SC", "JMP 123"}},
    {"CJB 0A,0C,123",   {"MOV W,0C", "MOV W,0A-W", "SC", "JMP 123"}},
    {"CJA 0A,#5A,123",  {"MOV W,#A5", "ADD W,0A", "SNC", "JMP 123"}},
    {"CJA 0A,0C,123",   {"MOV W,0A", "MOV W,0C-W", "SC", "JMP 123"}},
    {"CJBE 0A,#5A,123", {"MOV W,#A5", "ADD W,0A", "SC", "JMP 123"}},
    {"CJBE 0A,0C,123",  {"MOV W,0A", "MOV W,0C-W", "SNC", "JMP 123"}},
    // bit and flag jumps
    {"JB RA.3,123",  {"SNB RA.3", "JMP 123"}},
    {"JB RB.0,123",  {"SNB RB.0", "JMP 123"}},
    {"JNB RA.3,123", {"SB RA.3", "JMP 123"}},
    {"JNB RB.0,123", {"SB RB.0", "JMP 123"}},
    {"JC 123",  {"SNC", "JMP 123"}},
    {"JZ 123",  {"SNZ", "JMP 123"}},
    {"JNC 123", {"SC", "JMP 123"}},
    {"JNZ 123", {"SZ", "JMP 123"}},
    // M, OPTION and the ports through W
    {"MOV M,0A",        {"MOV W,0A", "MOV M,W"}},
    {"MOV 0A,M",        {"MOV W,M", "MOV 0A,W"}},
    {"MOV !RA,#5A",     {"MOV W,#5A", "MOV !RA,W"}},
    {"MOV !RB,#5A",     {"MOV W,#5A", "MOV !RB,W"}},
    {"MOV !RC,#5A",     {"MOV W,#5A", "MOV !RC,W"}},
    {"MOV !RD,#5A",     {"MOV W,#5A", "MOV !RD,W"}},
    {"MOV !RE,#5A",     {"MOV W,#5A", "MOV !RE,W"}},
    {"MOV !RA,0A",      {"MOV W,0A", "MOV !RA,W"}},
    {"MOV !RB,0A",      {"MOV W,0A", "MOV !RB,W"}},
    {"MOV !RC,0A",      {"MOV W,0A", "MOV !RC,W"}},
    {"MOV !RD,0A",      {"MOV W,0A", "MOV !RD,W"}},
    {"MOV !RE,0A",      {"MOV W,0A", "MOV !RE,W"}},
    {"MOV !OPTION,#5A", {"MOV W,#5A", "MOV !OPTION,W"}},
    {"MOV !OPTION,0A",  {"MOV W,0A", "MOV !OPTION,W"}},
    {"MOV !06,0A",      {"MOV W,0A", "MOV !RB,W"}},
    {"MOV !06,#5A",     {"MOV W,#5A", "MOV !RB,W"}},
};

// Words whose disassembly names another instruction than the statement: the word's index in
// the statement, the IDE's text, and why.
struct NoRoundTrip {
  unsigned devices;
  const char* statement;
  int word;
  const char* text;
  const char* reason;
};
constexpr const char* kPortC =
    "the IDE names register 7 RC only where FUSEX bit 10 is set (QV28) or on a 4,096-word "
    "device; QV18 and QV20 have no port RC, so it prints the number";
constexpr const char* kPortsDE =
    "the IDE names registers 8 and 9 RD and RE only on the 4,096-word devices, which alone "
    "have those ports; tarn takes the names on every device";
constexpr const char* kDebugger =
    "the debugger's own instructions 0x044..0x04F, which the IDE shows as ???";
const NoRoundTrip kNoRoundTrip[] = {
    {kNoPortC,    "MOV !RC,W",   0, "MOV !07,W", kPortC},
    {kNoPortC,    "MOV !RC,#5A", 1, "MOV !07,W", kPortC},
    {kNoPortC,    "MOV !RC,0A",  1, "MOV !07,W", kPortC},
    {k2K,         "MOV !RD,W",   0, "MOV !08,W", kPortsDE},
    {k2K,         "MOV !RD,#5A", 1, "MOV !08,W", kPortsDE},
    {k2K,         "MOV !RD,0A",  1, "MOV !08,W", kPortsDE},
    {k2K,         "MOV !RE,W",   0, "MOV !09,W", kPortsDE},
    {k2K,         "MOV !RE,#5A", 1, "MOV !09,W", kPortsDE},
    {k2K,         "MOV !RE,0A",  1, "MOV !09,W", kPortsDE},
    {kAllDevices, "ADDLW 5A",    0, "MOV W,#5A",
     "tarn's ADDLW row carries the template 0xC00 of MOVLW: the QV has no add-literal word"},
    {kAllDevices, "SUBLW 5A",    0, "MOV M,#A",
     "tarn's SUBLW row carries the template 0x000, so the literal lands among the control "
     "words; 0x05A is MOV M,#A"},
    {kAllDevices, "DEBUG",    0, "???", kDebugger},
    {kAllDevices, "OSC2RW",   0, "???", kDebugger},
    {kAllDevices, "SETBP",    0, "???", kDebugger},
    {kAllDevices, "FIFO",     0, "???", kDebugger},
    {kAllDevices, "PUSH_DD0", 0, "???", kDebugger},
    {kAllDevices, "PUSH_DD1", 0, "???", kDebugger},
    {kAllDevices, "PUSH_DD2", 0, "???", kDebugger},
    {kAllDevices, "PUSH_DD3", 0, "???", kDebugger},
    {kAllDevices, "POP_DD0",  0, "???", kDebugger},
    {kAllDevices, "POP_DD1",  0, "???", kDebugger},
    {kAllDevices, "POP_DD2",  0, "???", kDebugger},
    {kAllDevices, "POP_DD3",  0, "???", kDebugger},
};
// clang-format on

// DW and DATA are data, not instructions: their words have no text to come back to.
const std::set<std::string> kDataLists = {"DW", "DATA"};

constexpr int kSlotWords = 5;  // a statement has at most 4 words; the fifth stays empty

// The IDE's text of a statement: the mnemonic padded with blanks to 6 characters.
std::string IdeText(const std::string& statement) {
  std::size_t blank = statement.find(' ');
  if (blank == std::string::npos) return statement;
  std::string mnemonic = statement.substr(0, blank);
  mnemonic.resize(std::max<std::size_t>(mnemonic.size(), 6), ' ');
  return mnemonic + statement.substr(blank + 1);
}

struct Expected {
  std::string statement;
  std::vector<std::string> words;  // the IDE's texts
  std::vector<std::string> why;    // per word: empty when it round-trips
};

// Every statement in assembly order, with the words expected on `device`.
std::vector<Expected> ExpectedOn(unsigned device) {
  std::vector<Expected> all;
  for (const char* s : kSameText) all.push_back({s, {IdeText(s)}, {""}});
  for (const SpelledApart& s : kSpelledApart) {
    Expected e{s.statement, {}, {}};
    for (const char* w : s.words) e.words.push_back(IdeText(w));
    e.why.resize(e.words.size());
    all.push_back(e);
  }
  for (const NoRoundTrip& n : kNoRoundTrip) {
    auto it = std::find_if(all.begin(), all.end(),
                           [&](const Expected& e) { return e.statement == n.statement; });
    if (it == all.end()) {
      all.push_back({n.statement, {}, {}});
      it = all.end() - 1;
    }
    if (it->words.size() <= static_cast<std::size_t>(n.word)) {
      it->words.resize(n.word + 1);
      it->why.resize(n.word + 1);
    }
    if (n.devices & device) {
      it->words[n.word] = IdeText(n.text);
      it->why[n.word] = n.reason;
    }
  }
  return all;
}

std::string SourceOf(const std::vector<Expected>& statements) {
  std::string source;
  char org[32];
  for (std::size_t i = 0; i < statements.size(); ++i) {
    std::snprintf(org, sizeof org, "\tORG 0x%zX\n", i * kSlotWords);
    source += org + ("\t" + statements[i].statement + "\n");
  }
  return source + "\tEND\n";
}

std::string First(const std::string& statement) { return statement.substr(0, statement.find(' ')); }

TEST(TarnRoundTripTest, EveryWordComesBackAsItsStatement) {
  for (const Device& device : kDevices) {
    SCOPED_TRACE(device.name);
    std::vector<Expected> statements = ExpectedOn(device.bit);
    TarnBuild tarn;
    ASSERT_TRUE(tarn.Assemble(SourceOf(statements),
                              {"/P", device.name, "/F", "BIN16", "/C", "DEBUGGER", "/R", "HEX"}))
        << tarn.Report();
    auto image = std::make_unique<ObjectImage>();
    ASSERT_TRUE(tarn.LoadObject(*image));
    for (std::size_t i = 0; i < statements.size(); ++i) {
      const Expected& e = statements[i];
      const int address = static_cast<int>(i * kSlotWords);
      for (std::size_t w = 0; w < e.words.size(); ++w) {
        EXPECT_EQ(DisassembleWord(*image, address + static_cast<int>(w), false), e.words[w])
            << e.statement << ", word " << w
            << (e.why[w].empty() ? "" : " (listed: " + e.why[w] + ")");
      }
      for (int w = address + static_cast<int>(e.words.size()); w < address + kSlotWords; ++w) {
        EXPECT_EQ(image->WorkingImage[w], kEmptyWord) << e.statement << " made more words";
      }
    }
  }
}

// Classifies a statement's operands as tarn's pass 1 does and gives the form it matches.
const tarn::InstructionForm* MatchedForm(const std::string& statement, int id, int device_class) {
  std::ostringstream console;
  tarn::TarnRun run(console);
  run.options.syntax_mode = tarn::kModeDebugger;
  run.options.radix = 16;
  run.pass = 1;
  run.device.device_class = device_class;
  tarn::BeginLine(run, "\t" + statement);
  tarn::NextToken(run);
  tarn::ClassifyOperands(run, id);
  return tarn::FindForm(id, device_class, run.instruction.operands);
}

TEST(TarnRoundTripTest, StatementsCoverEveryFormAndMnemonic) {
  std::set<const tarn::InstructionForm*> forms;
  std::set<std::string> mnemonics;
  for (const Expected& e : ExpectedOn(0)) {
    std::string first = First(e.statement);
    mnemonics.insert(first);
    const tarn::MnemonicRow* row = tarn::FindMnemonic(first, tarn::kModeDebugger);
    ASSERT_NE(row, nullptr) << e.statement;
    if (row->format != tarn::kFmtForms) continue;
    for (int device_class : {1, 2}) {
      if (const tarn::InstructionForm* form = MatchedForm(e.statement, row->id, device_class))
        forms.insert(form);
    }
  }
  EXPECT_EQ(forms.size(), static_cast<std::size_t>(tarn::kFormCount));
  for (const tarn::MnemonicTable* table : {&tarn::kNativeMnemonics, &tarn::kCompoundMnemonics,
                                           &tarn::kMchipMnemonics, &tarn::kDebuggerMnemonics}) {
    for (const tarn::MnemonicRow& row : table->rows) {
      if (!row.name || row.id == tarn::kName || row.id == tarn::kDesignator ||
          kDataLists.count(row.name))
        continue;
      EXPECT_TRUE(mnemonics.count(row.name)) << row.name << " has no statement";
    }
  }
}

}  // namespace
}  // namespace build_debug
