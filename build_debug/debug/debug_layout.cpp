#include "build_debug/debug/debug_layout.h"

#include <algorithm>
#include <utility>

namespace build_debug {
namespace {

bool Inside(const LayoutRect& r, int screen_w, int screen_h) {
  return r.left >= 0 && r.top >= 0 && r.Right() <= screen_w && r.Bottom() <= screen_h;
}

// A window larger than the screen is cut to it, then moved until it is whole on it.
LayoutRect OnScreen(LayoutRect r, int screen_w, int screen_h) {
  r.width = std::min(r.width, screen_w);
  r.height = std::min(r.height, screen_h);
  r.left = std::clamp(r.left, 0, screen_w - r.width);
  r.top = std::clamp(r.top, 0, screen_h - r.height);
  return r;
}

DebugLayout CornerLayout(const DebugLayoutSizes& s) {
  int w = s.debug_width;
  if (s.watch_shown) w = std::max(w, s.watch_width);
  const int x = (s.screen_width + s.register_width - w) / 2;
  const int y = std::max(s.debug_height, s.register_height) + s.screen_height / 32;
  DebugLayout layout;
  layout.debug = {x, y - s.debug_height, s.debug_width, s.debug_height};
  layout.registers = {x - s.register_width, y - s.register_height, s.register_width,
                      s.register_height};
  layout.code = {x - s.register_width, y, s.register_width, s.screen_height * 15 / 16 - y};
  // A wider code window grows to the left: the watch window stands right of the corner.
  if (s.code_width > layout.code.width) {
    layout.code.left = std::max(0, x - s.code_width);
    layout.code.width = x - layout.code.left;
  }
  layout.watch = {x, y, s.watch_width, s.watch_height};
  return layout;
}

DebugLayout SideBySideLayout(const DebugLayoutSizes& s) {
  const int screen_w = s.screen_width;
  const int screen_h = s.screen_height;
  // What must stand beside the register window; the code window would like to be as wide as
  // the register window, but takes what the screen leaves.
  int column = s.debug_width;
  if (s.watch_shown) column = std::max(column, s.watch_width);
  const int code_width = std::max({column, s.register_width, s.code_width});
  const int left = std::max(0, (screen_w - s.register_width - code_width) / 2);
  DebugLayout layout;
  layout.registers = OnScreen({left, 0, s.register_width, s.register_height}, screen_w, screen_h);
  const int right = std::min(layout.registers.Right(), std::max(0, screen_w - column));
  layout.debug = OnScreen({right, 0, s.debug_width, s.debug_height}, screen_w, screen_h);
  int top = layout.debug.Bottom();
  layout.watch = OnScreen({right, top, s.watch_width, s.watch_height}, screen_w, screen_h);
  if (s.watch_shown) top = layout.watch.Bottom();
  // The code window takes what is left of the column, but never less than a few lines.
  const int code_top = std::min(top, std::max(0, screen_h - kLeastCodeHeight));
  layout.code =
      OnScreen({right, code_top, std::min(code_width, screen_w - right), screen_h - code_top},
               screen_w, screen_h);
  return layout;
}

DebugLayout ArrangeOuter(const DebugLayoutSizes& sizes) {
  const DebugLayout corner = CornerLayout(sizes);
  const int w = sizes.screen_width;
  const int h = sizes.screen_height;
  const bool fits = Inside(corner.debug, w, h) && Inside(corner.registers, w, h) &&
                    Inside(corner.code, w, h) && corner.code.height >= kLeastCodeHeight &&
                    (!sizes.watch_shown || Inside(corner.watch, w, h));
  return fits ? corner : SideBySideLayout(sizes);
}

}  // namespace

DebugLayout ArrangeDebugLayout(const DebugLayoutSizes& sizes) {
  // The windows are arranged by their outer sizes, frames included, from the screen's corner;
  // each then gets back the client area inside its frame.
  const FrameMargins& f = sizes.frame;
  const int frame_w = f.left + f.right;
  const int frame_h = f.top + f.bottom;
  DebugLayoutSizes outer = sizes;
  for (auto [width, height] : {std::pair{&outer.debug_width, &outer.debug_height},
                               std::pair{&outer.register_width, &outer.register_height},
                               std::pair{&outer.watch_width, &outer.watch_height}}) {
    *width += frame_w;
    *height += frame_h;
  }
  if (outer.code_width > 0) outer.code_width += frame_w;
  DebugLayout layout = ArrangeOuter(outer);
  for (LayoutRect* r : {&layout.debug, &layout.registers, &layout.code, &layout.watch})
    *r = {r->left + sizes.screen_left + f.left, r->top + sizes.screen_top + f.top,
          std::max(0, r->width - frame_w), std::max(0, r->height - frame_h)};
  return layout;
}

}  // namespace build_debug
