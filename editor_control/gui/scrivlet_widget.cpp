#include "editor_control/gui/scrivlet_widget.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>
#include <QtGlobal>

#include "editor_control/gui/qt_canvas.h"
#include "editor_control/paint.h"

namespace scrivlet::gui {

TScrivlet::TScrivlet(QWidget* parent, TScrivletServices services)
    : QAbstractScrollArea(parent),
      measurer_(QFont("Arial"), QFont("Arial")),
      font_("Arial"),
      alt_font_("Arial") {
  services.Window = this;
  if (services.Scheduler == nullptr) services.Scheduler = &scheduler_;
  if (services.Clipboard == nullptr) services.Clipboard = &clipboard_;
  clipboard_.OnUnheldCharacter = [this](UnheldCharacter unheld) { RefuseCharacter(unheld); };
  clipboard_in_use_ = services.Clipboard;
  memo_ = std::make_unique<scrivlet::TScrivlet>(services);
  memo_->SetMeasurer(&measurer_);
  input_ = std::make_unique<TScrivInput>(*memo_, *this);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  resize(100, 60);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { OnScrollAction(Qt::Vertical, action); });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { OnScrollAction(Qt::Horizontal, action); });
  // The bar's own Top and Bottom, and a value a program sets, arrive as a new value only.
  connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this](int value) { OnScrollValue(Qt::Vertical, value); });
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
          [this](int value) { OnScrollValue(Qt::Horizontal, value); });
  RecreateWindow();
  SyncBounds();
  memo_->CreateHandle();
}

TScrivlet::~TScrivlet() {
  auto_scroll_.stop();
  input_.reset();
  memo_->DestroyHandle();
  memo_.reset();
}

void TScrivlet::SetFonts(const QFont& font, const QFont& alt_font) {
  font_ = font;
  alt_font_ = alt_font;
  measurer_.SetFonts(font, alt_font);
  memo_->SetFontStyle(static_cast<uint8_t>(
      (font.bold() ? kStyleBold : 0) | (font.italic() ? kStyleItalic : 0) |
      (font.underline() ? kStyleUnderline : 0) | (font.strikeOut() ? kStyleStrikeout : 0)));
}

void TScrivlet::SetBackgroundBmp(const QPixmap& picture) {
  background_ = picture;
  Invalidate();
}

void TScrivlet::SetTabStop(bool on) { setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); }

void TScrivlet::Invalidate() { viewport()->update(); }

void TScrivlet::UpdateCaret() {
  // A moved caret shows at once and blinks from there.
  caret_on_ = hasFocus() && !memo_->GetDisplayOnly();
  if (caret_on_) {
    const int period = QApplication::cursorFlashTime() / 2;
    if (period > 0) blink_.start(period, this);
  }
  viewport()->update();
}

void TScrivlet::CaretShapeChanged() { UpdateCaret(); }

void TScrivlet::UpdateScrollBars() {
  syncing_bars_ = true;
  const auto v = memo_->VertScrollBar();
  verticalScrollBar()->setRange(0, std::max(0, v.Range - v.Page));
  verticalScrollBar()->setPageStep(std::max(1, v.Page));
  verticalScrollBar()->setSingleStep(std::max(1, memo_->LineHeight() / v.Unit));
  verticalScrollBar()->setValue(v.Position);
  const auto h = memo_->HorzScrollBar();
  horizontalScrollBar()->setRange(0, std::max(0, h.Range - h.Page));
  horizontalScrollBar()->setPageStep(std::max(1, h.Page));
  horizontalScrollBar()->setValue(h.Position);
  syncing_bars_ = false;
}

void TScrivlet::RecreateWindow() {
  const TScrollStyle bars = memo_->GetScrollBars();
  const bool vert = bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth;
  const bool horz = bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth;
  setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  // A single border is the sunken client edge.
  setFrameStyle(memo_->GetBorderStyle() == TBorderStyle::bsSingle
                    ? (QFrame::StyledPanel | QFrame::Sunken)
                    : QFrame::NoFrame);
  UpdateScrollBars();
}

void TScrivlet::SyncBounds() {
  const QSize size = viewport()->size();
  memo_->SetBounds(size.width(), size.height());
  UpdateScrollBars();
}

