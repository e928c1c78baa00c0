// TScrivlet as a component: property defaults and setter effects, the string-list views,
// and loading, saving and form streaming of its text.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;

class RecordingWindow : public TScrivletWindow {
 public:
  int invalidated = 0, caret_updates = 0, recreated = 0, caret_shapes = 0, scroll_bars = 0;
  void Invalidate() override { ++invalidated; }
  void UpdateCaret() override { ++caret_updates; }
  void RecreateWindow() override { ++recreated; }
  void CaretShapeChanged() override { ++caret_shapes; }
  void UpdateScrollBars() override { ++scroll_bars; }
};

TEST(ScrivletShellTest, ANewControlHasThePublishedDefaults) {
  TScrivlet s;
  EXPECT_EQ(s.GetAlignment(), TAlignment::taLeftJustify);
  EXPECT_EQ(s.GetBorderStyle(), TBorderStyle::bsSingle);
  EXPECT_TRUE(s.HideSelection);
  EXPECT_EQ(s.GetScrollBars(), TScrollStyle::ssNone);
  EXPECT_TRUE(s.WantTabs);
  EXPECT_TRUE(s.GetWordWrap());
  EXPECT_TRUE(s.GetApplyKeyWords());
  EXPECT_TRUE(s.GetApplyStartStopKeys());
  EXPECT_EQ(s.GetCaretWidth(), 1);
  EXPECT_EQ(s.GetColumnWrap(), 0);
  EXPECT_FALSE(s.GetDisplayOnly());
  EXPECT_TRUE(s.EnableHotKeys);
  EXPECT_EQ(s.HighlightColor, 255);
  EXPECT_FALSE(s.GetJustified());
  EXPECT_EQ(s.GetLeftMargin(), 8);
  EXPECT_EQ(s.GetRightMargin(), 8);
  EXPECT_EQ(s.LineBreak, TScrivLineBreak::pbCRLF);
  EXPECT_EQ(s.MouseWheelFactor, -1);
  EXPECT_EQ(s.NullReplacement, 0);
  EXPECT_EQ(s.GetOptions(),
            static_cast<uint32_t>(zkoPutExtraSpaces | zkoWrapCaret | zkoInsertKeyActive |
                                  zkoWideOverwriteCaret | zkoAutoScrollBars));
  EXPECT_FALSE(s.GetOverwrite());
  EXPECT_TRUE(s.PassOverCodes);
  EXPECT_EQ(s.ProgressInterval, 300);
  EXPECT_FALSE(s.ReadOnly);
  EXPECT_EQ(s.GetRightLinePos(), 0);
  EXPECT_EQ(s.ScrollTime, 300);
  EXPECT_EQ(s.GetSeparators(), std::string("\t\n\r $%&,./:;<=>"));
  EXPECT_TRUE(s.ShowEndParSelected);
  EXPECT_EQ(s.GetShowNonPrintChars(), 0);
  EXPECT_FALSE(s.GetStaticFormat());
  EXPECT_EQ(s.GetTabStops(), 8);
  EXPECT_EQ(s.GetUndoMaxSpace(), 4194304);
  EXPECT_EQ(s.GetUndoMaxLevel(), 65536);
  EXPECT_EQ(s.GetUpperCaseType(), TzkUpperCase::zkuAscii);
  EXPECT_EQ(s.GetUpdateMode(), TzkUpdateMode::umBackground);
  EXPECT_TRUE(s.GetWordWrapChars().empty());
  // A new control: one empty paragraph and nothing in the Paragraphs view.
  EXPECT_EQ(s.ParagraphCount(), 1);
  EXPECT_EQ(s.LineCount(), 1);
  EXPECT_EQ(s.Paragraphs.Count(), 0);
}

TEST(ScrivletShellTest, OptionsAreBitsInMemberOrder) {
  const std::pair<TScrivletOption, int> rows[] = {
      {zkoKeepColumnPos, 0},          {zkoPutExtraSpaces, 1},     {zkoAutoScrollBars, 6},
      {zkoDiscardTrailingSpaces, 12}, {zkoBlockSelection, 16},    {zkoAutoLineBreak, 17},
      {zkoPersistentBlocks, 19},      {zkoNoOverwriteBlocks, 20}, {zkoKeepParBackgnd, 22},
  };
  for (const auto& [member, bit] : rows) EXPECT_EQ(static_cast<uint32_t>(member), 1u << bit) << bit;
}

