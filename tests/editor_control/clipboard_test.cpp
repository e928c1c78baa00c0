// Copy, cut and paste through the clipboard seam, plain and as column blocks.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;

class ClipboardTest : public ::testing::Test {
 protected:
  TMemoryClipboard clipboard;
  TScrivlet s{TScrivletServices{nullptr, nullptr, nullptr, &clipboard}};
  void SetUp() override { s.SetWordWrap(false); }
};

TEST_F(ClipboardTest, ColumnTextTakesTheBlockColumnsOfEveryLine) {
  struct Row {
    const char* name;
    std::string text;
    int32_t col1, par1, col2, par2;
    std::string column_text;
  };
  const Row rows[] = {
      {"a short line gives an empty line", "abc\r\nd", 1, 0, 3, 1, "bc\r\n\r\n"},
      {"corners in any order", "abc\r\nd", 3, 1, 1, 0, "bc\r\n\r\n"},
      {"tabs count to the next stop", "a\tbc\r\n0123456789", 8, 0, 10, 1, "bc\r\n89\r\n"},
      {"paragraphs clamp to the text", "ab\r\ncd", 0, 0, 1, 9, "a\r\nc\r\n"},
  };
  for (const Row& r : rows) {
    Load(s, r.text);
    s.SelectColumnBlock(r.col1, r.par1, r.col2, r.par2);
    EXPECT_TRUE(s.BlockMode()) << r.name;
    EXPECT_EQ(s.GetColumnText(), r.column_text) << r.name;
    EXPECT_EQ(s.GetSelText(), r.column_text) << r.name;
  }
}

TEST_F(ClipboardTest, SelectColumnBlockIsIgnoredWithWordWrapAndKeepsTheCaretsExtraColumns) {
  Load(s, "abc\r\nd");
  s.SelectColumnBlock(0, 0, 4, 1);
  EXPECT_EQ(s.GetSelStart(), 6) << "the caret at (par 1, col 4), clamped to its line";
  EXPECT_EQ(s.PendingSpaces(), "   ");
  s.SetWordWrap(true);
  s.SetSelStart(0);
  s.SelectColumnBlock(0, 0, 2, 1);
  EXPECT_FALSE(s.BlockMode());
  EXPECT_EQ(s.GetSelStart(), 0);
}

TEST_F(ClipboardTest, AColumnCutIsOneUndoStep) {
  Load(s, "abcd\r\nefgh\r\nij");
  s.SelectColumnBlock(1, 0, 3, 2);
  s.CutToClipboard();
  EXPECT_EQ(s.Text(), "ad\r\neh\r\ni");
  EXPECT_EQ(clipboard.Text(), "bc\r\nfg\r\nj\r\n");
  EXPECT_TRUE(clipboard.IsColumnBlock());
  s.Undo();
  EXPECT_EQ(s.Text(), "abcd\r\nefgh\r\nij");
  s.SelfTest();
}

TEST_F(ClipboardTest, AColumnPasteFillsShortLinesAndAppendsMissingOnesWithoutAnExtraLine) {
  s.SetOptions(s.GetOptions() | zkoBlockSelection);
  Load(s, "abcd\r\nx");
  clipboard.Put("12\r\n34\r\n56\r\n", true);
  s.SetSelStart(2);
  s.PasteFromClipboard();
  EXPECT_EQ(s.Text(), "ab12cd\r\nx 34\r\n  56") << "the final break ends the last line";
  s.Undo();
  EXPECT_EQ(s.Text(), "abcd\r\nx");
  s.SelfTest();
}

// Each paste is a command of its own; what one paste does (the block it replaces, then each
// line) is one step.
TEST_F(ClipboardTest, TwoColumnPastesAreTwoUndoStepsAndAPasteOverABlockIsOne) {
  s.SetOptions(s.GetOptions() | zkoBlockSelection);
  Load(s, "abcd\r\nefgh");
  clipboard.Put("1\r\n2\r\n", true);
  s.SetSelStart(1);
  s.PasteFromClipboard();
  s.SetSelStart(4);
  s.PasteFromClipboard();
  ASSERT_EQ(s.Text(), "a1bc1d\r\ne2fg2h");
  s.Undo();
  EXPECT_EQ(s.Text(), "a1bcd\r\ne2fgh") << "the second paste alone";
  s.Undo();
  EXPECT_EQ(s.Text(), "abcd\r\nefgh");
  EXPECT_FALSE(s.CanUndo());

  Load(s, "abcd\r\nefgh");
  s.SelectColumnBlock(1, 0, 3, 1);
  s.PasteFromClipboard();
  ASSERT_EQ(s.Text(), "a1d\r\ne2h");
  s.Undo();
  EXPECT_EQ(s.Text(), "abcd\r\nefgh") << "the block and the lines put in its place at once";
  EXPECT_FALSE(s.CanUndo());
  s.SelfTest();
}

