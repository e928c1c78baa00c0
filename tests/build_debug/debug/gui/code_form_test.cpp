// The code window offscreen against the simulated key: it follows the PC across pages while
// the chip steps, and its clicks set the breakpoint and the PC.

#include "build_debug/debug/gui/code_form.h"

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "tests/build_debug/debug/chip_session.h"
#include "tests/build_debug/debug/gui/send_clicks.h"

namespace gui {
namespace {

using namespace build_debug;

class CodeFormTest : public ChipSession {
 protected:
  // A listing of `lines` lines, line n holding address n.
  void MakeListing(int lines) {
    image_->AddressLine.fill(-1);
    for (int n = 0; n < lines; ++n) {
      image_->LineBufferOffset[static_cast<std::size_t>(n)] =
          static_cast<std::int32_t>(buffer_.size());
      char text[64];
      std::snprintf(text, sizeof text, "%04X  A%02X\tJMP\tloop_%d\r\n", n, n & 0xFF, n);
      buffer_.insert(buffer_.end(), text, text + std::strlen(text));
      image_->AddressLine[static_cast<std::size_t>(n)] = n;
      image_->WorkingImage[static_cast<std::size_t>(n)] = UsedWord(0xA00);
    }
    image_->FileBuffer = buffer_.data();
    image_->FileBufferLength = static_cast<std::int32_t>(buffer_.size());
    image_->LineCount = lines;
  }

  void Click(const QRect& rect, bool twice = false) { SendClick(*form_, rect, twice); }

  std::vector<char> buffer_;
  std::string settings_file_ = FreshSettingsFile();
  platform::SettingsStore store_{settings_file_};
  workbench::RegistrySettings settings_{store_};
  std::unique_ptr<TCodeForm> form_;
};

TEST_F(CodeFormTest, TheWindowFollowsThePcAcrossPagesAndItsClicksReachTheChip) {
  keysim::MonitorRegisters r;
  r.pc = 0x10;
  keysim::RunScript script;
  script.steps = {0x12, 0x150, 0x20};
  auto& chip = Open(false, kFusexFourBanks, r);
  chip.SetRunScript(script);
  MakeListing(400);
  form_ = std::make_unique<TCodeForm>(debug_, *image_, settings_, false);
  form_->SetSourceName("prog.asm");
  EXPECT_EQ(form_->windowTitle(), "Code -  prog.asm");
  form_->show();
  QApplication::processEvents();
  const int page = form_->View().LinesPerPage();
  ASSERT_GE(page, 8);
  for (int expected_pc : {0x12, 0x150, 0x20}) {
    ASSERT_TRUE(debug_.SendDebugResume(kActionStep));
    ASSERT_EQ(debug_.Poll(), DebugProtocol::PollResult::Stopped);
    ASSERT_TRUE(debug_.QVU_GetDebugData());
    debug_.RedrawDebugViews();
    ASSERT_EQ(debug_.Live().PC, expected_pc);
    const int position = expected_pc - form_->ScrollBar().value();
    EXPECT_GE(position, page / 4) << expected_pc;
    EXPECT_LT(position, page - page / 4) << expected_pc;
  }
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
    form_->grab().save(QString(folder) + "/code_form.png");

  const int first = form_->ScrollBar().value();
  Click(form_->LineRect(2), false);
  EXPECT_EQ(debug_.Live().BreakAddress, first + 2);
  debug_.TakeDebugSnapshot();
  Click(form_->LineRect(4), true);
  EXPECT_EQ(chip.Monitor().pc, first + 4);
  EXPECT_EQ(chip.Monitor().break_address, first + 2);
}

}  // namespace
}  // namespace gui
