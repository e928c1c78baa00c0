#pragma once
// What the key and mouse tests share: a host that records what the input asks of its
// window, and a control laid out at once with fixed-width characters 7 pixels wide and
// lines 12 high, no word wrap, left margin 8.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "editor_control/input.h"
#include "test_support.h"

namespace scrivlet::testing {

class RecordingHost : public TScrivInputHost {
 public:
  std::vector<TScrivCursor> Cursors;
  int Popups = 0;
  bool LastPopupDefault = false;
  bool HasMenu = false;
  int32_t PopupX = 0, PopupY = 0;
  std::vector<int32_t> Scheduled;
  int32_t WheelLines = 3;
  void SetCursor(TScrivCursor cursor, int16_t) override { Cursors.push_back(cursor); }
  bool HasPopupMenu() override { return HasMenu; }
  void OpenPopup(int32_t x, int32_t y, bool default_menu) override {
    ++Popups;
    PopupX = x;
    PopupY = y;
    LastPopupDefault = default_menu;
  }
  int32_t WheelScrollLines() override { return WheelLines; }
  void ScheduleAutoScroll(int32_t delay_ms) override { Scheduled.push_back(delay_ms); }
};

// "abc def" / "ghi jkl" / "mno": offsets a0 .. f6, break 7-8, g9 .. l15, break 16-17, m18 .. o20.
inline constexpr const char* kThreeLines = "abc def\r\nghi jkl\r\nmno";

class InputFixture : public ::testing::Test {
 protected:
  FixedWidthMeasurer measurer{7, 12};
  TMemoryClipboard clipboard;
  TScrivlet s{[this] {
    TScrivletServices services;
    services.Clipboard = &clipboard;
    return services;
  }()};
  RecordingHost host;
  TScrivInput in{s, host};
  void SetUp() override {
    LayOutAtOnce(s, measurer, 400, 120);
    s.SetWordWrap(false);
    s.CreateHandle();
    s.ScrollTime = 0;
  }
};

}  // namespace scrivlet::testing
