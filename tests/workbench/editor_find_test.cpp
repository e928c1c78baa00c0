// Find and replace in a source editor: from the caret, the question at the text's end, and
// Replace All's count.

#include "workbench/editor_find.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/editor_control/test_support.h"

namespace workbench {
namespace {

using platform::kAnswerNo;
using platform::kAnswerOk;
using platform::kAnswerYes;
using scrivlet::TScrivlet;

class RecordingPlace : public FindDialogPlace {
 public:
  void Close() override { steps += "close "; }
  std::string steps;
};

class EditorFindTest : public ::testing::Test {
 protected:
  EditorFindTest() {
    texts.InitLocalization("x");
    scrivlet::testing::LayOutAtOnce(s, measurer, 400, 400);
  }
  void Text(const std::string& text, int32_t caret) {
    scrivlet::testing::Load(s, text);
    s.SetSelStart(caret);
  }

  Localizer texts;
  platform::RecordingMessageBoxes boxes;
  MessageStrings messages{texts, boxes};
  EditorFinder finder{texts, messages};
  RecordingPlace place;
  scrivlet::testing::FixedWidthMeasurer measurer{7, 12};
  TScrivlet s;
};

// GCC 12 at -O3 takes the strings of a braced table of cases, destroyed on the exception
// path, for "maybe uninitialized" (a known false positive of that version).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
TEST_F(EditorFindTest, TheFindDialogSearchesFromTheCaretAndAsksAtTheEnd) {
  struct Row {
    const char* what;
    std::string text;
    int32_t caret;
    FindOptions find;
    std::vector<int> answers;
    bool found;
    int32_t sel_from, sel_to;        // the selection afterwards
    std::vector<std::string> boxes;  // text, caption pairs
    std::string steps;
  };
  const std::string top = "Couldn't find: \"mov\"\r\rContinue searching from the top?";
  const std::string bottom = "Couldn't find: \"mov\"\r\rContinue searching from the bottom?";
  const Row rows[] = {
      {"down from the caret", "mov a\nmov b", 1, {"mov"}, {}, true, 7, 10, {}, ""},
      {"up from the caret", "mov a\nmov b", 7, {"mov", false}, {}, true, 0, 3, {}, ""},
      {"case and whole word",
       "MOVX Mov mov",
       0,
       {"mov", true, true, true},
       {},
       true,
       9,
       12,
       {},
       ""},
      {"down at the end: Yes wraps to the top",
       "mov a",
       3,
       {"mov"},
       {kAnswerYes},
       true,
       0,
       3,
       {top, "Word Not Found"},
       ""},
      {"down at the end: No closes the dialog",
       "mov a",
       3,
       {"mov"},
       {kAnswerNo},
       false,
       3,
       3,
       {top, "Word Not Found"},
       "close "},
      {"up at the start: Yes wraps to the bottom",
       "a mov",
       1,
       {"mov", false},
       {kAnswerYes},
       true,
       2,
       5,
       {bottom, "Word Not Found"},
       ""},
      {"nowhere: told once it came round, the caret stays",
       "abc",
       2,
       {"mov"},
       {kAnswerYes, kAnswerOk},
       false,
       2,
       2,
       {top, "Word Not Found", "Couldn't find: \"mov\"", "Word Not Found"},
       ""},
      {"an empty find text is refused", "abc", 1, {""}, {}, false, 1, 1, {}, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    boxes.Clear();
    place.steps.clear();
    for (int answer : r.answers) boxes.Answer(answer);
    Text(r.text, r.caret);
    EXPECT_EQ(finder.FindDialogFind(s, r.find, place), r.found);
    EXPECT_EQ(s.SelLower(), r.sel_from);
    EXPECT_EQ(s.SelUpper(), r.sel_to);
    std::vector<std::string> shown;
    for (const platform::BoxRequest& box : boxes.Boxes()) {
      shown.push_back(box.text);
      shown.push_back(box.caption);
    }
    EXPECT_EQ(shown, r.boxes);
    EXPECT_EQ(place.steps, r.steps);
  }
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

TEST_F(EditorFindTest, ASelectedHitIsPassedOverWhicheverWayTheSearchGoes) {
  Text("mov mov mov", 0);
  s.Select(4, 7);  // the middle one, caret at its end
  EXPECT_TRUE(finder.FindNext(s, {"mov", false}));
  EXPECT_EQ(s.SelLower(), 0);
  s.Select(7, 4);  // caret at its start
  EXPECT_TRUE(finder.FindNext(s, {"mov", true}));
  EXPECT_EQ(s.SelLower(), 8);
  // Nothing further down: the selection stays as it was.
  boxes.Answer(kAnswerOk);
  EXPECT_FALSE(finder.FindNext(s, {"mov", true}));
  EXPECT_EQ(s.GetSelStart(), 11);
  EXPECT_EQ(s.GetSelLength(), -3);
}

// The find text is the editor's Windows-1252; the box shows it as the characters it is.
TEST_F(EditorFindTest, ABoxNamesAFindTextBeyondAsciiInUtf8) {
  Text("mov a", 2);
  boxes.Answer(platform::kAnswerOk);
  EXPECT_FALSE(finder.FindNext(s, {"Z\xE4hler \x80"}));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Couldn't find: \"Z\xC3\xA4hler \xE2\x82\xAC\"");
}

TEST_F(EditorFindTest, FindNextTellsATextNotFoundAndKeepsTheCaret) {
  Text("mov a", 2);
  boxes.Answer(platform::kAnswerOk);
  EXPECT_FALSE(finder.FindNext(s, {"nop"}));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Couldn't find: \"nop\"");
  EXPECT_EQ(boxes.Boxes()[0].caption, "Word Not Found");
  EXPECT_EQ(s.GetSelStart(), 2);
  EXPECT_FALSE(finder.FindNext(s, {""}));
  EXPECT_EQ(boxes.Boxes().size(), 1u);
}

TEST_F(EditorFindTest, ReplaceChangesOnlyAHitThatIsSelected) {
  Text("mov a, mov b", 0);
  // Nothing selected: the first hit is found, nothing is put in.
  EXPECT_TRUE(finder.Replace(s, {"MOV"}, "add"));
  EXPECT_EQ(s.Text(), "mov a, mov b");
  EXPECT_EQ(s.GetSelText(), "mov");
  EXPECT_TRUE(finder.Replace(s, {"MOV"}, "add"));
  EXPECT_EQ(s.Text(), "add a, mov b");
  // With match case the selected "mov" is no hit of "MOV".
  s.Select(7, 10);
  boxes.Answer(platform::kAnswerOk);
  EXPECT_FALSE(finder.Replace(s, {"MOV", true, true}, "add"));
  EXPECT_EQ(s.Text(), "add a, mov b");
}

// GCC 12 at -O3 takes the strings of a braced table of cases, destroyed on the exception
// path, for "maybe uninitialized" (a known false positive of that version).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
TEST_F(EditorFindTest, ReplaceAllCountsGoesOnBehindEachReplacementAndKeepsTheCaret) {
  struct Row {
    const char* what;
    std::string text;
    int32_t caret;
    FindOptions find;
    std::string replace;
    std::string after;
    int count;
    int32_t caret_after;
    std::string box, caption;
  };
  const Row rows[] = {
      {"a by ba ends",
       "a\naa",
       4,
       {"a"},
       "ba",
       "ba\r\nbaba",
       3,
       5,
       "Replaced: a\rwith: ba\r3 times.",
       "Find and Replace"},
      {"match case",
       "Mov mov MOV",
       0,
       {"mov", true, true},
       "x",
       "Mov x MOV",
       1,
       0,
       "Replaced: mov\rwith: x\r1 times.",
       "Case Sensitive Find and Replace"},
      {"whole words, from the text's start",
       "nop\nmovx mov",
       7,
       {"mov", true, false, true},
       "add",
       "nop\r\nmovx add",
       1,
       7,
       "Replaced: mov\rwith: add\r1 times.",
       "Find and Replace"},
      {"none: still told",
       "abc",
       1,
       {"x"},
       "y",
       "abc",
       0,
       1,
       "Replaced: x\rwith: y\r0 times.",
       "Find and Replace"},
      {"the caret's line got shorter: its end",
       "xxxxx\nab",
       4,
       {"x"},
       "",
       "\r\nab",
       5,
       0,
       "Replaced: x\rwith: \r5 times.",
       "Find and Replace"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    boxes.Clear();
    boxes.Answer(platform::kAnswerOk);
    Text(r.text, r.caret);
    EXPECT_EQ(finder.ReplaceAll(s, r.find, r.replace), r.count);
    EXPECT_EQ(s.Text(), r.after);
    EXPECT_EQ(s.GetSelStart(), r.caret_after);
    EXPECT_EQ(s.GetSelLength(), 0);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, r.box);
    EXPECT_EQ(boxes.Boxes()[0].caption, r.caption);
  }
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

TEST_F(EditorFindTest, ReplaceAllIsOneUndoStep) {
  Text("a-a\na", 0);
  s.SetSelText("z");  // the user's edits before and after the first Replace All
  boxes.Answer(platform::kAnswerOk);
  ASSERT_EQ(finder.ReplaceAll(s, {"a"}, "bb"), 3);
  s.SetSelStart(0);
  s.SetSelText("y");
  ASSERT_EQ(s.Text(), "yzbb-bb\r\nbb");
  s.Undo();
  EXPECT_EQ(s.Text(), "zbb-bb\r\nbb");
  s.Undo();
  EXPECT_EQ(s.Text(), "za-a\r\na") << "the three replacements at once";
  s.Undo();
  EXPECT_EQ(s.Text(), "a-a\r\na");
  EXPECT_FALSE(s.CanUndo());
  s.Redo();
  s.Redo();
  EXPECT_EQ(s.Text(), "zbb-bb\r\nbb") << "redone at once as well";
}

// However many hits, the text changes once: hit by hit, each change would copy the hit's line
// and move every line behind it, and a long line of hits would take for ever.
TEST_F(EditorFindTest, ReplaceAllChangesTheTextOnceAndCanBeCancelled) {
  std::string line = "; ";
  line.append(3000, 'x');
  Text(line + "\r\nx", 1);
  int changes = 0;
  s.ChangeListeners.push_back(
      [&](TScrivlet&, int code) { changes += code == scrivlet::kChangeBefore; });
  boxes.Answer(platform::kAnswerOk);
  ASSERT_EQ(finder.ReplaceAll(s, {"x"}, "xy"), 3001);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(s.UndoList().size(), 1u);
  EXPECT_EQ(s.GetSelStart(), 1);

  struct Cancel : ReplaceProgress {
    bool Step(std::int32_t, std::int32_t) override { return false; }
  } cancel;
  std::string big = "; ";
  big.append(300000, 'x');
  Text(big, 4);
  boxes.Clear();
  EXPECT_EQ(finder.ReplaceAll(s, {"x"}, "xy", &cancel), -1);
  EXPECT_EQ(s.Text(), big);
  EXPECT_EQ(s.GetSelStart(), 4);
  EXPECT_TRUE(boxes.Boxes().empty()) << "the user who cancelled is told nothing";
}

TEST_F(EditorFindTest, ReplaceAllWithAnEmptyFindTextIsRefused) {
  Text("abc", 1);
  EXPECT_EQ(finder.ReplaceAll(s, {""}, "x"), 0);
  EXPECT_EQ(s.Text(), "abc");
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
}  // namespace workbench
