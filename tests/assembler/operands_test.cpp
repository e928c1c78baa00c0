// ClassifyOperands and SizeInstruction on source statements.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "assembler/devices.h"
#include "assembler/instruction_forms.h"
#include "assembler/instruction_tables.h"
#include "assembler/lexer.h"
#include "assembler/operands.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "assembler/symbols.h"

namespace tarn {
namespace {

struct OperandFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};
  void SetUp() override {
    run.options.syntax_mode = kModeKestrian;
    run.pass = 1;
    DefineSymbolBit(run, "REG", 0x0A, 0, kSymData);
    DefineSymbolBit(run, "LOOP", 0x323, 0, kSymAddr);
  }
  // Classifies the operands of a statement (its first word is the mnemonic).
  void Classify(const std::string& statement, int id) {
    BeginLine(run, statement);
    NextToken(run);
    ClassifyOperands(run, id);
  }
  std::vector<uint16_t> Kinds() const {
    std::vector<uint16_t> kinds;
    for (const OperandRecord& r : run.instruction.operands) {
      if (r.kind != OP_NULL) kinds.push_back(r.kind);
    }
    return kinds;
  }
  int Errors() const { return run.messages.counts.errors; }
  int Warnings() const { return run.messages.counts.warnings; }
};

TEST_F(OperandFixture, ClrbRa0IsARegisterWithBit0AndStillMatches) {
  Classify("\tCLRB RA.0", kCLRB);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_FR}));
  EXPECT_EQ(run.instruction.operands[0].value, 5);
  EXPECT_EQ(run.instruction.operands[0].bit, 0);
  const InstructionForm* form = FindForm(kCLRB, 1, run.instruction.operands);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->words[0], 0x400);
}

TEST_F(OperandFixture, SetbRa2IsABitOperand) {
  Classify("\tsetb\tra.2", kSETB);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_BIT}));
  EXPECT_EQ(run.instruction.operands[0].value, 5);
  EXPECT_EQ(run.instruction.operands[0].bit, 2);
}

TEST_F(OperandFixture, PortNamesAreRegistersUnlessAfterNot) {
  Classify("\tMOV RA,W", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_FR, OP_W}));
  EXPECT_EQ(run.instruction.operands[0].value, 5);
  Classify("\tMOV !RA,W", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_NOT, OP_RA, OP_W}));
  Classify("\tMOV !re,#3", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_NOT, OP_RE, OP_LIT}));
  EXPECT_EQ(run.instruction.operands[2].value, 3);
  EXPECT_EQ(Errors(), 0);
}

TEST_F(OperandFixture, ClrNotWdtAndJmpPcPlusWNeedNoComma) {
  Classify("\tCLR !WDT", kCLR);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_NOT, OP_WDT}));
  Classify("\tJMP PC+W", kJMP);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_PC, OP_PLUS, OP_W}));
  Classify("\tMOV W,<>REG", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_W, OP_LEFT, OP_RIGHT, OP_FR}));
  EXPECT_EQ(Errors(), 0);
}

TEST_F(OperandFixture, MovWRegisterMinusW) {
  Classify("\tMOV W,REG-W ; W = REG - W", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_W, OP_FR, OP_MINUS, OP_W}));
  EXPECT_EQ(run.instruction.operands[1].value, 0x0A);
  EXPECT_EQ(FindSymbol(run, "W"), nullptr) << "W was read as a register";
  Classify("\tMOV W,REG+1 - w", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_W, OP_FR, OP_MINUS, OP_W}));
  EXPECT_EQ(run.instruction.operands[1].value, 0x0B);
  // Only for MOV W,...: elsewhere "-W" is part of the expression (W stands for 0).
  Classify("\tMOV REG-W,W", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_FR, OP_W}));
  Classify("\tMOV W,REG-WX", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_W, OP_FR}));
}

