#pragma once
// What the watch window (TWatchForm) shows and does, without a display: each WatchEntry read
// from the debug state through the device's bank mapping, shown in its format, and a typed
// value parsed and written back to the chip register by register.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/debug/debug_state.h"
#include "build_debug/image/object_image.h"

namespace workbench {
class MessageStrings;
}

namespace build_debug {

inline constexpr char kInvalidConstantEntry[] = "Invalid constant entry";
constexpr int kWatchTextMax = 50;

// The register that follows `reg` in a watched variable: on the 2,048-word parts the upper
// half of the next 32-register block (the lower half mirrors the globals); -1 past 0xFF.
int NextWatchRegister(int reg, bool device4k);

// The entry's value for the numeric formats: only the bytes that the bit offset and width
// cover are read (none past 0xFF), assembled in 64 bits, shifted and masked; the signed
// formats are sign-extended.
std::int64_t WatchValue(const WatchEntry& entry, const DebugState& state, bool device4k);

// The entry's text in its format.
std::string FormatWatch(const WatchEntry& entry, const DebugState& state, bool device4k);
// The widest text the entry can show, for the layout: 0 for decimal and binary digits, D for
// hex digits, W for characters, the string formats in quotes.
std::string WatchTemplate(const WatchEntry& entry);

// A typed number: "$" hex, "%" binary, else decimal; "-" toggles the sign, "_" is skipped, the
// first other character ends it. Nothing when no digit was read.
std::optional<std::int64_t> ParseWatchValue(std::string_view text);

// Writes a typed text to the chip. Numbers change only the bits inside the entry's width;
// strings write one character per register. False (nothing written) for a number that does
// not parse.
[[nodiscard]] bool WriteWatch(DebugProtocol& debug, const WatchEntry& entry, std::string_view text);

// WriteWatch, telling the user when the text is no number.
[[nodiscard]] bool CommitWatch(DebugProtocol& debug, const workbench::MessageStrings& messages,
                               const WatchEntry& entry, std::string_view text);

// The watch window's value editor: one entry at a time, showing its current text until the
// first printable key replaces it.
class WatchEditor {
 public:
  explicit WatchEditor(int count) : count_(count) {}
  void SetCount(int count) { count_ = count; }
  void Start(int index, std::string shown);
  void Key(char c);
  void Backspace();
  // Up (-1) and Down (+1), wrapping; the caller ends the current edit first.
  int Neighbour(int delta) const;
  void Stop() { index_ = -1; }
  bool Active() const { return index_ >= 0; }
  int Index() const { return index_; }
  const std::string& Text() const { return text_; }
  bool Touched() const { return touched_; }

 private:
  int count_;
  int index_ = -1;
  std::string text_;
  bool touched_ = false;
};

}  // namespace build_debug
