// Thousands of random edits, undos and redos against a naive model of the text: a vector of
// paragraphs as byte strings. The self-test must hold after every step.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

// The text as paragraphs; offsets count 2 per break, like the table's.
struct NaiveText {
  std::vector<std::string> paras{""};

  int32_t CharCount() const {
    int32_t n = 0;
    for (const auto& p : paras) n += static_cast<int32_t>(p.size()) + 2;
    return n - 2;
  }
  std::string Flat() const {
    std::string s;
    for (size_t i = 0; i < paras.size(); ++i) {
      if (i) s += "\r\n";
      s += paras[i];
    }
    return s;
  }
  // Replaces [from, to) of the flat text; a CR or CR LF in `text` breaks, a lone LF does not.
  void Replace(int32_t from, int32_t to, const std::string& text) {
    std::string flat = Flat();
    // Offsets between a CR and its LF go back to the paragraph end, as the primitive does.
    auto fix = [&](int32_t o) {
      return (o > 0 && flat[static_cast<size_t>(o - 1)] == '\r') ? o - 1 : o;
    };
    from = fix(from);
    to = fix(to);
    const std::string before = flat.substr(0, static_cast<size_t>(from));
    const std::string after = flat.substr(static_cast<size_t>(to));
    paras.clear();
    std::string cur;
    auto feed = [&](const std::string& s, bool breaks_on_cr) {
      for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && breaks_on_cr) {
          paras.push_back(cur);
          cur.clear();
          if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
          cur.push_back(s[i]);
        }
      }
    };
    feed(before, true);
    feed(text, true);
    feed(after, true);
    paras.push_back(cur);
  }
};

std::string RandomText(std::mt19937& rng) {
  static const char kAlphabet[] = {'a', 'b', 'c', ' ', '\t', 'x', '\n', '\r', '1', 'Z'};
  std::uniform_int_distribution<int> len(0, 6);
  std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
  std::string s;
  for (int n = len(rng); n > 0; --n) {
    const char c = kAlphabet[pick(rng)];
    s.push_back(c);
    if (c == '\r' && rng() % 2) s.push_back('\n');
  }
  return s;
}

// One range in `long_every` spans anywhere in the text; the others are short.
void RunAgainstModel(const std::string& initial, uint32_t seed, int steps, uint32_t long_every) {
  std::mt19937 rng(seed);
  TScrivlet s;
  testing::Load(s, initial);
  NaiveText model;
  model.Replace(0, 0, initial);
  // The texts after each undoable step, to check undo and redo against.
  std::vector<std::string> history{model.Flat()};
  size_t at = 0;  // index in history of the current text
  int changes = 0, undos = 0, redos = 0;

  for (int step = 0; step < steps; ++step) {
    const int action = static_cast<int>(rng() % 10);
    if (action < 6) {
      const int32_t n = s.CharCount();
      std::uniform_int_distribution<int32_t> off(0, n);
      int32_t a = off(rng), b = off(rng);
      if (a > b) std::swap(a, b);
      if (rng() % long_every != 0)
        b = std::min(n, a + static_cast<int32_t>(rng() % 12));  // mostly short
      if (rng() % 3 == 0) b = a;                                // a pure insertion
      const std::string text = RandomText(rng);
      s.Select(b, a);
      const int32_t level_before = s.UndoLevel();
      // Every change stands alone, so one Undo takes back exactly one step.
      s.UndoBreak = true;
      s.InsertTextBuf(text);
      // A range that closes up once its ends leave the middle of a break changes nothing
      // and makes no record; a wrongly missing record shows as a text mismatch below.
      if (s.UndoLevel() == level_before + 1) {
        model.Replace(a, b, text);
        history.resize(at + 1);
        history.push_back(model.Flat());
        ++at;
        ++changes;
      }
    } else if (action < 8) {
      if (s.CanUndo()) {
        s.Undo();
        --at;
        ++undos;
      }
    } else {
      if (s.CanRedo()) {
        s.Redo();
        ++at;
        ++redos;
      }
    }
    ASSERT_NO_THROW(s.SelfTest()) << "step " << step;
    ASSERT_TRUE(s.Text() == history[at]) << "step " << step;  // (texts too long to print)
    model.paras.clear();
    // Rebuild the model from the history so that undo and redo stay comparable.
    NaiveText fresh;
    fresh.Replace(0, fresh.CharCount(), history[at]);
    model = fresh;
    ASSERT_EQ(s.CharCount(), model.CharCount()) << "step " << step;
    ASSERT_EQ(s.Table.Count(), static_cast<int32_t>(model.paras.size())) << "step " << step;
  }
  EXPECT_GT(s.Table.Count(), std::count(initial.begin(), initial.end(), '\n') > 1000 ? 1000 : 0);
  EXPECT_GT(changes, steps / 3);
  EXPECT_GT(undos, steps / 8);
  EXPECT_GT(redos, steps / 40);
}

