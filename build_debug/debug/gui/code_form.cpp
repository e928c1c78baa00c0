#include "build_debug/debug/gui/code_form.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "build_debug/debug/gui/debug_trace.h"
#include "build_debug/image/listing_line.h"
#include "editor_control/gui/editor_text.h"
#include "resources/code_widget_names.h"
#include "services/gui/form_placement.h"
#include "services/gui/text.h"
#include "services/registry_settings.h"

namespace code_form = widget_names::CodeForm;

namespace gui {

using namespace build_debug;

namespace {
const char kName[] = "Code";
struct LineColours {
  QColor text;
  QColor back;
};
const LineColours kNormal{Qt::black, Qt::white};
const LineColours kBreak{Qt::white, Qt::red};
const LineColours kPc{Qt::white, Qt::blue};
}  // namespace

TCodeForm::TCodeForm(DebugProtocol& debug, const ObjectImage& image,
                     workbench::RegistrySettings& settings, bool remember_placement,
                     QWidget* parent)
    : QWidget(parent, Qt::Window),
      debug_(debug),
      image_(image),
      settings_(settings),
      remember_placement_(remember_placement),
      view_(debug, image),
      bar_(new QScrollBar(Qt::Vertical, this)) {
  setObjectName(code_form::CodeForm);
  setWindowTitle(kName);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  // The text height of "X": the font's full line height.
  line_h_ = fontMetrics().height();
  connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
    view_.SetFirstLine(value);
    Redraw(false);
  });
  resize(60 * fontMetrics().horizontalAdvance('0'), 24 * line_h_);
  if (remember_placement_) std::ignore = RestoreFormPlacement(settings_, kPlacement, *this);
  debug_.AddView(*this);
}

TCodeForm::~TCodeForm() {
  debug_.RemoveView(*this);
  if (remember_placement_) std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
}

void TCodeForm::SetSourceName(const std::string& name) {
  setWindowTitle(QString(kName) + " -  " + gui::NameToQt(name));
}

QRect TCodeForm::LineRect(int position) const {
  return QRect(0, position * line_h_, width() - bar_->width(), line_h_);
}

int TCodeForm::PositionAt(const QPoint& point) const {
  const int position = point.y() / line_h_;
  return point.x() < width() - bar_->width() && position < view_.LinesPerPage() ? position : -1;
}

void TCodeForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int bar_width = bar_->sizeHint().width();
  bar_->setGeometry(width() - bar_width, 0, bar_width, height());
  view_.SetLinesPerPage(height() / line_h_);
  bar_->setPageStep(view_.LinesPerPage());
  Redraw(true);
}

void TCodeForm::Redraw(bool full) {
  bar_->setRange(0, std::max(0, view_.LineCount() - 1));
  if (bar_->value() != view_.FirstLine()) {
    const QSignalBlocker block(bar_);
    bar_->setValue(view_.FirstLine());
  }
  for (int position : view_.LinesToRedraw(full)) update(LineRect(position));
}

void TCodeForm::RedrawDebugState(bool) {
  view_.FollowPc();
  Redraw(false);
}

void TCodeForm::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), kNormal.back);
  for (int position = 0; position < view_.LinesPerPage(); ++position) {
    const QRect rect = LineRect(position);
    if (!event->rect().intersects(rect)) continue;
    const int line = view_.FirstLine() + position;
    if (line >= view_.LineCount()) break;
    LineColours colours = kNormal;
    if (view_.Mark(line) == CodeMark::Break) colours = kBreak;
    if (view_.Mark(line) == CodeMark::Pc) colours = kPc;
    painter.fillRect(rect, colours.back);
    painter.setPen(colours.text);
    painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     scrivlet::gui::EditorTextToQt(GetListLine(image_, line)));
  }
}

void TCodeForm::mousePressEvent(QMouseEvent* event) {
  if (const int position = PositionAt(event->position().toPoint()); position >= 0)
    view_.Click(position);
}

void TCodeForm::mouseDoubleClickEvent(QMouseEvent* event) {
  if (const int position = PositionAt(event->position().toPoint()); position >= 0)
    view_.DoubleClick(position);
  Redraw(true);
}

void TCodeForm::wheelEvent(QWheelEvent* event) {
  view_.Wheel(event->angleDelta().y() > 0 ? -1 : 1);
  Redraw(false);
}

void TCodeForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  view_.FollowPc();
  Redraw(true);
}

void TCodeForm::hideEvent(QHideEvent* event) {
  if (remember_placement_) std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
  QWidget::hideEvent(event);
}

void TCodeForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    qCDebug(qvDebugOutput) << "Code Window - Active";
}

}  // namespace gui
