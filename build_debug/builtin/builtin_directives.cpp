// The built-in assembler's directives, conditionals, REPT blocks and macros.

#include <algorithm>
#include <cstring>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"
#include "instruction_set/words.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;

constexpr std::int32_t kMinClockHz = 400'000;
constexpr std::int32_t kMaxClockHz = 110'000'000;
constexpr int kIdCharacters = 8;
constexpr int kMaxMacroArguments = 64;
constexpr std::int32_t kAnyArgumentCount = -1;

}  // namespace

void BuiltinAssembler::RequireNoLabel() {
  if (label_.present) Fail(msg::kNoLabelAllowed);
}

void BuiltinAssembler::Directive(std::int32_t number, const Token& directive) {
  switch (number) {
    case kDirDevice: RequireNoLabel(); return Device();
    case kDirId: RequireNoLabel(); return Id();
    case kDirReset: DefinePendingLabel(location_); return Reset();
    case kDirEquals: return Equals();
    case kDirEqu: return Equ();
    case kDirOrg:
      // The line shows, and its label takes, the new location.
      location_ = StrictValue() & mask_;
      line_location_ = location_;
      DefinePendingLabel(location_);
      show_address_ = true;
      return;
    case kDirDs:
      DefinePendingLabel(location_);
      show_address_ = true;
      location_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(location_) +
                                            static_cast<std::uint32_t>(StrictValue())) &
                  mask_;
      return;
    case kDirDw:
      DefinePendingLabel(location_);
      show_address_ = true;
      do Emit(PassAwareValue());
      while (MoreValues());
      return;
    case kDirIfdef:
    case kDirIfndef:
    case kDirIf:
    case kDirElse:
    case kDirEndif: return Conditional(number);
    case kDirRept: RequireNoLabel(); return Rept();
    case kDirEndr: RequireNoLabel(); return Endr();
    case kDirMacro: return MacroDefinition();
    case kDirExitm:
    case kDirEndm:
      RequireNoLabel();
      if (frames_.empty()) Fail(msg::kEndmWithoutMacro);
      ExpectEndOfLine();
      return MacroReturn(number == kDirExitm);
    case kDirExpand:
    case kDirNoexpand:
      RequireNoLabel();
      noexpand_ = number == kDirNoexpand;
      return;
    case kDirCase:
    case kDirNocase:
      RequireNoLabel();
      case_sensitive_ = number == kDirCase;
      return;
    case kDirError: RequireNoLabel(); return Error(directive);
    case kDirEnd:
      RequireNoLabel();
      ExpectEndOfLine();
      line_ended_ = true;
      end_seen_ = true;
      return;
    case kDirBreak:
      DefinePendingLabel(location_);
      if (image_.BreakAddress != AddressNone) Fail(msg::kOneBreak);
      image_.BreakAddress = static_cast<std::int16_t>(location_);
      return;
    case kDirWatch: RequireNoLabel(); return Watch();
    case kDirFreq: {
      RequireNoLabel();
      std::int32_t hz = StrictValue();
      if (hz < kMinClockHz || hz > kMaxClockHz) Fail(msg::kFrequencyRange);
      image_.ClockHz = hz;
      return;
    }
    default: Fail(msg::kExpectedStatement);
  }
}

// DEVICE identifier, parameter, ... : the identifier first (on the first DEVICE line), then
// parameters on this or later lines. Each owns bits of FUSE or FUSEX and XORs its value in.
void BuiltinAssembler::Device() {
  do {
    Token item = NextToken();
    DeviceItem(item);
  } while (MoreValues());
}

void BuiltinAssembler::DeviceItem(const Token& item) {
  if (item.kind != kKindDevice)
    Fail(device_seen_ ? msg::kExpectedDeviceParameter : msg::kExpectedDeviceId);
  std::int32_t value = item.value;
  if (value & kDeviceIdentifier) {
    if (device_seen_) Fail(msg::kOneDeviceId);
    bool device4k = (value & kDevice4K) != 0;
    mask_ = device4k ? 0xFFF : 0x7FF;
    if (device4k) image_.Device4K = 1;
    if (!EnterDeviceNames(symbols_, device4k)) Fail(msg::kSymbolTableFull);
    device_seen_ = true;
  }
  std::int32_t mask = DeviceMask(value);
  bool fusex = (value & kDeviceFusex) != 0;
  std::int32_t& set = fusex ? fusex_set_ : fuse_set_;
  if (set & mask) Fail(msg::kRedundantParameter);
  set |= mask;
  image_.WorkingImage[fusex ? kFusexIndex : kFuseIndex] ^=
      static_cast<std::uint16_t>(DeviceXor(value));
}

