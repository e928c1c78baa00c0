#pragma once
// Window placements of Qt windows in the settings store (see services/registry_settings.h).
// Bounds are the window's geometry without its frame, in screen pixels.

#include <QMargins>
#include <QRect>
#include <string_view>

#include "services/registry_settings.h"

class QWidget;

namespace gui {

class WidgetPlacement : public workbench::PlacedWindow {
 public:
  explicit WidgetPlacement(QWidget& window) : window_(window) {}
  workbench::WindowState State() const override;
  void SetState(workbench::WindowState state) override;
  int Top() const override { return Normal().y(); }
  int Left() const override { return Normal().x(); }
  int Height() const override { return Normal().height(); }
  int Width() const override { return Normal().width(); }
  bool Visible() const override;
  void SetBounds(int left, int top, int width, int height) override;
  // The window was on the screen at some time.
  bool WasShown() const;

 private:
  QRect Normal() const;
  QWidget& window_;
};

// `wanted` moved, and cut where it is larger, until it lies whole inside `area`.
QRect WholeOnScreen(QRect wanted, const QRect& area);
// The same for a window's client area inside a frame of `frame`: the frame lies whole inside.
QRect WholeOnScreen(const QRect& wanted, const QMargins& frame, const QRect& area);

// The window manager's frame (title bar and borders) around `window`: its own once the window
// manager has framed it, else that of the window it belongs to, which a window about to open
// will get as well; none without a window manager.
QMargins WindowFrame(const QWidget& window);

// Makes `window` come back exactly where it was closed: a dialog shown again is otherwise
// centred on its owner anew (losing the place the user moved it to), and a window manager that
// frames a window only once it is shown moves it by its title bar's height when it reopens.
// Where nothing was kept yet, the window opens where it would have.
void KeepPlaceOnReopen(QWidget& window);

// The same for a window that, the first time it opens without a place of its own (none
// restored, none set), opens by its owner (PlaceByOwner) rather than where the window system
// puts it.
void OpenByOwnerAndKeepPlace(QWidget& window);

// Where a window of `size` (its frame included) opens by its owner, whose frame is `owner`:
// beside the owner's right edge, else its left edge, where the screen's `area` has room, else
// on the side with more room as far out as `area` allows; top-aligned with the owner and whole
// inside `area`.
QPoint PlaceByOwner(const QSize& size, const QRect& owner, const QRect& area);

bool SaveFormPlacement(workbench::RegistrySettings& registry, std::string_view name,
                       QWidget& window);
bool RestoreFormPlacement(const workbench::RegistrySettings& registry, std::string_view name,
                          QWidget& window);

}  // namespace gui