TEST_F(ClipboardTest, ABlockCopiedInOneControlPastesAsABlockInAnother) {
  TScrivlet other{TScrivletServices{nullptr, nullptr, nullptr, &clipboard}};
  other.SetWordWrap(false);
  other.SetOptions(other.GetOptions() | zkoBlockSelection);
  Load(s, "abc\r\ndef");
  s.SelectColumnBlock(0, 0, 2, 1);
  s.CopyToClipboard();
  Load(other, "123\r\n456");
  other.SetSelStart(1);
  other.PasteFromClipboard();
  EXPECT_EQ(other.Text(), "1ab23\r\n4de56");
  other.SetOptions(other.GetOptions() & ~zkoBlockSelection);
  Load(other, "123");
  other.SetSelStart(1);
  other.PasteFromClipboard();
  EXPECT_EQ(other.Text(), "1ab\r\nde\r\n23") << "without block selection a block pastes as text";
}

TEST_F(ClipboardTest, PlainTextFromAnotherProgramIsANormalPasteWithItsBreaksMadeCrLf) {
  s.SetOptions(s.GetOptions() | zkoBlockSelection);
  Load(s, "ab");
  clipboard.Put("one\ntwo\rthree\r\n", false);
  s.SetSelStart(1);
  s.PasteFromClipboard();
  EXPECT_EQ(s.Text(), "aone\r\ntwo\r\nthree\r\nb");
  EXPECT_EQ(s.GetSelStart(), 18);
}

TEST_F(ClipboardTest, CopyPutsCrLfAndThePlainOptionDropsStyleCharacters) {
  s.SetStaticFormat(true);
  Load(s,
       "a\x02"
       "b\x02\nc");
  s.SelectAll();
  s.CopyToClipboard();
  EXPECT_EQ(clipboard.Text(),
            "a\x02"
            "b\x02\r\nc");
  EXPECT_FALSE(clipboard.IsColumnBlock());
  s.SetOptions(s.GetOptions() | zkoPlainClipboard);
  s.CopyToClipboard();
  EXPECT_EQ(clipboard.Text(), "ab\r\nc");
  s.SetSelStart(0);
  clipboard.Put("kept", false);
  s.CopyToClipboard();
  EXPECT_EQ(clipboard.Text(), "kept") << "nothing to copy without a selection";
}

TEST_F(ClipboardTest, PasteWithPersistentBlocksKeepsTheBlockMarkedAndTheCaretAtThePasteEnd) {
  struct Row {
    const char* name;
    uint32_t options;
    std::string text;
    int32_t lower, upper, caret;
  };
  const Row rows[] = {
      {"overwrite: the selection is replaced", 0, "aXYd", 3, 3, 3},
      {"no overwrite: pasted at the caret, the selection is dropped", zkoNoOverwriteBlocks,
       "aXYbcd", 3, 3, 3},
      {"persistent: the block stays marked where it went",
       zkoNoOverwriteBlocks | zkoPersistentBlocks, "aXYbcd", 3, 5, 3},
  };
  for (const Row& r : rows) {
    s.SetOptions(r.options);
    Load(s, "abcd");
    s.SetSelStart(1);
    s.SetSelLength(2);  // "bc", caret in front of it
    clipboard.Put("XY", false);
    s.PasteFromClipboard();
    EXPECT_EQ(s.Text(), r.text) << r.name;
    EXPECT_EQ(s.SelLower(), r.lower) << r.name;
    EXPECT_EQ(s.SelUpper(), r.upper) << r.name;
    EXPECT_EQ(s.GetSelStart(), r.caret) << r.name;
    s.SelfTest();
  }
}

// A paste that keeps the block marked holds an update open over the whole paste; when that
// update's end fails, the failure reaches the caller and the control is left with no update open.
TEST_F(ClipboardTest, AFailingEndOfAPastesUpdateReachesTheCaller) {
  struct FailingRefresh : TScrivletEngine {
    void RefreshChanged() override { throw std::runtime_error("refresh failed"); }
  };
  TScrivletEngine* const layout = s.Engine;
  for (const bool column : {false, true}) {
    SCOPED_TRACE(column ? "column block" : "text");
    s.SetOptions(zkoNoOverwriteBlocks | zkoPersistentBlocks | zkoBlockSelection);
    Load(s, "abcd\r\nefgh");
    s.SetSelStart(1);
    s.SetSelLength(2);
    clipboard.Put("XY", column);
    FailingRefresh engine;
    s.Engine = &engine;
    EXPECT_THROW(s.PasteFromClipboard(), std::runtime_error);
    EXPECT_EQ(s.UpdateDepth(), 0);
    s.Engine = layout;
  }
}

}  // namespace
}  // namespace scrivlet
