#include "assembler/lexer.h"

#include <array>

#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

struct OperatorRow {
  char first;
  char second;  // 0 for a single character
  Token kind;
};

// Pairs first: a pair is tried before its first character alone.
constexpr OperatorRow kOperators[] = {
    {'!', '=', Token::kNotEqual},
    {'&', '&', Token::kLogicalAnd},
    {'/', '/', Token::kModulo},
    {'<', '<', Token::kShiftLeft},
    {'<', '=', Token::kLessEqual},
    {'>', '>', Token::kShiftRight},
    {'>', '=', Token::kGreaterEqual},
    {'>', '<', Token::kReverse},
    {'=', '=', Token::kEqual},
    {'?', '?', Token::kDoubleQuestion},
    {'|', '|', Token::kLogicalOr},
    {'(', 0, Token::kLeftParen},
    {')', 0, Token::kRightParen},
    {'[', 0, Token::kLeftBracket},
    {']', 0, Token::kRightBracket},
    {'+', 0, Token::kPlus},
    {'-', 0, Token::kMinus},
    {'*', 0, Token::kStar},
    {'/', 0, Token::kSlash},
    {'^', 0, Token::kCaret},
    {'~', 0, Token::kTilde},
    {'#', 0, Token::kHash},
    {'.', 0, Token::kDot},
    {'?', 0, Token::kQuestion},
    {'=', 0, Token::kAssign},
    {'<', 0, Token::kLess},
    {'>', 0, Token::kGreater},
    {'!', 0, Token::kNot},
    {'&', 0, Token::kAnd},
    {'|', 0, Token::kOr},
};

bool IsPairStart(int c, int next) {
  for (const OperatorRow& row : kOperators) {
    if (row.first == c && row.second != 0 && row.second == next) return true;
  }
  return false;
}

Token OperatorKind(int c, int next) {
  for (const OperatorRow& row : kOperators) {
    if (row.first == c && row.second == next) return row.kind;
  }
  return Token::kIllegal;
}

// The character just read is read again by the next call, unless it was a blank or the end.
void Unread(LexerState& lx, int c) {
  if (c != 0 && c != ' ' && lx.position > 0) --lx.position;
}

int RadixOfPrefix(char upper) {
  switch (upper) {
    case 'B': return 2;
    case 'D': return 10;
    case 'H':
    case 'X': return 16;
    case 'O':
    case 'Q': return 8;
    default: return 0;
  }
}

// Sets kind, radix and text of the word in lx.raw_word. Words are classified on their
// upper-case first, second and last characters.
//   "$" | "%" (inside REPT)          name
//   "@" word-char+                    at-name
//   "$" hex-digits | "%" bin-digits   number
//   (B|D|H|X|O|Q) quote digits quote  number in that radix
//   letter ...                        name
//   "0X" digits | digits (B|D|H|X|O)? number
void ClassifyWord(TarnRun& run) {
  LexerState& lx = run.lexer;
  const std::string_view w = lx.raw_word;
  // Names are kept on their first 32 characters; a number is read whole, so a long binary
  // constant keeps its suffix and every digit.
  auto as_name = [&](Token kind, size_t skip) {
    lx.kind = kind;
    lx.text = w.substr(0, kNameLimit).substr(skip);
  };
  auto as_number = [&](int radix, std::string_view digits) {
    lx.kind = Token::kNumber;
    lx.radix = radix;
    lx.text = digits;
  };
  lx.hex_assumed = false;
  char first = UpperChar(w[0]);
  if (ClassOf(static_cast<unsigned char>(w[0])) != kClassDigit) {
    if (w == "$") return as_name(Token::kName, 0);
    if (w == "%") {
      if (ReptActive(run)) return as_name(Token::kName, 0);
      return as_number(2, "");
    }
    if (first == '@' && w.size() >= 2) return as_name(Token::kAtName, 1);
    if (first == '$') return as_number(16, w.substr(1));
    if (first == '%') return as_number(2, w.substr(1));
    int prefix_radix = RadixOfPrefix(first);
    if (prefix_radix != 0 && w.size() >= 2 &&
        ClassOf(static_cast<unsigned char>(w[1])) == kClassQuote) {
      size_t end = 2;
      while (end < w.size() && ClassOf(static_cast<unsigned char>(w[end])) != kClassQuote) ++end;
      return as_number(prefix_radix, w.substr(2, end - 2));
    }
    return as_name(Token::kName, 0);
  }
  std::string_view all = w;
  if (w.size() > 2 && first == '0' && UpperChar(w[1]) == 'X') return as_number(16, all.substr(2));
  int default_radix = run.options.radix;
  std::string_view but_last = all.substr(0, all.size() - 1);
  switch (UpperChar(w.back())) {
    case 'B':
      if (default_radix == 16 && w.size() < 3) break;
      return as_number(2, but_last);
    case 'D':
      if (default_radix == 16 && w.size() <= 2) break;
      return as_number(10, but_last);
    case 'H':
    case 'X': return as_number(16, but_last);
    case 'O': return as_number(8, but_last);
    default: return as_number(default_radix, all);
  }
  // A short word ending in B or D under radix 16: its last letter is a hexadecimal digit.
  lx.hex_assumed = true;
  ReportInPass2(run, kWarning, kMsgAssumedHexadecimal);
  as_number(16, all);
}

