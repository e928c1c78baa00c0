// The widget's input: Qt's key, mouse, wheel and drop events as the core's virtual keys,
// shift bits and client coordinates; the host side of cursors, the popup menu and the
// auto-scroll timer.

#include <QApplication>
#include <QBitmap>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "editor_control/gui/scrivlet_widget.h"

namespace scrivlet::gui {
namespace {

// The cursor for line selection: an arrow that points up and to the right.
QCursor RightArrowCursor() {
  QPixmap pix(16, 16);
  pix.fill(Qt::transparent);
  QPainter p(&pix);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QPoint arrow[] = {{15, 0}, {15, 10}, {12, 7}, {8, 12}, {6, 10}, {10, 5}, {6, 2}};
  p.setBrush(Qt::white);
  p.setPen(Qt::black);
  p.drawPolygon(arrow, 7);
  return QCursor(pix, 15, 0);
}

// The cursors a style run may ask for, by the class library's cursor numbers.
Qt::CursorShape RunCursorShape(int16_t cursor) {
  switch (cursor) {
    case -2: return Qt::ArrowCursor;
    case -3: return Qt::CrossCursor;
    case -4: return Qt::IBeamCursor;
    case -11: return Qt::WaitCursor;
    case -12: return Qt::DragMoveCursor;
    case -13: return Qt::ForbiddenCursor;
    case -20: return Qt::WhatsThisCursor;
    case -21: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
  }
}

TMouseButton ButtonOf(Qt::MouseButton button) {
  if (button == Qt::RightButton) return TMouseButton::mbRight;
  if (button == Qt::MiddleButton) return TMouseButton::mbMiddle;
  return TMouseButton::mbLeft;
}

}  // namespace

uint16_t VirtualKeyOf(int qt_key) {
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z)
    return static_cast<uint16_t>('A' + (qt_key - Qt::Key_A));
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9)
    return static_cast<uint16_t>('0' + (qt_key - Qt::Key_0));
  switch (qt_key) {
    case Qt::Key_Backspace: return vk::kBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::kReturn;
    case Qt::Key_Shift: return vk::kShift;
    case Qt::Key_Control: return vk::kControl;
    case Qt::Key_Alt: return vk::kMenu;
    case Qt::Key_Escape: return vk::kEscape;
    case Qt::Key_Space: return vk::kSpace;
    case Qt::Key_PageUp: return vk::kPrior;
    case Qt::Key_PageDown: return vk::kNext;
    case Qt::Key_End: return vk::kEnd;
    case Qt::Key_Home: return vk::kHome;
    case Qt::Key_Left: return vk::kLeft;
    case Qt::Key_Up: return vk::kUp;
    case Qt::Key_Right: return vk::kRight;
    case Qt::Key_Down: return vk::kDown;
    case Qt::Key_Insert: return vk::kInsert;
    case Qt::Key_Delete: return vk::kDelete;
    case Qt::Key_Menu: return vk::kApps;
    default: return 0;
  }
}

uint8_t ShiftBitsOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  uint8_t s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

template <typename F>
bool TScrivlet::Guarded(F f) {
  try {
    return f();
  } catch (const std::exception& e) {
    Report(e);
    return true;
  }
}

