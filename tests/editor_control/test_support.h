#pragma once
// Helpers shared by the editor-core tests.

#include <sstream>
#include <string>
#include <string_view>

#include "editor_control/scrivlet.h"

namespace scrivlet {

// The tests' way past the table's bookkeeping: damaged counts the self-test must find, a
// character count near the 32-bit limit without a text that large.
struct TParagraphsListTestAccess {
  static void SetCharCount(TParagraphsList& list, int32_t n) { list.char_count_ = n; }
  static void SetLineCount(TParagraphsList& list, int32_t n) { list.line_count_ = n; }
  static void SetVisibleLineCount(TParagraphsList& list, int32_t n) {
    list.visible_line_count_ = n;
  }
};

}  // namespace scrivlet

namespace scrivlet::testing {

// Every character is `width` pixels wide whatever its style; lines are `height` high.
class FixedWidthMeasurer : public TTextMeasurer {
 public:
  explicit FixedWidthMeasurer(int32_t width = 7, int32_t height = 12)
      : width_(width), height_(height) {}
  int32_t Width(std::string_view bytes, uint8_t) override {
    return static_cast<int32_t>(bytes.size()) * width_;
  }
  int32_t Height() override { return height_; }

 private:
  int32_t width_;
  int32_t height_;
};

// Measures with `m` and lays every change out at once in a client area of the given size.
inline void LayOutAtOnce(TScrivlet& s, TTextMeasurer& m, int32_t width, int32_t height) {
  s.SetMeasurer(&m);
  s.SetUpdateMode(TzkUpdateMode::umImmediate);
  s.SetBounds(width, height);
}

inline TScrivLineBreak Load(TParagraphsList& list, std::string_view bytes, char nul = 0,
                            bool discard = false) {
  std::istringstream in{std::string(bytes)};
  return list.LoadFromStream(in, nul, 100, nullptr, discard);
}

inline void Load(TScrivlet& s, std::string_view bytes) {
  std::istringstream in{std::string(bytes)};
  s.LoadFromStream(in);
}

inline std::string ParaText(const TParagraphsList& list, int32_t i) {
  const TParagraph& p = list.Items(i);
  return std::string(p.Text ? p.Text : "", static_cast<size_t>(para::Length(p)));
}

inline std::string Save(const TParagraphsList& list, TScrivLineBreak brk, bool strip = false,
                        bool discard = false) {
  std::ostringstream out;
  list.SaveToStream(out, strip, 100, nullptr, brk, discard);
  return out.str();
}

// Types text at the caret as the keyboard does: one primitive call per character.
inline void Type(TScrivlet& s, std::string_view text) {
  for (char c : text) s.InsertTextBuf(std::string_view(&c, 1));
}

// The style in force at an offset: the last run at or before it, else the paragraph's own.
inline TStyleRun StyleAt(TScrivlet& s, int32_t offset) {
  const TParagraph& p = s.Table.Items(s.Table.ParagraphAt(offset));
  const int32_t pos = offset - p.StartOffset;
  TStyleRun r = para::Style(p);
  if (const auto* runs = para::Runs(p))
    for (const TStyleRun& run : *runs) {
      if (run.Offset > pos) break;
      r = run;
    }
  return r;
}

// One letter per character of the text: what `letter` makes of the style in force there. A
// line's CR stands as "|", its LF as nothing.
template <typename Letter>
std::string StyleLetters(TScrivlet& s, Letter letter) {
  std::string out;
  for (int32_t o = 0; o < s.CharCount(); ++o) {
    const uint8_t c = s.GetCharAt(o);
    if (c == 13 || c == 10) {
      if (c == 13) out += '|';
      continue;
    }
    out += letter(StyleAt(s, o));
  }
  return out;
}

}  // namespace scrivlet::testing
