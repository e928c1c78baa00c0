// The instruction forms: one case per form row, written in the source notation of the
// instruction list, matched through the operand kinds that notation classifies as.

#include <gtest/gtest.h>

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
#include "assembler/symbols.h"

namespace tarn {
namespace {

// The kinds of an operand pattern: fr, addr and port are expressions without a bit part
// (OP_FR), bit one with a bit part (OP_BIT), #lit a literal; prefixes are tokens of their own;
// only "<<" and ">>" are two-character tokens ("<>" is "<" then ">").
OperandRecords Classify(const std::string& pattern) {
  OperandRecords records{};
  size_t n = 0;
  auto add = [&](uint16_t kind) {
    ASSERT_LT(n, records.size()) << pattern;
    records[n].kind = kind;
    records[n].value = kind == OP_BIT ? 5 : 0;
    records[n].bit = kind == OP_BIT ? 3 : 0;
    ++n;
  };
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (c == ',') {
      ++i;
      continue;
    }
    if (c == '#') {
      add(OP_LIT);
      i += 4;  // "#lit"
      continue;
    }
    if (pattern.compare(i, 2, "<<") == 0) {
      add(OP_LSHIFT);
      i += 2;
      continue;
    }
    if (pattern.compare(i, 2, ">>") == 0) {
      add(OP_RSHIFT);
      i += 2;
      continue;
    }
    switch (c) {
      case '!':
        add(OP_NOT);
        ++i;
        continue;
      case '/':
        add(OP_DIV);
        ++i;
        continue;
      case '-':
        add(OP_MINUS);
        ++i;
        continue;
      case '+':
        add(OP_PLUS);
        ++i;
        continue;
      case '<':
        add(OP_LEFT);
        ++i;
        continue;
      case '>':
        add(OP_RIGHT);
        ++i;
        continue;
      default: break;
    }
    size_t end = pattern.find_first_of(",!/-+<>#", i);
    if (end == std::string::npos) end = pattern.size();
    std::string word = pattern.substr(i, end - i);
    i = end;
    if (word == "fr" || word == "addr" || word == "port")
      add(OP_FR);
    else if (word == "bit")
      add(OP_BIT);
    else if (word == "W")
      add(OP_W);
    else if (word == "M")
      add(OP_M);
    else if (word == "OPTION")
      add(OP_OPTION);
    else if (word == "WDT")
      add(OP_WDT);
    else if (word == "PC")
      add(OP_PC);
    else if (word == "RA")
      add(OP_RA);
    else if (word == "RB")
      add(OP_RB);
    else if (word == "RC")
      add(OP_RC);
    else if (word == "RD")
      add(OP_RD);
    else if (word == "RE")
      add(OP_RE);
    else
      ADD_FAILURE() << "unknown word " << word << " in " << pattern;
  }
  return records;
}

struct FormCase {
  const char* mnemonic;
  int id;
  const char* operands;
  int device_class;  // the class the statement is assembled for
  int size;
  int encoding;
  std::vector<uint16_t> words;
  std::vector<uint16_t> masks;  // the non-zero masks in position order
};

constexpr int kAny = 1;  // a class-free form matched on a 2,048-word device

const FormCase kCases[] = {
    {"AND", kAND, "fr,W", kAny, 1, 0, {0x160}, {0x1F}},
    {"AND", kAND, "W,fr", kAny, 1, 0, {0x140}, {0x1F}},
    {"AND", kAND, "W,#lit", kAny, 1, 0, {0xE00}, {0xFF}},
    {"NOT", kNOT, "fr", kAny, 1, 0, {0x260}, {0x1F}},
    {"NOT", kNOT, "W", kAny, 1, 0, {0xFFF}, {}},
    {"OR", kOR, "fr,W", kAny, 1, 0, {0x120}, {0x1F}},
    {"OR", kOR, "W,fr", kAny, 1, 0, {0x100}, {0x1F}},
    {"OR", kOR, "W,#lit", kAny, 1, 0, {0xD00}, {0xFF}},
    {"XOR", kXOR, "fr,W", kAny, 1, 0, {0x1A0}, {0x1F}},
    {"XOR", kXOR, "W,fr", kAny, 1, 0, {0x180}, {0x1F}},
    {"XOR", kXOR, "W,#lit", kAny, 1, 0, {0xF00}, {0xFF}},
    {"ADD", kADD, "fr,W", kAny, 1, 0, {0x1E0}, {0x1F}},
    {"ADD", kADD, "W,fr", kAny, 1, 0, {0x1C0}, {0x1F}},
    {"SUB", kSUB, "fr,W", kAny, 1, 0, {0x0A0}, {0x1F}},
    {"CLR", kCLR, "fr", kAny, 1, 0, {0x060}, {0x1F}},
    {"CLR", kCLR, "W", kAny, 1, 0, {0x040}, {}},
    {"CLR", kCLR, "!WDT", kAny, 1, 0, {0x004}, {}},
    {"MOV", kMOV, "fr,W", kAny, 1, 0, {0x020}, {0x1F}},
    {"MOV", kMOV, "W,fr", kAny, 1, 0, {0x200}, {0x1F}},
    {"MOV", kMOV, "W,fr-W", kAny, 1, 0, {0x080}, {0x1F}},
    {"MOV", kMOV, "W,#lit", kAny, 1, 0, {0xC00}, {0xFF}},
    {"MOV", kMOV, "W,/fr", kAny, 1, 0, {0x240}, {0x1F}},
    {"MOV", kMOV, "W,--fr", kAny, 1, 0, {0x0C0}, {0x1F}},
    {"MOV", kMOV, "W,++fr", kAny, 1, 0, {0x280}, {0x1F}},
    {"MOV", kMOV, "W,<<fr", kAny, 1, 0, {0x340}, {0x1F}},
    {"MOV", kMOV, "W,>>fr", kAny, 1, 0, {0x300}, {0x1F}},
    {"MOV", kMOV, "W,<>fr", kAny, 1, 0, {0x380}, {0x1F}},
    {"MOV", kMOV, "W,M", kAny, 1, 0, {0x042}, {}},
    {"MOV", kMOV, "M,W", kAny, 1, 0, {0x043}, {}},
    {"MOV", kMOV, "M,#lit", 1, 1, 0, {0x050}, {0xF}},
    {"MOV", kMOV, "M,#lit", 2, 1, 0, {0x050}, {0xF}},
    {"MOV", kMOV, "!fr,W", kAny, 1, 0, {0x000}, {0x1F}},
    {"MOV", kMOV, "!RA,W", kAny, 1, 0, {0x005}, {}},
    {"MOV", kMOV, "!RB,W", kAny, 1, 0, {0x006}, {}},
    {"MOV", kMOV, "!RC,W", kAny, 1, 0, {0x007}, {}},
    {"MOV", kMOV, "!RD,W", kAny, 1, 0, {0x008}, {}},
    {"MOV", kMOV, "!RE,W", kAny, 1, 0, {0x009}, {}},
    {"MOV", kMOV, "!OPTION,W", kAny, 1, 0, {0x002}, {}},
    {"MOVSZ", kMOVSZ, "W,--fr", kAny, 1, 0, {0x2C0}, {0x1F}},
    {"MOVSZ", kMOVSZ, "W,++fr", kAny, 1, 0, {0x3C0}, {0x1F}},
    {"JMP", kJMP, "fr", kAny, 1, 0, {0xA00}, {0xFFF}},
    {"JMP", kJMP, "#lit", kAny, 1, 0, {0xA00}, {0xFFF}},
    {"JMP", kJMP, "W", kAny, 1, 0, {0x022}, {}},
    {"JMP", kJMP, "PC+W", kAny, 1, 0, {0x1E2}, {}},
    {"TEST", kTEST, "fr", kAny, 1, 0, {0x220}, {0x1F}},
    {"TEST", kTEST, "W", kAny, 1, 0, {0xD00}, {}},
    {"CALL", kCALL, "fr", kAny, 1, 0, {0x900}, {0xFFF}},
    {"GOTO", kGOTO, "fr", kAny, 1, 0, {0xA00}, {0xFFF}},
    {"CLRB", kCLRB, "bit", kAny, 1, 18, {0x400}, {0xFF}},
    {"CLRB", kCLRB, "fr", kAny, 1, 18, {0x400}, {0xFF}},
    {"SETB", kSETB, "bit", kAny, 1, 18, {0x500}, {0xFF}},
    {"SETB", kSETB, "fr", kAny, 1, 18, {0x500}, {0xFF}},
    {"SNB", kSNB, "bit", kAny, 1, 18, {0x600}, {0xFF}},
    {"SNB", kSNB, "fr", kAny, 1, 18, {0x600}, {0xFF}},
    {"SB", kSB, "bit", kAny, 1, 18, {0x700}, {0xFF}},
    {"SB", kSB, "fr", kAny, 1, 18, {0x700}, {0xFF}},
    {"MOV", kMOV, "fr,#lit", kAny, 2, 1, {0xC00, 0x020}, {0x1F, 0xFF}},
    {"ADD", kADD, "fr,#lit", kAny, 2, 1, {0xC00, 0x1E0}, {0x1F, 0xFF}},
    {"SUB", kSUB, "fr,#lit", kAny, 2, 1, {0xC00, 0x0A0}, {0x1F, 0xFF}},
    {"AND", kAND, "fr,#lit", kAny, 2, 1, {0xC00, 0x160}, {0x1F, 0xFF}},
    {"OR", kOR, "fr,#lit", kAny, 2, 1, {0xC00, 0x120}, {0x1F, 0xFF}},
    {"XOR", kXOR, "fr,#lit", kAny, 2, 1, {0xC00, 0x1A0}, {0x1F, 0xFF}},
    {"MOV", kMOV, "fr,fr", kAny, 2, 1, {0x200, 0x020}, {0x1F, 0x1F}},
    {"ADD", kADD, "fr,fr", kAny, 2, 1, {0x200, 0x1E0}, {0x1F, 0x1F}},
    {"SUB", kSUB, "fr,fr", kAny, 2, 1, {0x200, 0x0A0}, {0x1F, 0x1F}},
    {"AND", kAND, "fr,fr", kAny, 2, 1, {0x200, 0x160}, {0x1F, 0x1F}},
    {"OR", kOR, "fr,fr", kAny, 2, 1, {0x200, 0x120}, {0x1F, 0x1F}},
    {"XOR", kXOR, "fr,fr", kAny, 2, 1, {0x200, 0x1A0}, {0x1F, 0x1F}},
    {"ADDB", kADDB, "fr,bit", kAny, 2, 19, {0x600, 0x2A0}, {0x1F, 0xFF}},
    {"ADDB", kADDB, "fr,fr", kAny, 2, 19, {0x600, 0x2A0}, {0x1F, 0xFF}},
    {"ADDB", kADDB, "fr,/bit", kAny, 2, 20, {0x700, 0x2A0}, {0x1F, 0xFF}},
    {"ADDB", kADDB, "fr,/fr", kAny, 2, 20, {0x700, 0x2A0}, {0x1F, 0xFF}},
    {"SUBB", kSUBB, "fr,bit", kAny, 2, 19, {0x600, 0x0E0}, {0x1F, 0xFF}},
    {"SUBB", kSUBB, "fr,fr", kAny, 2, 19, {0x600, 0x0E0}, {0x1F, 0xFF}},
    {"SUBB", kSUBB, "fr,/bit", kAny, 2, 20, {0x700, 0x0E0}, {0x1F, 0xFF}},
    {"SUBB", kSUBB, "fr,/fr", kAny, 2, 20, {0x700, 0x0E0}, {0x1F, 0xFF}},
    {"MOVB", kMOVB, "bit,bit", kAny, 4, 3, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "bit,fr", kAny, 4, 3, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "fr,bit", kAny, 4, 3, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "fr,fr", kAny, 4, 3, {0x700, 0x400, 0x600, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "bit,/bit", kAny, 4, 4, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "bit,/fr", kAny, 4, 4, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "fr,/bit", kAny, 4, 4, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0xFF}},
    {"MOVB", kMOVB, "fr,/fr", kAny, 4, 4, {0x600, 0x400, 0x700, 0x500}, {0xFF, 0xFF}},
    {"IJNZ", kIJNZ, "fr,addr", kAny, 2, 5, {0x3E0, 0xA00}, {0x1F, 0xFFF}},
    {"DJNZ", kDJNZ, "fr,addr", kAny, 2, 5, {0x2E0, 0xA00}, {0x1F, 0xFFF}},
    {"CSE", kCSE, "fr,#lit", kAny, 3, 6, {0xC00, 0x080, 0x743}, {0x1F, 0xFF}},
    {"CSE", kCSE, "fr,fr", kAny, 3, 6, {0x200, 0x080, 0x743}, {0x1F, 0x1F}},
    {"CSNE", kCSNE, "fr,#lit", kAny, 3, 6, {0xC00, 0x080, 0x643}, {0x1F, 0xFF}},
    {"CSNE", kCSNE, "fr,fr", kAny, 3, 6, {0x200, 0x080, 0x643}, {0x1F, 0x1F}},
    {"CSAE", kCSAE, "fr,#lit", kAny, 3, 6, {0xC00, 0x080, 0x703}, {0x1F, 0xFF}},
    {"CSAE", kCSAE, "fr,fr", kAny, 3, 6, {0x200, 0x080, 0x703}, {0x1F, 0x1F}},
    {"CSB", kCSB, "fr,#lit", kAny, 3, 6, {0xC00, 0x080, 0x603}, {0x1F, 0xFF}},
    {"CSB", kCSB, "fr,fr", kAny, 3, 6, {0x200, 0x080, 0x603}, {0x1F, 0x1F}},
    {"CSA", kCSA, "fr,#lit", kAny, 3, 16, {0xC00, 0x1C0, 0x703}, {0x1F, 0xFF}},
    {"CSA", kCSA, "fr,fr", kAny, 3, 26, {0x200, 0x080, 0x603}, {0x1F, 0x1F}},
    {"CSBE", kCSBE, "fr,#lit", kAny, 3, 16, {0xC00, 0x1C0, 0x603}, {0x1F, 0xFF}},
    {"CSBE", kCSBE, "fr,fr", kAny, 3, 26, {0x200, 0x080, 0x703}, {0x1F, 0x1F}},
    {"CJE", kCJE, "fr,#lit,addr", kAny, 4, 7, {0xC00, 0x080, 0x643, 0xA00}, {0x1F, 0xFF, 0xFFF}},
    {"CJE", kCJE, "fr,fr,addr", kAny, 4, 7, {0x200, 0x080, 0x643, 0xA00}, {0x1F, 0x1F, 0xFFF}},
    {"CJNE", kCJNE, "fr,#lit,addr", kAny, 4, 7, {0xC00, 0x080, 0x743, 0xA00}, {0x1F, 0xFF, 0xFFF}},
    {"CJNE", kCJNE, "fr,fr,addr", kAny, 4, 7, {0x200, 0x080, 0x743, 0xA00}, {0x1F, 0x1F, 0xFFF}},
    {"CJAE", kCJAE, "fr,#lit,addr", kAny, 4, 7, {0xC00, 0x080, 0x603, 0xA00}, {0x1F, 0xFF, 0xFFF}},
    {"CJAE", kCJAE, "fr,fr,addr", kAny, 4, 7, {0x200, 0x080, 0x603, 0xA00}, {0x1F, 0x1F, 0xFFF}},
    {"CJB", kCJB, "fr,#lit,addr", kAny, 4, 7, {0xC00, 0x080, 0x703, 0xA00}, {0x1F, 0xFF, 0xFFF}},
    {"CJB", kCJB, "fr,fr,addr", kAny, 4, 7, {0x200, 0x080, 0x703, 0xA00}, {0x1F, 0x1F, 0xFFF}},
    {"CJA", kCJA, "fr,#lit,addr", kAny, 4, 17, {0xC00, 0x1C0, 0x603, 0xA00}, {0x1F, 0xFF, 0xFFF}},
    {"CJA", kCJA, "fr,fr,addr", kAny, 4, 27, {0x200, 0x080, 0x703, 0xA00}, {0x1F, 0x1F, 0xFFF}},
    {"CJBE", kCJBE, "fr,#lit,addr", kAny, 4, 17, {0xC00, 0x1C0, 0x703, 0xA00}, {0x1F, 0xFF, 0xFFF}},
    {"CJBE", kCJBE, "fr,fr,addr", kAny, 4, 27, {0x200, 0x080, 0x603, 0xA00}, {0x1F, 0x1F, 0xFFF}},
    {"JB", kJB, "bit,addr", kAny, 2, 8, {0x600, 0xA00}, {0xFF, 0xFFF}},
    {"JB", kJB, "fr,addr", kAny, 2, 8, {0x600, 0xA00}, {0xFF, 0xFFF}},
    {"JNB", kJNB, "bit,addr", kAny, 2, 8, {0x700, 0xA00}, {0xFF, 0xFFF}},
    {"JNB", kJNB, "fr,addr", kAny, 2, 8, {0x700, 0xA00}, {0xFF, 0xFFF}},
    {"JC", kJC, "addr", kAny, 2, 9, {0x603, 0xA00}, {0xFFF}},
    {"JZ", kJZ, "addr", kAny, 2, 9, {0x643, 0xA00}, {0xFFF}},
    {"JNC", kJNC, "addr", kAny, 2, 9, {0x703, 0xA00}, {0xFFF}},
    {"JNZ", kJNZ, "addr", kAny, 2, 9, {0x743, 0xA00}, {0xFFF}},
    {"MOV", kMOV, "M,fr", kAny, 2, 10, {0x200, 0x043}, {0x1F}},
    {"MOV", kMOV, "fr,M", kAny, 2, 11, {0x042, 0x020}, {0x1F}},
    {"MOV", kMOV, "!RA,#lit", kAny, 2, 12, {0xC00, 0x005}, {0xFF}},
    {"MOV", kMOV, "!RB,#lit", kAny, 2, 12, {0xC00, 0x006}, {0xFF}},
    {"MOV", kMOV, "!RC,#lit", kAny, 2, 12, {0xC00, 0x007}, {0xFF}},
    {"MOV", kMOV, "!RD,#lit", kAny, 2, 12, {0xC00, 0x008}, {0xFF}},
    {"MOV", kMOV, "!RE,#lit", kAny, 2, 12, {0xC00, 0x009}, {0xFF}},
    {"MOV", kMOV, "!RA,fr", kAny, 2, 12, {0x200, 0x005}, {0x1F}},
    {"MOV", kMOV, "!RB,fr", kAny, 2, 12, {0x200, 0x006}, {0x1F}},
    {"MOV", kMOV, "!RC,fr", kAny, 2, 12, {0x200, 0x007}, {0x1F}},
    {"MOV", kMOV, "!RD,fr", kAny, 2, 12, {0x200, 0x008}, {0x1F}},
    {"MOV", kMOV, "!RE,fr", kAny, 2, 12, {0x200, 0x009}, {0x1F}},
    {"MOV", kMOV, "!OPTION,#lit", kAny, 2, 12, {0xC00, 0x002}, {0xFF}},
    {"MOV", kMOV, "!OPTION,fr", kAny, 2, 12, {0x200, 0x002}, {0x1F}},
    {"MOV", kMOV, "!port,fr", kAny, 2, 14, {0x200, 0x000}, {0x1F, 0x1F}},
    {"MOV", kMOV, "!port,#lit", kAny, 2, 15, {0xC00, 0x000}, {0xF, 0xFF}},
};

TEST(InstructionForms, TableHoldsEveryRowAndTheEndRow) {
  EXPECT_EQ(sizeof(kCases) / sizeof(kCases[0]), static_cast<size_t>(kFormCount));
  EXPECT_EQ(kInstructionForms[kFormCount].id, 0);
  for (int i = 0; i < kFormCount; ++i) EXPECT_NE(kInstructionForms[i].id, 0) << "row " << i;
}

TEST(InstructionForms, EveryRowIsMatchedByItsOwnOperandsAndSized) {
  std::set<const InstructionForm*> matched;
  for (const FormCase& c : kCases) {
    SCOPED_TRACE(std::string(c.mnemonic) + " " + c.operands + " on class " +
                 std::to_string(c.device_class));
    OperandRecords operands = Classify(c.operands);
    const InstructionForm* form = FindForm(c.id, c.device_class, operands);
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(matched.insert(form).second) << "row matched by two cases";
    EXPECT_EQ(form->id, c.id);
    EXPECT_EQ(form->size, c.size);
    EXPECT_EQ(form->encoding, c.encoding);
    EXPECT_EQ(SizeOfInstruction(c.id, c.device_class, operands, false), c.size);
    std::vector<uint16_t> words(form->words, form->words + form->size);
    EXPECT_EQ(words, c.words);
    for (int i = form->size; i < 4; ++i) EXPECT_EQ(form->words[i], 0) << "unused word " << i;
    std::vector<uint16_t> masks;
    for (uint16_t m : form->masks) {
      if (m != 0) masks.push_back(m);
    }
    EXPECT_EQ(masks, c.masks);
    EXPECT_EQ(form->kinds[4], OP_NULL);
    EXPECT_EQ(form->masks[4], 0);
  }
  EXPECT_EQ(matched.size(), static_cast<size_t>(kFormCount));
}

// The source statement of a case: fr is the register REG, addr the label LOOP, port the
// register PORTX, bit the bit RA.3, #lit the literal #10.
std::string SourceOf(const FormCase& c) {
  std::string operands;
  std::string p = c.operands;
  for (size_t i = 0; i < p.size();) {
    auto take = [&](const char* word, const char* with) {
      size_t n = std::string(word).size();
      if (p.compare(i, n, word) != 0) return false;
      operands += with;
      i += n;
      return true;
    };
    if (take("#lit", "#10") || take("addr", "LOOP") || take("port", "PORTX") ||
        take("bit", "RA.3") || take("fr", "REG")) {
      continue;
    }
    operands += p[i++];
  }
  return std::string("\t") + c.mnemonic + "\t" + operands + "\t; one form";
}

struct StatementFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};
  void SetUp() override {
    run.options.syntax_mode = kModeAll;
    run.pass = 1;
    DefineSymbolBit(run, "REG", 0x0A, 0, kSymData);
    DefineSymbolBit(run, "LOOP", 0x123, 0, kSymAddr);
    DefineSymbolBit(run, "PORTX", 6, 0, kSymData);
  }
  // Reads the statement up to its mnemonic and sizes it.
  int Size(const std::string& statement, int id) {
    BeginLine(run, statement);
    NextToken(run);
    return SizeInstruction(run, id);
  }
};

