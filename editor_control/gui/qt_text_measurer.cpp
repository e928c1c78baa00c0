#include "editor_control/gui/qt_text_measurer.h"

#include <QString>
#include <algorithm>
#include <climits>

#include "editor_control/gui/editor_text.h"
#include "editor_control/style_run.h"

namespace scrivlet::gui {

QtTextMeasurer::QtTextMeasurer(const QFont& font, const QFont& alt_font, const QPaintDevice* device)
    : device_(device) {
  SetFonts(font, alt_font);
}

void QtTextMeasurer::SetFonts(const QFont& font, const QFont& alt_font) {
  font_ = font;
  alt_ = alt_font;
  font_.setKerning(false);
  alt_.setKerning(false);
  for (auto& m : metrics_) m.Metrics.reset();
}

QFont QtTextMeasurer::FontForStyle(uint8_t style) const {
  QFont f = (style & kStyleAltFont) ? alt_ : font_;
  f.setBold((style & kStyleBold) != 0);
  f.setItalic((style & kStyleItalic) != 0);
  f.setUnderline((style & kStyleUnderline) != 0);
  f.setStrikeOut((style & kStyleStrikeout) != 0);
  return f;
}

QtTextMeasurer::StyleMetrics& QtTextMeasurer::MetricsFor(uint8_t style) {
  // Highlight (bit 4) changes colours only; bits 6 and 7 are not font bits.
  const auto key = static_cast<size_t>(style & 0x2F);
  StyleMetrics& slot = metrics_[key];
  if (!slot.Metrics) {
    slot.Metrics =
        device_ != nullptr
            ? std::make_unique<QFontMetrics>(FontForStyle(static_cast<uint8_t>(key)), device_)
            : std::make_unique<QFontMetrics>(FontForStyle(static_cast<uint8_t>(key)));
    slot.Advance.fill(-1);
    slot.Overhang.fill(-1);
    slot.Raw.reset();
  }
  return slot;
}

int32_t QtTextMeasurer::Width(std::string_view bytes, uint8_t style) {
  StyleMetrics& m = MetricsFor(style);
  int32_t width = 0;
  for (char c : bytes) {
    int32_t& advance = m.Advance[static_cast<uint8_t>(c)];
    if (advance < 0) advance = m.Metrics->horizontalAdvance(EditorCharToQt(c));
    width += advance;
  }
  return width;
}

int32_t QtTextMeasurer::InkOverhang(char c, uint8_t style) {
  StyleMetrics& m = MetricsFor(style);
  int32_t& overhang = m.Overhang[static_cast<uint8_t>(c)];
  // A negative right bearing is ink beyond the advance.
  if (overhang < 0) overhang = std::max(0, -m.Metrics->rightBearing(EditorCharToQt(c)));
  return overhang;
}

const QRawFont& QtTextMeasurer::RawFontFor(uint8_t style) {
  StyleMetrics& m = MetricsFor(style);
  if (!m.Raw) {
    const QFont font = FontForStyle(static_cast<uint8_t>(style & 0x2F));
    // At the resolution the text was measured at, so that the glyphs fit their advances.
    m.Raw = std::make_unique<QRawFont>(
        QRawFont::fromFont(device_ != nullptr ? QFont(font, device_) : font));
    m.Glyph.fill(UINT32_MAX);
  }
  return *m.Raw;
}

quint32 QtTextMeasurer::GlyphFor(char c, uint8_t style) {
  const QRawFont& raw = RawFontFor(style);
  quint32& glyph = MetricsFor(style).Glyph[static_cast<uint8_t>(c)];
  if (glyph == UINT32_MAX) {
    const QChar ch = EditorCharToQt(c);
    int count = 1;
    if (!raw.isValid() || !raw.glyphIndexesForChars(&ch, 1, &glyph, &count) || count != 1)
      glyph = 0;
  }
  return glyph;
}

int32_t QtTextMeasurer::Height() {
  // One pixel more than the text, split above and below it by the painter.
  return std::max(MetricsFor(0).Metrics->height(), MetricsFor(kStyleAltFont).Metrics->height()) + 1;
}

}  // namespace scrivlet::gui
