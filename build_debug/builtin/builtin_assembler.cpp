// The built-in assembler's run: two passes over the source, line by line.

#include "build_debug/builtin/builtin_assembler.h"

#include <algorithm>
#include <cstring>

#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;

bool IsLabelKind(std::uint8_t kind) {
  return kind == kKindUndefined || kind == kKindConstant || kind == kKindVariable;
}

}  // namespace

BuiltinAssembler::BuiltinAssembler(ObjectImage& image) : image_(image) {
  frames_.reserve(kMacroFrameArea / kMacroFrameBytes);
  arguments_.reserve(kMacroFrameArea / 5);
}

void BuiltinAssembler::BuiltinAssemble() {
  image_.Failed = 1;
  source_ = image_.SourceText ? image_.SourceText : "";
  span_start_ = span_end_ = 0;
  try {
    symbols_.Clear();
    if (!EnterStartNames(symbols_)) Fail(msg::kSymbolTableFull);
    for (pass_ = 1; pass_ <= 2; ++pass_) RunPass();
    span_start_ = span_end_ = 0;
    image_.ErrorStart = image_.ErrorEnd = 0;
    CopyWorkingToProgramming(image_);
    if (image_.FileBufferLength == 0) Fail(msg::kNothingToAssemble);
    image_.Failed = 0;
  } catch (const Stop&) {
    // The image holds the error.
  }
}

void BuiltinAssembler::Fail(const char* message) {
  image_.ErrorText = message;
  image_.ErrorStart = span_start_;
  image_.ErrorEnd = span_end_;
  throw Stop{};
}

void BuiltinAssembler::RunPass() {
  StartPass();
  while (!end_seen_ && source_[lexer_.pos] != '\0') Line();
  if (!end_seen_) CheckEndOfText();
}

void BuiltinAssembler::StartPass() {
  lexer_ = LexerState{};
  history_count_ = 0;
  prefix_length_ = 0;
  prefix_[0] = '\0';

  image_.FileBufferLength = 0;
  image_.LineCount = 0;
  image_.AddressLine.fill(-1);
  ResetWordArray(image_.WorkingImage, image_.Device4K != 0);
  image_.Device4K = 0;
  device_seen_ = false;
  mask_ = 0x7FF;
  fuse_set_ = fusex_set_ = 0;

  if_depth_ = active_depth_ = 0;
  rept_depth_ = 0;
  rept_loops_ = 0;
  definition_depth_ = 0;
  frames_.clear();
  arguments_.clear();
  frame_bytes_ = 0;
  // The same start in both passes gives the local labels of each call the same names.
  invocation_ = {1, 1, 1, 1};
  macro_calls_ = 0;
  call_pending_ = false;

  location_ = 0;
  image_.BreakAddress = AddressNone;
  image_.WatchCount = 0;
  image_.ClockHz = kDefaultClockHz;
  case_sensitive_ = false;
  noexpand_ = false;
  end_seen_ = false;
}

void BuiltinAssembler::CheckEndOfText() {
  span_start_ = span_end_ = lexer_.pos;
  if (definition_depth_ > 0) Fail(msg::kOpenMacro);
  if (if_depth_ > 0) Fail(msg::kOpenIf);
  if (rept_depth_ > 0) Fail(msg::kOpenRept);
}

void BuiltinAssembler::Line() {
  line_start_ = lexer_.pos;
  line_location_ = location_;
  line_words_ = 0;
  listed_value_ = false;
  show_address_ = false;
  not_listed_ = false;
  line_ended_ = false;
  in_expansion_ = !frames_.empty();
  noexpand_at_start_ = noexpand_;
  label_ = Label{};
  lexer_.in_string = false;
  lexer_.comma_due = false;
  history_count_ = 0;

  if (definition_depth_ > 0) {
    SkipDefinitionLine();
  } else if (active_depth_ < if_depth_) {
    SkipInactiveLine();
  } else {
    Token first = NextToken();
    Statement(first);
    if (!line_ended_) ExpectEndOfLine();
  }
  ListLine();
  if (call_pending_) EnterMacro();
}

// Inside a macro definition only MACRO and ENDM count, so that nested definitions pair up.
void BuiltinAssembler::SkipDefinitionLine() {
  Token statement = NextToken();
  if (statement.name && statement.kind != kKindDirective) statement = NextToken();
  if (statement.kind == kKindDirective && statement.value == kDirMacro) ++definition_depth_;
  if (statement.kind == kKindDirective && statement.value == kDirEndm) --definition_depth_;
  SkipRestOfLine();
}

