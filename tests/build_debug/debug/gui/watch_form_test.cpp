// The watch window offscreen against the simulated key: values shown in their formats, typed
// values written to the chip, a rejected text told and the old value shown again.

#include "build_debug/debug/gui/watch_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "tests/build_debug/debug/chip_session.h"

namespace gui {
namespace {

using namespace build_debug;

class WatchFormTest : public ChipSession {
 protected:
  void AddWatch(const char* name, int reg, int offset, int width, WatchFormat format) {
    WatchEntry& entry = image_->Watches[static_cast<std::size_t>(image_->WatchCount++)];
    SetWatchName(entry, name);
    entry.Address = static_cast<std::uint16_t>(reg | (offset << 8));
    entry.Width = static_cast<std::uint8_t>(width);
    entry.Format = format;
  }

  TWatchForm& Show() {
    form_ = std::make_unique<TWatchForm>(debug_, *image_, messages_, settings_);
    form_->show();
    QApplication::processEvents();
    return *form_;
  }

  void Click(int index) {
    const QPointF at = form_->ValueRect(index).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, form_->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &press);
  }

  void Type(const QString& text) {
    for (QChar c : text) {
      QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(form_.get(), &event);
    }
  }

  void Key(int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(form_.get(), &event);
  }

  std::string settings_file_ = FreshSettingsFile();
  platform::SettingsStore store_{settings_file_};
  workbench::RegistrySettings settings_{store_};
  std::unique_ptr<TWatchForm> form_;
};

TEST_F(WatchFormTest, TypedValuesReachTheChip) {
  keysim::MonitorRegisters r;
  r.ram = {0xFF, 0x34, 0x12, 'Q', 'V', 0, 0, 0, 0x05};
  r.ram.resize(64);
  auto& chip = Open(false, kFusexFourBanks, r);
  AddWatch("count", 0x90, 0, 8, SDEC);
  AddWatch("address", 0x91, 0, 16, UHEX);
  AddWatch("label", 0x93, 0, 4, ZSTR);
  AddWatch("flags", 0x98, 0, 4, UBIN);
  auto& form = Show();
  EXPECT_EQ(form.ValueText(0), "-1");
  EXPECT_EQ(form.ValueText(1), "$1234");
  EXPECT_EQ(form.ValueText(2), "QV");
  EXPECT_EQ(form.ValueText(3), "%0101");
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
    form.grab().save(QString(folder) + "/watch_form.png");

  Click(1);
  EXPECT_EQ(form.ValueText(1), "$1234");  // the current text until a key replaces it
  Type("$1_F");
  Key(Qt::Key_Return);
  EXPECT_EQ(chip.Monitor().ram[1], 0x1F);
  EXPECT_EQ(chip.Monitor().ram[2], 0x00);
  EXPECT_EQ(form.ValueText(1), "$001F");

  // Down past the last entry wraps to the first, writing what was typed.
  Click(3);
  Type("%1010");
  Key(Qt::Key_Down);
  EXPECT_EQ(chip.Monitor().ram[8], 0x0A);
  ASSERT_TRUE(form.Editor().Active());
  EXPECT_EQ(form.Editor().Index(), 0);
  Type("'A'");
  Key(Qt::Key_Return);
  EXPECT_EQ(chip.Monitor().ram[0], 0x41);

  Click(0);
  Type("zz");
  Key(Qt::Key_Return);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Invalid constant entry"});
  EXPECT_EQ(form.ValueText(0), "65");
  EXPECT_EQ(chip.Monitor().ram[0], 0x41);

  // Esc writes nothing.
  Click(2);
  Type("xy");
  Key(Qt::Key_Escape);
  EXPECT_EQ(chip.Monitor().ram[3], 'Q');
}

}  // namespace
}  // namespace gui
