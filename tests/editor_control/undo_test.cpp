// Undo and redo: grouping, breaks, limits and their exceptions.

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;
using testing::Type;

class UndoTest : public ::testing::Test {
 protected:
  TScrivlet s;
  void SetUp() override { Load(s, "0123456789"); }
  void Caret(int32_t at) { s.SetSelStart(at); }
};

TEST_F(UndoTest, TypingARunOfCharactersIsOneRecord) {
  Caret(3);
  Type(s, "abc");
  EXPECT_EQ(s.UndoList().size(), 1u);
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789");
  EXPECT_FALSE(s.CanUndo());
}

TEST_F(UndoTest, MovingTheCaretByProgramEndsTheRecord) {
  Caret(3);
  Type(s, "ab");
  Caret(0);
  Caret(5);
  Type(s, "c");
  s.Undo();
  EXPECT_EQ(s.Text(), "012ab3456789");
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789");
}

TEST_F(UndoTest, DeletingASelectionThenTypingMakesTwoRecords) {
  s.Select(6, 2);
  s.InsertTextBuf({});
  Type(s, "xy");
  EXPECT_EQ(s.Text(), "01xy6789");
  EXPECT_EQ(s.UndoList().size(), 2u);
  s.Undo();
  EXPECT_EQ(s.Text(), "016789");
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789");
}

TEST_F(UndoTest, ARecordHoldsStartEndGroupAndTheRemovedText) {
  s.Select(4, 1);
  s.InsertTextBuf("ab\r\ncd");
  ASSERT_EQ(s.UndoList().size(), 1u);
  const TUndoRecord& r = s.UndoList()[0];
  EXPECT_EQ(r.Start, 1);
  EXPECT_EQ(r.End, 7);
  EXPECT_EQ(r.Group, 0);
  EXPECT_EQ(r.Replaced, "123");
  EXPECT_EQ(r.Size(), 3 + 13);
  EXPECT_EQ(s.UndoBytes(), 16);
}

TEST_F(UndoTest, UndoThenRedoRestoresTheChangeAndRedoIsSpentAgain) {
  s.Select(8, 2);
  s.InsertTextBuf("X\r\nY");
  const std::string after = s.Text();
  s.Undo();
  EXPECT_TRUE(s.CanRedo());
  s.Redo();
  EXPECT_EQ(s.Text(), after);
  EXPECT_FALSE(s.CanRedo());
  EXPECT_TRUE(s.CanUndo());
  s.SelfTest();
}

TEST_F(UndoTest, ANewChangeAfterUndoDiscardsTheRedoRecords) {
  Caret(0);
  Type(s, "a");
  Caret(5);
  Type(s, "b");
  s.Undo();
  EXPECT_TRUE(s.CanRedo());
  Caret(1);
  Type(s, "c");
  EXPECT_FALSE(s.CanRedo());
  EXPECT_EQ(s.UndoList().size(), 2u);
}

TEST_F(UndoTest, ChangesInsideOneUpdateBracketUndoTogether) {
  s.BeginUpdate();
  s.Select(1, 0);
  s.InsertTextBuf("A");
  s.Select(6, 5);
  s.InsertTextBuf("B");
  s.EndUpdate();
  Caret(9);
  Type(s, "C");
  EXPECT_EQ(s.Text(), "A1234B678C9");
  s.Undo();
  EXPECT_EQ(s.Text(), "A1234B6789") << "the change without an update stands alone";
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789") << "both changes of the bracket at once";
  EXPECT_FALSE(s.CanUndo());
  s.Redo();
  EXPECT_EQ(s.Text(), "A1234B6789") << "and redone together";
}

// A bracket is what one command does: two brackets one after the other are two steps, and
// the brackets a command opens inside its own belong to its step.
TEST_F(UndoTest, EachOutermostBracketIsAStepOfItsOwnWithTheBracketsInsideIt) {
  auto bracketed = [&](int depth, int32_t at, const char* text) {
    for (int d = 0; d < depth; ++d) s.BeginUpdate();
    s.SetSelStart(at);
    s.InsertTextBuf(text);
    for (int d = 0; d < depth; ++d) s.EndUpdate();
  };
  bracketed(1, 0, "a");
  bracketed(1, 5, "b");
  s.BeginUpdate();
  bracketed(0, 9, "c");
  bracketed(1, 0, "d");
  bracketed(2, 3, "e");
  s.EndUpdate();
  ASSERT_EQ(s.Text(), "da0e123b456c789");
  s.Undo();
  EXPECT_EQ(s.Text(), "a0123b456789") << "the three changes of one bracket, at every depth";
  s.Undo();
  EXPECT_EQ(s.Text(), "a0123456789");
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789");
  EXPECT_FALSE(s.CanUndo());
  s.Redo();
  s.Redo();
  EXPECT_EQ(s.Text(), "a0123b456789");
  s.Redo();
  EXPECT_EQ(s.Text(), "da0e123b456c789");
}

