#pragma once
// Where a debug session's windows stand when they open at their default places: the debug
// window and the register window meet at a corner near the screen's centre, the code (or list)
// window hangs below the register window and the watch window below the debug window. On a
// screen too small for that, the register window keeps the left of the screen and the others
// stack beside it, so that every window is whole on the screen. The window manager's frames
// (title bars, borders) count: no frame stands over another window, none leaves the screen.

namespace build_debug {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const LayoutRect&) const = default;
};

struct FrameMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Window sizes are client areas; the screen is the part of it that windows may take.
struct DebugLayoutSizes {
  int screen_left = 0;
  int screen_top = 0;
  int screen_width = 0;
  int screen_height = 0;
  int debug_width = 0;
  int debug_height = 0;
  int register_width = 0;
  int register_height = 0;
  int watch_width = 0;
  int watch_height = 0;
  bool watch_shown = false;
  // The width the code (or list) window asks for to show its lines whole; where the screen
  // allows it is wider than the register window it hangs below. 0: as wide as that.
  int code_width = 0;
  FrameMargins frame;  // the same for every window
};

// Client areas, in screen pixels.
struct DebugLayout {
  LayoutRect debug;
  LayoutRect registers;
  LayoutRect code;  // the code window and the list window alike
  LayoutRect watch;
};

// Below this the code window shows too few lines to follow the program: the list window's
// two rows of tool buttons leave three lines of 176 px.
inline constexpr int kLeastCodeHeight = 240;

DebugLayout ArrangeDebugLayout(const DebugLayoutSizes& sizes);

}  // namespace build_debug
