// The edit primitive: events, selection ends, navigator correction, automatic edits, hooks.

#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;
using testing::Type;

class EditPrimitiveTest : public ::testing::Test {
 protected:
  TScrivlet s;
  std::vector<int> codes;
  void SetUp() override {
    Load(s, "abc\r\ndef\r\nghi");
    s.ChangeListeners.push_back([this](TScrivlet&, int code) { codes.push_back(code); });
  }
};

TEST_F(EditPrimitiveTest, TheBeforeChangeHandlerMayReplaceTheText) {
  s.OnBeforeChange = [](TScrivlet&, std::string& text) { text = "<" + text + ">"; };
  s.SetSelStart(1);
  s.InsertTextBuf("x");
  EXPECT_EQ(s.Text(), "a<x>bc\r\ndef\r\nghi");
  EXPECT_EQ(s.SelLower(), 4) << "the caret after the inserted text";
  EXPECT_EQ(s.GetSelLength(), 0);
  EXPECT_TRUE(s.Modified());
}

TEST_F(EditPrimitiveTest, ListenersHearBeforeAndAfterAndChangeFiresOncePerRefresh) {
  int changes = 0;
  s.OnChange = [&](TScrivlet&) { ++changes; };
  s.BeginUpdate();
  s.SetSelStart(0);
  s.InsertTextBuf("1");
  s.InsertTextBuf("2");
  EXPECT_EQ(changes, 0);
  s.EndUpdate();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(codes, (std::vector<int>{kChangeBefore, kChangeBefore, kChangeAfter, kCaretMoved}));
}

TEST_F(EditPrimitiveTest, AnEmptySelectionAndAnEmptyTextChangeNothing) {
  s.SetSelStart(2);
  s.InsertTextBuf({});
  EXPECT_FALSE(s.Modified());
  EXPECT_FALSE(s.CanUndo());
}

TEST_F(EditPrimitiveTest, TheZeroByteEndsTheText) {
  s.SetSelStart(0);
  s.InsertTextBuf(std::string_view("xy\0z", 4));
  EXPECT_EQ(s.Text(), "xyabc\r\ndef\r\nghi");
}

TEST_F(EditPrimitiveTest, ASelectionEndBetweenCRAndLFGoesBackToTheParagraphEnd) {
  s.Select(4, 1);  // "bc" and the CR; the LF would be left alone
  s.InsertTextBuf("X");
  EXPECT_EQ(s.Text(), "aX\r\ndef\r\nghi");
}

TEST_F(EditPrimitiveTest, NavigatorsBehindMoveInsideGoToTheStartOrWithStickToEndToTheEnd) {
  TScrivNavigator before(s), inside(s), sticky(s), behind(s), later(s);
  before.SetOffset(1);
  inside.SetOffset(6);
  sticky.SetOffset(6);
  sticky.StickToEnd = true;
  behind.SetOffset(10);
  later.SetOffset(13);
  later.GetParaIndex();  // resolved in a paragraph behind the change
  s.Select(8, 5);        // "def"
  s.InsertTextBuf("12\r\n345");
  EXPECT_EQ(before.Offset(), 1);
  EXPECT_EQ(inside.Offset(), 5);
  EXPECT_EQ(sticky.Offset(), 12);
  EXPECT_EQ(behind.Offset(), 14);
  EXPECT_EQ(later.Offset(), 17);
  EXPECT_EQ(later.GetParaIndex(), 3);
  EXPECT_EQ(later.GetPosInPara(), 3);
  s.SelfTest();
}

TEST_F(EditPrimitiveTest, AFreeOnDeleteNavigatorDiesWithTheTextUnderIt) {
  auto* mark = new TScrivNavigator(s);
  mark->FreeOnDelete = true;
  mark->SetOffset(6);
  bool freed = false;
  mark->OnFree = [&](TScrivNavigator&) { freed = true; };
  auto* edge = new TScrivNavigator(s);
  edge->FreeOnDelete = true;
  edge->SetOffset(5);  // at the start of the removed text: it lives
  s.Select(8, 5);
  s.InsertTextBuf({});
  EXPECT_TRUE(freed);
  EXPECT_EQ(edge->Offset(), 5);
  delete edge;
  s.SelfTest();
}

TEST_F(EditPrimitiveTest, RemovedTogglesComeBackSoTheTextBehindKeepsItsStyle) {
  s.SetStaticFormat(true);
  Load(s,
       "a\x02"
       "bc\x02"
       "d");
  s.Select(3, 1);  // the bold toggle and b
  s.InsertTextBuf("X");
  EXPECT_EQ(s.Text(),
            "aX\x02"
            "c\x02"
            "d");
}

TEST_F(EditPrimitiveTest, AnEmptyRunLeftByAnEditIsDropped) {
  s.SetStaticFormat(true);
  Load(s,
       "a\x02"
       "b\x02"
       "c");
  s.Select(3, 2);  // b: the toggles now enclose nothing
  s.InsertTextBuf({});
  EXPECT_EQ(s.Text(), "ac");
  s.DropEmptyStyleRuns = false;
  Load(s,
       "a\x02"
       "b\x02"
       "c");
  s.Select(3, 2);
  s.InsertTextBuf({});
  EXPECT_EQ(s.Text(),
            "a\x02\x02"
            "c");
}

TEST_F(EditPrimitiveTest, UndoRestoresExactlyTheRecordedTextWithStaticFormat) {
  s.SetStaticFormat(true);
  Load(s,
       "a\x02"
       "b\x02"
       "c");
  s.Select(3, 2);
  s.InsertTextBuf({});
  ASSERT_EQ(s.Text(), "ac");
  while (s.CanUndo()) s.Undo();
  EXPECT_EQ(s.Text(),
            "a\x02"
            "b\x02"
            "c");
  while (s.CanRedo()) s.Redo();
  EXPECT_EQ(s.Text(), "ac");
  s.SelfTest();
}

