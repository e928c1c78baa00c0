#include "editor_control/gui/qt_canvas.h"

#include <QFontMetrics>
#include <QGlyphRun>
#include <QString>

#include "editor_control/gui/editor_text.h"
#include "editor_control/style_run.h"

namespace scrivlet::gui {

QColor QtColor(int32_t color, const QPalette& palette) {
  const auto bits = static_cast<uint32_t>(color);
  if ((bits & 0xFF000000u) == 0xFF000000u) {
    // The system colour indexes a control uses, mapped to the palette's roles.
    switch (bits & 0xFFu) {
      case 5: return palette.color(QPalette::Base);        // window
      case 8: return palette.color(QPalette::Text);        // window text
      case 13: return palette.color(QPalette::Highlight);  // highlight
      case 14: return palette.color(QPalette::HighlightedText);
      case 15: return palette.color(QPalette::Button);                    // button face
      case 16: return palette.color(QPalette::Mid);                       // button shadow
      case 17: return palette.color(QPalette::Disabled, QPalette::Text);  // grey text
      case 18: return palette.color(QPalette::ButtonText);
      case 23: return palette.color(QPalette::ToolTipText);
      case 24: return palette.color(QPalette::ToolTipBase);
      default: return palette.color(QPalette::Window);
    }
  }
  return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                static_cast<int>((bits >> 16) & 0xFF));
}

QtCanvas::QtCanvas(QPainter& painter, QtTextMeasurer& measurer, const QPalette& palette,
                   const QPixmap* tile)
    : painter_(painter),
      measurer_(measurer),
      palette_(palette),
      tile_(tile != nullptr && !tile->isNull() ? tile : nullptr) {}

// Measured on the painter's device: a printer's resolution differs from the screen's.
int32_t QtCanvas::Ascent() {
  return QFontMetrics(measurer_.FontForStyle(0), painter_.device()).ascent();
}
int32_t QtCanvas::Descent() {
  return QFontMetrics(measurer_.FontForStyle(0), painter_.device()).descent();
}

void QtCanvas::BeginLine(const TScrivRect& band) {
  painter_.save();
  painter_.setClipRect(band.Left, band.Top, band.Width(), band.Height(), Qt::IntersectClip);
}

void QtCanvas::EndLine() {
  painter_.restore();
  font_key_ = -1;
}

void QtCanvas::FillBackground(const TScrivRect& r, int32_t color, int32_t origin_x,
                              int32_t origin_y) {
  if (tile_ != nullptr) {
    // Aligned to the scroll offsets, so the picture moves with the text.
    painter_.drawTiledPixmap(
        QRect(r.Left, r.Top, r.Width(), r.Height()), *tile_,
        QPoint((r.Left - origin_x) % tile_->width(), (r.Top - origin_y) % tile_->height()));
    return;
  }
  FillRect(r, color);
}

void QtCanvas::FillRect(const TScrivRect& r, int32_t color) {
  if (color == -1 || r.Width() <= 0 || r.Height() <= 0) return;
  painter_.fillRect(r.Left, r.Top, r.Width(), r.Height(), QtColor(color, palette_));
}

void QtCanvas::DrawText(std::span<const int32_t> xs, int32_t baseline, std::string_view bytes,
                        uint8_t style, int32_t color) {
  // Highlight and the run flags choose no font.
  const auto key = static_cast<uint8_t>(style & 0x2F);
  painter_.setPen(QtColor(color, palette_));
  glyphs_.clear();
  positions_.clear();
  for (size_t i = 0; i < bytes.size(); ++i) {
    const quint32 glyph = measurer_.GlyphFor(bytes[i], key);
    if (glyph != 0) {
      glyphs_.push_back(glyph);
      positions_.push_back(QPointF(xs[i], 0));
      continue;
    }
    // Not in the font: Qt's text drawing finds it in another, at the same place.
    if (key != font_key_) {
      painter_.setFont(measurer_.FontForStyle(key));
      font_key_ = key;
    }
    painter_.drawText(xs[i], baseline, QString(EditorCharToQt(bytes[i])));
  }
  if (!glyphs_.isEmpty()) {
    QGlyphRun run;
    run.setRawFont(measurer_.RawFontFor(key));
    run.setGlyphIndexes(glyphs_);
    run.setPositions(positions_);
    painter_.drawGlyphRun(QPointF(0, baseline), run);
  }
  if (bytes.empty() || !(key & (kStyleUnderline | kStyleStrikeout))) return;
  // The lines run under the characters' cells as laid out; a glyph run's own would follow
  // the font's fractional advances instead.
  const QFontMetrics metrics(measurer_.FontForStyle(key), painter_.device());
  const int32_t left = xs.front();
  const int32_t width = xs.back() + measurer_.Width(bytes.substr(bytes.size() - 1), key) - left;
  const int thickness = std::max(1, metrics.lineWidth());
  const QColor ink = QtColor(color, palette_);
  if (key & kStyleUnderline)
    painter_.fillRect(left, baseline + metrics.underlinePos() - thickness / 2, width, thickness,
                      ink);
  if (key & kStyleStrikeout)
    painter_.fillRect(left, baseline - metrics.strikeOutPos() - thickness / 2, width, thickness,
                      ink);
}

void QtCanvas::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TScrivPen& pen) {
  if (pen.Color == -1) return;
  QPen p(QtColor(pen.Color, palette_));
  p.setWidth(std::max(1, pen.Width));
  p.setStyle(pen.Style == TPenStyle::psDot ? Qt::DotLine : Qt::SolidLine);
  painter_.setPen(p);
  painter_.drawLine(x1, y1, x2, y2);
}

}  // namespace scrivlet::gui
