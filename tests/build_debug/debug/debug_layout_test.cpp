#include "build_debug/debug/debug_layout.h"

#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace build_debug {
namespace {

// The windows as a session opens them: the register window is the tall one.
DebugLayoutSizes Sizes(int screen_w, int screen_h, bool watch) {
  DebugLayoutSizes s;
  s.screen_width = screen_w;
  s.screen_height = screen_h;
  s.debug_width = 440;
  s.debug_height = 150;
  s.register_width = 560;
  s.register_height = 730;
  s.watch_width = 300;
  s.watch_height = 200;
  s.watch_shown = watch;
  return s;
}

bool Whole(const LayoutRect& r, const DebugLayoutSizes& s) {
  return r.left >= 0 && r.top >= 0 && r.Right() <= s.screen_width &&
         r.Bottom() <= s.screen_height && r.width > 0 && r.height > 0;
}

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
  return a.left < b.Right() && b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

TEST(DebugLayout, ALargeScreenKeepsTheCornerLayout) {
  const DebugLayoutSizes s = Sizes(1920, 1200, true);
  const DebugLayout layout = ArrangeDebugLayout(s);
  // x = (1920 + 560 - 440) / 2, y = 730 + 1200 / 32.
  const int x = 1020;
  const int y = 767;
  EXPECT_EQ(layout.debug, (LayoutRect{x, y - 150, 440, 150}));
  EXPECT_EQ(layout.registers, (LayoutRect{x - 560, y - 730, 560, 730}));
  EXPECT_EQ(layout.code, (LayoutRect{x - 560, y, 560, 1200 * 15 / 16 - y}));
  EXPECT_EQ(layout.watch, (LayoutRect{x, y, 300, 200}));
}

TEST(DebugLayout, EveryWindowIsWholeOnASmallScreenAndTheCodeWindowKeepsItsLines) {
  struct Case {
    int width;
    int height;
    bool watch;
  };
  // 1600x1000: the corner layout would leave the list window 176 px, three lines.
  const Case cases[] = {{1366, 768, false},
                        {1366, 768, true},
                        {1024, 768, true},
                        {1280, 720, true},
                        {1600, 1000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " watch " << c.watch);
    const DebugLayoutSizes s = Sizes(c.width, c.height, c.watch);
    const DebugLayout layout = ArrangeDebugLayout(s);
    EXPECT_TRUE(Whole(layout.debug, s));
    EXPECT_TRUE(Whole(layout.registers, s));
    EXPECT_TRUE(Whole(layout.code, s));
    EXPECT_GE(layout.code.height, kLeastCodeHeight);
    if (c.height == 1000) {
      EXPECT_GT(layout.code.height, 176) << "more than the corner's three lines";
    }
    EXPECT_EQ(layout.debug.width, 440);  // the debug window is never cut
    EXPECT_EQ(layout.debug.height, 150);
    if (c.width >= 1366) {
      EXPECT_FALSE(Overlap(layout.registers, layout.code));
      EXPECT_FALSE(Overlap(layout.debug, layout.code));
      EXPECT_FALSE(Overlap(layout.registers, layout.debug));
    }
    if (c.watch) {
      EXPECT_TRUE(Whole(layout.watch, s));
      if (c.width >= 1366) {
        EXPECT_FALSE(Overlap(layout.watch, layout.code));
      }
    }
  }
}

// The window manager's frame around each window, as the debug windows get it under openbox.
constexpr FrameMargins kFrame{1, 20, 1, 5};

LayoutRect Outer(const LayoutRect& r, const FrameMargins& f) {
  return {r.left - f.left, r.top - f.top, r.width + f.left + f.right, r.height + f.top + f.bottom};
}

TEST(DebugLayout, NoFrameStandsOverAnotherWindowNorLeavesTheScreen) {
  struct Windows {
    int debug_w, debug_h, register_w, register_h, watch_w, watch_h;
  };
  // The sizes above, and those the program's windows have on the 18-pin parts.
  const Windows windows[] = {{440, 150, 560, 730, 300, 200}, {360, 154, 442, 730, 211, 46}};
  struct Screen {
    int left, top, width, height;
  };
  // The last one has a panel of 32 px along its top.
  const Screen screens[] = {{0, 0, 1600, 1000},
                            {0, 0, 1024, 768},
                            {0, 0, 1366, 768},
                            {0, 0, 1920, 1200},
                            {0, 32, 1600, 968}};
  for (const Windows& win : windows)
    for (const Screen& screen : screens)
      for (bool watch : {false, true})
        for (int code_width : {0, 760})  // a listing's lines, 101 columns
          for (FrameMargins frame : {FrameMargins{}, kFrame}) {
            SCOPED_TRACE(testing::Message()
                         << screen.width << "x" << screen.height << "+" << screen.top
                         << " registers " << win.register_w << " watch " << watch << " code "
                         << code_width << " frame " << frame.top);
            DebugLayoutSizes s;
            s.screen_left = screen.left;
            s.screen_top = screen.top;
            s.screen_width = screen.width;
            s.screen_height = screen.height;
            s.debug_width = win.debug_w;
            s.debug_height = win.debug_h;
            s.register_width = win.register_w;
            s.register_height = win.register_h;
            s.watch_width = win.watch_w;
            s.watch_height = win.watch_h;
            s.watch_shown = watch;
            s.code_width = code_width;
            s.frame = frame;
            const DebugLayout layout = ArrangeDebugLayout(s);
            std::vector<std::pair<const char*, LayoutRect>> shown = {
                {"debug", layout.debug}, {"registers", layout.registers}, {"code", layout.code}};
            if (watch) shown.emplace_back("watch", layout.watch);
            for (const auto& [name, client] : shown) {
              const LayoutRect r = Outer(client, frame);
              EXPECT_TRUE(r.left >= screen.left && r.top >= screen.top &&
                          r.Right() <= screen.left + screen.width &&
                          r.Bottom() <= screen.top + screen.height)
                  << name << " " << r.left << "," << r.top << " " << r.width << "x" << r.height;
            }
            for (std::size_t i = 0; i < shown.size(); ++i)
              for (std::size_t j = i + 1; j < shown.size(); ++j)
                EXPECT_FALSE(Overlap(Outer(shown[i].second, frame), Outer(shown[j].second, frame)))
                    << shown[i].first << " and " << shown[j].first;
            EXPECT_EQ(layout.debug.width, win.debug_w);  // the debug window is never cut
            EXPECT_EQ(layout.debug.height, win.debug_h);
            EXPECT_GE(Outer(layout.code, frame).height, kLeastCodeHeight);
            // The code window shows its lines whole where the screen has the room.
            if (screen.width >= 1600) {
              EXPECT_GE(layout.code.width, code_width);
            }
            if (watch) {
              EXPECT_EQ(layout.watch.width, win.watch_w);
              EXPECT_EQ(layout.watch.height, win.watch_h);
            }
          }
}

}  // namespace
}  // namespace build_debug