// Each setter either lays the text out again or only repaints; with everything laid out
// before, a re-layout shows as a pending backlog under umOnNeed.
TEST(ScrivletShellTest, SettersLayOutAgainOrOnlyRepaintAsEachPropertyNeeds) {
  struct Row {
    const char* name;
    bool word_wrap;
    std::function<void(TScrivlet&)> set;
    bool relayout;
    bool repaint;
  };
  const Row rows[] = {
      {"WordWrap", true, [](TScrivlet& s) { s.SetWordWrap(false); }, true, true},
      {"LeftMargin wrapped", true, [](TScrivlet& s) { s.SetLeftMargin(4); }, true, true},
      {"LeftMargin unwrapped", false, [](TScrivlet& s) { s.SetLeftMargin(4); }, false, true},
      {"RightMargin wrapped", true, [](TScrivlet& s) { s.SetRightMargin(4); }, true, true},
      {"TabStops wrapped", true, [](TScrivlet& s) { s.SetTabStops(4); }, true, true},
      {"TabStops unwrapped", false, [](TScrivlet& s) { s.SetTabStops(4); }, false, true},
      {"ColumnWrap wrapped", true, [](TScrivlet& s) { s.SetColumnWrap(5); }, true, true},
      {"ColumnWrap unwrapped", false, [](TScrivlet& s) { s.SetColumnWrap(5); }, false, false},
      {"Alignment wrapped", true, [](TScrivlet& s) { s.SetAlignment(TAlignment::taCenter); }, false,
       true},
      {"Alignment unwrapped", false, [](TScrivlet& s) { s.SetAlignment(TAlignment::taCenter); },
       true, true},
      {"Justified", true, [](TScrivlet& s) { s.SetJustified(true); }, false, true},
      {"WordWrapChars", true, [](TScrivlet& s) { s.SetWordWrapChars("-"); }, true, false},
      {"RightLinePos", true, [](TScrivlet& s) { s.SetRightLinePos(40); }, false, true},
      {"SelBackColor", true, [](TScrivlet& s) { s.SetSelBackColor(3); }, false, true},
      {"ShowNonPrintChars", true, [](TScrivlet& s) { s.SetShowNonPrintChars(zkNPTab); }, false,
       true},
      {"font", true, [](TScrivlet& s) { s.FontChanged(); }, true, true},
      {"FontStyle", true, [](TScrivlet& s) { s.SetFontStyle(kStyleBold); }, true, true},
      {"Measurer", true,
       [](TScrivlet& s) {
         static FixedWidthMeasurer wider(9, 14);
         s.SetMeasurer(&wider);
       },
       true, true},
  };
  for (const Row& r : rows) {
    FixedWidthMeasurer measurer;
    RecordingWindow window;
    TScrivlet s({nullptr, nullptr, &window});
    s.SetMeasurer(&measurer);
    s.SetUpdateMode(TzkUpdateMode::umOnNeed);
    s.SetWordWrap(r.word_wrap);
    Load(s, "one two three\r\nfour");
    s.Layout().FormatBacklog();
    ASSERT_FALSE(s.Layout().BacklogPending()) << r.name;
    window = RecordingWindow{};
    r.set(s);
    EXPECT_EQ(s.Layout().BacklogPending(), r.relayout) << r.name;
    EXPECT_EQ(window.invalidated > 0, r.repaint) << r.name;
  }
}

TEST(ScrivletShellTest, WindowStylePropertiesRecreateTheWindowAndCaretPropertiesTheCaret) {
  RecordingWindow window;
  TScrivlet s({nullptr, nullptr, &window});
  s.SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(window.recreated, 1);
  s.SetBorderStyle(TBorderStyle::bsNone);
  EXPECT_EQ(window.recreated, 1) << "unchanged: nothing";
  s.SetCaretWidth(0);
  s.SetOverwrite(true);
  s.SetDisplayOnly(true);
  EXPECT_EQ(window.caret_shapes, 3);
  EXPECT_EQ(s.EffectiveCaretWidth(), 1 / 14 + 1) << "0: line height div 14 + 1";
}

TEST(ScrivletShellTest, SeparatorsAlwaysHoldLineBreaksAndReadBackInOrder) {
  TScrivlet s;
  s.SetSeparators("");
  EXPECT_EQ(s.GetSeparators(), "\n\r");
  s.SetSeparators("b a");
  EXPECT_EQ(s.GetSeparators(), "\n\r ab");
}

TEST(ScrivletShellTest, LineHeightIsCappedAndZeroFollowsTheFont) {
  FixedWidthMeasurer measurer(7, 12);
  int vscrolls = 0;
  TScrivlet s;
  s.SetMeasurer(&measurer);
  s.OnVScroll = [&](TScrivlet&) { ++vscrolls; };
  s.SetLineHeight(70000);
  EXPECT_EQ(s.GetLineHeight(), 65535);
  s.SetLineHeight(0);
  EXPECT_EQ(s.GetLineHeight(), 12);
  s.Designing = true;
  EXPECT_EQ(s.GetLineHeight(), 0) << "the designer shows automatic as 0";
  s.Designing = false;
  s.CreateHandle();
  s.SetVScroll(30);  // two lines and 6 pixels
  vscrolls = 0;      // count only the line height's own scroll
  s.SetLineHeight(20);
  EXPECT_EQ(s.VertScroll(), 46) << "the top line stays on top";
  EXPECT_EQ(vscrolls, 1);
}

