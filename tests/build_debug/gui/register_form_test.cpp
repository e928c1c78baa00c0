// The register window offscreen against the simulated key: its clicks and keys reach the chip
// through the real link, and what it draws follows the state.

#include "build_debug/gui/register_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "tests/build_debug/chip_session.h"
#include "tests/build_debug/gui/send_clicks.h"
#include "workbench/registry_settings.h"

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
  for (int a = 0x20; a < 0x30; ++a) image_->WorkingImage[static_cast<std::size_t>(a)] = UsedWord(0xA05);
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
  QWheelEvent wheel(QPointF(form.PanelLineRect(0).center()), form.mapToGlobal(QPointF(form.PanelLineRect(0).center())),
                    QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&form, &wheel);
  EXPECT_EQ(form.PanelScrollBar().value(), before + kPanelWheelSteps);
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
