#pragma once
// StyleWalker: the style in force at each character of a paragraph, for layout, painting
// and printing alike.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "editor_control/layout.h"
#include "editor_control/paragraph.h"

namespace scrivlet {

// Walks a paragraph's characters with the style in force at each: the inline toggles
// (with StaticFormat) and the style run.
class StyleWalker {
 public:
  StyleWalker(const TParagraph& p, bool static_format, uint8_t font_style, int32_t from,
              uint8_t inline_style)
      : para_(p),
        runs_(para::Runs(p)),
        base_(para::Style(p).RunFlags),
        static_(static_format),
        font_(font_style),
        inline_(inline_style) {
    if (runs_ != nullptr)
      while (next_ < runs_->size() && (*runs_)[next_].Offset <= from) ++next_;
  }
  // The style of the character at pos (pos only grows); style characters toggle after.
  uint8_t At(int32_t pos) {
    if (runs_ != nullptr)
      while (next_ < runs_->size() && (*runs_)[next_].Offset <= pos) ++next_;
    const uint8_t flags = (runs_ != nullptr && next_ > 0) ? (*runs_)[next_ - 1].RunFlags : base_;
    return CombinedStyle(inline_, flags, font_);
  }
  bool Toggle(uint8_t c) {
    if (!static_ || !IsStyleChar(c)) return false;
    inline_ = ToggleStyle(inline_, c);
    return true;
  }
  uint8_t Inline() const { return inline_; }
  // The run record in force at the last position asked for: a run, or the paragraph's own.
  const TStyleRun& Run() const {
    return (runs_ != nullptr && next_ > 0) ? (*runs_)[next_ - 1] : para::Style(para_);
  }
  size_t RunsPassed() const { return next_; }

 private:
  const TParagraph& para_;
  const std::vector<TStyleRun>* runs_;
  uint8_t base_;
  bool static_;
  uint8_t font_;
  uint8_t inline_;
  size_t next_ = 0;
};

}  // namespace scrivlet
