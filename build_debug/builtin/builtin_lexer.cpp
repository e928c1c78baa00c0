// The built-in assembler's lexer: one token at a time from the source text, names looked up in
// the symbol table, the last four token starts kept so that tokens can be pushed back.

#include <cstring>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"
#include "platform/text.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;

bool IsDecimal(char c) { return c >= '0' && c <= '9'; }
bool IsBinary(char c) { return c == '0' || c == '1'; }
bool IsHex(char c) { return platform::HexDigitValue(c) >= 0; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNameStart(char c) { return IsLetter(c) || c == '_' || c == ':'; }
bool IsNameCharacter(char c) { return IsNameStart(c) || IsDecimal(c); }
bool EndsLine(char c) { return c == '\0' || c == '\r'; }
// Blanks and control characters separate tokens; CR and NUL end the line.
bool IsSkipped(char c) {
  auto u = static_cast<unsigned char>(c);
  return !EndsLine(c) && (u <= ' ' || u == 0x7F);
}

bool IsOperatorKind(std::uint8_t kind) {
  return (kind >= kKindUnary && kind <= kKindClose) || kind == kKindHash || kind == kKindAt ||
         kind == kKindBang || kind == kKindIncDec;
}

}  // namespace

const BuiltinAssembler::Token& BuiltinAssembler::NextToken() {
  history_[history_top_] = lexer_;
  history_top_ = (history_top_ + 1) % static_cast<int>(history_.size());
  if (history_count_ < static_cast<int>(history_.size())) ++history_count_;
  ScanToken();
  span_start_ = token_.start;
  span_end_ = token_.end;
  return token_;
}

void BuiltinAssembler::PushBack() {
  if (history_count_ == 0) return;
  --history_count_;
  history_top_ =
      (history_top_ + static_cast<int>(history_.size()) - 1) % static_cast<int>(history_.size());
  lexer_ = history_[history_top_];
}

void BuiltinAssembler::ScanToken() {
  token_.kind = kKindUndefined;
  token_.value = 0;
  token_.name = false;
  token_.end_of_text = false;
  token_.symbol = kNoSymbol;
  token_.key_length = 0;
  if (lexer_.in_string) {
    ScanStringCharacter();
    if (lexer_.in_string) return;
  }
  std::int32_t& pos = lexer_.pos;
  while (IsSkipped(source_[pos])) ++pos;
  token_.start = pos;
  char c = source_[pos];
  if (c == '\0') {
    token_.kind = kKindEndOfLine;
    token_.end_of_text = true;
    token_.end = pos;
    return;
  }
  if (c == '\r' || c == ';') {
    while (!EndsLine(source_[pos])) ++pos;
    token_.kind = kKindEndOfLine;
    token_.end = pos;
    if (source_[pos] == '\r') ++pos;
    return;
  }
  if (c == ',') {
    token_.kind = kKindComma;
    token_.end = ++pos;
    return;
  }
  if (c == '\'') {
    // 'text': its characters, as constants separated by commas.
    char first = source_[pos + 1];
    if (first == '\'') {
      span_start_ = pos;
      span_end_ = pos + 2;
      Fail(msg::kEmptyString);
    }
    if (EndsLine(first)) {
      span_start_ = pos;
      span_end_ = pos + 1;
      Fail(msg::kTerminatingQuote);
    }
    token_.kind = kKindConstant;
    token_.value = static_cast<unsigned char>(first);
    token_.start = pos + 1;
    token_.end = pos + 2;
    pos += 2;
    lexer_.in_string = true;
    lexer_.comma_due = true;
    return;
  }
  if (IsDecimal(c)) return ScanNumber(0);
  if (c == '$') {
    if (IsHex(source_[pos + 1])) {
      ++pos;
      return ScanNumber(16);
    }
    // $ alone: the location at the start of the line.
    token_.kind = kKindConstant;
    token_.value = line_location_;
    token_.end = ++pos;
    return;
  }
  if (c == '%') {
    if (IsBinary(source_[pos + 1])) {
      ++pos;
      return ScanNumber(2);
    }
    // % alone: the iteration of the innermost REPT, from 1; 0 outside.
    token_.kind = kKindConstant;
    token_.value = rept_depth_ > 0 ? rept_[rept_depth_ - 1].iteration : 0;
    token_.end = ++pos;
    return;
  }
  if (IsNameStart(c)) return ScanName();
  ScanOperator();
}

// Inside 'text', behind a character: the closing quote ends the string, else a comma is due
// and then the next character.
void BuiltinAssembler::ScanStringCharacter() {
  std::int32_t& pos = lexer_.pos;
  char c = source_[pos];
  if (lexer_.comma_due) {
    if (c == '\'') {
      ++pos;
      lexer_.in_string = false;
      lexer_.comma_due = false;
      return;
    }
    if (EndsLine(c)) {
      token_.start = token_.end = pos;
      span_start_ = span_end_ = pos;
      Fail(msg::kTerminatingQuote);
    }
    token_.kind = kKindComma;
    token_.start = token_.end = pos;
    lexer_.comma_due = false;
    return;
  }
  token_.kind = kKindConstant;
  token_.value = static_cast<unsigned char>(c);
  token_.start = pos;
  token_.end = ++pos;
  lexer_.comma_due = true;
}

