// The list window offscreen over a real tarn run and the simulated chip: the listing it loads,
// its coloured break and next-run lines, clicks on its lines reaching the chip through the real
// link, its tool bar in each mode, and the missing listing.

#include "build_debug/debug/gui/zk_code_form.h"

#include <QApplication>
#include <QMouseEvent>

#include <cstdlib>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "editor_control/style_run.h"
#include "platform/settings_store.h"
#include "resources/widget_names.h"
#include "services/registry_settings.h"
#include "services/windows_menu.h"
#include "tests/build_debug/debug/chip_session.h"
#include "tests/build_debug/debug/list_program.h"
#include "tests/build_debug/tools/tarn_harness.h"

namespace zk_code_frm = widget_names::ZK_CodeFRM;

namespace gui {
namespace {

using namespace build_debug;

// The mark colours as the text control takes them (blue in the high byte): the break line on
// red, the next-run line on blue.
constexpr std::int32_t kRed = 0x0000FF;
constexpr std::int32_t kBlue = 0xFF0000;

class ListFormTest : public ChipSession {
 protected:
  ListFormTest() {
    windows_menu_.InitWindowsMenu([] {});
  }

  void Build(const std::string& text) { source_ = BuildListing(tarn_, text); }

  // A chip stopped at the PC with the program's words, and the debugger's listing loaded.
  void StartSession(int pc) {
    keysim::MonitorRegisters r;
    r.pc = pc;
    Open(false, kFusexEightBanks, r);
    image_->WorkingImage = tarn_.image->WorkingImage;
    ASSERT_TRUE(form_->LoadListFile(source_));
    form_->List().SetHoldsDebugListing(true);
    form_->PrepareDebugView();
    QApplication::processEvents();
  }

  int LineWith(const std::string& text) const {
    auto& memo = form_->Scrivlet().Memo();
    for (int i = 0; i < memo.ParagraphCount(); ++i)
      if (memo.GetParagraphText(i).find(text) != std::string::npos) return i;
    return -1;
  }

  // The background a character of a listing line is drawn on.
  std::int32_t Background(int line, int column) const {
    auto& memo = form_->Scrivlet().Memo();
    scrivlet::TScrivNavigator at(memo);
    at.SetOffset(memo.ParagraphStart(line) + column + 1);
    return at.CurrentStyle().Backgnd;
  }

  // A point inside the first character cell of a listing line.
  QPointF LinePoint(int line) const {
    auto& memo = form_->Scrivlet().Memo();
    scrivlet::TScrivNavigator at(memo);
    at.SetOffset(memo.ParagraphStart(line));
    std::int32_t x = 0;
    std::int32_t y = 0;
    at.GetPoint(x, y);
    return QPointF(x + 2, y + 2);
  }

  void Mouse(QEvent::Type type, int line, Qt::KeyboardModifiers modifiers) {
    QWidget* viewport = form_->Scrivlet().viewport();
    const QPointF at = LinePoint(line);
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(viewport, &event);
  }

  void Click(int line, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonPress, line, modifiers);
    Mouse(QEvent::MouseButtonRelease, line, modifiers);
  }

  void DoubleClick(int line) {
    Click(line);
    Mouse(QEvent::MouseButtonDblClick, line, Qt::NoModifier);
    Mouse(QEvent::MouseButtonRelease, line, Qt::NoModifier);
  }

  void Shot(const char* name) {
    if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
      form_->grab().save(QString(folder) + "/" + name);
  }

  int MenuEntries() const {
    int count = 0;
    for (const auto& item : windows_menu_.Items()) count += item.Tag == workbench::kListWindowItem;
    return count;
  }

