#pragma once
// The lexer: splits the current source line into tokens, one call at a time, and classifies
// words as numbers (with their radix), names and at-names. Every other part of the assembler
// reads the source only through it.
//
// Invariants: `position` never passes the end of `line` plus one; once `line_ended` is set,
// NextChar returns the end mark until the next BeginLine; `text` holds at most 120 characters.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

struct TarnRun;

enum CharClass : unsigned char {
  kClassOther = 1,     // the comma, blanks, control characters, everything from 128 up
  kClassWord = 2,      // letters and $ % : @ \ _ `
  kClassDigit = 3,     // 0 to 9
  kClassOperator = 4,  // ! # & ( ) * + - . / < = > ? [ ] ^ | ~
  kClassQuote = 5,     // ' " and 0x1F, the mark that wraps a macro argument
};

namespace detail {
constexpr std::array<CharClass, 256> MakeClassTable() {
  std::array<CharClass, 256> table{};
  for (auto& c : table) c = kClassOther;
  for (int c = 'A'; c <= 'Z'; ++c) table[c] = kClassWord;
  for (int c = 'a'; c <= 'z'; ++c) table[c] = kClassWord;
  for (unsigned char c : std::string_view("$%:@\\_`")) table[c] = kClassWord;
  for (int c = '0'; c <= '9'; ++c) table[c] = kClassDigit;
  for (unsigned char c : std::string_view("!#&()*+-./<=>?[]^|~")) table[c] = kClassOperator;
  table['\''] = kClassQuote;
  table['"'] = kClassQuote;
  table[0x1F] = kClassQuote;
  return table;
}
inline constexpr std::array<CharClass, 256> kClassTable = MakeClassTable();
}  // namespace detail

// Every character of every line is classified: a table, inline.
inline CharClass ClassOf(unsigned char c) { return detail::kClassTable[c]; }

enum class Token : int {
  kIllegal,  // a class-1 character other than the comma
  kComma,
  kEndOfLine,  // the end of the line, or the start of a comment
  kName,
  kAtName,  // "@" and at least one more character; the text is without the "@"
  kNumber,
  kString,
  kLeftParen,
  kRightParen,
  kLeftBracket,
  kRightBracket,
  kPlus,
  kMinus,
  kStar,
  kSlash,
  kCaret,
  kTilde,
  kHash,
  kDot,
  kQuestion,
  kModulo,    // //
  kAssign,    // =
  kEqual,     // ==
  kNotEqual,  // !=
  kLess,
  kGreater,
  kLessEqual,
  kGreaterEqual,
  kNot,         // !
  kAnd,         // &
  kLogicalAnd,  // &&
  kOr,          // |
  kLogicalOr,   // || (also the unary absolute value)
  kShiftLeft,
  kShiftRight,
  kReverse,         // ><
  kDoubleQuestion,  // ??
};

inline constexpr int kTokenLimit = 120;   // a word this long ends the run
inline constexpr int kStringLimit = 119;  // a string is cut here
inline constexpr int kNameLimit = 32;     // names are kept and compared on this many characters
inline constexpr char kParameterMark = 0x1F;

// Where the lexer stands: the line, the reading position and the current token. Only views
// and numbers, so a copy taken to read ahead can be put back (ReturnTo) without touching the
// characters the views show.
struct LexerPosition {
  // The current source line as the line reader delivered it, and the reading position. The
  // line reader keeps the characters in place until it delivers the next line.
  std::string_view line;
  size_t position = 0;
  bool line_ended = false;
  bool in_string = false;  // ";" is an ordinary character while a string is read

  // The token texts are views: of the line, or, for a string, of one of the lexer's string
  // buffers. They stay valid while the line is read.
  Token kind = Token::kEndOfLine;
  std::string_view text;      // a number's digits only; a string's characters between the quotes
  std::string_view raw_word;  // a word exactly as read, before classification
  int radix = 10;             // of a number
  size_t start = 0;           // where the token began in the line
  bool hex_assumed = false;   // a B or D suffix was read as a hexadecimal digit (radix 16)

