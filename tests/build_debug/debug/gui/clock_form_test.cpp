// The clock and IRC windows offscreen, against the simulated key with a chip behind it.

#include "build_debug/debug/gui/clock_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/debug/gui/irc_form.h"
#include "build_debug/key/clock_synth.h"
#include "tests/build_debug/debug/debug_fixture.h"
#include "tests/build_debug/debug/gui/wait_until.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"

namespace gui {
namespace {

using namespace build_debug;
using keysim::ChipConfig;
using keysim::ChipModel;

class RecordingPriority : public ProcessPriority {
 public:
  void Raise() override { raised = true; }
  void Restore() override { raised = false; }
  bool raised = false;
};

class ClockFormTest : public KeyFixture {
 protected:
  ClockFormTest() {
    link_.ComInit();
    ChipConfig config;
    config.counts = {0, 400, 350, 317, 300, 100, 2000, 330};
    chip_ = std::make_unique<ChipModel>(config);
    chip_->Install(StartKey());
    image_->ClockHz = 4'000'000;
  }
  ~ClockFormTest() override {
    form_.reset();
    keys_.clear();
  }

  // Opens the link, as the Clock command does before it shows the window.
  void Show() {
    ASSERT_TRUE(link_.OpenKey());
    form_->show();
    QApplication::processEvents();
  }

  void Type(const QString& text) {
    form_->Edit().clear();
    for (QChar c : text) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(&form_->Edit(), &key);
    }
  }
  void Leave() {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&form_->Edit(), &out);
  }

  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  std::unique_ptr<ChipModel> chip_;
  KeyNotices notes_;
  QvKeyUnit key_{link_, *image_, messages_, notes_};
  DebugProtocol debug_{link_, key_, *image_, messages_};
  RecordingPriority priority_;
  std::vector<std::string> status_;
  ClockControl control_{link_,     key_,
                        debug_,    *image_,
                        priority_, [this](const std::string& text) { status_.push_back(text); }};
  std::string settings_file_ = FreshSettingsFile();
  platform::SettingsStore store_{settings_file_};
  workbench::RegistrySettings settings_{store_};
  std::unique_ptr<TClockForm> form_ = std::make_unique<TClockForm>(control_, settings_);
};

TEST_F(ClockFormTest, ShowingAppliesTheImagesFrequency) {
  Show();
  EXPECT_EQ(form_->Edit().text(), "4.000");
  EXPECT_EQ(form_->TrackBar().value(), 10600);
  EXPECT_TRUE(form_->CheckBox().isChecked());
  EXPECT_EQ(chip_->ClockWords(), std::vector<std::uint32_t>{ClockSynthSetting(4'000'000)});
  EXPECT_EQ(status_,
            std::vector<std::string>{"QV-Key is generating a clock signal of 4,000,000 Hz."});
  EXPECT_TRUE(priority_.raised);
  EXPECT_TRUE(form_->Timer().isActive());
  EXPECT_EQ(form_->Timer().interval(), 500);
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
    form_->grab().save(QString(folder) + "/clock_form.png");
  form_->OkayButton().click();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_FALSE(link_.IsLinkOpen());
  EXPECT_FALSE(priority_.raised);
}

TEST_F(ClockFormTest, TypedFrequenciesAreClampedAndShown) {
  struct Case {
    const char* typed;
    std::int32_t hz;
    const char* shown;
    int track;
  };
  const Case cases[] = {
      {"4.5", 4'500'000, "4.500", 10550},
      {"200", 110'000'000, "110.000", 0},
      {"2200", 110'000'000, "110.000", 0},  // beyond 32 bits in Hz
      {"0.1", 400'000, "0.400", 10960},
      {"12.3456", 12'345'000, "12.345", 9766},  // 10960 - 11,945,000 div 10,000

  };
  Show();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Type(c.typed);
    EXPECT_EQ(form_->Edit().text(), c.typed);
    Leave();
    EXPECT_EQ(control_.Frequency(), c.hz);
    EXPECT_EQ(image_->ClockHz, c.hz);
    EXPECT_EQ(form_->Edit().text(), c.shown);
    EXPECT_EQ(form_->TrackBar().value(), c.track);
  }
  EXPECT_EQ(chip_->ClockWords().back(), ClockSynthSetting(12'345'000));
}