void TScrivlet::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  SyncBounds();
}

void TScrivlet::OnScrollAction(Qt::Orientation orientation, int action) {
  if (syncing_bars_) return;
  using Code = scrivlet::TScrivlet::TScrollCode;
  QScrollBar* bar = orientation == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
  Code code;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = Code::scLineUp; break;
    case QAbstractSlider::SliderSingleStepAdd: code = Code::scLineDown; break;
    case QAbstractSlider::SliderPageStepSub: code = Code::scPageUp; break;
    case QAbstractSlider::SliderPageStepAdd: code = Code::scPageDown; break;
    case QAbstractSlider::SliderMove: code = Code::scThumb; break;
    default: return;
  }
  if (orientation == Qt::Vertical)
    memo_->VScrollCommand(code, bar->sliderPosition());
  else
    memo_->HScrollCommand(code, bar->sliderPosition());
  // The slider shows where the control went, not where the bar's own step would go.
  const auto info = orientation == Qt::Vertical ? memo_->VertScrollBar() : memo_->HorzScrollBar();
  bar->setSliderPosition(info.Position);
  UpdateCaret();
}

void TScrivlet::OnScrollValue(Qt::Orientation orientation, int value) {
  if (syncing_bars_) return;
  const bool vertical = orientation == Qt::Vertical;
  const auto before = vertical ? memo_->VertScrollBar() : memo_->HorzScrollBar();
  if (value == before.Position) return;
  if (vertical)
    memo_->VScrollCommand(scrivlet::TScrivlet::TScrollCode::scThumb, value);
  else
    memo_->HScrollCommand(scrivlet::TScrivlet::TScrollCode::scThumb, value);
  // Whole-line scrolling may stop short of the value: the bar shows where the text went.
  UpdateScrollBars();
  UpdateCaret();
}

void TScrivlet::PaintInto(QPainter& painter, const QRect& rect, bool with_caret) {
  QtCanvas canvas(painter, measurer_, palette(), background_.isNull() ? nullptr : &background_);
  TScrivPainter p(*memo_, canvas);
  p.Paint({rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}, hasFocus());
  if (with_caret && caret_on_ && hasFocus() && !memo_->GetDisplayOnly()) {
    const TScrivRect c = CaretRect(*memo_);
    // The caret inverts what it covers, as a system caret does.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.fillRect(c.Left, c.Top, c.Width(), c.Height(), Qt::white);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
}

void TScrivlet::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  try {
    PaintInto(painter, event->rect(), true);
  } catch (const std::exception& e) {
    Report(e);
  }
}

void TScrivlet::RenderClient(QPaintDevice& target) {
  QPainter painter(&target);
  PaintInto(painter, QRect(0, 0, memo_->ClientWidth(), memo_->ClientHeight()), false);
}

void TScrivlet::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  UpdateCaret();
}

void TScrivlet::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blink_.stop();
  caret_on_ = false;
  viewport()->update();
}

void TScrivlet::timerEvent(QTimerEvent* event) {
  if (event->timerId() == auto_scroll_.timerId()) {
    auto_scroll_.stop();
    try {
      input_->AutoScrollStep();
    } catch (const std::exception& e) {
      Report(e);
    }
    return;
  }
  if (event->timerId() != blink_.timerId()) {
    QAbstractScrollArea::timerEvent(event);
    return;
  }
  caret_on_ = !caret_on_ && hasFocus();
  viewport()->update();
}

bool TScrivlet::focusNextPrevChild(bool next) {
  // With WantTabs the Tab key is the control's own, unless it only displays.
  if (memo_->WantTabs && !memo_->GetDisplayOnly()) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

QVariant TScrivlet::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: {
      const TScrivRect c = CaretRect(*memo_);
      return QRect(c.Left, c.Top, std::max(1, c.Width()), c.Height());
    }
    case Qt::ImFont: return font_;
    case Qt::ImEnabled: return !memo_->ReadOnly && !memo_->GetDisplayOnly();
    default: return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void TScrivlet::Report(const std::exception& e) {
  if (OnError)
    OnError(e.what());
  else
    qWarning("%s", e.what());
}

}  // namespace scrivlet::gui