[[noreturn]] void AbortOnLongToken(TarnRun& run) {
  ReportMessage(run, kError, kMsgTokenTooLong);
  Print(run, "\nProgram Aborted.\n");
  throw TarnExit{1};
}

bool InWord(unsigned char c) {
  CharClass cls = ClassOf(c);
  return cls == kClassWord || cls == kClassDigit || cls == kClassQuote;
}

// word: [class 2 or 3] [class 2, 3 or 5]*
// The first character has been read. No character of a word ends the line, so the word is
// found in the line itself; the character after it is read and put back as NextChar would.
void ReadWord(TarnRun& run) {
  LexerState& lx = run.lexer;
  const char* text = lx.line.data();
  size_t size = lx.line.size();
  size_t end = lx.position;
  while (end < size && InWord(static_cast<unsigned char>(text[end]))) ++end;
  if (end - lx.start >= static_cast<size_t>(kTokenLimit)) AbortOnLongToken(run);
  lx.raw_word = lx.line.substr(lx.start, end - lx.start);
  lx.position = end;
  Unread(lx, NextChar(lx));
  ClassifyWord(run);
}

// string: q [any but q]* q, at most 119 characters; an unclosed string ends with the line.
void ReadString(TarnRun& run, int quote) {
  LexerState& lx = run.lexer;
  lx.kind = Token::kString;
  std::string& text = lx.strings[lx.next_string];
  lx.next_string = (lx.next_string + 1) % 3;
  text.clear();
  lx.in_string = true;
  bool cut = false;
  for (;;) {
    int c = NextChar(run.lexer);
    if (c == quote) break;
    if (c == 0) {
      ReportMessage(run, kError, kMsgBadString);
      break;
    }
    if (cut) continue;  // the rest of an over-long string up to its quote is dropped
    text.push_back(static_cast<char>(c));
    if (static_cast<int>(text.size()) >= kStringLimit) {
      ReportMessage(run, kError, kMsgBadString);
      cut = true;
    }
  }
  lx.in_string = false;
  lx.text = text;
}

void ReadOperator(TarnRun& run, int c) {
  LexerState& lx = run.lexer;
  // Operators and other single characters are read as they stand in the line.
  lx.text = lx.line.substr(lx.start, 1);
  if (ClassOf(static_cast<unsigned char>(c)) != kClassOperator) {
    if (c == ',') {
      lx.kind = Token::kComma;
      return;
    }
    lx.kind = Token::kIllegal;
    ReportInPass2(run, kWarning, kMsgIllegalCharacter);
    // An expression that holds an illegal character fails, in both passes.
    run.messages.error_calls = 1;
    run.messages.last_error_code = kMsgIllegalCharacter;
    return;
  }
  int next = NextChar(run.lexer);
  if (IsPairStart(c, next)) {
    lx.text = lx.line.substr(lx.start, 2);
    lx.kind = OperatorKind(c, next);
    return;
  }
  Unread(lx, next);
  lx.kind = OperatorKind(c, 0);
}

}  // namespace

