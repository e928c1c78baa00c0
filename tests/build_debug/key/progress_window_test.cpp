#include "build_debug/key/progress_window.h"

#include <gtest/gtest.h>

#include "build_debug/key/key_protocol.h"
#include "services/localize.h"

namespace build_debug {
namespace {

// Every character 7 pixels wide.
int SevenPerCharacter(const std::string& text) { return static_cast<int>(text.size()) * 7; }

class ProgressWindowTest : public ::testing::Test {
 protected:
  ProgressWindowTest() { texts_.InitLocalization("x"); }
  workbench::Localizer texts_;
  ProgressGeometry geometry_;  // bar at 8, 36; Cancel at 64, 75 x 25; minimum width 224
  ProgressWindow window_{texts_, SevenPerCharacter, geometry_};
};

TEST_F(ProgressWindowTest, EachCodeSetsItsLabelAndResetsTheBar) {
  struct Case {
    int code;
    const char* label;
  };
  const Case cases[] = {{kProgressErasing, "Erasing..."},
                        {kProgressProgramming, "Programming..."},
                        {kProgressDebugProgramming, "Programming for Debug..."},
                        {kProgressReading, "Reading..."},
                        {kProgressCalibrating, "Calibrating..."}};
  for (const auto& c : cases) {
    window_.Apply(kProgressStep, 0);
    ASSERT_EQ(window_.Bar(), 16);
    window_.Apply(c.code, 0);
    EXPECT_EQ(window_.Label(), c.label);
    EXPECT_EQ(window_.Bar(), 0) << c.label;
  }
}

TEST_F(ProgressWindowTest, ThirtyTwoStepsFillTheBarAndNoMore) {
  window_.Apply(kProgressProgramming, 0);
  for (int i = 0; i < 32; ++i) window_.Apply(kProgressStep, i);
  EXPECT_EQ(window_.Bar(), ProgressWindow::kBarMaximum);
  window_.Apply(kProgressStep, 32);
  EXPECT_EQ(window_.Bar(), ProgressWindow::kBarMaximum);
}

TEST_F(ProgressWindowTest, CancelShowsOnlyWhileARunCanStop) {
  EXPECT_FALSE(window_.Shown());
  window_.Apply(kProgressStart, 0);
  EXPECT_TRUE(window_.Shown());
  EXPECT_FALSE(window_.CancelVisible());
  EXPECT_EQ(window_.ClientHeight(), 64);  // ends at the Cancel button's top
  window_.Apply(kProgressShowCancel, 0);
  EXPECT_TRUE(window_.CancelVisible());
  EXPECT_EQ(window_.ClientHeight(), 64 + 25 + 36);
}

TEST_F(ProgressWindowTest, TheWidthFitsALongLabelAndNeverFallsBelowTheMinimum) {
  window_.Apply(kProgressErasing, 0);  // 10 characters: 70 + 8 pixels, below the minimum
  EXPECT_EQ(window_.ClientWidth(), 224);
  EXPECT_EQ(window_.BarWidth(), 224 - 16);
  EXPECT_EQ(window_.LabelWidth(), 224);
  EXPECT_EQ(window_.CancelLeft(), (224 - 75) / 2);

  window_.Apply(kProgressDebugProgramming, 0);  // 24 characters: 168 + 8
  EXPECT_EQ(window_.ClientWidth(), 224);

  ProgressWindow wide{texts_,
                      [](const std::string& text) { return static_cast<int>(text.size()) * 12; }};
  wide.Apply(kProgressDebugProgramming, 0);  // 288 + 8
  EXPECT_EQ(wide.ClientWidth(), 296);
  EXPECT_EQ(wide.BarWidth(), 296 - 16);
  EXPECT_EQ(wide.CancelLeft(), (296 - 75) / 2);
  wide.Apply(kProgressErasing, 0);  // back to a short text: back to the minimum
  EXPECT_EQ(wide.ClientWidth(), 224);
}

TEST_F(ProgressWindowTest, TheDebugLabelTellsWhereTheWorkerWas) {
  window_.Apply(kProgressHideMessage, 0);
  EXPECT_EQ(window_.DebugLabel(), "Hide Message");
  window_.Apply(kProgressTxFailed, 0);
  EXPECT_EQ(window_.DebugLabel(), "!Tx data");
  window_.Apply(kProgressSentClose, 2);
  EXPECT_EQ(window_.DebugLabel(), "Sent close 2");
}

}  // namespace
}  // namespace build_debug