// Number forms: decimal digits; hex digits ending in H; binary digits ending in B; $hex; %binary.
// "_" between digits is ignored. Digits that do not belong to the radix end the number.
void BuiltinAssembler::ScanNumber(int radix) {
  std::int32_t& pos = lexer_.pos;
  std::int32_t digits_end = pos;
  std::int32_t after = pos;
  if (radix == 16 || radix == 2) {
    while (source_[after] == '_' ||
           (radix == 16 ? IsHex(source_[after]) : IsBinary(source_[after])))
      ++after;
    digits_end = after;
  } else {
    std::int32_t run_end = pos;
    while (IsHex(source_[run_end]) || source_[run_end] == '_') ++run_end;
    std::int32_t last = run_end - 1;
    while (last > pos && source_[last] == '_') --last;
    bool binary = (source_[last] == 'B' || source_[last] == 'b') && last > pos;
    for (std::int32_t at = pos; binary && at < last; ++at)
      binary = IsBinary(source_[at]) || source_[at] == '_';
    if (source_[run_end] == 'H' || source_[run_end] == 'h') {
      radix = 16;
      digits_end = run_end;
      after = run_end + 1;
    } else if (binary) {
      radix = 2;
      digits_end = last;
      after = run_end;
    } else {
      radix = 10;
      while (IsDecimal(source_[digits_end]) || source_[digits_end] == '_') ++digits_end;
      after = digits_end;
    }
  }
  token_.kind = kKindConstant;
  token_.end = after;
  span_start_ = token_.start;
  span_end_ = after;
  int digits = 0;
  for (std::int32_t at = pos; at < digits_end; ++at)
    if (source_[at] != '_') ++digits;
  if (digits > 64) Fail(msg::kConstantDigits);
  std::uint64_t value = 0;
  for (std::int32_t at = pos; at < digits_end; ++at) {
    if (source_[at] == '_') continue;
    value = value * static_cast<unsigned>(radix) +
            static_cast<unsigned>(platform::HexDigitValue(source_[at]));
    if (value > 0xFFFF'FFFFu) Fail(msg::kConstantBits);
  }
  token_.value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  pos = after;
}

// Name: a letter, "_" or ":", then letters, digits, "_" and ":"; at most 32 characters.
void BuiltinAssembler::ScanName() {
  std::int32_t& pos = lexer_.pos;
  std::int32_t end = pos;
  while (IsNameCharacter(source_[end])) ++end;
  token_.end = end;
  int length = end - pos;
  if (length > kBuiltinNameLength) {
    span_start_ = pos;
    span_end_ = end;
    Fail(msg::kSymbolLength);
  }
  token_.name = true;
  int key_length = 0;
  // A name that begins with ":" is local to the last label (or to the macro call).
  if (source_[pos] == ':') {
    std::memcpy(token_.key, prefix_, static_cast<std::size_t>(prefix_length_));
    key_length = prefix_length_;
  }
  for (std::int32_t at = pos; at < end; ++at) {
    char c = source_[at];
    if (!case_sensitive_ && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    token_.key[key_length++] = c;
  }
  token_.key[key_length] = '\0';
  token_.key_length = key_length;
  pos = end;
  LookUp();
}

// Operators: two characters (one blank between them allowed) before one.
void BuiltinAssembler::ScanOperator() {
  std::int32_t& pos = lexer_.pos;
  std::int32_t second = source_[pos + 1] == ' ' ? pos + 2 : pos + 1;
  if (!EndsLine(source_[pos + 1]) && !EndsLine(source_[second])) {
    const char pair[2] = {source_[pos], source_[second]};
    SymbolHandle entry = symbols_.Find(std::string_view(pair, 2));
    if (entry != kNoSymbol && IsOperatorKind(symbols_.Kind(entry))) {
      token_.kind = symbols_.Kind(entry);
      token_.value = symbols_.Value(entry);
      token_.symbol = entry;
      token_.end = pos = second + 1;
      return;
    }
  }
  SymbolHandle entry = symbols_.Find(std::string_view(&source_[pos], 1));
  if (entry == kNoSymbol || !IsOperatorKind(symbols_.Kind(entry))) {
    span_start_ = pos;
    span_end_ = pos + 1;
    Fail(msg::kUnrecognized);
  }
  token_.kind = symbols_.Kind(entry);
  token_.value = symbols_.Value(entry);
  token_.symbol = entry;
  token_.end = ++pos;
}

void BuiltinAssembler::LookUp() {
  token_.symbol = symbols_.Find(token_.Key());
  if (token_.symbol == kNoSymbol) return;
  token_.kind = symbols_.Kind(token_.symbol);
  token_.value = symbols_.Value(token_.symbol);
}

}  // namespace build_debug
