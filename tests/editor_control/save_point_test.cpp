// Modified against the save point: the text differs from the last load or save exactly when
// Modified is set, whichever way Undo and Redo walk the history.

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;
using testing::Type;

class SavePointTest : public ::testing::Test {
 protected:
  TScrivlet s;
  std::string saved;

  void SetUp() override {
    Load(s, "abc");
    s.SetModified(false);
    saved = s.Text();
  }
  // Moving the caret by program breaks the record, so only when it is not at the end.
  void AtEnd() {
    if (s.GetSelStart() != s.CharCount() || s.GetSelLength() != 0) s.SetSelStart(s.CharCount());
  }
  void Save() {
    s.SetModified(false);
    saved = s.Text();
  }
  void Backspace() {
    s.Select(s.CharCount() - 1, s.CharCount());
    s.InsertTextBuf({});
  }
  // t types a character at the end (a run of them is one record), b moves the caret by
  // program (the next change is a record of its own), g is a Return and a comment typed
  // inside one update bracket, d deletes the last character, u undoes, r redoes, s saves.
  void Run(const std::string& steps) {
    for (char step : steps) {
      switch (step) {
        case 't':
          AtEnd();
          Type(s, "x");
          break;
        case 'b':
          s.SetSelStart(0);
          s.SetSelStart(s.CharCount());
          break;
        case 'g':
          AtEnd();
          s.BeginUpdate();
          s.InsertTextBuf("\r\n");
          Type(s, "; typed");
          s.EndUpdate();
          break;
        case 'd': Backspace(); break;
        case 'u': s.Undo(); break;
        case 'r': s.Redo(); break;
        case 's': Save(); break;
        default: FAIL() << "no step " << step;
      }
    }
  }
};

TEST_F(SavePointTest, ModifiedWhereverTheHistoryStandsAwayFromTheSavePoint) {
  struct Case {
    const char* steps;
    bool modified;
  };
  // A change that happens to restore the text ("td") is still a change: the history, not a
  // comparison of texts, says what differs from the file.
  const Case cases[] = {
      {"", false},        {"t", true},      {"tu", false},      {"tur", true},     {"turu", false},
      {"tt", true},       {"ttu", false},   {"ts", false},      {"tst", true},     {"tstu", false},
      {"tsu", true},      {"tsur", false},  {"tstuu", true},    {"tstuur", false}, {"tusr", true},
      {"tusru", false},   {"tut", true},    {"tsutu", true},    {"tbtsuut", true}, {"g", true},
      {"gu", false},      {"gur", true},    {"gurur", true},    {"gs", false},     {"gsu", true},
      {"gsur", false},    {"gsg", true},    {"gsgu", false},    {"tbt", true},     {"tbtu", true},
      {"tbtuu", false},   {"tbtsu", true},  {"tbtsur", false},  {"tbtus", false},  {"tbtusr", true},
      {"tbtusru", false}, {"tbtusu", true}, {"tbtusur", false}, {"td", true},      {"tdu", true},
      {"tduu", false},    {"tduur", true},  {"tsd", true},      {"tsdu", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("steps \"") + c.steps + "\"");
    SetUp();
    Run(c.steps);
    EXPECT_EQ(s.Modified(), c.modified);
    s.SelfTest();
    if (!c.modified) {
      EXPECT_EQ(s.Text(), saved);
    }
  }
}

// Two update brackets of one depth undo together, but not across a save between them: Undo
// stops at the text that was saved.
TEST_F(SavePointTest, UndoOfAGroupStopsAtTheSavePoint) {
  Run("gsg");
  Run("u");
  EXPECT_EQ(s.Text(), "abc\r\n; typed");
  Run("u");
  EXPECT_EQ(s.Text(), "abc");
  Run("rr");
  EXPECT_EQ(s.Text(), "abc\r\n; typed\r\n; typed");
  EXPECT_TRUE(s.Modified());
}

// Where the history can no longer lead back to the saved text, only a save clears Modified,
// even when the text reads as saved again.
TEST_F(SavePointTest, AHistoryThatLostTheSavePointStaysModifiedUntilSaved) {
  struct Case {
    const char* name;
    int32_t max_level;
    int32_t max_space;
    const char* steps;
  };
  const Case cases[] = {
      {"the oldest record dropped by UndoMaxLevel", 1, 4194304, "tdtd"},
      {"the oldest record dropped by UndoMaxLevel, undone and redone", 1, 4194304, "tdtdur"},
      {"nothing recorded with UndoMaxLevel 0", 0, 4194304, "td"},
      {"every record too big for UndoMaxSpace", 65536, 10, "td"},
      {"redo records holding the save point freed by a change", 65536, 4194304, "tsut"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    s.ClearUndo();
    s.SetUndoMaxLevel(c.max_level);
    s.SetUndoMaxSpace(c.max_space);
    Run(c.steps);
    EXPECT_TRUE(s.Modified());
    s.SelfTest();
    Save();
    EXPECT_FALSE(s.Modified());
    Run("t");
    EXPECT_TRUE(s.Modified());
    s.SetUndoMaxLevel(65536);
    s.SetUndoMaxSpace(4194304);
  }
}

TEST_F(SavePointTest, LoweringUndoMaxLevelBelowTheSavePointLosesIt) {
  Run("tsbtbd");
  s.SetUndoMaxLevel(1);
  EXPECT_EQ(s.Text(), saved);
  EXPECT_TRUE(s.Modified());
  Run("u");
  EXPECT_TRUE(s.Modified());
  Run("r");
  EXPECT_TRUE(s.Modified());
}

TEST_F(SavePointTest, ClearingTheHistoryKeepsWhatModifiedWas) {
  Run("t");
  s.ClearUndo();
  EXPECT_TRUE(s.Modified());
  Save();
  s.ClearUndo();
  EXPECT_FALSE(s.Modified());
  Run("tu");
  EXPECT_FALSE(s.Modified());
}

TEST_F(SavePointTest, SettingModifiedAgainKeepsTheSavePoint) {
  Run("t");
  s.SetModified(true);  // as a caller that restores what it read
  Run("u");
  EXPECT_FALSE(s.Modified());
  s.SetModified(false);
  Run("r");
  EXPECT_TRUE(s.Modified());
  Run("u");
  EXPECT_FALSE(s.Modified());
}

}  // namespace
}  // namespace scrivlet