// What a window shows when the change is told: after the step has been taken.
TEST_F(UndoTest, CanUndoAndCanRedoAreRightWhenAnUndoOrRedoTellsItsChange) {
  Caret(0);
  Type(s, "a");
  Caret(5);
  Type(s, "b");
  std::vector<std::pair<bool, bool>> told;
  s.OnChange = [&](TScrivlet& m) { told.emplace_back(m.CanUndo(), m.CanRedo()); };
  s.Undo();
  s.Undo();
  s.Redo();
  const std::vector<std::pair<bool, bool>> expected = {{true, true}, {false, true}, {true, true}};
  EXPECT_EQ(told, expected);
}

TEST_F(UndoTest, UndoMaxLevelZeroRecordsNothing) {
  s.SetUndoMaxLevel(0);
  Caret(0);
  Type(s, "abc");
  EXPECT_FALSE(s.CanUndo());
  EXPECT_TRUE(s.UndoList().empty());
}

TEST_F(UndoTest, UndoMaxLevelKeepsTheNewestRecords) {
  s.SetUndoMaxLevel(2);
  for (int32_t i = 0; i < 5; ++i) {
    Caret(0);
    Type(s, std::string(1, static_cast<char>('a' + i)));
  }
  // Before an append, the list is cut to the limit: at most limit + 1 records remain.
  EXPECT_EQ(s.UndoLevel(), 3);
  s.SetUndoMaxLevel(1);
  EXPECT_EQ(s.UndoLevel(), 1);
  s.Undo();
  EXPECT_EQ(s.Text(), "dcba0123456789");
  EXPECT_FALSE(s.CanUndo());
}

TEST_F(UndoTest, LoweringUndoMaxLevelFreesRedoRecordsFromTheNewest) {
  for (int32_t i = 0; i < 4; ++i) {
    Caret(0);
    Type(s, "x");
  }
  s.Undo();
  s.Undo();  // level 2 of 4
  s.SetUndoMaxLevel(3);
  EXPECT_EQ(s.UndoList().size(), 3u);
  EXPECT_EQ(s.UndoLevel(), 2);
  s.SetUndoMaxLevel(-1);  // stored without trimming
  EXPECT_EQ(s.GetUndoMaxLevel(), -1);
  EXPECT_EQ(s.UndoList().size(), 3u);
}

TEST_F(UndoTest, UndoMaxLevelAboveTwoToTheTwentySeventhIsRefused) {
  s.SetUndoMaxLevel(134217727);
  try {
    s.SetUndoMaxLevel(134217728);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "Undo set too high");
  }
  EXPECT_EQ(s.GetUndoMaxLevel(), 134217727);
}

// The limits drop older steps, whole, and never the newest: the last change can always be
// undone, however large. The history tells how many steps it holds and whether it lost some.
TEST_F(UndoTest, TheLimitsDropOlderStepsWholeAndNeverTheNewest) {
  s.SetUndoMaxSpace(10);
  s.Select(2, 0);
  s.InsertTextBuf("x");  // 2 removed bytes: 15 bytes, above the limit
  EXPECT_TRUE(s.CanUndo());
  EXPECT_EQ(s.UndoSteps(), 1);
  EXPECT_FALSE(s.UndoStepsDropped());
  s.Select(3, 2);
  s.InsertTextBuf("y");
  EXPECT_EQ(s.UndoSteps(), 1) << "the older step made room";
  EXPECT_TRUE(s.UndoStepsDropped());
  s.Undo();
  EXPECT_EQ(s.Text(), "x23456789");
  EXPECT_FALSE(s.CanUndo());
  s.SelfTest();

  Load(s, "0123456789");
  EXPECT_FALSE(s.UndoStepsDropped()) << "a load starts a new history";
  s.SetUndoMaxSpace(0);
  s.SetUndoMaxLevel(2);
  s.SetSelStart(0);
  Type(s, "a");
  {
    TUpdateGuard update(s);  // one step of four records, more than the level allows
    for (int32_t at : {2, 4, 6, 8}) {
      s.SetSelStart(at);
      s.InsertTextBuf("-");
    }
  }
  ASSERT_EQ(s.Text(), "a0-1-2-3-456789");
  EXPECT_EQ(s.UndoSteps(), 1) << "the first step made room for the bracket's four records";
  s.SetSelStart(0);
  Type(s, "b");
  s.SetSelStart(0);
  Type(s, "c");
  EXPECT_EQ(s.UndoSteps(), 2) << "the bracket's four records went at once";
  EXPECT_EQ(s.UndoLevel(), 2);
  s.Undo();
  s.Undo();
  EXPECT_EQ(s.Text(), "a0-1-2-3-456789");
  EXPECT_FALSE(s.CanUndo());

  s.SetUndoMaxLevel(65536);
  {
    TUpdateGuard update(s);
    for (int32_t at : {1, 3}) {
      s.SetSelStart(at);
      s.InsertTextBuf("+");
    }
  }
  s.SetUndoMaxSpace(1);
  s.SetUndoMaxLevel(1);
  EXPECT_EQ(s.UndoLevel(), 2) << "the setters keep the newest step too";
  s.Undo();
  EXPECT_EQ(s.Text(), "a0-1-2-3-456789");
  s.SelfTest();
}