bool TScrivlet::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // The control's own keys are not menu shortcuts while it has the focus.
    auto* key = static_cast<QKeyEvent*>(event);
    if (input_->ClaimsShortcut(VirtualKeyOf(key->key()), ShiftBitsOf(key->modifiers()))) {
      event->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void TScrivlet::keyPressEvent(QKeyEvent* event) {
  const uint16_t key = VirtualKeyOf(event->key());
  const uint8_t shift = ShiftBitsOf(event->modifiers());
  bool handled = key != 0 && Guarded([&] { return input_->KeyDown(key, shift); });
  // The character of the key: what the keyboard typed, or for Ctrl+letter its control code.
  std::string chars;
  if ((shift & ssCtrl) && key >= 'A' && key <= 'Z') {
    chars.push_back(static_cast<char>(key - 'A' + 1));
  } else {
    UnheldCharacter unheld{};
    const std::optional<std::string> typed = EditorTextFromQt(event->text(), &unheld);
    if (!typed) {
      input_->SwallowNextChar = false;
      RefuseCharacter(unheld);
      event->accept();
      return;
    }
    chars = *typed;
    if (chars.empty() && key == vk::kReturn) chars.push_back('\r');
    if (chars.empty() && key == vk::kTab && !(shift & ssShift)) chars.push_back('\t');
    if (chars.empty() && key == vk::kBack) chars.push_back('\b');
  }
  for (char c : chars)
    handled |= Guarded([&] { return input_->KeyPress(static_cast<uint8_t>(c)); });
  input_->SwallowNextChar = false;
  if (handled)
    event->accept();
  else
    event->ignore();  // on to the form
}

void TScrivlet::inputMethodEvent(QInputMethodEvent* event) {
  // What a dead key, a compose sequence or an input method commits; its pre-edit text is
  // the input method's to show.
  if (!event->commitString().isEmpty()) TypeCharacters(event->commitString());
  event->accept();
}

bool TScrivlet::TypeCharacters(const QString& text) {
  UnheldCharacter unheld{};
  const std::optional<std::string> chars = EditorTextFromQt(text, &unheld);
  if (!chars) {
    RefuseCharacter(unheld);
    return false;
  }
  bool handled = false;
  for (char c : *chars)
    handled |= Guarded([&] { return input_->KeyPress(static_cast<uint8_t>(c)); });
  input_->SwallowNextChar = false;
  return handled;
}

void TScrivlet::RefuseCharacter(UnheldCharacter unheld) {
  // A control that takes no input has nothing to refuse.
  if (memo_->ReadOnly || memo_->GetDisplayOnly()) return;
  if (OnUnheldCharacter)
    OnUnheldCharacter(unheld);
  else
    qWarning("%s", qPrintable(UnheldCharacterMessage(unheld)));
}

void TScrivlet::keyReleaseEvent(QKeyEvent* event) {
  input_->KeyUp(VirtualKeyOf(event->key()), ShiftBitsOf(event->modifiers()));
  event->ignore();
}

void TScrivlet::mousePressEvent(QMouseEvent* event) {
  const TMouseButton button = ButtonOf(event->button());
  const QPoint p = event->position().toPoint();
  Guarded([&] {
    input_->MouseDown(button, ShiftBitsOf(event->modifiers(), event->buttons()), p.x(), p.y());
    return true;
  });
}

void TScrivlet::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (input_->Dragging && !viewport()->rect().contains(p)) {
    StartExternalDrag();
    return;
  }
  Guarded([&] {
    input_->MouseMove(ShiftBitsOf(event->modifiers(), event->buttons()), p.x(), p.y());
    return true;
  });
}

void TScrivlet::mouseReleaseEvent(QMouseEvent* event) {
  const TMouseButton button = ButtonOf(event->button());
  const QPoint p = event->position().toPoint();
  Guarded([&] {
    input_->MouseUp(button, ShiftBitsOf(event->modifiers(), event->buttons()), p.x(), p.y());
    return true;
  });
}

void TScrivlet::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  Guarded([&] {
    input_->DblClick();
    return true;
  });
}

void TScrivlet::wheelEvent(QWheelEvent* event) {
  Guarded([&] {
    return input_->DoMouseWheel(ShiftBitsOf(event->modifiers()), event->angleDelta().y());
  });
  event->accept();
}

void TScrivlet::SetCursor(TScrivCursor cursor, int16_t run_cursor) {
  switch (cursor) {
    case TScrivCursor::crIBeam: viewport()->setCursor(Qt::IBeamCursor); break;
    case TScrivCursor::crArrow: viewport()->setCursor(Qt::ArrowCursor); break;
    case TScrivCursor::crRightArrow: viewport()->setCursor(RightArrowCursor()); break;
    case TScrivCursor::crDrag: viewport()->setCursor(Qt::DragMoveCursor); break;
    case TScrivCursor::crDragCopy: viewport()->setCursor(Qt::DragCopyCursor); break;
    case TScrivCursor::crNoDrop: viewport()->setCursor(Qt::ForbiddenCursor); break;
    case TScrivCursor::crRunCursor: viewport()->setCursor(RunCursorShape(run_cursor)); break;
  }
}

