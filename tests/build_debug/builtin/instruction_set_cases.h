#pragma once
// Statements made from the rows of the instruction set (instruction_set/): every instruction
// form and every mnemonic row, each written with its operands at their edges (the lowest and
// the highest value its field takes; two registers of one form get different edges, so that
// swapped operands show). The tests that compare the built-in assembler with tarn, and the
// disassembler with the built-in assembler, read them.
//
// The statements name their registers through the symbols of kCaseSymbols, so that neither
// assembler sees a bare number where a register belongs.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "instruction_set/instruction_forms.h"
#include "instruction_set/mnemonic_rows.h"

namespace build_debug {

// Lines that every source of cases starts with, after its DEVICE line.
inline constexpr char kCaseSymbols[] =
    "F0      EQU     0\n"
    "F31     EQU     31\n"
    "P5      EQU     5\n"
    "P11     EQU     11\n";

struct RowCase {
  std::string statement;       // one source line, without its leading blank
  std::string row;             // the row it comes from, for messages: "MOV W,--fr"
  int size = 1;                // the words it becomes
  bool one_word_form = false;  // a form or mnemonic of one word without a list
  std::uint8_t readers = instruction_set::kBoth;
};

namespace row_cases {

namespace isa = instruction_set;

inline std::string Register(int edge) { return edge == 0 ? "F0" : "F31"; }
inline std::string Port(int edge) { return edge == 0 ? "P5" : "P11"; }
inline std::string Bit(int edge) { return edge == 0 ? "F0.1" : "F31.7"; }

// The operand text of one placeholder at an edge; `id` tells a CALL's shorter field.
inline std::string Operand(const std::string& placeholder, std::uint16_t mask, int edge,
                           std::uint16_t id) {
  if (placeholder == "fr") return Register(edge);
  if (placeholder == "bit") return Bit(edge);
  if (placeholder == "#lit") return std::string(1, '#') + std::to_string(edge == 0 ? 0 : mask);
  int field = id == isa::kCALL ? isa::kCallField : isa::kJumpField;
  if (placeholder == "addr") return std::to_string(edge == 0 ? 0 : field);
  if (placeholder == "#addr") return std::string(1, '#') + std::to_string(edge == 0 ? 0 : field);
  return placeholder;
}

// The statement of a form at an edge: each placeholder of its syntax replaced, operand by
// operand; a register written with "!" is a port.
inline std::string FormStatement(const char* name, const isa::InstructionForm& form, int edge) {
  std::string syntax = isa::OperandSyntax(form);
  std::string text = std::string(name) + " ";
  int record = 0;   // the operand record the next placeholder stands for
  int operand = 0;  // operands seen, to alternate the edges
  std::size_t at = 0;
  static const char* const kPlaceholders[] = {"#addr", "addr", "#lit", "bit", "fr"};
  while (at < syntax.size()) {
    bool found = false;
    for (const char* p : kPlaceholders) {
      std::string placeholder = p;
      if (syntax.compare(at, placeholder.size(), placeholder) != 0) continue;
      // The record of this placeholder: the next one with a mask or a value kind.
      while (record < isa::kFormOperands && form.kinds[record] != isa::OP_FR &&
             form.kinds[record] != isa::OP_BIT && form.kinds[record] != isa::OP_LIT)
        ++record;
      std::uint16_t mask = record < isa::kFormOperands ? form.masks[record] : 0;
      bool port = at > 0 && syntax[at - 1] == '!';
      int this_edge = (edge + operand) % 2;
      text += port ? Port(this_edge) : Operand(placeholder, mask, this_edge, form.id);
      ++record;
      ++operand;
      at += placeholder.size();
      found = true;
      break;
    }
    if (!found) text += syntax[at++];
  }
  return text;
}

// The mnemonic of a form: the first row of the mnemonic tables with its id.
inline const isa::MnemonicRow* MnemonicOf(std::uint16_t id) {
  for (const isa::MnemonicRow& row : isa::kNativeRows)
    if (row.id == id) return &row;
  for (const isa::MnemonicRow& row : isa::kCompoundRows)
    if (row.id == id) return &row;
  for (const isa::MnemonicRow& row : isa::kMchipRows)
    if (row.id == id) return &row;
  return nullptr;
}

inline void AddMnemonicCases(const isa::MnemonicRow& row, std::vector<RowCase>& cases) {
  std::string name = row.name;
  auto add = [&](const std::string& statement, int size, bool one_word) {
    cases.push_back({statement, name, size, one_word, row.readers});
  };
  if (row.id == isa::kDesignator) return;  // D and F have no role in either assembler
  if (row.id == isa::kName) {
    if (name == "W") return add("CLR W", 1, true);
    if (row.format == isa::kFmtBitName) return add("SETB " + name, 1, true);
    // A name as a value: tarn reads PC and the port names as operand words of their own.
    return add("DW " + name, 1, false);
  }
  switch (row.format) {
    case isa::kFmtNone: return add(name, 1, true);
    case isa::kFmtFr:
      for (int edge : {0, 1}) add(name + " " + Register(edge), 1, true);
      return;
    case isa::kFmtLiteral:
      for (int edge : {0, 1}) add(name + " " + std::to_string(edge == 0 ? 0 : 255), 1, true);
      return;
    case isa::kFmtFrDest:
      for (int edge : {0, 1})
        add(name + " " + Register(edge) + "," + std::to_string(edge), 1, true);
      return;
    case isa::kFmtFrBit:
      for (int edge : {0, 1})
        add(name + " " + Register(edge) + "," + std::to_string(edge * 7), 1, true);
      return;
    case isa::kFmtBankPageMode: {
      int high = row.id == isa::kBANK ? 255 : row.id == isa::kPAGE ? 4095 : 15;
      for (int edge : {0, 1}) add(name + " " + std::to_string(edge == 0 ? 0 : high), 1, true);
      return;
    }
    case isa::kFmtDataList: return add(name + " 0,4095", 2, false);
    case isa::kFmtRetwList: return add(name + " 0,255", 2, false);
    // Twice: the second lands on the other parity, which chooses the word.
    case isa::kFmtSkip: add(name, 1, true); return add(name, 1, true);
    default: return;
  }
}

}  // namespace row_cases

// The cases of every row of the instruction set that a device of this class (1: 2,048 words,
// 2: 4,096 words) takes: the forms first, then the mnemonic rows that are not forms.
inline std::vector<RowCase> CasesOn(int device_class) {
  namespace isa = instruction_set;
  std::vector<RowCase> cases;
  for (int i = 0; i < isa::kFormCount; ++i) {
    const isa::InstructionForm& form = isa::kInstructionForms[i];
    if (form.device_class != isa::kAnyClass && form.device_class != device_class) continue;
    const isa::MnemonicRow* mnemonic = row_cases::MnemonicOf(form.id);
    if (!mnemonic) continue;
    std::string row = std::string(mnemonic->name) + " " + isa::OperandSyntax(form);
    for (int edge : {0, 1}) {
      std::string statement = row_cases::FormStatement(mnemonic->name, form, edge);
      if (edge == 1 && statement == cases.back().statement) break;  // a form without operands
      cases.push_back({statement, row, form.size, form.size == 1, form.readers});
    }
  }
  for (const auto& table : {std::span<const isa::MnemonicRow>(isa::kNativeRows),
                            std::span<const isa::MnemonicRow>(isa::kCompoundRows),
                            std::span<const isa::MnemonicRow>(isa::kMchipRows),
                            std::span<const isa::MnemonicRow>(isa::kDebuggerRows)}) {
    for (const isa::MnemonicRow& row : table) {
      if (row.format == isa::kFmtForms) continue;
      row_cases::AddMnemonicCases(row, cases);
    }
  }
  return cases;
}

}  // namespace build_debug
