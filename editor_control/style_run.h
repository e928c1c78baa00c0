#pragma once
// The records that layout, rendering and the text table share: a paragraph's style run,
// a display line's record, and the inline style characters.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

namespace scrivlet {

// A colour that means "no colour of its own": the text keeps the colour it would have had.
inline constexpr int32_t kNoColor = 0x1FFFFFFF;

// Style bits.
enum TStyleBit : uint8_t {
  kStyleBold = 1 << 0,
  kStyleItalic = 1 << 1,
  kStyleUnderline = 1 << 2,
  kStyleStrikeout = 1 << 3,
  kStyleHighlight = 1 << 4,
  kStyleAltFont = 1 << 5,
};

// RunFlags bits above the style bits.
inline constexpr uint8_t kRunByKey = 0x40;
inline constexpr uint8_t kRunHasAttributes = 0x80;

// How the text from Offset up to the next run (or the paragraph end) is shown. The same
// record serves as a paragraph's style record; there the sharing is done by shared_ptr, so
// the first word keeps its run meaning.
struct TStyleRun {
  int32_t Offset = 0;
  uint8_t RunFlags = 0;
  int8_t Depth = -1;  // innermost Levels entry in use; -1: no key open
  uint8_t Spare[2] = {0, 0};
  int32_t Backgnd = kNoColor;
  int32_t Foregnd = kNoColor;
  int32_t Context = 0;
  int16_t Cursor = 0;
  int16_t Levels[16] = {};  // keyword index, or start/stop pair index - 32768
  uint16_t KeyLength = 0;
  uint16_t StopLength = 0;
};

// One display line of a paragraph, as the layout computes it.
struct TLineRecord {
  int32_t Start = 0;      // offset of the line in the paragraph
  int32_t End = 0;        // start of the next line; the paragraph length for the last
  int32_t WordWidth = 0;  // width up to the end of the line's last word
  int32_t FullWidth = 0;
  int32_t Spaces = 0;         // stretch points for justification
  int32_t Reserved = 0;       // stored and copied; the layout gives it its meaning
  int32_t TrailingStart = 0;  // where the line's trailing blanks begin
  uint8_t StartStyle = 0;     // inline style in force at the line start
  int32_t FirstRun = 0;       // index of the line's first style run
  uint8_t Spare = 0;
};

// The inline style characters and the bit each one toggles:
//   2 bold, 1 italic, 21 underline, 3 highlight, 4 alternate font.
constexpr uint8_t ToggleBitOf(uint8_t c) {
  switch (c) {
    case 2: return kStyleBold;
    case 1: return kStyleItalic;
    case 21: return kStyleUnderline;
    case 3: return kStyleHighlight;
    case 4: return kStyleAltFont;
    default: return 0;
  }
}
constexpr bool IsStyleChar(uint8_t c) { return ToggleBitOf(c) != 0; }
constexpr uint8_t ToggleStyle(uint8_t style, uint8_t c) { return style ^ ToggleBitOf(c); }

// The order in which an insertion puts back the toggles it removed.
inline constexpr uint8_t kStyleCharOrder[5] = {21, 1, 2, 3, 4};

// An empty run: a style character followed, with only other style characters between, by
// the same character again. Returns the positions of both, or {npos, npos}.
inline std::pair<size_t, size_t> FindEmptyRun(std::string_view text, size_t from = 0) {
  for (size_t i = from; i < text.size(); ++i) {
    const auto c = static_cast<uint8_t>(text[i]);
    if (!IsStyleChar(c)) continue;
    for (size_t j = i + 1; j < text.size(); ++j) {
      const auto d = static_cast<uint8_t>(text[j]);
      if (d == c) return {i, j};
      if (!IsStyleChar(d)) break;
    }
  }
  return {std::string_view::npos, std::string_view::npos};
}

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace scrivlet
