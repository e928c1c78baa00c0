// The list window's logic over a real tarn run: marks through the listing map, clicks with and
// without Alt reaching the simulated chip, the NOP refusal, Go to Reset and Jump to Main.
// Expected lines are found in the listing file by their text.

#include "build_debug/debug/zk_code_unit.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/build_debug/debug/chip_session.h"
#include "tests/build_debug/debug/list_program.h"
#include "tests/build_debug/tools/tarn_harness.h"

namespace build_debug {
namespace {

class ListWindowTest : public ChipSession {
 protected:
  // Assembles the program, loads its words for the chip and reads its listing.
  void Build(const std::string& text) {
    source_ = BuildListing(tarn_, text);
    listing_ = ReadLines(list_.ListFileName(source_));
    ASSERT_FALSE(listing_.empty());
  }

  // The 0-based listing line that holds the text in its source part.
  int LineWith(const std::string& text) const {
    for (std::size_t i = 0; i < listing_.size(); ++i)
      if (listing_[i].find(text) != std::string::npos) return static_cast<int>(i);
    return -1;
  }

  void StartSession() {
    keysim::MonitorRegisters r;
    Open(false, 0x0BFF, r);
    image_->WorkingImage = tarn_.image->WorkingImage;
  }

  TarnSession tarn_;
  ListWindow list_{debug_, tarn_.tarn, messages_};
  std::string source_;
  std::vector<std::string> listing_;
};

TEST_F(ListWindowTest, MarksClicksAndTheNopRefusal) {
  Build(kListProgram);
  StartSession();
  const int main_line = LineWith("Main    CLR");
  const int nop_line = LineWith("NOP");
  const int loop_line = LineWith("loop    INC");
  const int jmp_line = LineWith("JMP     loop");
  ASSERT_GE(main_line, 0);
  EXPECT_EQ(list_.LineOfAddress(0), main_line);
  EXPECT_EQ(list_.AddressOfLine(loop_line), 2);

  // The next-run line is the PC's, or the one after it when the chip stopped in sleep.
  debug_.Live().PC = 0;
  list_.UpdateMarks();
  EXPECT_EQ(list_.NextRunLine(), main_line);
  EXPECT_EQ(list_.BreakLine(), -1);
  debug_.Live().PD = 1;
  list_.UpdateMarks();
  EXPECT_EQ(list_.NextRunLine(), nop_line);
  debug_.Live().PD = 0;

  list_.Click(nop_line, false);
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0],
            "The QV chip does not allow setting a breakpoint on a NOP instruction.\r"
            "Replace the \"nop\" with \"page $\" as a substitute you can set a breakpoint on.");
  EXPECT_EQ(debug_.Live().BreakAddress, AddressNone);

  list_.Click(loop_line, false);
  EXPECT_EQ(debug_.Live().BreakAddress, 2);
  EXPECT_EQ(list_.BreakLine(), loop_line);
  debug_.TakeDebugSnapshot();
  list_.Click(jmp_line, true);  // Alt and the left button: the PC goes there
  EXPECT_EQ(chip_->Monitor().pc, 3);
  EXPECT_EQ(chip_->Monitor().break_address, 2);
  EXPECT_EQ(list_.NextRunLine(), jmp_line);
  list_.DoubleClick(main_line);
  EXPECT_EQ(chip_->Monitor().pc, 0);
}

TEST_F(ListWindowTest, GoToResetCodeAndMain) {
  Build(kListProgram);
  EXPECT_EQ(list_.ResetLine(listing_), LineWith("RESET   Main"));
  EXPECT_EQ(list_.CodeLine(), LineWith("Main    CLR"));
  EXPECT_EQ(list_.MainLine(listing_), LineWith("Main    CLR"));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ListWindowTest, NoMainLabelIsTold) {
  Build(
      "        DEVICE  QV18AC, OSCXT2\n"
      "        ORG     0\n"
      "start   JMP     start\n"
      "        END\n");
  EXPECT_EQ(list_.MainLine(listing_), std::nullopt);
  EXPECT_EQ(list_.ResetLine(listing_), std::nullopt);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "There is no label that says \"Main\" in the source code.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "No \"Main\" label");
}

}  // namespace
}  // namespace build_debug
