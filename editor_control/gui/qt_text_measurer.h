#pragma once
// Measures text with Qt's fonts for the editor control: the control font, or the alternate
// font for style bit 5, with bold, italic, underline and strikeout from the style bits.
// The width of a text is the sum of its characters' whole-pixel advances (kerning off),
// which is what the layout's per-character arithmetic relies on; the painter places
// characters by the same sums, glyph by glyph (Qt's own spacing is fractional).

#include <QFont>
#include <QFontMetrics>
#include <QRawFont>
#include <array>
#include <memory>

#include "editor_control/text_measurer.h"

namespace scrivlet::gui {

class QtTextMeasurer : public TTextMeasurer {
 public:
  // `device`: measure at its resolution (a printer's), else the screen's.
  QtTextMeasurer(const QFont& font, const QFont& alt_font, const QPaintDevice* device = nullptr);
  void SetFonts(const QFont& font, const QFont& alt_font);
  int32_t Width(std::string_view bytes, uint8_t style) override;
  int32_t Height() override;
  int32_t InkOverhang(char c, uint8_t style) override;
  QFont FontForStyle(uint8_t style) const;
  // The glyphs the painter places one by one: the font of the style at the measuring
  // resolution, and a character's glyph in it (0: the font has none).
  const QRawFont& RawFontFor(uint8_t style);
  quint32 GlyphFor(char c, uint8_t style);

 private:
  struct StyleMetrics {
    std::unique_ptr<QFontMetrics> Metrics;
    std::array<int32_t, 256> Advance;   // -1 until measured
    std::array<int32_t, 256> Overhang;  // -1 until measured
    std::unique_ptr<QRawFont> Raw;
    std::array<quint32, 256> Glyph;  // UINT32_MAX until looked up
  };
  StyleMetrics& MetricsFor(uint8_t style);
  QFont font_;
  QFont alt_;
  const QPaintDevice* device_;
  std::array<StyleMetrics, 64> metrics_;
};

}  // namespace scrivlet::gui
