#pragma once
// The painter's canvas over a QPainter: TColor values become QColors (system colour ids
// through the palette), text is drawn in the measurer's fonts, the background picture is
// tiled when there is one.

#include <QList>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPointF>

#include "editor_control/gui/qt_text_measurer.h"
#include "editor_control/paint.h"

namespace scrivlet::gui {

// A TColor as a QColor: 0x00BBGGRR, or 0xFF000000 | a system colour index.
QColor QtColor(int32_t color, const QPalette& palette);

class QtCanvas : public TScrivCanvas {
 public:
  QtCanvas(QPainter& painter, QtTextMeasurer& measurer, const QPalette& palette,
           const QPixmap* tile = nullptr);
  int32_t Ascent() override;
  int32_t Descent() override;
  void BeginLine(const TScrivRect& band) override;
  void EndLine() override;
  void FillBackground(const TScrivRect& r, int32_t color, int32_t origin_x,
                      int32_t origin_y) override;
  void FillRect(const TScrivRect& r, int32_t color) override;
  void DrawText(std::span<const int32_t> xs, int32_t baseline, std::string_view bytes,
                uint8_t style, int32_t color) override;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TScrivPen& pen) override;

 private:
  QPainter& painter_;
  QtTextMeasurer& measurer_;
  const QPalette& palette_;
  const QPixmap* tile_;
  int font_key_ = -1;
  // Kept between calls so that a paint does not allocate for every piece.
  QList<quint32> glyphs_;
  QList<QPointF> positions_;
};

}  // namespace scrivlet::gui
