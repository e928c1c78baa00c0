// The word lists of DW, DATA and RETW: one word per expression and per string character.

#include "assembler/encoding.h"
#include "assembler/expression.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "instruction_set/words.h"

namespace tarn {
namespace {

bool EndsItem(Token t) { return t == Token::kComma || t == Token::kEndOfLine; }

// A string that stands alone as an item gives its characters; one that begins an expression
// ('A'+1) is left to the evaluator. The lexer is rewound when the string is not alone.
bool TakeStringItem(TarnRun& run, std::string* characters) {
  if (run.lexer.kind != Token::kString) return false;
  LexerPosition at_string = run.lexer;
  NextToken(run);
  if (EndsItem(run.lexer.kind)) {
    *characters = at_string.text;
    return true;
  }
  ReturnTo(run.lexer, at_string);
  return false;
}

class ListEncoder {
 public:
  ListEncoder(TarnRun& run, bool retw) : run_(run), retw_(retw) {}

  DataList Run() {
    LexerState& lx = run_.lexer;
    NextToken(run_);
    for (;;) {
      if (EndsItem(lx.kind)) {
        list_.well_formed = false;  // an empty list, or an empty item
        return std::move(list_);
      }
      std::string characters;
      if (TakeStringItem(run_, &characters)) {
        for (char c : characters) {
          if (!Add(static_cast<unsigned char>(c))) return std::move(list_);
        }
      } else {
        EvalExpression(run_);
        ExprValue v = PopValue(run_);
        if (run_.pass == 2) {
          if (v.bit != 0) ReportMessage(run_, kWarning, kMsgNonBitfieldOperator);
          if (CheckRange(v.value, 4095))
            ReportMessage(run_, kWarning, kMsgLiteralTruncatedTo12Bits);
        }
        if (!Add(retw_ ? v.value & 255 : v.value & 0xFFF)) return std::move(list_);
      }
      if (lx.kind == Token::kEndOfLine) return std::move(list_);
      if (lx.kind != Token::kComma) {
        list_.well_formed = false;
        return std::move(list_);
      }
      NextToken(run_);
    }
  }

 private:
  // False once the list is full: the word that did not fit is error 6 and ends the list.
  bool Add(int32_t field) {
    if (list_.words.size() >= static_cast<size_t>(kDataListLimit)) {
      ReportMessage(run_, kError, kMsgTooManyOperands);
      return false;
    }
    list_.words.push_back(retw_ ? ::instruction_set::RetwWord(field)
                                : static_cast<uint16_t>(field));
    return true;
  }

  TarnRun& run_;
  bool retw_;
  DataList list_;
};

}  // namespace

DataList EncodeDataList(TarnRun& run, bool retw) { return ListEncoder(run, retw).Run(); }

}  // namespace tarn
