#include "editor_control/gui/qt_print_target.h"

#include <QFontMetrics>
#include <QPageLayout>

#include "editor_control/gui/editor_text.h"

namespace scrivlet::gui {

QtPrintTarget::QtPrintTarget(QPrinter& printer, const QFont& font, const QFont& alt_font)
    : printer_(printer), font_(font), measurer_(font, alt_font, &printer) {
  printer_.setFullPage(true);
  palette_.setColor(QPalette::Base, Qt::white);
  palette_.setColor(QPalette::Text, Qt::black);
}

QtPrintTarget::~QtPrintTarget() {
  if (painter_.isActive()) painter_.end();
}

TPrinterMetrics QtPrintTarget::Metrics() {
  const int dpi = printer_.resolution();
  const QRect paper = printer_.pageLayout().fullRectPixels(dpi);
  return {paper.width(), paper.height(), 0, 0, printer_.logicalDpiX(), printer_.logicalDpiY()};
}

int32_t QtPrintTarget::HeightOfA() {
  return QFontMetrics(font_, &printer_).boundingRect('A').height();
}

void QtPrintTarget::BeginDoc(const std::string& title) {
  printer_.setDocName(QString::fromStdString(title));
  if (!painter_.begin(&printer_))
    throw EPrinterError("Cannot print to " + printer_.outputFileName().toStdString());
  canvas_ = std::make_unique<QtCanvas>(painter_, measurer_, palette_);
}

void QtPrintTarget::NewPage() {
  if (!printer_.newPage()) throw EPrinterError("Cannot start a new page");
}

void QtPrintTarget::EndDoc() {
  canvas_.reset();
  if (painter_.isActive()) painter_.end();
}

void QtPrintTarget::DrawBandText(const TScrivRect& band, std::string_view text, TAlignment align,
                                 const TPrintFont& font) {
  QFont f(QString::fromStdString(font.Name), font.Size);
  f.setBold((font.Style & kStyleBold) != 0);
  f.setItalic((font.Style & kStyleItalic) != 0);
  f.setUnderline((font.Style & kStyleUnderline) != 0);
  f.setStrikeOut((font.Style & kStyleStrikeout) != 0);
  painter_.setFont(f);
  painter_.setPen(QtColor(font.Color, palette_));
  const int horizontal = align == TAlignment::taCenter         ? Qt::AlignHCenter
                         : align == TAlignment::taRightJustify ? Qt::AlignRight
                                                               : Qt::AlignLeft;
  painter_.drawText(QRect(band.Left, band.Top, band.Width(), band.Height()),
                    horizontal | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip,
                    EditorTextToQt(text));
}

}  // namespace scrivlet::gui