// ID 'text': each character c fills two ID words, 0x0FF0 + its high and 0x0FF0 + its low nibble.
void BuiltinAssembler::Id() {
  int count = 0;
  do {
    std::int32_t c = PassAwareValue();
    if (count == kIdCharacters) Fail(msg::kIdLength);
    if (c < 0x20 || c > 0x7F) Fail(msg::kIdCharacter);
    image_.WorkingImage[kIdWordsIndex + 2 * count] = static_cast<std::uint16_t>(0x0FF0 + (c >> 4));
    image_.WorkingImage[kIdWordsIndex + 2 * count + 1] =
        static_cast<std::uint16_t>(0x0FF0 + (c & 15));
    ++count;
  } while (MoreValues());
}

// RESET address: the jump to it in the last program word; the location stays.
void BuiltinAssembler::Reset() {
  std::int32_t address = PassAwareValue();
  if (static_cast<std::uint32_t>(address) > instruction_set::kJumpField) Fail(msg::kResetPage);
  EmitAt(mask_, instruction_set::JumpWord(address));
}

void BuiltinAssembler::Equals() {
  if (!label_.present) Fail(msg::kEqualsNeedsVariable);
  std::int32_t value = StrictValue();
  DefineLabel(kKindVariable, value);
  listed_value_ = true;
  line_value_ = value;
}

void BuiltinAssembler::Equ() {
  if (!label_.present) Fail(msg::kEquNeedsLabel);
  std::int32_t value = StrictValue();
  DefineLabel(kKindConstant, value);
  if (pass_ == 2) {
    listed_value_ = true;
    line_value_ = value;
  }
}

// The IF depth counts every open IF; the active depth those whose lines are assembled. Inside
// a false block only the nesting is followed.
void BuiltinAssembler::Conditional(std::int32_t number) {
  RequireNoLabel();
  bool active = active_depth_ == if_depth_;
  switch (number) {
    case kDirIfdef:
    case kDirIfndef:
    case kDirIf: {
      if (!active) {
        ++if_depth_;
        SkipRestOfLine();
        line_ended_ = true;
        return;
      }
      bool condition;
      if (number == kDirIf) {
        condition = StrictValue() != 0;
      } else {
        const Token& name = NextToken();
        if (!name.name || (name.kind != kKindUndefined && name.kind != kKindConstant))
          Fail(msg::kExpectedLabel);
        condition = (name.kind == kKindConstant) == (number == kDirIfdef);
      }
      ++if_depth_;
      if (condition) ++active_depth_;
      return;
    }
    case kDirElse:
      if (if_depth_ == 0) Fail(msg::kElseWithoutIf);
      if (active)
        --active_depth_;
      else if (active_depth_ == if_depth_ - 1)
        ++active_depth_;
      return;
    default:
      if (if_depth_ == 0) Fail(msg::kElseWithoutIf);
      if (active) --active_depth_;
      --if_depth_;
      return;
  }
}

void BuiltinAssembler::Rept() {
  std::int32_t count = StrictValue();
  if (count <= 0) Fail(msg::kReptCount);
  if (rept_depth_ == kReptNestingLimit) Fail(msg::kReptNesting);
  ExpectEndOfLine();
  line_ended_ = true;
  rept_[rept_depth_++] = ReptFrame{1, count, lexer_.pos};
}

void BuiltinAssembler::Endr() {
  if (rept_depth_ == 0) Fail(msg::kEndrWithoutRept);
  std::int32_t start = span_start_;
  std::int32_t end = span_end_;
  ExpectEndOfLine();
  line_ended_ = true;
  if (++rept_loops_ > kReptLoopLimit) {
    span_start_ = start;
    span_end_ = end;
    Fail(msg::kReptLoops);
  }
  ReptFrame& frame = rept_[rept_depth_ - 1];
  if (++frame.iteration <= frame.count) {
    lexer_.pos = frame.body;
    not_listed_ = true;
  } else {
    --rept_depth_;
  }
}

// name MACRO [count]: the body is skipped up to its ENDM and run by each call.
void BuiltinAssembler::MacroDefinition() {
  if (!label_.pending) Fail(msg::kMacroNeedsLabel);
  std::int32_t count = kAnyArgumentCount;
  if (NextToken().kind != kKindEndOfLine) {
    PushBack();
    count = StrictValue();
    if (count < 0 || count > kMaxMacroArguments) Fail(msg::kMacroCount);
    ExpectEndOfLine();
  }
  line_ended_ = true;
  DefineLabel(kKindMacro, lexer_.pos, count);
  definition_depth_ = 1;
}

