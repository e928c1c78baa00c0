#pragma once
// Measures text with Qt's fonts for the editor control: the control font, or the alternate
// font for style bit 5, with bold, italic, underline and strikeout from the style bits.
// The width of a text is the sum of its characters' whole-pixel advances (kerning off),
// which is what the layout's per-character arithmetic relies on; the painter places
// characters by the same sums.

#include <QFont>
#include <QFontMetrics>
#include <array>
#include <memory>

#include "editor_control/text_measurer.h"

namespace scrivlet::gui {

class QtTextMeasurer : public TTextMeasurer {
 public:
  // `device`: measure at its resolution (a printer's), else the screen's.
  QtTextMeasurer(const QFont& font, const QFont& altFont, const QPaintDevice* device = nullptr);
  void SetFonts(const QFont& font, const QFont& altFont);
  int32_t Width(std::string_view bytes, uint8_t style) override;
  int32_t Height() override;
  QFont FontForStyle(uint8_t style) const;

 private:
  struct StyleMetrics {
    std::unique_ptr<QFontMetrics> Metrics;
    std::array<int32_t, 256> Advance;  // -1 until measured
  };
  StyleMetrics& MetricsFor(uint8_t style);
  QFont font_;
  QFont alt_;
  const QPaintDevice* device_;
  std::array<StyleMetrics, 64> metrics_;
};

}  // namespace scrivlet::gui
