// The code window's logic: following the PC across pages of the listing, redrawing only the
// lines that changed, and clicks that reach the simulated chip.

#include "build_debug/debug/code_unit.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/build_debug/debug/chip_session.h"

namespace build_debug {
namespace {

class CodeViewTest : public ChipSession {
 protected:
  // A listing of `lines` lines, line n holding address n.
  void MakeListing(int lines) {
    buffer_.clear();
    image_->AddressLine.fill(-1);
    for (int n = 0; n < lines; ++n) {
      image_->LineBufferOffset[static_cast<std::size_t>(n)] =
          static_cast<std::int32_t>(buffer_.size());
      std::string text = "line " + std::to_string(n) + "\r\n";
      buffer_.insert(buffer_.end(), text.begin(), text.end());
      image_->AddressLine[static_cast<std::size_t>(n)] = n;
      image_->WorkingImage[static_cast<std::size_t>(n)] = UsedWord(0xA00);
    }
    image_->FileBuffer = buffer_.data();
    image_->FileBufferLength = static_cast<std::int32_t>(buffer_.size());
    image_->LineCount = lines;
  }

  std::vector<char> buffer_;
  CodeView view_{debug_, *image_};
};

TEST_F(CodeViewTest, ThePcLineStaysAQuarterPageFromTheEdges) {
  MakeListing(300);
  view_.SetLinesPerPage(20);  // a quarter is 5 lines
  const struct {
    int pc;
    int first;
  } steps[] = {
      {0, 0}, {14, 0}, {15, 1}, {100, 86}, {150, 136}, {141, 136}, {140, 135}, {10, 5}, {299, 285},
  };
  for (const auto& step : steps) {
    debug_.Live().PC = step.pc;
    view_.FollowPc();
    EXPECT_EQ(view_.FirstLine(), step.first) << step.pc;
  }
}

TEST_F(CodeViewTest, OnlyChangedLinesAreRedrawn) {
  MakeListing(50);
  view_.SetLinesPerPage(10);
  debug_.Live().PC = 2;
  EXPECT_EQ(view_.LinesToRedraw(true).size(), 10u);
  EXPECT_TRUE(view_.LinesToRedraw(false).empty());
  debug_.Live().PC = 3;
  EXPECT_EQ(view_.LinesToRedraw(false), (std::vector<int>{2, 3}));
  debug_.Live().BreakAddress = 7;
  EXPECT_EQ(view_.Mark(7), CodeMark::Break);
  EXPECT_EQ(view_.LinesToRedraw(false), (std::vector<int>{7}));
  view_.Wheel(1);  // every line moved
  EXPECT_EQ(view_.LinesToRedraw(false).size(), 10u);
  view_.Wheel(-5);
  EXPECT_EQ(view_.FirstLine(), 0);
}

TEST_F(CodeViewTest, ClicksSetTheBreakpointAndThePc) {
  keysim::MonitorRegisters r;
  r.pc = 0x05;
  auto& chip = Open(false, kFusexFourBanks, r);
  MakeListing(40);
  view_.SetLinesPerPage(20);
  view_.SetFirstLine(10);
  view_.Click(3);
  EXPECT_EQ(debug_.Live().BreakAddress, 13);
  debug_.TakeDebugSnapshot();
  view_.Click(5);
  view_.DoubleClick(5);
  EXPECT_EQ(chip.Monitor().pc, 15);
  EXPECT_EQ(chip.Monitor().break_address, 13);
  // A line without code does nothing.
  image_->AddressLine[20] = -1;
  view_.Click(10);
  EXPECT_EQ(debug_.Live().BreakAddress, 13);
}

}  // namespace
}  // namespace build_debug
