#include "build_debug/debug/watch_unit.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/message_box.h"
#include "platform/text.h"
#include "services/message_strings.h"

namespace build_debug {

namespace {

constexpr int kMaxWidth = 32;

int Register(const WatchEntry& entry) { return entry.Address & 0xFF; }
int BitOffset(const WatchEntry& entry) { return (entry.Address >> 8) & 7; }
int Width(const WatchEntry& entry) { return std::clamp<int>(entry.Width, 1, kMaxWidth); }
bool IsString(const WatchEntry& entry) { return entry.Format == FSTR || entry.Format == ZSTR; }
bool IsSigned(const WatchEntry& entry) { return !IsString(entry) && (entry.Format & 1); }
std::uint64_t Mask(int width) { return (std::uint64_t{1} << width) - 1; }

// A register as the debug state holds it; on the 2,048-word parts an address with bit 4 clear
// is a global register in every bank.
std::uint8_t ReadRegister(const DebugState& state, int reg, bool device4k) {
  if (!device4k && !(reg & 0x10)) reg &= 0x0F;
  return static_cast<std::uint8_t>(state.Registers[static_cast<std::size_t>(reg)] & 0xFF);
}

// The registers of an entry, `count` of them at most, ending early at 0xFF.
std::vector<int> Registers(const WatchEntry& entry, int count, bool device4k) {
  std::vector<int> regs;
  for (int reg = Register(entry); reg >= 0 && static_cast<int>(regs.size()) < count;
       reg = NextWatchRegister(reg, device4k))
    regs.push_back(reg);
  return regs;
}

int BytesCovered(const WatchEntry& entry) { return (BitOffset(entry) + Width(entry) + 7) / 8; }

// Groups of `size` digits from the right, "_" between them.
std::string Grouped(const std::string& digits, int size) {
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % size == 0) out += '_';
    out += digits[static_cast<std::size_t>(i)];
  }
  return out;
}

std::string Digits(std::uint64_t value, int base, int min_digits) {
  std::string digits;
  do {
    digits.insert(digits.begin(), "0123456789ABCDEF"[value % static_cast<unsigned>(base)]);
    value /= static_cast<unsigned>(base);
  } while (value != 0);
  if (static_cast<int>(digits.size()) < min_digits)
    digits.insert(0, static_cast<std::size_t>(min_digits) - digits.size(), '0');
  return digits;
}

int HexDigits(int width) { return (width - 1) / 4 + 1; }

std::string Shown(const WatchEntry& entry, std::uint64_t magnitude, bool negative) {
  const int width = Width(entry);
  std::string text = negative ? "-" : "";
  switch (entry.Format) {
    case UDEC:
    case SDEC: return text + Grouped(Digits(magnitude, 10, 1), 3);
    case UHEX:
    case SHEX: return text + "$" + Grouped(Digits(magnitude, 16, HexDigits(width)), 4);
    default: return text + "%" + Grouped(Digits(magnitude, 2, width), 4);
  }
}

}  // namespace

int NextWatchRegister(int reg, bool device4k) {
  int next = reg + 1;
  if (!device4k && reg >= 0x10 && (next & 0x1F) == 0) next += 0x10;
  return next > 0xFF ? -1 : next;
}

std::int64_t WatchValue(const WatchEntry& entry, const DebugState& state, bool device4k) {
  // Five bytes hold a 32-bit value at any bit offset; 64 bits hold the five.
  std::uint64_t raw = 0;
  const std::vector<int> regs = Registers(entry, BytesCovered(entry), device4k);
  for (std::size_t i = 0; i < regs.size(); ++i)
    raw |= std::uint64_t{ReadRegister(state, regs[i], device4k)} << (8 * i);
  const int width = Width(entry);
  std::uint64_t value = (raw >> BitOffset(entry)) & Mask(width);
  if (IsSigned(entry) && (value >> (width - 1)) & 1)
    return static_cast<std::int64_t>(value) - static_cast<std::int64_t>(std::uint64_t{1} << width);
  return static_cast<std::int64_t>(value);
}

