#include "assembler/operands.h"

#include <string>

#include "assembler/expression.h"
#include "assembler/instruction_tables.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

bool IsOperatorKind(uint16_t kind) { return kind >= OP_NOT && kind <= OP_RSHIFT; }

uint16_t OperatorKindOf(Token t) {
  switch (t) {
    case Token::kPlus: return OP_PLUS;
    case Token::kMinus: return OP_MINUS;
    case Token::kSlash: return OP_DIV;
    case Token::kNot: return OP_NOT;
    case Token::kLess: return OP_LEFT;
    case Token::kGreater: return OP_RIGHT;
    case Token::kShiftLeft: return OP_LSHIFT;
    case Token::kShiftRight: return OP_RSHIFT;
    default: return OP_NULL;
  }
}

struct SpecialWord {
  const char* word;
  uint16_t kind;
  bool after_not_only;  // a port: elsewhere the word is the register's value
};

constexpr SpecialWord kSpecialWords[] = {
    {"W", OP_W, false},     {"M", OP_M, false},  {"PC", OP_PC, false}, {"OPTION", OP_OPTION, false},
    {"WDT", OP_WDT, false}, {"RA", OP_RA, true}, {"RB", OP_RB, true},  {"RC", OP_RC, true},
    {"RD", OP_RD, true},    {"RE", OP_RE, true},
};

// The offset of the "-" of a trailing "-W" in the statement's rest from `from`, or npos: the
// MOV W,fr-W form, whose W must not be read as part of the register expression.
size_t TrailingMinusW(std::string_view line, size_t from) {
  size_t end = from;
  char quote = 0;
  while (end < line.size()) {
    char c = line[end];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';' || c == ',' || c == '\n' || c == '\r' || c == '\f' || c == '\0') {
      if (c == ',') return std::string::npos;  // fr-W is the last operand
      break;
    }
    ++end;
  }
  auto blank = [&](size_t i) { return line[i] == ' ' || line[i] == '\t'; };
  while (end > from && blank(end - 1)) --end;
  if (end <= from || UpperChar(line[end - 1]) != 'W') return std::string::npos;
  size_t w = end - 1;
  size_t minus = w;
  while (minus > from && blank(minus - 1)) --minus;
  if (minus <= from + 1 || line[minus - 1] != '-') return std::string::npos;
  --minus;
  if (line[minus - 1] == '-') return std::string::npos;  // "--W" is no register minus W
  return minus;
}

class Classifier {
 public:
  Classifier(TarnRun& run, int id) : run_(run), id_(id) {}

  bool Run() {
    InstructionState& in = run_.instruction;
    in = InstructionState{};
    LexerState& lx = run_.lexer;
    NextToken(run_);
    while (lx.kind != Token::kEndOfLine) {
      Token t = lx.kind;
      if (t == Token::kComma) {
        comma_seen_ = true;
        ++operand_index_;
        previous_ = OP_NULL;
        infix_ = false;
        NextToken(run_);
        continue;
      }
      if (uint16_t op = OperatorKindOf(t); op != OP_NULL) {
        Add(op, 0, 0);
        NextToken(run_);
        continue;
      }
      if (t == Token::kHash) {
        NextToken(run_);
        ExprValue v = Evaluate(std::string::npos);
        if (v.bit != 0) ReportInPass2(run_, kWarning, kMsgNonBitfieldOperator);
        Add(OP_LIT, v.value, v.bit);
        continue;
      }
      if (t == Token::kName && lx.text == "@") {
        in.page_prefix = true;
        NextToken(run_);
        continue;
      }
      if (t == Token::kAtName) in.page_prefix = true;  // the name after "@" is the expression
      if (t == Token::kName) {
        if (const SpecialWord* special = Special(lx.text)) {
          Add(special->kind, 0, 0);
          NextToken(run_);
          continue;
        }
      }
      if ((t == Token::kNumber || t == Token::kLeftParen) && operand_index_ >= 1 &&
          run_.pass == 2) {
        SetMessageArgument(run_, lx.text);
        ReportMessage(run_, kWarning, kMsgConstantWithoutHash);
      }
      size_t cut = std::string::npos;
      if (id_ == kMOV && in.operand_count == 1 && in.operands[0].kind == OP_W &&
          operand_index_ == 1) {
        cut = TrailingMinusW(lx.line, lx.start);
      }
      ExprValue v = Evaluate(cut);
      Add(v.bit != 0 ? OP_BIT : OP_FR, v.value, v.bit);
    }
    if (operands_ >= 2 && !comma_seen_) ReportMessage(run_, kError, kMsgExpectedComma);
    return in.page_prefix;
  }

 private:
  const SpecialWord* Special(std::string_view word) const {
    for (const SpecialWord& s : kSpecialWords) {
      if (!EqualsNoCase(s.word, word)) continue;
      if (s.after_not_only && previous_ != OP_NOT) return nullptr;
      return &s;
    }
    return nullptr;
  }

  // Evaluates the expression at the current token; with a cut, only the text before it.
  ExprValue Evaluate(size_t cut) {
    LexerState& lx = run_.lexer;
    std::string_view full = cut != std::string::npos ? CutLineAt(lx, cut) : lx.line;
    size_t position = lx.position;
    bool ended = lx.line_ended;
    EvalExpression(run_);
    ExprValue v = PopValue(run_);
    if (cut != std::string::npos) {
      RestoreLine(lx, full, cut);
      NextToken(run_);
    } else if (lx.position == position && lx.line_ended == ended) {
      // A token that starts no expression (reported by the evaluator) is passed over.
      NextToken(run_);
    }
    return v;
  }

  // Operator records do not count as operands for error 72, and a single "+" or "-" between
  // two records joins them into one operand (PC+W).
  void Add(uint16_t kind, int32_t value, int32_t bit) {
    InstructionState& in = run_.instruction;
    if (in.operand_count < kMatchedOperands)
      in.operands[static_cast<size_t>(in.operand_count)] = {kind, value, bit};
    ++in.operand_count;
    if (IsOperatorKind(kind)) {
      infix_ = (kind == OP_PLUS || kind == OP_MINUS) && previous_ != OP_NULL &&
               !IsOperatorKind(previous_);
    } else {
      if (!infix_) ++operands_;
      infix_ = false;
    }
    previous_ = kind;
  }

  TarnRun& run_;
  int id_;
  bool comma_seen_ = false;
  int operand_index_ = 0;        // comma-separated operands passed
  int operands_ = 0;             // for error 72
  uint16_t previous_ = OP_NULL;  // the previous record of this comma-separated operand
  bool infix_ = false;           // the previous record is a "+" or "-" after a record
};

}  // namespace

bool ClassifyOperands(TarnRun& run, int id) { return Classifier(run, id).Run(); }

int SizeInstruction(TarnRun& run, int id) {
  InstructionState& in = run.instruction;
  in.page_prefix = ClassifyOperands(run, id);
  in.size = SizeOfInstruction(id, run.device.device_class, in.operands, in.page_prefix);
  return in.size;
}

}  // namespace tarn