int32_t TScrivlet::WheelScrollLines() { return QApplication::wheelScrollLines(); }

void TScrivlet::ScheduleAutoScroll(int32_t delay_ms) {
  if (delay_ms < 0)
    auto_scroll_.stop();
  else
    auto_scroll_.start(delay_ms, this);
}

void TScrivlet::OpenPopup(int32_t x, int32_t y, bool default_menu) {
  const QPoint at = viewport()->mapToGlobal(QPoint(x, y));
  if (!default_menu) {
    if (popup_menu_ != nullptr) popup_menu_->popup(at);
    return;
  }
  if (default_popup_ == nullptr) default_popup_ = new QMenu(this);
  default_popup_->clear();
  for (const TPopupItem& item : input_->PopupItems(clipboard_in_use_->HasText())) {
    if (item.Caption == "-") {
      default_popup_->addSeparator();
      continue;
    }
    QAction* action = default_popup_->addAction(QString::fromStdString(item.Caption));
    action->setEnabled(item.Enabled);
    const int id = item.Id;
    connect(action, &QAction::triggered, this, [this, id] {
      Guarded([&] {
        input_->PopupCommand(id);
        return true;
      });
    });
  }
  if (OnInternalPopup) OnInternalPopup(*default_popup_);
  default_popup_->popup(at);
}

void TScrivlet::StartExternalDrag() {
  // The selection leaves the control: Qt's drag carries it to another control or program.
  scrivlet::TScrivlet& m = *memo_;
  input_->Dragging = false;
  input_->ButtonDown = false;
  ScheduleAutoScroll(-1);
  const int32_t lower = m.SelLower(), upper = m.SelUpper();
  auto* data = new QMimeData;
  const std::string text = m.GetTextRange(lower, upper);
  data->setText(EditorTextToQt(text));
  auto* drag = new QDrag(this);
  drag->setMimeData(data);
  const Qt::DropAction done =
      drag->exec(m.ReadOnly ? Qt::CopyAction : Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
  SetCursor(TScrivCursor::crIBeam, 0);
  auto* target = qobject_cast<QWidget*>(drag->target());
  const bool elsewhere = target != nullptr && target != viewport() && !isAncestorOf(target);
  if (done == Qt::MoveAction && elsewhere && m.SelLower() == lower && m.SelUpper() == upper) {
    Guarded([&] {
      m.ClearSelection();
      return true;
    });
  }
}

void TScrivlet::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasText() && !memo_->ReadOnly && !memo_->GetDisplayOnly())
    event->acceptProposedAction();
}

void TScrivlet::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasText() && !memo_->ReadOnly && !memo_->GetDisplayOnly())
    event->acceptProposedAction();
}

void TScrivlet::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasText() || memo_->ReadOnly || memo_->GetDisplayOnly()) return;
  const QPoint p = event->position().toPoint();  // the viewport's coordinates
  UnheldCharacter unheld{};
  const std::optional<std::string> text = EditorTextFromQt(event->mimeData()->text(), &unheld);
  if (!text) {
    RefuseCharacter(unheld);
    event->ignore();
    return;
  }
  scrivlet::TScrivlet& m = *memo_;
  Guarded([&] {
    TScrivNavigator& nav = m.WorkNav();
    nav.SetFromPoint(p.x(), p.y());
    const int32_t at = nav.Offset();
    m.SetSelStart(at);
    m.SetSelText(*text);
    m.Select(at, m.CaretNav().Offset());
    return true;
  });
  setFocus(Qt::MouseFocusReason);
  event->setDropAction((event->modifiers() & Qt::ControlModifier) ? Qt::CopyAction
                                                                  : Qt::MoveAction);
  event->accept();
  viewport()->update();
}

}  // namespace scrivlet::gui