std::string FormatWatch(const WatchEntry& entry, const DebugState& state, bool device4k) {
  if (IsString(entry)) {
    std::string text;
    for (int reg : Registers(entry, entry.Width, device4k)) {
      const std::uint8_t c = ReadRegister(state, reg, device4k);
      if (entry.Format == ZSTR && c == 0) break;
      // A byte that is no printable character would garble the line.
      text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return text;
  }
  const std::int64_t value = WatchValue(entry, state, device4k);
  const bool negative = value < 0;
  const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                           : static_cast<std::uint64_t>(value);
  return Shown(entry, magnitude, negative);
}

std::string WatchTemplate(const WatchEntry& entry) {
  if (IsString(entry)) {
    std::string quoted(entry.Width + 2, 'W');
    quoted.front() = quoted.back() = '"';
    return quoted;
  }
  const int width = Width(entry);
  const bool is_signed = IsSigned(entry);
  // The widest value: the largest magnitude a signed value reaches is the negative one.
  const std::uint64_t widest = is_signed ? std::uint64_t{1} << (width - 1) : Mask(width);
  std::string text = Shown(entry, widest, is_signed);
  for (char& c : text)
    if (std::isxdigit(static_cast<unsigned char>(c)))
      c = (entry.Format == UHEX || entry.Format == SHEX) ? 'D' : '0';
  return text;
}

std::optional<std::int64_t> ParseWatchValue(std::string_view text) {
  // 'c': a character's code.
  if (text.size() >= 2 && text[0] == '\'') return static_cast<unsigned char>(text[1]);
  int base = 10;
  bool negative = false;
  bool any = false;
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-') {
      negative = !negative;
      continue;
    }
    if (c == '_') continue;
    if (!any && c == '$' && base == 10) {
      base = 16;
      continue;
    }
    if (!any && c == '%' && base == 10) {
      base = 2;
      continue;
    }
    const int digit = platform::HexDigitValue(c);
    if (digit < 0 || digit >= base) break;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    any = true;
  }
  if (!any) return std::nullopt;
  const auto signed_value = static_cast<std::int64_t>(value);
  return negative ? -signed_value : signed_value;
}

bool WriteWatch(DebugProtocol& debug, const WatchEntry& entry, std::string_view text) {
  const bool device4k = debug.Device4K();
  if (IsString(entry)) {
    const std::vector<int> regs = Registers(entry, entry.Width, device4k);
    for (std::size_t i = 0; i < regs.size(); ++i) {
      // A zero-ended string gets its zero when the text is shorter than the room.
      if (i >= text.size() && entry.Format == FSTR) break;
      const auto c = i < text.size() ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{0};
      std::ignore = debug.WriteRegister(regs[i], c);
      if (c == 0) break;
    }
    debug.UpdateDebugData();
    return true;
  }
  const std::optional<std::int64_t> value = ParseWatchValue(text);
  if (!value) return false;
  const std::uint64_t bits = (static_cast<std::uint64_t>(*value) & Mask(Width(entry)))
                             << BitOffset(entry);
  const std::uint64_t keep = ~(Mask(Width(entry)) << BitOffset(entry));
  const std::vector<int> regs = Registers(entry, BytesCovered(entry), device4k);
  for (std::size_t i = 0; i < regs.size(); ++i) {
    const std::uint64_t old = ReadRegister(debug.Live(), regs[i], device4k);
    const std::uint64_t keep_byte = (keep >> (8 * i)) & 0xFF;
    const std::uint64_t byte = (old & keep_byte) | ((bits >> (8 * i)) & 0xFF & ~keep_byte);
    std::ignore = debug.WriteRegister(regs[i], static_cast<std::uint8_t>(byte));
  }
  debug.UpdateDebugData();
  return true;
}

bool CommitWatch(DebugProtocol& debug, const workbench::MessageStrings& messages,
                 const WatchEntry& entry, std::string_view text) {
  if (WriteWatch(debug, entry, text)) return true;
  platform::BoxRequest box{kInvalidConstantEntry, "Error", platform::BoxButtons::Ok};
  box.kind = platform::BoxKind::Error;
  std::ignore = messages.Service().Show(box);
  return false;
}

void WatchEditor::Start(int index, std::string shown) {
  index_ = index;
  text_ = std::move(shown);
  touched_ = false;
}

void WatchEditor::Key(char c) {
  if (!Active() || c < 0x20 || c > 0x7E) return;
  if (!touched_) {
    text_.clear();
    touched_ = true;
  }
  if (static_cast<int>(text_.size()) < kWatchTextMax) text_ += c;
}

void WatchEditor::Backspace() {
  if (Active() && touched_ && !text_.empty()) text_.pop_back();
}

int WatchEditor::Neighbour(int delta) const {
  if (count_ <= 0) return -1;
  return ((index_ + delta) % count_ + count_) % count_;
}

}  // namespace build_debug