  // The two token texts of the line before `text`, and the kind of the one before.
  std::string_view previous_text;
  std::string_view previous_text2;
  Token previous_kind = Token::kEndOfLine;
};

struct LexerState : LexerPosition {
  LexerState() = default;
  // The views point into the buffers below: a copy would show another lexer's characters.
  LexerState(const LexerState&) = delete;
  LexerState& operator=(const LexerState&) = delete;

  std::string own_line;  // the characters of a line begun by copy
  // A string's characters, tabs read as blanks, in three buffers used in turn: the current
  // token and the two previous ones may all be strings, and a position read ahead from and
  // put back keeps its string while the token after it is read.
  std::string strings[3];
  int next_string = 0;
};

// Puts the lexer back where a copy of its position was taken, in the same line.
inline void ReturnTo(LexerState& lx, const LexerPosition& at) {
  static_cast<LexerPosition&>(lx) = at;
}

// The cursor moves the callers outside the lexer need; the fields are written nowhere else.
// Reads on from `position` of the current line, even where the line had ended before it.
inline void ResumeAt(LexerState& lx, size_t position) {
  lx.position = position;
  lx.line_ended = false;
}
// Ends the statement where it stands: the rest of the line is taken and the current token is
// the end of the line.
inline void EndStatement(LexerState& lx) {
  lx.position = lx.line.size();
  lx.line_ended = true;
  lx.kind = Token::kEndOfLine;
  lx.text = {};
}
// Shows the lexer only the characters of the line before `cut` (none beyond its end), and
// returns the whole line for RestoreLine.
inline std::string_view CutLineAt(LexerState& lx, size_t cut) {
  std::string_view full = lx.line;
  lx.line = full.substr(0, cut);
  return full;
}
// The whole line again, read on from `position`.
inline void RestoreLine(LexerState& lx, std::string_view full, size_t position) {
  lx.line = full;
  ResumeAt(lx, position);
}

// Makes a copy of `text` the current line and reads it from its first character.
void BeginLine(TarnRun& run, std::string_view text);
// The same without the copy, for the line reader: the characters must stay in place until the
// next line begins.
void BeginLineInPlace(TarnRun& run, std::string_view text);

// The next character of the line: 0 at the end of the line (NUL, LF, FF, CR, or ";" outside
// a string), a blank for a tab.
inline int NextChar(LexerState& lx) {
  if (lx.line_ended) return 0;
  unsigned char c =
      lx.position < lx.line.size() ? static_cast<unsigned char>(lx.line[lx.position]) : 0;
  ++lx.position;
  if (c == 0 || c == '\n' || c == '\f' || c == '\r' || (c == ';' && !lx.in_string)) {
    lx.line_ended = true;
    return 0;
  }
  return c == '\t' ? ' ' : c;
}

// Reads the next token, sets the token state and returns its kind.
//   word:     [class 2 or 3] [class 2, 3 or 5]*   (classified below)
//   string:   q [any but q]* q                   (q one of the class-5 characters)
//   operator: one class-4 character, or one of != && // << <= >> >= >< == ?? ||
Token NextToken(TarnRun& run);

// Whether the next token would be the name `word` (any case). Reads and reports nothing, so
// looking ahead neither warns of an illegal character nor ends the run on a long word.
bool NextWordIs(const TarnRun& run, std::string_view word);

// The value of the current number token; reports message 23 and gives -1 after an invalid digit.
int32_t ConvertNumber(TarnRun& run);
// The same conversion without the report: false after an invalid digit.
//   digits: [0-9A-Fa-f_]*, each below the radix; "_" is skipped anywhere
bool ConvertDigits(std::string_view digits, int radix, int32_t* value);

// 0 when value lies in -((max + 1) / 2) up to max, else 1.
int CheckRange(int32_t value, int32_t max);

}  // namespace tarn