TEST(ScrivletShellTest, EveryChangeOfTheViewFiresItsScrollEventOnce) {
  struct Case {
    const char* cause;
    std::function<void(TScrivlet&)> act;
    int vertical, horizontal;  // events expected
    int32_t vert_after;
  };
  std::string text = "a long first line of the text";
  for (int i = 0; i < 99; ++i) text += "\r\nline";  // 100 lines of 12 pixels
  const Case cases[] = {
      {"a resize pulls the view back from past the text's end",
       [](TScrivlet& s) { s.SetBounds(100, 400); }, 1, 0, 1200 - 400 + 3},
      {"a scroll to where the view is", [](TScrivlet& s) { s.SetVScroll(s.VertScroll()); }, 0, 0,
       1140},
      {"a scroll", [](TScrivlet& s) { s.SetVScroll(12); }, 1, 0, 12},
      {"a new text", [](TScrivlet& s) { s.SetTextBuf("x"); }, 1, 0, 0},
      {"a load", [](TScrivlet& s) { Load(s, "x"); }, 1, 1, 0},
      {"the alignment", [](TScrivlet& s) { s.SetAlignment(TAlignment::taCenter); }, 0, 1, 1140},
      {"justifying", [](TScrivlet& s) { s.SetJustified(true); }, 0, 1, 1140},
      {"the font", [](TScrivlet& s) { s.SetFontStyle(1); }, 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cause);
    FixedWidthMeasurer measurer(7, 12);
    TScrivlet s;
    s.SetWordWrap(false);
    testing::LayOutAtOnce(s, measurer, 100, 60);
    s.CreateHandle();
    Load(s, text);
    s.SetVScroll(1140);  // the last line at the top: past the end of a taller window
    s.SetHScroll(35);
    int vertical = 0, horizontal = 0;
    s.OnVScroll = [&](TScrivlet&) { ++vertical; };
    s.OnHScroll = [&](TScrivlet&) { ++horizontal; };
    c.act(s);
    EXPECT_EQ(vertical, c.vertical);
    EXPECT_EQ(horizontal, c.horizontal);
    EXPECT_EQ(s.VertScroll(), c.vert_after);
  }
}

TEST(ScrivletShellTest, SwitchingDiscardTrailingSpacesOnDropsThemAndKeepsModified) {
  TScrivlet s;
  Load(s, "ab  \r\ncd\t");
  s.SetModified(false);
  s.SetOptions(s.GetOptions() | zkoDiscardTrailingSpaces);
  EXPECT_EQ(s.Text(), "ab\r\ncd");
  EXPECT_FALSE(s.Modified());
}

TEST(ScrivletShellTest, VersionIsReadOnly) {
  TScrivlet s;
  const std::string v = s.GetVersion();
  s.SetVersion("other");
  EXPECT_EQ(s.GetVersion(), v);
}

TEST(ScrivletShellTest, TheParagraphsViewCountsAddsInsertsAndDeletes) {
  TScrivlet s;
  EXPECT_EQ(s.Paragraphs.Add("x"), 0);
  EXPECT_EQ(s.Text(), "x\r\n") << "a paragraph with its break behind it";
  EXPECT_EQ(s.ParagraphCount(), 2);
  EXPECT_EQ(s.Paragraphs.Count(), 1);
  EXPECT_EQ(s.Paragraphs.Add("y"), 1) << "the added text, not the empty paragraph behind it";
  EXPECT_EQ(s.Text(), "x\r\ny\r\n");

  Load(s, "a");
  EXPECT_EQ(s.Paragraphs.Add("b"), 1);
  EXPECT_EQ(s.Text(), "a\r\nb");
  s.Paragraphs.Insert(0, "z");
  EXPECT_EQ(s.Text(), "z\r\na\r\nb");
  s.Paragraphs.Insert(3, "w");
  EXPECT_EQ(s.Text(), "z\r\na\r\nb\r\nw") << "at the count it adds";
  s.Paragraphs.Delete(1);
  EXPECT_EQ(s.Text(), "z\r\nb\r\nw");
  s.Paragraphs.Delete(2);
  EXPECT_EQ(s.Text(), "z\r\nb\r\n") << "the last goes without a break";
  EXPECT_EQ(s.Paragraphs.Count(), 2);
  EXPECT_EQ(s.Paragraphs.Get(1), "b");
  s.Paragraphs.Put(0, "q");
  EXPECT_EQ(s.Paragraphs.Get(0), "q");
  EXPECT_THROW(s.Paragraphs.Get(2), ERangeError);
  s.SelfTest();
}