TEST_F(ClockFormTest, TheSliderSetsTheFrequencyInStepsOfTenKilohertz) {
  Show();
  form_->TrackBar().setValue(10960);
  EXPECT_EQ(control_.Frequency(), 400'000);
  EXPECT_EQ(form_->Edit().text(), "0.400");
  form_->TrackBar().setValue(0);
  EXPECT_EQ(control_.Frequency(), 110'000'000);
  EXPECT_EQ(form_->Edit().text(), "110.000");
}

TEST_F(ClockFormTest, EachAcceptedOnToggleAddsOneHertz) {
  Show();
  form_->CheckBox().click();                                      // off
  EXPECT_TRUE(Until([this] { return !chip_->ClockRunning(); }));  // no reply to wait for
  EXPECT_EQ(control_.Frequency(), 4'000'001);
  EXPECT_EQ(status_.back(), "QV-Key clock generator is OFF.");
  form_->CheckBox().click();  // on again
  EXPECT_TRUE(chip_->ClockRunning());
  EXPECT_EQ(control_.Frequency(), 4'000'002);
  EXPECT_EQ(chip_->ClockWords().back(), ClockSynthSetting(4'000'002));
  EXPECT_EQ(status_.back(), "QV-Key is generating a clock signal of 4,000,002 Hz.");
  EXPECT_EQ(form_->Edit().text(), "4.000");
}

TEST_F(ClockFormTest, LetterKeysActAndAreDropped) {
  Show();
  Type("o");  // On toggles
  EXPECT_FALSE(form_->CheckBox().isChecked());
  int releases = chip_->Releases();
  Type("R");
  EXPECT_EQ(chip_->Releases(), releases + 1);
  Type("x1.2");
  EXPECT_EQ(form_->Edit().text(), "1.2");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(&form_->Edit(), &enter);
  EXPECT_EQ(control_.Frequency(), 1'200'000);
  Type("k");
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(ClockFormTest, EscClosesTheWindowAsCancelDoes) {
  Show();
  const int frequency = control_.Frequency();
  // Esc where the frequency is typed, as the window comes up.
  QTest::keyClick(&form_->Edit(), Qt::Key_Escape);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->result(), QDialog::Rejected);
  EXPECT_EQ(control_.Frequency(), frequency);
}

TEST_F(ClockFormTest, TheTimerKeepsTheLinkAliveAndClosesTheWindowWhenItIsGone) {
  Show();
  ASSERT_TRUE(Until([this] { return chip_->Polls() >= 2; }));
  EXPECT_TRUE(form_->isVisible());
  EXPECT_TRUE(link_.IsLinkOpen());
  keys_.back()->HangUp();
  ASSERT_TRUE(Until([this] { return !form_->isVisible(); }));
  EXPECT_EQ(form_->result(), QDialog::Rejected);
  EXPECT_FALSE(link_.IsLinkOpen());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
}

TEST_F(ClockFormTest, TheIrcWindowShowsEachMeasurementAndTheChosenTrim) {
  ASSERT_TRUE(link_.OpenKey());
  key_.SetIrcCalMode(1);
  ASSERT_TRUE(key_.CalibrateIrc());
  link_.CloseKey();
  EXPECT_EQ(key_.GetTrim(), 3);
  TIrcFRM irc(key_, texts_);
  irc.show();
  QApplication::processEvents();
  // 1,266,035,968 / count, in MHz cut to two decimals.
  const char* expected[] = {"failed", "3.16", "3.61", "3.99", "4.22", "12.66", "0.63", "3.83"};
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(irc.FreqLabel(t).text(), expected[t]) << t;
    EXPECT_EQ(irc.FreqLabel(t).font().bold(), t == 3) << t;
  }
  EXPECT_EQ(irc.windowTitle(), "IRC");
  EXPECT_FALSE(irc.StatusLabel().isVisible()) << "a calibration that measured says nothing more";
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
    irc.grab().save(QString(folder) + "/irc_form.png");
}

TEST_F(ClockFormTest, AnIrcWindowWhoseEveryMeasurementFailedSaysSoAndChoosesNone) {
  ChipConfig silent;  // a chip whose oscillator the key never sees
  chip_ = std::make_unique<ChipModel>(silent);
  chip_->Install(StartKey());
  ASSERT_TRUE(link_.OpenKey());
  key_.SetIrcCalMode(1);
  ASSERT_TRUE(key_.CalibrateIrc());
  link_.CloseKey();
  TIrcFRM irc(key_, texts_);
  irc.show();
  QApplication::processEvents();
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(irc.FreqLabel(t).text(), "failed") << t;
    EXPECT_FALSE(irc.FreqLabel(t).font().bold()) << t;
  }
  EXPECT_TRUE(irc.StatusLabel().isVisible());
  EXPECT_EQ(irc.StatusLabel().text().toStdString(),
            "Calibration failed: no trim could be measured. The chip was programmed with trim " +
                std::to_string(key_.GetTrim()) + ", uncalibrated.");
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
    irc.grab().save(QString(folder) + "/irc_form_failed.png");
}

TEST_F(ClockFormTest, TheWindowComesBackExactlyWhereItWasClosed) {
  Show();
  form_->windowHandle()->setFramePosition(QPoint(20, 30));  // dragged by its title bar
  QApplication::processEvents();
  const QRect closed = form_->geometry();
  for (int reopen = 1; reopen <= 2; ++reopen) {
    form_->hide();
    form_->show();
    EXPECT_EQ(form_->geometry(), closed) << "reopen " << reopen;
  }
  form_->hide();
}

}  // namespace
}  // namespace gui