  TarnSession tarn_;
  std::string settings_file_ = FreshSettingsFile();
  platform::SettingsStore store_{settings_file_};
  workbench::RegistrySettings settings_{store_};
  workbench::WindowsMenuUnit windows_menu_{texts_};
  std::unique_ptr<TZK_CodeFRM> form_ =
      std::make_unique<TZK_CodeFRM>(debug_, tarn_.tarn, messages_, settings_, windows_menu_);
  std::string source_;
};

TEST_F(ListFormTest, TheBreakAndNextRunLinesAreColouredAndFollowTheState) {
  Build(kListProgram);
  StartSession(0);
  const int main_line = LineWith("Main    CLR");
  const int nop_line = LineWith("NOP");
  const int loop_line = LineWith("loop    INC");
  ASSERT_GE(main_line, 0);
  EXPECT_TRUE(form_->isVisible());
  EXPECT_TRUE(form_->Scrivlet().Memo().ReadOnly);

  // The PC's line white on blue; no breakpoint yet.
  EXPECT_EQ(Background(main_line, 0), kBlue);
  EXPECT_EQ(form_->MarkedLines(), std::set<int>{main_line});
  EXPECT_FALSE(form_->Button(zk_code_frm::GoToBreakpointTLBTN).isEnabled());
  EXPECT_TRUE(form_->Button(zk_code_frm::GoToNextRunTLBTN).isEnabled());

  // Stopped in sleep (PD): the line after the PC's runs next; the old mark goes.
  debug_.Live().PD = 1;
  form_->RedrawDebugState(false);
  EXPECT_EQ(Background(nop_line, 0), kBlue);
  EXPECT_EQ(Background(main_line, 0), scrivlet::kNoColor);
  debug_.Live().PD = 0;

  // Break and next run on one line: red up to column 24, blue from there.
  debug_.ToggleBreakpoint(0);
  form_->RedrawBreakpoint();
  EXPECT_EQ(Background(main_line, 0), kRed);
  EXPECT_EQ(Background(main_line, kSharedMarkColumn - 1), kRed);
  EXPECT_EQ(Background(main_line, kSharedMarkColumn), kBlue);
  EXPECT_TRUE(form_->Button(zk_code_frm::GoToBreakpointTLBTN).isEnabled());
  EXPECT_EQ(Background(loop_line, 0), scrivlet::kNoColor);
  Shot("list_window.png");
}

// The listing of a UTF-8 source shows its comments as their characters, in the control's
// Windows-1252. (It once showed "; Z\u00c3\u00a4hler".)
TEST_F(ListFormTest, AUtf8SourcesCommentsShowAsTheirCharacters) {
  std::string program = kListProgram;
  program.insert(program.find("loop"), "; Z\xC3\xA4hler \xE2\x82\xAC\n");
  Build(program);
  StartSession(0);
  EXPECT_GE(LineWith("; Z\xE4hler \x80"), 0);
}

TEST_F(ListFormTest, ClicksSetTheBreakpointAndThePcOnTheChip) {
  Build(kListProgram);
  StartSession(0);
  const int main_line = LineWith("Main    CLR");
  const int nop_line = LineWith("NOP");
  const int loop_line = LineWith("loop    INC");
  const int jmp_line = LineWith("JMP     loop");

  // A NOP cannot hold a breakpoint: the box, and no mark.
  Click(nop_line);
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_EQ(BoxTexts()[0],
            "The QV chip does not allow setting a breakpoint on a NOP instruction.\r"
            "Replace the \"nop\" with \"page $\" as a substitute you can set a breakpoint on.");
  EXPECT_EQ(Background(nop_line, 0), scrivlet::kNoColor);
  EXPECT_EQ(debug_.Live().BreakAddress, AddressNone);

  Click(loop_line);
  EXPECT_EQ(debug_.Live().BreakAddress, 2);
  EXPECT_EQ(Background(loop_line, 0), kRed);

  // Alt and the left button move the PC there; the chip hears it with the breakpoint.
  debug_.TakeDebugSnapshot();
  Click(jmp_line, Qt::AltModifier);
  EXPECT_EQ(chip_->Monitor().pc, 3);
  EXPECT_EQ(chip_->Monitor().break_address, 2);
  EXPECT_EQ(Background(jmp_line, 0), kBlue);
  EXPECT_EQ(debug_.Live().BreakAddress, 2);  // an Alt click leaves the breakpoint

  // A double click: its first click toggles the breakpoint, the double click moves the PC.
  DoubleClick(main_line);
  EXPECT_EQ(chip_->Monitor().pc, 0);
  EXPECT_EQ(Background(main_line, kSharedMarkColumn), kBlue);
  EXPECT_EQ(Background(jmp_line, 0), scrivlet::kNoColor);
}

TEST_F(ListFormTest, ToolBarModesGoToResetAndJumpToMain) {
  Build(kListProgram);
  StartSession(2);
  const int reset_line = LineWith("RESET   Main");
  ASSERT_GE(reset_line, 0);
  EXPECT_EQ(form_->ToolbarMode(), kToolbarAll);
  EXPECT_TRUE(form_->Button(zk_code_frm::GoToNextRunTLBTN).isVisible());

  // Go to Reset in a session puts the caret on the line and marks it to run next. Each jump
  // leaves the caret at its line's start with nothing selected.
  auto& memo = form_->Scrivlet().Memo();
  memo.Select(1, 5);
  form_->GoToReset();
  EXPECT_EQ(memo.GetSelPar(), reset_line);
  EXPECT_EQ(memo.GetSelStart(), memo.ParagraphStart(reset_line));
  EXPECT_EQ(memo.GetSelLength(), 0);
  EXPECT_EQ(Background(reset_line, 0), kBlue);
  memo.Select(memo.ParagraphStart(reset_line) + 2, memo.ParagraphStart(reset_line) + 9);
  form_->JumpToMain();
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(memo.GetSelLength(), 0);
  EXPECT_EQ(memo.GetSelStart(), memo.ParagraphStart(memo.GetSelPar()));

  // Hidden: the tool bar is whole again and the window no longer holds the session's listing.
  windows_menu_.WindowsMenuAdd("", workbench::kListWindowItem);
  ASSERT_EQ(MenuEntries(), 1);
  form_->hide();
  EXPECT_EQ(form_->ToolbarMode(), kToolbarAll);
  EXPECT_FALSE(form_->List().HoldsDebugListing());
  EXPECT_EQ(MenuEntries(), 0);

  // The viewer: Go to Code, Go to Reset and Jump to Main only.
  ASSERT_TRUE(form_->ShowListFile(source_));
  EXPECT_EQ(form_->ToolbarMode(), kToolbarView);
  EXPECT_TRUE(form_->ToolBar().isVisible());
  for (const char* shown :
       {zk_code_frm::GoToCodeTLBTN, zk_code_frm::GoToResetTLBTN, zk_code_frm::GoToMainTLBTN})
    EXPECT_TRUE(form_->Button(shown).isVisible()) << shown;
  for (const char* hidden : {zk_code_frm::GoToBreakpointTLBTN, zk_code_frm::GoToNextRunTLBTN})
    EXPECT_FALSE(form_->Button(hidden).isVisible()) << hidden;
  // Outside a session Go to Reset only selects.
  form_->GoToReset();
  EXPECT_EQ(Background(reset_line, 0), scrivlet::kNoColor);
}

TEST_F(ListFormTest, AMissingListingLeavesTheViewerWithoutAToolBarAndNoMainIsTold) {
  Build(
      "        DEVICE  QV18AC, OSCXT2\n"
      "        ORG     0\n"
      "start   JMP     start\n"
      "        END\n");
  EXPECT_FALSE(form_->ShowListFile(tarn_.source_folder + "other.asm"));
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(form_->ToolbarMode(), kToolbarHidden);
  EXPECT_TRUE(form_->ToolBar().isHidden());

  ASSERT_TRUE(form_->ShowListFile(source_));
  form_->JumpToMain();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "There is no label that says \"Main\" in the source code.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "No \"Main\" label");
}

}  // namespace
}  // namespace gui
