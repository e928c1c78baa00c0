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

bool SaveFormPlacement(workbench::RegistrySettings& registry, std::string_view name,
                       QWidget& window);
bool RestoreFormPlacement(const workbench::RegistrySettings& registry, std::string_view name,
                          QWidget& window);

}  // namespace gui