TEST(DifferentialTest, RandomEditsUndosAndRedosMatchANaiveModel) {
  RunAgainstModel("first line\r\nsecond\r\n\r\nlast", 20240611, 4000, 20);
}

// Enough paragraphs that edits move records across the table's block boundary (1820).
TEST(DifferentialTest, RandomEditsAcrossBlockBoundaries) {
  std::string text;
  for (int i = 0; i < 2000; ++i)
    text += (i % 7 ? "line " + std::to_string(i) : std::string()) + "\r\n";
  RunAgainstModel(text, 99, 1500, 100000);
}

// A paragraph of 65,535 characters or more needs the paragraph extension from the start;
// it once kept a line that ended at 0 and failed the self-test right after loading.
TEST(DifferentialTest, ParagraphsOfSixtyFourKAndMoreEditLikeShortOnes) {
  const std::string text =
      "head\r\n" + std::string(70000, 'q') + "\r\n" + std::string(65535, 'w') + "\r\ntail";
  RunAgainstModel(text, 4242, 600, 25);
}

// With inline styles live and trailing blanks discarded, forward edits make automatic
// changes of their own; Undo and Redo must still return to exactly the texts seen before.
TEST(DifferentialTest, UndoAndRedoReturnToTheSameTextsWithStaticFormatAndDiscardedBlanks) {
  std::mt19937 rng(77);
  TScrivlet s;
  s.SetStaticFormat(true);
  s.SetOptions(s.GetOptions() | zkoDiscardTrailingSpaces);
  testing::Load(s,
                "one \x02"
                "bold\x02 two\r\nthree");
  static const char kAlphabet[] = {'a',    ' ',    '\t',   '\r',   '\x02',
                                   '\x01', '\x15', '\x03', '\x04', 'q'};
  std::vector<std::string> history{s.Text()};
  size_t at = 0;
  for (int step = 0; step < 3000; ++step) {
    const int action = static_cast<int>(rng() % 10);
    if (action < 6) {
      std::uniform_int_distribution<int32_t> off(0, s.CharCount());
      int32_t a = off(rng), b = off(rng);
      if (a > b) std::swap(a, b);
      std::string text;
      for (int n = static_cast<int>(rng() % 4); n > 0; --n)
        text.push_back(kAlphabet[rng() % sizeof kAlphabet]);
      s.Select(b, a);
      const std::string before = s.Text();
      const int32_t level_before = s.UndoLevel();
      // The edit and its automatic follow-ups undo as one group; neighbouring steps get
      // different depths, since adjacent groups of one depth undo together.
      const int depth = 1 + static_cast<int>(at % 2);
      for (int d = 0; d < depth; ++d) s.BeginUpdate();
      s.InsertTextBuf(text);
      for (int d = 0; d < depth; ++d) s.EndUpdate();
      // A change that gives back the same text (a toggle put back) is still a step to undo.
      if (s.Text() != before || s.UndoLevel() != level_before) {
        history.resize(at + 1);
        history.push_back(s.Text());
        ++at;
        s.UndoBreak = true;
      }
    } else if (action < 8) {
      if (s.CanUndo()) {
        s.Undo();
        --at;
      }
    } else if (s.CanRedo()) {
      s.Redo();
      ++at;
    }
    ASSERT_NO_THROW(s.SelfTest()) << "step " << step;
    ASSERT_EQ(s.Text(), history[at]) << "step " << step;
  }
}