TEST_F(StatementFixture, EveryRowIsMatchedBySourceStatement) {
  std::set<const InstructionForm*> matched;
  for (const FormCase& c : kCases) {
    std::string statement = SourceOf(c);
    SCOPED_TRACE(statement + " on class " + std::to_string(c.device_class));
    run.device.device_class = c.device_class;
    int errors = run.messages.counts.errors;
    EXPECT_EQ(Size(statement, c.id), c.size);
    EXPECT_EQ(run.messages.counts.errors, errors) << console.str();
    const InstructionForm* form = FindForm(c.id, c.device_class, run.instruction.operands);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form, FindForm(c.id, c.device_class, Classify(c.operands)));
    matched.insert(form);
  }
  EXPECT_EQ(matched.size(), static_cast<size_t>(kFormCount));
}

TEST(InstructionForms, MovMLiteralExistsOncePerClass) {
  OperandRecords operands = Classify("M,#lit");
  const InstructionForm* small = FindForm(kMOV, 1, operands);
  const InstructionForm* large = FindForm(kMOV, 2, operands);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  EXPECT_NE(small, large);
  EXPECT_EQ(small->device_class, kClass2K);
  EXPECT_EQ(large->device_class, kClass4K);
  EXPECT_EQ(small->masks[1], 0xF);
  EXPECT_EQ(large->masks[1], 0xF);
  EXPECT_EQ(FindForm(kMOV, 3, operands), nullptr);
}