// Inside a false IF block only IFDEF, IFNDEF, IF, ELSE and ENDIF count.
void BuiltinAssembler::SkipInactiveLine() {
  Token statement = NextToken();
  if (statement.name && statement.kind != kKindDirective) {
    label_.present = true;
    statement = NextToken();
  }
  if (statement.kind == kKindDirective && statement.value >= kDirIfdef &&
      statement.value <= kDirEndif) {
    Conditional(statement.value);
    if (!line_ended_) ExpectEndOfLine();
    return;
  }
  SkipRestOfLine();
}

void BuiltinAssembler::SkipRestOfLine() {
  if (token_.kind == kKindEndOfLine) return;
  std::int32_t& pos = lexer_.pos;
  while (source_[pos] != '\0' && source_[pos] != '\r') ++pos;
  if (source_[pos] == '\r') ++pos;
  lexer_.in_string = false;
  lexer_.comma_due = false;
  token_.kind = kKindEndOfLine;
}

void BuiltinAssembler::ExpectEndOfLine() {
  if (NextToken().kind != kKindEndOfLine) Fail(msg::kExpectedEnd);
}

// Between the values of a list: a comma continues it, the end of the line ends it.
bool BuiltinAssembler::MoreValues() {
  const Token& t = NextToken();
  if (t.kind == kKindComma) return true;
  if (t.kind != kKindEndOfLine) Fail(msg::kExpectedCommaOrEnd);
  PushBack();
  return false;
}

void BuiltinAssembler::Statement(const Token& first) {
  Token statement = first;
  if (first.name && first.kind == kKindMacro) {
    // In pass 2 a macro's definition line starts with the macro's own name.
    const Token& next = NextToken();
    if (next.kind == kKindDirective && next.value == kDirMacro) {
      if (pass_ == 1) {
        span_start_ = first.start;
        span_end_ = first.end;
        Fail(msg::kLabelDefined);
      }
      SkipRestOfLine();
      line_ended_ = true;
      definition_depth_ = 1;
      return;
    }
    PushBack();
  }
  if (first.name && IsLabelKind(first.kind)) {
    ReadLabel(first);
    if (first.kind == kKindVariable) return;
    statement = NextToken();
    // The label becomes the prefix of local labels, unless it names a variable or a macro.
    bool defines_other = statement.kind == kKindDirective && statement.value == kDirMacro;
    defines_other |= statement.kind == kKindCompare && statement.value == kOpEqual;
    if (source_[first.start] != ':' && !defines_other) {
      prefix_length_ = std::min(first.key_length, kBuiltinNameLength);
      std::memcpy(prefix_, first.key, static_cast<std::size_t>(prefix_length_));
      prefix_[prefix_length_] = '\0';
    }
  }
  switch (statement.kind) {
    case kKindDirective: Directive(statement.value, statement); return;
    case kKindCompare:
      if (statement.value != kOpEqual) break;
      Directive(kDirEquals, statement);
      return;
    case kKindLogical:
    case kKindNot:
    case kKindInstruction: {
      std::int32_t mnemonic = statement.value;
      if (statement.kind == kKindLogical)
        mnemonic = statement.value == kOpLogicalAnd  ? instruction_set::kAND
                   : statement.value == kOpLogicalOr ? instruction_set::kOR
                                                     : instruction_set::kXOR;
      if (statement.kind == kKindNot) mnemonic = instruction_set::kNOT;
      DefinePendingLabel(location_);
      show_address_ = true;
      Instruction(mnemonic);
      return;
    }
    case kKindMacro: MacroCall(statement); return;
    case kKindEndOfLine:
      DefinePendingLabel(location_);
      line_ended_ = true;
      return;
    default: break;
  }
  Fail(msg::kExpectedStatement);
}

void BuiltinAssembler::ReadLabel(const Token& first) {
  label_.present = true;
  label_.key_length = first.key_length;
  std::memcpy(label_.key, first.key, sizeof label_.key);
  label_.start = first.start;
  label_.end = first.end;
  switch (first.kind) {
    case kKindUndefined:
      if (!device_seen_) Fail(msg::kExpectedDevice);
      label_.pending = true;
      return;
    case kKindConstant:
      if (pass_ == 1) Fail(msg::kLabelDefined);
      show_address_ = true;
      return;
    default: {
      const Token& equals = NextToken();
      if (equals.kind != kKindCompare || equals.value != kOpEqual) Fail(msg::kVariableNeedsEquals);
      std::int32_t value = StrictValue();
      symbols_.SetValue(first.symbol, value);
      listed_value_ = true;
      line_value_ = value;
      return;
    }
  }
}

void BuiltinAssembler::DefineLabel(std::uint8_t kind, std::int32_t value, std::int32_t extra) {
  if (!label_.pending) return;
  label_.pending = false;
  std::string_view key(label_.key, static_cast<std::size_t>(label_.key_length));
  if (symbols_.Add(key, kind, value, extra) == kNoSymbol) Fail(msg::kSymbolTableFull);
}

}  // namespace build_debug