// The highlighting and layout kept up edit by edit must equal those of a control that loads
// the same text afresh: runs, section states and display lines of every paragraph.
TEST(DifferentialTest, IncrementalHighlightingAndLayoutEqualAFreshOne) {
  testing::FixedWidthMeasurer measurer;
  auto setUp = [&](TScrivlet& c) {
    testing::LayOutAtOnce(c, measurer, 8 + 7 * 12 + 8,
                          36);  // twelve characters a line, three showing
    c.Keywords.AddKeyword("MOVWF", kWholeWord, kStyleBold, 1, 0, kNoColor, 1);
    c.Keywords.AddKeyword("MOV", kWholeWord, kStyleBold, 1, 0, kNoColor, 2);
    c.Keywords.AddKeyword("AW", 0, kStyleItalic, 1, 0, kNoColor, 3);
    c.StartStopKeys.AddStartStopKey("\"", "\"", 0, 0, 3, 0, kNoColor, 4, true);
    c.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, kNoColor, 5, true);
    c.StartStopKeys.AddStartStopKey("/*", "*/", 0, 0, 6, 0, kNoColor, 6, false);
  };
  auto same_run = [](const TStyleRun& a, const TStyleRun& b) {
    return a.Offset == b.Offset && a.RunFlags == b.RunFlags && a.Depth == b.Depth &&
           a.Foregnd == b.Foregnd && a.Context == b.Context &&
           std::equal(a.Levels, a.Levels + 16, b.Levels);
  };
  auto same_line = [](const TLineRecord& a, const TLineRecord& b) {
    return a.Start == b.Start && a.End == b.End && a.WordWidth == b.WordWidth &&
           a.FullWidth == b.FullWidth && a.Spaces == b.Spaces &&
           a.TrailingStart == b.TrailingStart && a.StartStyle == b.StartStyle;
  };
  auto compare = [&](TScrivlet& s, int step) {
    TScrivlet fresh;
    setUp(fresh);
    testing::Load(fresh, s.Text());
    ASSERT_EQ(s.Table.Count(), fresh.Table.Count()) << "step " << step;
    ASSERT_EQ(s.LineCount(), fresh.LineCount()) << "step " << step;
    for (int32_t i = 0; i < s.Table.Count(); ++i) {
      const TParagraph& a = s.Table.Items(i);
      const TParagraph& b = fresh.Table.Items(i);
      ASSERT_TRUE(a.Flags & pfFormatted) << "step " << step << " paragraph " << i;
      ASSERT_TRUE(SameScanState(para::Style(a), para::Style(b)))
          << "step " << step << " paragraph " << i;
      ASSERT_EQ(a.FirstLine, b.FirstLine) << "step " << step << " paragraph " << i;
      const auto* ra = para::Runs(a);
      const auto* rb = para::Runs(b);
      ASSERT_EQ(ra ? ra->size() : 0u, rb ? rb->size() : 0u)
          << "step " << step << " paragraph " << i;
      for (size_t k = 0; ra && k < ra->size(); ++k)
        ASSERT_TRUE(same_run((*ra)[k], (*rb)[k]))
            << "step " << step << " paragraph " << i << " run " << k;
      ASSERT_EQ(para::LineCount(a), para::LineCount(b)) << "step " << step << " paragraph " << i;
      for (int32_t k = 0; k < para::LineCount(a); ++k)
        ASSERT_TRUE(same_line(para::LineRecord(a, k), para::LineRecord(b, k)))
            << testing::ParaText(s.Table, i) << " step " << step << " paragraph " << i << " line "
            << k;
    }
  };

  std::mt19937 rng(5150);
  TScrivlet s;
  setUp(s);
  testing::Load(
      s, "MOV a, b ; note\r\n/* block\r\nMOVWF x */ MOV\r\n\"str ; x\" MOVWF AW\r\nlast MOV");
  static const std::string kPieces[] = {"MOV", "MOVWF", " ", "\"", ";",      "/*",
                                        "*/",  "\r\n",  "a", "AW", "x y z w"};
  for (int step = 0; step < 3000; ++step) {
    const int action = static_cast<int>(rng() % 10);
    if (action < 7) {
      std::uniform_int_distribution<int32_t> off(0, s.CharCount());
      int32_t a = off(rng);
      int32_t b = std::min(s.CharCount(), a + static_cast<int32_t>(rng() % 6));
      if (rng() % 2) b = a;
      std::string text;
      for (int n = static_cast<int>(rng() % 3); n > 0; --n)
        text += kPieces[rng() % std::size(kPieces)];
      s.Select(b, a);
      s.UndoBreak = true;
      s.InsertTextBuf(text);
    } else if (action < 9) {
      if (s.CanUndo()) s.Undo();
    } else if (s.CanRedo()) {
      s.Redo();
    }
    ASSERT_NO_THROW(s.SelfTest()) << "step " << step;
    compare(s, step);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace scrivlet