TEST(InstructionForms, KindsThatNoFormTakesDoNotMatch) {
  EXPECT_EQ(FindForm(kSUB, 1, Classify("W,fr")), nullptr);  // only SUB fr,W
  EXPECT_EQ(FindForm(kCALL, 1, Classify("W")), nullptr);
  EXPECT_EQ(FindForm(kMOV, 1, Classify("fr,W,W")), nullptr);
  EXPECT_EQ(FindForm(kJB, 1, Classify("bit")), nullptr);
  EXPECT_EQ(SizeOfInstruction(kCJE, 1, Classify("fr"), false), 1);
  EXPECT_EQ(FindForm(kNOP, 1, OperandRecords{}), nullptr);  // not a form instruction
}

struct PrefixCase {
  int id;
  const char* operands;
  int size;  // with "@" before the address
};

const PrefixCase kPrefixCases[] = {
    {kCALL, "fr", 2},
    {kJMP, "fr", 2},
    {kGOTO, "fr", 2},
    {kIJNZ, "fr,addr", 3},
    {kDJNZ, "fr,addr", 3},
    {kCJE, "fr,#lit,addr", 5},
    {kCJNE, "fr,fr,addr", 5},
    {kCJA, "fr,#lit,addr", 5},
    {kCJAE, "fr,fr,addr", 5},
    {kCJB, "fr,#lit,addr", 5},
    {kCJBE, "fr,fr,addr", 5},
    {kJB, "bit,addr", 3},
    {kJNB, "fr,addr", 3},
    {kJC, "addr", 3},
    {kJZ, "addr", 3},
    {kJNC, "addr", 3},
    {kJNZ, "addr", 3},
    // no address operand to prefix: the size stays
    {kMOV, "fr,#lit", 2},
    {kCSE, "fr,#lit", 3},
    {kSETB, "bit", 1},
    // no form matched: one word, and no PAGE word is counted
    {kJMP, "fr,fr", 1},
};

TEST(InstructionForms, PagePrefixAddsOneWordToJumps) {
  for (const PrefixCase& c : kPrefixCases) {
    SCOPED_TRACE(std::to_string(c.id) + " " + c.operands);
    EXPECT_EQ(SizeOfInstruction(c.id, 1, Classify(c.operands), true), c.size);
  }
}

}  // namespace
}  // namespace tarn