void BuiltinAssembler::MacroCall(const Token& name) {
  DefinePendingLabel(location_);
  if (++macro_calls_ > kMacroCallLimit) Fail(msg::kMacroCalls);
  std::int32_t count = symbols_.Extra(name.symbol);
  std::int32_t body = symbols_.Value(name.symbol);
  int first = static_cast<int>(arguments_.size());
  auto argument = [&] {
    std::int32_t value = PassAwareValue();
    int n = static_cast<int>(arguments_.size()) - first + 1;
    if (frame_bytes_ + kMacroFrameBytes + 5 * n > kMacroFrameArea) Fail(msg::kMacroStack);
    arguments_.push_back(MacroArgument{value, expression_undefined_});
  };
  if (count == kAnyArgumentCount) {
    bool none = NextToken().kind == kKindEndOfLine;
    PushBack();
    if (!none) {
      do argument();
      while (MoreValues());
    }
  } else {
    for (std::int32_t n = 0; n < count; ++n) {
      if (n > 0 && !Accept(kKindComma)) Fail(msg::kExpectedComma);
      argument();
    }
  }
  int argument_count = static_cast<int>(arguments_.size()) - first;
  int bytes = kMacroFrameBytes + 5 * argument_count;
  if (frame_bytes_ + bytes > kMacroFrameArea) {
    span_start_ = name.start;
    span_end_ = name.end;
    Fail(msg::kMacroStack);
  }

  MacroFrame frame;
  frame.first_argument = first;
  frame.argument_count = argument_count;
  frame.bytes = bytes;
  frame.call_start = name.start;
  frame.call_end = argument_count > 0 ? expression_end_ : name.end;
  frame.prefix_length = prefix_length_;
  std::memcpy(frame.prefix, prefix_, sizeof frame.prefix);
  frame.if_depth = if_depth_;
  frame.active_depth = active_depth_;
  frame.rept_depth = rept_depth_;
  frames_.push_back(frame);
  frame_bytes_ += bytes;

  // Local labels of the call are named after the invocation counter, four bytes of 1..32.
  prefix_length_ = static_cast<int>(invocation_.size());
  std::memcpy(prefix_, invocation_.data(), invocation_.size());
  prefix_[prefix_length_] = '\0';
  for (std::uint8_t& byte : invocation_) {
    if (++byte <= 32) break;
    byte = 1;
  }
  call_pending_ = true;
  call_body_ = body;
}

// After the call line is listed: continue in the body.
void BuiltinAssembler::EnterMacro() {
  call_pending_ = false;
  frames_.back().return_pos = lexer_.pos;
  lexer_.pos = call_body_;
}

// EXITM and ENDM: back to the line after the call. EXITM may leave from inside an IF or REPT
// block of the body; those blocks end with it.
void BuiltinAssembler::MacroReturn(bool restore_blocks) {
  const MacroFrame& frame = frames_.back();
  lexer_.pos = frame.return_pos;
  prefix_length_ = frame.prefix_length;
  std::memcpy(prefix_, frame.prefix, sizeof prefix_);
  if (restore_blocks) {
    if_depth_ = frame.if_depth;
    active_depth_ = frame.active_depth;
    rept_depth_ = std::min(rept_depth_, frame.rept_depth);
  }
  frame_bytes_ -= frame.bytes;
  arguments_.resize(static_cast<std::size_t>(frame.first_argument));
  frames_.pop_back();
  not_listed_ = true;
  line_ended_ = true;
}

// ERROR 'text': ends the run with the text as its message. Inside a macro the error points
// at the call.
void BuiltinAssembler::Error(const Token& directive) {
  int length = 0;
  std::int32_t start = -1;
  do {
    std::int32_t c = StrictValue();
    if (start < 0) start = expression_start_;
    if (length == kErrorTextLength) Fail(msg::kErrorLength);
    if (c < 32 || c > 255) Fail(msg::kErrorControl);
    error_text_[static_cast<std::size_t>(length++)] = static_cast<char>(c);
  } while (MoreValues());
  error_text_[static_cast<std::size_t>(length)] = '\0';
  if (!frames_.empty()) {
    span_start_ = frames_.back().call_start;
    span_end_ = frames_.back().call_end;
  } else {
    span_start_ = start >= 0 ? start : directive.start;
    span_end_ = expression_end_;
  }
  Fail(error_text_.data());
}

// WATCH expression, width, format: read in pass 2 only.
void BuiltinAssembler::Watch() {
  if (pass_ == 1) {
    SkipRestOfLine();
    line_ended_ = true;
    return;
  }
  if (image_.WatchCount >= kMaxWatches) Fail(msg::kWatchLimit);
  std::int32_t address = StrictValue();
  std::string_view name(source_ + expression_start_,
                        static_cast<std::size_t>(expression_end_ - expression_start_));
  ExpectComma();
  std::int32_t width = StrictValue();
  if (width < 1 || width > 32) Fail(msg::kWatchWidth);
  ExpectComma();
  const Token& format = NextToken();
  if (format.kind != kKindWatchFormat) Fail(msg::kWatchFormat);
  WatchEntry& entry = image_.Watches[static_cast<std::size_t>(image_.WatchCount++)];
  entry.Address = static_cast<std::uint16_t>(address & 0x7FF);
  entry.Width = static_cast<std::uint8_t>(width);
  entry.Format = static_cast<std::uint8_t>(format.value);
  SetWatchName(entry, name);
}

}  // namespace build_debug