TEST_F(EditPrimitiveTest, ABreakBehindBlanksTakesThemIntoTheRecordWhenTheyAreDiscarded) {
  // Switching the option on drops trailing blanks, so they are typed afterwards.
  Load(s, "\r\nz");
  s.SetOptions(s.GetOptions() | zkoDiscardTrailingSpaces);
  s.InsertTextBuf("ab   ");
  ASSERT_EQ(s.Text(), "ab   \r\nz");
  s.ClearUndo();
  s.SetSelStart(5);
  s.InsertTextBuf("\r\n");
  EXPECT_EQ(s.Text(), "ab\r\n\r\nz");
  ASSERT_EQ(s.UndoList().size(), 1u);
  EXPECT_EQ(s.UndoList()[0].Start, 2);
  EXPECT_EQ(s.UndoList()[0].Replaced, "   ");
  s.Undo();
  EXPECT_EQ(s.Text(), "ab   \r\nz");
  s.SelfTest();
}

TEST_F(EditPrimitiveTest, AColumnBlockIsDeletedLineByLineBeforeTheInsertion) {
  s.SetTabStops(4);
  Load(s, "abcdef\r\n\tgh\r\nxy");
  s.Select(11, 2);  // from paragraph 0 to paragraph 2
  s.SetColumnBlock(2, 5);
  s.InsertTextBuf({});
  EXPECT_EQ(s.Text(), "abf\r\n\th\r\nxy") << "columns 2..5: cde; the tab spans 0..4, so g";
  EXPECT_FALSE(s.BlockMode());
  s.Undo();
  EXPECT_EQ(s.Text(), "abcdef\r\n\tgh\r\nxy") << "one bracket, one undo";
}

TEST_F(EditPrimitiveTest, PendingSpacesAndTheRememberedColumnAreDropped) {
  s.SetSelStart(1);
  s.SetPendingSpaces("  ");
  s.SetDesiredX(40);
  s.InsertTextBuf("x");
  EXPECT_TRUE(s.PendingSpaces().empty());
  EXPECT_EQ(s.DesiredX(), TScrivlet::kNoDesiredX);
}

class RecordingEngine : public TScrivletEngine {
 public:
  int repairs = 0, sections = 0, keywords = 0, refreshes = 0;
  void RepairRuns(TScrivNavigator&, TScrivNavigator&, bool) override { ++repairs; }
  void ScanSections(TScrivNavigator&, TScrivNavigator&) override { ++sections; }
  void ScanKeywords(TScrivNavigator&, TScrivNavigator&) override { ++keywords; }
  void RefreshChanged() override { ++refreshes; }
};

class RecordingHighlighter : public TScrivHighlighter {
 public:
  int before = 0;
  bool BeforeSections(TScrivNavigator&, TScrivNavigator&, int32_t, int32_t) override {
    ++before;
    return false;
  }
};

TEST_F(EditPrimitiveTest, TheChangedRangeIsReHighlightedThroughTheHooks) {
  RecordingEngine engine;
  RecordingHighlighter highlighter;
  s.Engine = &engine;
  s.SetHighlighter(&highlighter);
  std::vector<std::pair<int32_t, int32_t>> parsed;
  s.OnParse = [&](TScrivlet&, int32_t a, int32_t b) { parsed.emplace_back(a, b); };
  s.Table.Items(1).Flags |= kScanFlags;
  s.Select(7, 6);
  s.InsertTextBuf("XY");
  EXPECT_EQ(parsed, (std::vector<std::pair<int32_t, int32_t>>{{6, 8}}));
  EXPECT_EQ(engine.repairs, 1);
  EXPECT_EQ(engine.sections, 1);
  EXPECT_EQ(engine.keywords, 1);
  EXPECT_EQ(highlighter.before, 1);
  EXPECT_EQ(engine.refreshes, 1);
  EXPECT_EQ(s.Table.Items(1).Flags & kScanFlags, kScanFlags);

  // While an update is open the paragraph is left to be scanned later.
  s.BeginUpdate();
  s.InsertTextBuf("Z");
  EXPECT_EQ(engine.sections, 1);
  EXPECT_EQ(s.Table.Items(1).Flags & kScanFlags, 0);
  s.EndUpdate();
  s.Engine = nullptr;
}

TEST_F(EditPrimitiveTest, AStyleAppliedByAProgramIsNotReHighlighted) {
  std::vector<std::pair<int32_t, int32_t>> parsed;
  s.OnParse = [&](TScrivlet&, int32_t a, int32_t b) { parsed.emplace_back(a, b); };
  TStyleRun run;
  run.RunFlags = kRunHasAttributes | kStyleBold;  // attributes, not made by a key
  TScrivNavigator at(s);
  at.SetOffset(5);
  at.InsertRun(run);
  s.SetSelStart(6);
  s.InsertTextBuf("q");
  EXPECT_TRUE(parsed.empty());
  run.RunFlags |= kRunByKey;
  s.Table.Items(1).Ext->Runs[0] = run;
  s.InsertTextBuf("r");
  EXPECT_EQ(parsed.size(), 1u);
}

TEST_F(EditPrimitiveTest, AHighlighterDetachesFromItsControlsWhenDestroyed) {
  TScrivlet other;
  {
    TScrivHighlighter h;
    s.SetHighlighter(&h);
    other.SetHighlighter(&h);
    EXPECT_EQ(h.Controls().size(), 2u);
  }
  EXPECT_EQ(s.GetHighlighter(), nullptr);
  EXPECT_EQ(other.GetHighlighter(), nullptr);
}

}  // namespace
}  // namespace scrivlet