TEST_F(OperandFixture, MissingCommaIsError72) {
  const char* bad[] = {"\tMOV REG W", "\tMOV W --REG", "\tMOV W /REG", "\tADD REG #3"};
  for (const char* statement : bad) {
    int before = Errors();
    Classify(statement, kMOV);
    EXPECT_EQ(Errors(), before + 1) << statement;
  }
  EXPECT_NE(console.str().find("Error 72, Pass 1: Expected a comma between parameters"),
            std::string::npos);
  const char* good[] = {"\tCLR !WDT", "\tJMP PC+W",    "\tMOV !OPTION,W",
                        "\tNOT REG",  "\tMOV W,++REG", "\tSNB RA.3"};
  for (const char* statement : good) {
    int before = Errors();
    Classify(statement, kMOV);
    EXPECT_EQ(Errors(), before) << statement;
  }
}

TEST_F(OperandFixture, LiteralsAndNumbersInPass2) {
  run.pass = 2;
  Classify("\tMOV W,#RA.3", kMOV);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_W, OP_LIT}));
  EXPECT_EQ(Warnings(), 1);  // 53: a literal with a bit part
  Classify("\tMOV W,10", kMOV);
  EXPECT_EQ(Warnings(), 2);  // 75: a number without "#"
  Classify("\tMOV W,(REG)", kMOV);
  EXPECT_EQ(Warnings(), 3);
  Classify("\tMOV 10,W", kMOV);  // in the first operand a number is a register
  EXPECT_EQ(Warnings(), 3);
  EXPECT_NE(console.str().find("Warning 75, Pass 2: Numeric constant without # in front"),
            std::string::npos);
  run.pass = 1;
  Classify("\tMOV W,10", kMOV);
  EXPECT_EQ(Warnings(), 3);
}

TEST_F(OperandFixture, PagePrefixSizing) {
  struct Case {
    const char* statement;
    int id;
    bool prefix;
    int size;
  };
  const Case cases[] = {
      {"\tJMP LOOP", kJMP, false, 1},       {"\tJMP @LOOP", kJMP, true, 2},
      {"\tJMP @ LOOP", kJMP, true, 2},      {"\tCALL @LOOP", kCALL, true, 2},
      {"\tDJNZ REG,@LOOP", kDJNZ, true, 3}, {"\tCJNE REG,#4,@LOOP", kCJNE, true, 5},
      {"\tJNB RA.1,@LOOP", kJNB, true, 3},  {"\tJZ @LOOP", kJZ, true, 3},
      {"\tMOV REG,#@LOOP", kMOV, false, 2},  // "#" takes the name after "@" as its expression
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    BeginLine(run, c.statement);
    NextToken(run);
    EXPECT_EQ(SizeInstruction(run, c.id), c.size);
    EXPECT_EQ(run.instruction.page_prefix, c.prefix);
    EXPECT_EQ(run.instruction.size, c.size);
  }
  EXPECT_EQ(run.instruction.operands[1].value, 0x323);  // the address after "@"
  EXPECT_EQ(Errors(), 0);
}

TEST_F(OperandFixture, UnmatchedStatementIsOneWord) {
  BeginLine(run, "\tCSE W,W");
  NextToken(run);
  EXPECT_EQ(SizeInstruction(run, kCSE), 1);
}

TEST_F(OperandFixture, OnlyFourRecordsAreKept) {
  Classify("\tMOV W,--REG,REG,REG", kMOV);
  EXPECT_EQ(run.instruction.operand_count, 6);
  EXPECT_EQ(Kinds(), (std::vector<uint16_t>{OP_W, OP_MINUS, OP_MINUS, OP_FR}));
}

TEST_F(OperandFixture, ATokenThatStartsNoExpressionIsPassedOver) {
  run.pass = 2;
  Classify("\tMOV W,*", kMOV);  // error 13 from the evaluator, and the line still ends
  EXPECT_EQ(run.instruction.operand_count, 2);
  EXPECT_GE(Errors(), 1);
}

}  // namespace
}  // namespace tarn