void BeginLine(TarnRun& run, std::string_view text) {
  run.lexer.own_line.assign(text);
  BeginLineInPlace(run, run.lexer.own_line);
}

void BeginLineInPlace(TarnRun& run, std::string_view text) {
  LexerState& lx = run.lexer;
  // The token texts are views of the line: a line starts without previous tokens.
  lx.previous_text = {};
  lx.previous_text2 = {};
  lx.previous_kind = Token::kEndOfLine;
  lx.line = text;
  lx.position = 0;
  lx.line_ended = false;
  lx.in_string = false;
  lx.kind = Token::kEndOfLine;
  lx.text = {};
  lx.raw_word = {};
  lx.start = 0;
}

Token NextToken(TarnRun& run) {
  LexerState& lx = run.lexer;
  lx.previous_text2 = lx.previous_text;
  lx.previous_text = lx.text;
  lx.previous_kind = lx.kind;
  // Blanks and tabs end nothing: they are passed over in the line itself.
  if (!lx.line_ended) {
    const char* text = lx.line.data();
    size_t at = lx.position;
    while (at < lx.line.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    lx.position = at;
  }
  int c = NextChar(run.lexer);
  lx.start = lx.position > 0 ? lx.position - 1 : 0;
  if (c == 0) {
    lx.kind = Token::kEndOfLine;
    lx.text = {};
    return lx.kind;
  }
  switch (ClassOf(static_cast<unsigned char>(c))) {
    case kClassWord:
    case kClassDigit: ReadWord(run); break;
    case kClassQuote: ReadString(run, c); break;
    default: ReadOperator(run, c); break;
  }
  return lx.kind;
}

bool NextWordIs(const TarnRun& run, std::string_view word) {
  const LexerState& lx = run.lexer;
  if (lx.line_ended) return false;
  auto at = [&](size_t k) {
    return k < lx.line.size() ? static_cast<unsigned char>(lx.line[k]) : 0;
  };
  size_t i = lx.position;
  while (at(i) == ' ' || at(i) == '\t') ++i;
  size_t start = i;
  for (;; ++i) {
    CharClass cls = ClassOf(at(i));
    if (cls != kClassWord && cls != kClassDigit && cls != kClassQuote) break;
  }
  return EqualsNoCase(std::string_view(lx.line).substr(start, i - start), word);
}

namespace {

// The value of each hexadecimal digit (either case); 99 for every other character. tarn links
// nothing of the IDE, so it keeps this table of its own beside the IDE's platform::HexDigitValue.
constexpr std::array<unsigned char, 256> MakeDigitValues() {
  std::array<unsigned char, 256> values{};
  for (auto& v : values) v = 99;
  for (int c = 0; c < 10; ++c) values['0' + c] = static_cast<unsigned char>(c);
  for (int c = 0; c < 6; ++c) {
    values['A' + c] = static_cast<unsigned char>(10 + c);
    values['a' + c] = static_cast<unsigned char>(10 + c);
  }
  return values;
}
constexpr std::array<unsigned char, 256> kDigitValues = MakeDigitValues();

}  // namespace

bool ConvertDigits(std::string_view digits, int radix, int32_t* value) {
  uint32_t v = 0;
  for (char ch : digits) {
    if (ch == '_') continue;
    int index = kDigitValues[static_cast<unsigned char>(ch)];
    if (index >= radix) {
      *value = -1;
      return false;
    }
    v = v * static_cast<uint32_t>(radix) + static_cast<uint32_t>(index);
  }
  *value = static_cast<int32_t>(v);
  return true;
}

int32_t ConvertNumber(TarnRun& run) {
  int32_t value;
  if (!ConvertDigits(run.lexer.text, run.lexer.radix, &value))
    ReportMessage(run, kError, kMsgInvalidDigit);
  return value;
}

int CheckRange(int32_t value, int32_t max) {
  int64_t low = -((static_cast<int64_t>(max) + 1) / 2);
  return value >= low && value <= max ? 0 : 1;
}

}  // namespace tarn