TEST_F(UndoTest, UndoMaxSpaceFreesTheOldestRecordsFirst) {
  s.SetUndoMaxSpace(40);
  for (int32_t i = 0; i < 4; ++i) {
    s.Select(1, 0);
    s.InsertTextBuf("ab");  // 1 removed byte: 14 bytes each
  }
  EXPECT_EQ(s.UndoLevel(), 2);
  EXPECT_EQ(s.UndoBytes(), 28);
  s.SetUndoMaxSpace(20);
  EXPECT_EQ(s.UndoLevel(), 1);
  EXPECT_EQ(s.UndoBytes(), 14);
}

TEST_F(UndoTest, UndoMaxSpaceFreesRedoRecordsBeforeUndoRecords) {
  for (int32_t i = 0; i < 3; ++i) {
    s.Select(1, 0);
    s.InsertTextBuf("ab");
  }
  s.Undo();  // the newest (now holding "ab": 15 bytes) becomes a redo record
  s.SetUndoMaxSpace(30);
  EXPECT_FALSE(s.CanRedo());
  EXPECT_EQ(s.UndoLevel(), 2);
}

TEST_F(UndoTest, ClearUndoEmptiesTheList) {
  Caret(0);
  Type(s, "abc");
  s.ClearUndo();
  EXPECT_FALSE(s.CanUndo());
  EXPECT_EQ(s.UndoBytes(), 0);
}

TEST_F(UndoTest, LoadingClearsTheListAndRecordsNothing) {
  Caret(0);
  Type(s, "abc");
  Load(s, "new");
  EXPECT_FALSE(s.CanUndo());
}

TEST_F(UndoTest, NothingIsRecordedInTheDesignerOrWhileTheFormIsRead) {
  s.Designing = true;
  Caret(0);
  Type(s, "a");
  s.Designing = false;
  s.Loading = true;
  Type(s, "b");
  EXPECT_FALSE(s.CanUndo());
}

TEST_F(UndoTest, AFailedInsertionLeavesNoHalfMadeRecord) {
  Caret(0);
  Type(s, "ab");
  s.SetSelStart(5);
  s.SetSelLength(2);
  s.OnBeforeChange = [](TScrivlet&, std::string&) {};
  // A text that the table cannot take: the offsets would leave the 32-bit range.
  TParagraphsListTestAccess::SetCharCount(s.Table, 0x7FFFFFF0);
  EXPECT_THROW(s.InsertTextBuf(std::string(40, 'z')), EScrivletError);
  TParagraphsListTestAccess::SetCharCount(s.Table, 12);
  EXPECT_EQ(s.UndoList().size(), 1u);
  EXPECT_EQ(s.UndoLevel(), 1);
  EXPECT_EQ(s.UndoBytes(), 13);
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789") << "Undo restores only what was removed";
  s.SelfTest();
}

TEST_F(UndoTest, SetTextBufIsUndoable) {
  s.SetTextBuf("replaced");
  EXPECT_EQ(s.Text(), "replaced");
  EXPECT_EQ(s.SelLower(), 0);
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789");
  s.ClearText();
  EXPECT_EQ(s.CharCount(), 0);
}

// An undo whose update fails to end leaves the control recording: the next change is undone
// on its own.
TEST_F(UndoTest, AnUndoWhoseUpdateFailsToEndLeavesLaterChangesRecorded) {
  struct FailingRefresh : TScrivletEngine {
    void RefreshChanged() override { throw std::runtime_error("refresh failed"); }
  };
  Caret(3);
  Type(s, "abc");
  TScrivletEngine* const layout = s.Engine;
  FailingRefresh engine;
  s.Engine = &engine;
  EXPECT_THROW(s.Undo(), std::runtime_error);
  s.Engine = layout;
  EXPECT_EQ(s.Text(), "0123456789");
  const int32_t level = s.UndoLevel();
  Caret(0);
  Type(s, "x");
  EXPECT_EQ(s.UndoLevel(), level + 1);
  s.Undo();
  EXPECT_EQ(s.Text(), "0123456789");
}

}  // namespace
}  // namespace scrivlet
