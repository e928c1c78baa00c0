#pragma once
// The printer for TScrivletPrinter: a QPrinter (a real printer, or a PDF file), measured and
// drawn on at its own resolution over the whole paper.

#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <memory>
#include <stdexcept>

#include "editor_control/gui/qt_canvas.h"
#include "editor_control/gui/qt_text_measurer.h"
#include "editor_control/printer.h"

namespace scrivlet::gui {

// Raised when the printer cannot begin the document (an unwritable PDF file, say).
class EPrinterError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class QtPrintTarget : public TScrivPrintTarget {
 public:
  // The editor's fonts; the printer is put in full-page mode.
  QtPrintTarget(QPrinter& printer, const QFont& font, const QFont& alt_font);
  ~QtPrintTarget() override;
  TPrinterMetrics Metrics() override;
  TTextMeasurer& Measurer() override { return measurer_; }
  int32_t HeightOfA() override;
  void BeginDoc(const std::string& title) override;
  void NewPage() override;
  void EndDoc() override;
  TScrivCanvas& Canvas() override { return *canvas_; }
  void DrawBandText(const TScrivRect& band, std::string_view text, TAlignment align,
                    const TPrintFont& font) override;

 private:
  QPrinter& printer_;
  QFont font_;
  QtTextMeasurer measurer_;
  QPalette palette_;
  QPainter painter_;
  std::unique_ptr<QtCanvas> canvas_;
};

}  // namespace scrivlet::gui
