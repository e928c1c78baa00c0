#include "services/gui/form_placement.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace gui {

using workbench::WindowState;

WindowState WidgetPlacement::State() const {
  const Qt::WindowStates s = window_.windowState();
  if (s & Qt::WindowMinimized) return WindowState::Minimized;
  if (s & (Qt::WindowMaximized | Qt::WindowFullScreen)) return WindowState::Maximized;
  return WindowState::Normal;
}

QRect WidgetPlacement::Normal() const {
  // A maximized window remembers the bounds it will return to; a normal one has them.
  const QRect normal = window_.normalGeometry();
  return normal.isValid() ? normal : window_.geometry();
}

void WidgetPlacement::SetState(WindowState state) {
  const QRect normal = Normal();
  Qt::WindowStates s =
      window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
  if (state == WindowState::Minimized) s |= Qt::WindowMinimized;
  if (state == WindowState::Maximized) s |= Qt::WindowMaximized;
  window_.setWindowState(s);
  // Back to normal, the window takes its normal bounds at once, not when the window system
  // gets round to it, so that they can be read straight away.
  if (state == WindowState::Normal) window_.setGeometry(normal);
}

bool WidgetPlacement::Visible() const { return window_.isVisible(); }

QRect WholeOnScreen(QRect wanted, const QRect& area) {
  wanted.setWidth(std::min(wanted.width(), area.width()));
  wanted.setHeight(std::min(wanted.height(), area.height()));
  wanted.moveLeft(std::clamp(wanted.left(), area.left(), area.right() + 1 - wanted.width()));
  wanted.moveTop(std::clamp(wanted.top(), area.top(), area.bottom() + 1 - wanted.height()));
  return wanted;
}

QRect WholeOnScreen(const QRect& wanted, const QMargins& frame, const QRect& area) {
  return WholeOnScreen(wanted + frame, area) - frame;
}

QMargins WindowFrame(const QWidget& window) {
  auto framed = [](const QWidget* w) {
    const QWindow* handle = w->windowHandle();
    return handle && w->isVisible() && !handle->frameMargins().isNull();
  };
  for (const QWidget* w = window.window(); w;
       w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
    if (framed(w)) return w->windowHandle()->frameMargins();
  // A window whose owner is hidden gets the frame of any other window on the screen.
  for (const QWidget* w : QApplication::topLevelWidgets())
    if (framed(w) && w->windowType() == Qt::Window) return w->windowHandle()->frameMargins();
  return {};
}

// The window system's window is made at the first show and stays until the widget goes.
bool WidgetPlacement::WasShown() const { return window_.windowHandle() != nullptr; }

void WidgetPlacement::SetBounds(int left, int top, int width, int height) {
  // A place stored on a larger screen, or one the screen no longer has, would leave the
  // window partly out of reach: it opens whole on the screen it belongs to.
  QRect wanted(left, top, width, height);
  const QScreen* screen = QGuiApplication::screenAt(wanted.center());
  if (!screen) screen = window_.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) {
    window_.setGeometry(wanted);
    return;
  }
  const QRect area = screen->availableGeometry();
  QMargins frame = WindowFrame(window_);
  if (frame.isNull()) {
    // Before the window manager has framed a window, at the start, its frame is not known: a
    // window restored as large as the screen (or larger) would have its title bar pushed off
    // it once framed. A title bar and borders of the style's sizes stand in for the frame of
    // such a window; one that fits with them keeps its place as it was stored.
    const QStyle* style = window_.style();
    const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window_);
    const int title = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window_);
    const QMargins estimate(border, title, border, border);
    const QSize outer = wanted.size().grownBy(estimate);
    if (outer.width() > area.width() || outer.height() > area.height()) frame = estimate;
  }
  wanted = WholeOnScreen(wanted, frame, area);
  window_.setGeometry(wanted);
}

namespace {

class PlaceKeeper : public QObject {
 public:
  PlaceKeeper(QWidget& window, bool by_owner)
      : QObject(&window), window_(window), by_owner_(by_owner) {
    window.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &window_ || event->spontaneous()) return false;
    if (event->type() == QEvent::Hide) {
      kept_ = window_.geometry();
    } else if (event->type() == QEvent::Show && kept_.isValid()) {
      // Before the window system maps it: the place is the client area's, which no frame that
      // comes later moves.
      WidgetPlacement(window_).SetBounds(kept_.x(), kept_.y(), kept_.width(), kept_.height());
    } else if (event->type() == QEvent::Show && by_owner_) {
      by_owner_ = false;
      // A place restored or set by the program stands.
      if (const QWidget* owner = window_.parentWidget();
          owner && !window_.testAttribute(Qt::WA_Moved))
        OpenByOwner(*owner->window());
    }
    return false;
  }

 private:
  void OpenByOwner(const QWidget& owner) {
    const QScreen* screen = owner.screen();
    if (!screen) return;
    const QMargins frame = WindowFrame(window_);
    const QRect area = screen->availableGeometry();
    // A window made before its owner was framed could not count the frame: it is cut to the
    // area here, where the frame is known.
    const QSize size = window_.size().boundedTo(area.size().shrunkBy(frame));
    const QPoint at = PlaceByOwner(size.grownBy(frame), owner.frameGeometry(), area);
    window_.setGeometry(QRect(at + QPoint(frame.left(), frame.top()), size));
  }

  QWidget& window_;
  bool by_owner_;
  QRect kept_;
};

}  // namespace

void KeepPlaceOnReopen(QWidget& window) { new PlaceKeeper(window, false); }

void OpenByOwnerAndKeepPlace(QWidget& window) { new PlaceKeeper(window, true); }

QPoint PlaceByOwner(const QSize& size, const QRect& owner, const QRect& area) {
  QRect placed(QPoint(owner.right() + 1, owner.top()), size);
  const int room_right = area.right() - owner.right();
  const int room_left = owner.left() - area.left();
  // Without room on either side it goes to the side with more, over as little of the owner as
  // the screen allows.
  if (room_right < size.width() && (room_left >= size.width() || room_left > room_right))
    placed.moveRight(owner.left() - 1);
  return WholeOnScreen(placed, area).topLeft();
}

bool SaveFormPlacement(workbench::RegistrySettings& registry, std::string_view name,
                       QWidget& window) {
  WidgetPlacement placement(window);
  return registry.SaveFormPlacement(name, placement);
}

bool RestoreFormPlacement(const workbench::RegistrySettings& registry, std::string_view name,
                          QWidget& window) {
  WidgetPlacement placement(window);
  return registry.RestoreFormPlacement(name, placement);
}

}  // namespace gui
