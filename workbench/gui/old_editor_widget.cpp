#include "workbench/gui/old_editor_widget.h"

#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <chrono>
#include <thread>

#include "resources/code_widget_names.h"

namespace editor_frm = widget_names::EditorFRM;

namespace gui {

QtLegacyTimers::QtLegacyTimers(workbench::LegacyEditor& editor) {
  cursor_.setInterval(workbench::kCursorTimerMs);
  select_.setInterval(workbench::kSelectTimerMs);
  QObject::connect(&cursor_, &QTimer::timeout, this, [&editor] { editor.CursorTimerTick(); });
  QObject::connect(&select_, &QTimer::timeout, this, [&editor] { editor.SelectTimerTick(); });
}

void QtLegacyTimers::SetCursorTimer(bool on) {
  if (on)
    cursor_.start();
  else
    cursor_.stop();
}

void QtLegacyTimers::SetSelectTimer(bool on) {
  if (on)
    select_.start();
  else
    select_.stop();
}

std::uint32_t SteadyClock::TickCount() const {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void SteadyClock::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LegacyEditorWidget::LegacyEditorWidget(workbench::LegacyEditor& editor,
                                       const platform::Clock& clock, QWidget* parent)
    : QWidget(parent), editor_(editor), clock_(clock) {
  setObjectName(editor_frm::LegacyEditor);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  editor_.SetScreen(this);
  SetEditorFont("Courier New", 9);
}

LegacyEditorWidget::~LegacyEditorWidget() { editor_.SetScreen(nullptr); }

void LegacyEditorWidget::SetEditorFont(const QString& name, int size) {
  font_ = QFont(name, size);
  // Where the named face is missing, a fixed-pitch one stands in: the editor draws in cells.
  font_.setStyleHint(QFont::TypeWriter);
  font_.setFixedPitch(true);
}

void LegacyEditorWidget::LayOut() {
  const QFontMetrics metrics(font_);
  editor_.LegacyLayOut(width(), height(), 0, metrics.horizontalAdvance('X'), metrics.height());
}

void LegacyEditorWidget::Repaint() {
  editor_.SetFullRepaint();
  editor_.LegacyPaint();
}

void LegacyEditorWidget::RowsChanged(int first_row, int count) {
  const workbench::LegacyGeometry& g = editor_.Geometry();
  update(QRect(g.left, g.top + g.top_margin + first_row * g.cell_height, g.right - g.left,
               count * g.cell_height));
}

void LegacyEditorWidget::FrameChanged() { update(); }

void LegacyEditorWidget::CaretChanged() {
  update(CaretRect().adjusted(-1, -1, 1, 1));
  // The caret blinks here too: only a new place or a new text is told.
  const std::uint64_t revision = editor_.Buffer().Revision();
  if (editor_.Cursor() == caret_told_ && revision == revision_told_) return;
  caret_told_ = editor_.Cursor();
  revision_told_ = revision;
  if (OnCaretMoved) OnCaretMoved();
}

QRect LegacyEditorWidget::CaretRect() const {
  const workbench::LegacyGeometry& g = editor_.Geometry();
  const int x =
      g.left + g.left_margin + editor_.CaretColumn() * g.cell_width - (g.cell_width + 8) / 16;
  const int y = g.top + g.top_margin + editor_.CaretRow() * g.cell_height;
  return QRect(x, y, g.cell_width / 8 + 1, g.cell_height);
}

void LegacyEditorWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  const workbench::LegacyGeometry& g = editor_.Geometry();
  const QRect text_rect(QPoint(g.left, g.top), QPoint(g.right - 1, g.bottom - 1));
  painter.fillRect(text_rect, palette().color(QPalette::Base));

  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(g.left - 1, g.top - 1, g.right, g.top - 1);
  painter.drawLine(g.left - 1, g.top - 1, g.left - 1, g.bottom);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(g.left - 1, g.bottom, g.right, g.bottom);
  painter.drawLine(g.right, g.top - 1, g.right, g.bottom);

  if (!editor_.HasRows()) return;
  painter.setClipRect(text_rect.intersected(event->rect()));
  painter.setFont(font_);
  const QFontMetrics metrics(font_);
  const QColor backgrounds[2] = {palette().color(QPalette::Base),
                                 palette().color(QPalette::Highlight)};
  const QColor foregrounds[2] = {palette().color(QPalette::Text),
                                 palette().color(QPalette::HighlightedText)};
  for (int row = 0; row <= g.rows; ++row) {
    const int y = g.top + g.top_margin + row * g.cell_height;
    if (y >= g.bottom) break;
    if (!event->rect().intersects(QRect(g.left, y, g.right - g.left, g.cell_height))) continue;
    for (int column = 0; column < g.row_width; ++column) {
      const std::uint16_t cell = editor_.Cell(row, column);
      const int selected = (cell & workbench::kSelectedCell) ? 1 : 0;
      const int x = g.left + g.left_margin + column * g.cell_width;
      painter.fillRect(QRect(x, y, g.cell_width, g.cell_height), backgrounds[selected]);
      const auto c = static_cast<char>(cell & 0xFF);
      if (c == ' ') continue;
      painter.setPen(foregrounds[selected]);
      painter.drawText(x, y + metrics.ascent(), QString(scrivlet::gui::EditorCharToQt(c)));
    }
  }
  if (editor_.CaretShown()) painter.fillRect(CaretRect(), palette().color(QPalette::Text));
}

void LegacyEditorWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void LegacyEditorWidget::keyPressEvent(QKeyEvent* event) {
  using workbench::LegacyKey;
  struct Binding {
    int qt;
    LegacyKey key;
  };
  static constexpr Binding kKeys[] = {
      {Qt::Key_Backspace, LegacyKey::Backspace},
      {Qt::Key_Delete, LegacyKey::Delete},
      {Qt::Key_PageUp, LegacyKey::PageUp},
      {Qt::Key_PageDown, LegacyKey::PageDown},
      {Qt::Key_Home, LegacyKey::Home},
      {Qt::Key_End, LegacyKey::End},
      {Qt::Key_Left, LegacyKey::Left},
      {Qt::Key_Right, LegacyKey::Right},
      {Qt::Key_Up, LegacyKey::Up},
      {Qt::Key_Down, LegacyKey::Down},
  };
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  const bool ctrl = event->modifiers() & Qt::ControlModifier;
  for (const Binding& binding : kKeys) {
    if (event->key() == binding.qt) {
      editor_.FormKeyDown(binding.key, shift, ctrl);
      return;
    }
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    editor_.FormKeyPress('\r');
    return;
  }
  if (event->key() == Qt::Key_Tab) {
    editor_.FormKeyPress('\t');
    return;
  }
  if (ctrl) {
    QWidget::keyPressEvent(event);
    return;
  }
  TypeCharacters(event->text());
}

void LegacyEditorWidget::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty()) TypeCharacters(event->commitString());
  event->accept();
}

void LegacyEditorWidget::TypeCharacters(const QString& text) {
  // The buffer holds 8-bit Windows-1252 characters: a text with any other types nothing.
  scrivlet::gui::UnheldCharacter unheld{};
  const std::optional<std::string> chars = scrivlet::gui::EditorTextFromQt(text, &unheld);
  if (!chars) {
    if (OnUnheldCharacter) OnUnheldCharacter(unheld);
    return;
  }
  for (char c : *chars) editor_.FormKeyPress(static_cast<unsigned char>(c));
}

void LegacyEditorWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  editor_.FormMouseDown(at.x(), at.y(), clock_.TickCount());
}

void LegacyEditorWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  setCursor(editor_.InsideText(at.x(), at.y()) ? Qt::IBeamCursor : Qt::ArrowCursor);
  editor_.FormMouseMove(at.x(), at.y());
}

void LegacyEditorWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) editor_.FormMouseUp();
}

void LegacyEditorWidget::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) editor_.FormMouseWheel(delta < 0);
}

bool LegacyEditorWidget::focusNextPrevChild(bool) { return false; }

}  // namespace gui
