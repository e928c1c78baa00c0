// The register window offscreen against the simulated key: its clicks and keys reach the chip
// through the real link, and what it draws follows the state.

#include "build_debug/debug/gui/register_form.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "tests/build_debug/debug/chip_session.h"
#include "tests/build_debug/debug/gui/send_clicks.h"

namespace gui {
namespace {

using namespace build_debug;

class RegisterFormTest : public ChipSession {
 protected:
  TRegisterForm& Show(int device_code, int banks) {
    form_ = std::make_unique<TRegisterForm>(debug_, *image_, settings_, device_code, banks);
    form_->show();
    QApplication::processEvents();
    return *form_;
  }

  void Click(const QRect& rect, bool twice = false) { SendClick(*form_, rect, twice); }

  void Key(int key, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(form_.get(), &event);
  }

  void Shot(const char* name) {
    if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
      form_->grab().save(QString(folder) + "/" + name);
  }

  std::string settings_file_ = FreshSettingsFile();
  platform::SettingsStore store_{settings_file_};
  workbench::RegistrySettings settings_{store_};
  std::unique_ptr<TRegisterForm> form_;
};

TEST_F(RegisterFormTest, ClicksAndKeysReachTheChip) {
  keysim::MonitorRegisters r;
  r.pc = 0x21;
  r.fsr = 0x9C;
  r.ports[6 - 5] = 0x0F;
  r.ram.assign(64, 0x11);
  auto& chip = Open(false, kFusexFourBanks, r);
  for (int a = 0x20; a < 0x30; ++a)
    image_->WorkingImage[static_cast<std::size_t>(a)] = UsedWord(0xA05);
  auto& form = Show(3, 4);

  Click(form.BitRect(6, 7));
  EXPECT_EQ(chip.Monitor().ports[6 - 5], 0x8F);
  Click(form.FlagRect(false));
  EXPECT_EQ(chip.Monitor().status & 0x10, 0x10);

  Click(form.ValueRect(0xB3));
  Key(Qt::Key_C, "c");
  Key(Qt::Key_7, "7");
  EXPECT_EQ(chip.Monitor().ram[16 + 3], 0xC7);
  EXPECT_EQ(form.Control().Editing().slot, 0xB4);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(form.Control().Editing().active);

  // The panel follows the PC; a click sets the breakpoint, a double click the PC.
  const int first = debug_.Live().PanelPosition;
  ASSERT_LE(first, 0x21);
  Click(form.PanelLineRect(0x24 - first));
  debug_.UpdateDebugData();
  EXPECT_EQ(chip.Monitor().break_address, 0x24);
  debug_.TakeDebugSnapshot();
  Click(form.PanelLineRect(0x26 - first), true);
  EXPECT_EQ(chip.Monitor().pc, 0x26);
  EXPECT_EQ(chip.Monitor().break_address, 0x24);
  Shot("register_form.png");

  // The wheel moves the panel five lines a notch.
  const int before = form.PanelScrollBar().value();
  QWheelEvent wheel(QPointF(form.PanelLineRect(0).center()),
                    form.mapToGlobal(QPointF(form.PanelLineRect(0).center())), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&form, &wheel);
  EXPECT_EQ(form.PanelScrollBar().value(), before + kPanelWheelSteps);
}

// Typing hex into a cell: the digit that the next key replaces is marked, and the mark moves
// on with each key.
TEST_F(RegisterFormTest, TheDigitBeingTypedIsMarked) {
  keysim::MonitorRegisters r;
  r.ram.assign(64, 0x11);
  Open(false, kFusexFourBanks, r);
  auto& form = Show(3, 4);
  // Is the digit's cell dark along its bottom line, where a typing mark stands?
  const auto marked = [&](int slot, int digit) {
    const QImage shot = form.grab().toImage();
    const QRect cell = form.ValueRect(slot);
    const int width = cell.width() / 2;
    int dark = 0;
    for (int x = cell.x() + digit * width + 1; x < cell.x() + (digit + 1) * width - 1; ++x)
      if (qGray(shot.pixel(x, cell.bottom())) < 96) ++dark;
    return dark >= width - 3;
  };
  struct Step {
    const char* what;
    int key;
    const char* text;
    int slot;
    int digit;
  };
  const Step steps[] = {
      {"a click: the first digit", 0, "", 0xB3, 0},
      {"one digit typed: the second", Qt::Key_C, "c", 0xB3, 1},
      {"two typed: the next register's first", Qt::Key_7, "7", 0xB4, 0},
  };
  for (const Step& step : steps) {
    if (step.key == 0)
      Click(form.ValueRect(step.slot));
    else
      Key(step.key, step.text);
    ASSERT_TRUE(form.Control().Editing().active) << step.what;
    EXPECT_TRUE(marked(step.slot, step.digit)) << step.what;
    EXPECT_FALSE(marked(step.slot, 1 - step.digit)) << step.what;
  }
  Shot("register_form_typing.png");
  Key(Qt::Key_Escape);
  EXPECT_FALSE(marked(0xB4, 0));
}

TEST_F(RegisterFormTest, TheMHintOnThe4KParts) {
  keysim::MonitorRegisters r;
  r.ram.assign(240, 0);
  Open(true, kFusex4K, r);
  auto& form = Show(5, 0);
  Click(form.ValueRect(kSlotM));
  EXPECT_TRUE(form.HintShown());
  Shot("register_form_4k.png");
}

}  // namespace
}  // namespace gui