TEST(ScrivletShellTest, SetParagraphTextAppendsParagraphsAndKeepsTheSelectionInPlace) {
  TScrivlet s;
  Load(s, "abc\r\ndef");
  s.Select(6, 7);  // "e", caret behind it
  s.SetParagraphText(0, "XYZW");
  EXPECT_EQ(s.SelLower(), 7);
  EXPECT_EQ(s.SelUpper(), 8);
  s.SetParagraphText(3, "end");
  EXPECT_EQ(s.Text(), "XYZW\r\ndef\r\n\r\nend");
  EXPECT_EQ(s.SelLower(), 7);
}

TEST(ScrivletShellTest, TheLinesViewWorksOnDisplayLines) {
  FixedWidthMeasurer measurer;
  TScrivlet s;
  testing::LayOutAtOnce(s, measurer, 8 + 70 + 8, 100);  // ten characters a line
  Load(s, "aaaa bbbb cccc\r\nlast");
  EXPECT_EQ(s.Lines.Count(), 3);
  EXPECT_EQ(s.Lines.Get(1), "cccc");
  EXPECT_EQ(s.GetLineText(7), "") << "beyond the last line";
  s.Lines.Delete(1);  // the line that ends its paragraph takes the break along
  EXPECT_EQ(s.Text(), "aaaa bbbb last");
  s.Lines.Put(0, "new ");
  EXPECT_EQ(s.Text(), "new last");
  EXPECT_EQ(s.Lines.Add("more"), 1);
  EXPECT_EQ(s.SelLower(), s.CharCount()) << "the caret goes to the end";
  s.Lines.Insert(0, "top");
  EXPECT_EQ(s.Text(), "top\r\nnew last\r\nmore");
  s.Lines.Insert(9, "nothing");
  EXPECT_EQ(s.Text(), "top\r\nnew last\r\nmore") << "beyond the line count nothing happens";
}

TEST(ScrivletShellTest, TheLinesListSynthesisesARecordAndChecksItsIndex) {
  TScrivlet s;
  Load(s, "abc");
  TLinesList lines(s.Table.Items(0));
  EXPECT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines.Get(0).End, 3);
  try {
    lines.Get(1);
    FAIL();
  } catch (const ERangeError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds");
  }
  lines.SetCount(0);
  EXPECT_EQ(lines.Count(), 1);
  lines.SetCount(2);
  EXPECT_EQ(lines.Count(), 2);
}

TEST(ScrivletShellTest, TextRoundTripsThroughStreamsAndTheStringsProperty) {
  TScrivlet s;
  EXPECT_FALSE(StoreStrings(s)) << "an empty text writes no Strings";
  const std::string long_para(300, 'L');
  const std::string text = "first\r\n\r\n" + long_para + "\r\nends in \x05\r\n\r\n";
  Load(s, text);
  ASSERT_TRUE(StoreStrings(s));
  const TStreamItem stored = WriteStrings(s);
  TScrivlet t;
  ReadStrings(t, stored);
  EXPECT_EQ(t.Text(), text) << "every paragraph, empty ones included";

  s.LineBreak = TScrivLineBreak::pbLF;
  std::ostringstream saved;
  s.SaveToStream(saved);
  EXPECT_EQ(saved.str(), "first\n\n" + long_para + "\nends in \x05\n\n");
  std::ostringstream view;
  s.Paragraphs.SaveToStream(view);
  EXPECT_EQ(view.str(), text) << "the view writes CR LF whatever LineBreak says";
  TScrivlet u;
  u.Paragraphs.Assign(s.Paragraphs);
  EXPECT_EQ(u.Text(), text);
  u.Paragraphs.Assign(std::vector<std::string>{"a", "b"});
  EXPECT_EQ(u.Text(), "a\r\nb\r\n");
  EXPECT_EQ(u.Paragraphs.Count(), 2);
}

TEST(ScrivletShellTest, ALoadFiresParseProgressAndChangeOnce) {
  TScrivlet s;
  int progress = 0, changes = 0;
  std::pair<int32_t, int32_t> parsed{-1, -1};
  s.OnProgress = [&](TParagraphsList&) { ++progress; };
  s.OnChange = [&](TScrivlet&) { ++changes; };
  s.OnParse = [&](TScrivlet&, int32_t a, int32_t b) { parsed = {a, b}; };
  Load(s, "abc\r\nde");
  EXPECT_EQ(parsed, std::make_pair(0, 7));
  EXPECT_GE(progress, 1);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace scrivlet
