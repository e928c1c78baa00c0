// The error list with the real assembler: its lines, and the jump from each line to the file
// and line it names, in folders and names with blanks and parentheses.

#include "workbench/gui/error_list.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QSplitter>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "editor_control/gui/scrivlet_widget.h"
#include "platform/text.h"
#include "real_tarn_session.h"
#include "workbench/session/session.h"

namespace {

namespace fs = std::filesystem;
using scrivlet::gui::TScrivlet;

// Editors of files, opened as the main window opens them: one editor a file, the last opened
// in front.
class FileEditors : public gui::ErrorListEditors {
 public:
  bool UsesEnhancedEditor() const override { return enhanced; }
  std::string CurrentFileName() const override {
    return current < 0 ? std::string() : files[static_cast<std::size_t>(current)].name;
  }
  int FindEditorByName(const std::string& name) const override {
    for (std::size_t i = 0; i < files.size(); ++i)
      if (platform::SameText(files[i].name, name)) return static_cast<int>(i);
    return -1;
  }
  void OpenSourceFile(const std::string& name) override {
    opened.push_back(name);
    std::ifstream in(name, std::ios::binary);
    if (!in) return;
    auto editor = std::make_unique<TScrivlet>();
    editor->Memo().LoadFromStream(in);
    files.push_back({name, std::move(editor)});
    current = static_cast<int>(files.size()) - 1;
  }
  void SelectEditor(int index) override { current = index; }
  TScrivlet* CurrentScrivlet() const override {
    return current < 0 ? nullptr : files[static_cast<std::size_t>(current)].editor.get();
  }

  struct File {
    std::string name;
    std::unique_ptr<TScrivlet> editor;
  };
  std::vector<File> files;
  int current = -1;
  bool enhanced = true;
  std::vector<std::string> opened;
};

class ErrorListTest : public testing_gui::RealTarnSessionTest {
 protected:
  ErrorListTest() : RealTarnSessionTest("error list") {
    boxes_.AnswerWithFirstButton();
    EXPECT_TRUE(session_->Tarn().TARN_Init(folder_.Path()));
    Source("main.src", testing_gui::kMainWithErrors);
    Source(testing_gui::kIncludeName, testing_gui::kIncludeWithErrors);
    editors_.OpenSourceFile(main_);
    editors_.opened.clear();
    splitter_.addWidget(new QWidget);
    splitter_.addWidget(list_);
    errors_ = std::make_unique<gui::TErrorList>(*list_, splitter_, *session_, editors_);
  }

  // Assembles the main file and fills the list with what the assembler reported.
  void Assemble() {
    std::string message;
    EXPECT_EQ(session_->AssembleCompile().TarnAssembleWithMessage(main_, message, false), 1);
    EXPECT_EQ(message, "Unable to assemble due to errors in source code.");
    errors_->LoadErrorList();
  }

  void DoubleClick(int row) {
    list_->setCurrentRow(row);
    emit list_->itemDoubleClicked(list_->item(row));
  }

  // The marked paragraph of the editor in front, and where its caret is.
  int MarkedLine() const { return errors_->Marking().Line(); }
  int CaretLine() const { return editors_.CurrentScrivlet()->Memo().GetSelPar(); }

  std::string main_ = sources_ + "main.src";
  std::string include_ = sources_ + testing_gui::kIncludeName;
  QSplitter splitter_{Qt::Vertical};
  QListWidget* list_ = new QListWidget;
  FileEditors editors_;
  std::unique_ptr<gui::TErrorList> errors_;
};

TEST_F(ErrorListTest, TheListHoldsTheAssemblersLinesAndShowsOnlyWithLines) {
  splitter_.show();
  errors_->LoadErrorList();
  EXPECT_TRUE(list_->isHidden());
  Assemble();
  ASSERT_EQ(list_->count(), 3);
  EXPECT_EQ(list_->item(0)->text().toStdString(),
            "inc dir/defs (1).inc(2) Line 7, Error 3, Pass 2: Symbol <missing1> is not defined");
  EXPECT_EQ(list_->item(2)->text().toStdString(),
            main_ + "(7) Line 11, Error 3, Pass 2: Symbol <nowhere> is not defined");
  EXPECT_FALSE(list_->isHidden());
  EXPECT_EQ(errors_->WidestLine(), list_->fontMetrics().horizontalAdvance(list_->item(2)->text()));

  ASSERT_TRUE(session_->Tarn().ClearTarnErrors());
  errors_->LoadErrorList();
  EXPECT_EQ(list_->count(), 0);
  EXPECT_TRUE(list_->isHidden());
}

TEST_F(ErrorListTest, AnErrorFileThatCannotBeReadIsToldInTheList) {
  Assemble();
  const std::string err = session_->Tarn().OutputBase() + ".err";
  ASSERT_TRUE(fs::remove(err));
  fs::create_directory(err);  // there, and no file to read
  errors_->LoadErrorList();
  ASSERT_EQ(list_->count(), 1);
  EXPECT_EQ(list_->item(0)->text().toStdString(),
            err + ": the assembler's error file cannot be read");
  EXPECT_FALSE(list_->isHidden());
}

TEST_F(ErrorListTest, ADoubleClickOnEachLineLandsOnItsLineInItsFile) {
  Assemble();
  struct Row {
    int row;
    std::string file;
    int line;  // 0-based
  };
  const Row rows[] = {
      {0, include_, 1}, {2, main_, 6}, {1, include_, 3}, {2, main_, 6}, {0, include_, 1}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.row);
    DoubleClick(r.row);
    EXPECT_EQ(editors_.CurrentFileName(), r.file);
    EXPECT_EQ(CaretLine(), r.line);
    EXPECT_EQ(MarkedLine(), r.line);
    EXPECT_TRUE(testing_gui::HasErrorMark(editors_.CurrentScrivlet()->Memo(), r.line));
  }
  // The include file was opened once, by its full name, and found open afterwards.
  EXPECT_EQ(editors_.opened, std::vector<std::string>{include_});
  EXPECT_EQ(editors_.files.size(), 2u);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ErrorListTest, AJumpKeepsModifiedAndTakesTheMarkOutOfTheOtherEditor) {
  Assemble();
  DoubleClick(2);
  TScrivlet* main_editor = editors_.CurrentScrivlet();
  main_editor->Memo().SetModified(true);
  DoubleClick(2);
  EXPECT_TRUE(main_editor->Memo().Modified());
  DoubleClick(0);
  ASSERT_NE(editors_.CurrentScrivlet(), main_editor);
  EXPECT_TRUE(main_editor->Memo().Modified());
  // The mark went with the jump: the main file's line has no program style left.
  const scrivlet::TParagraph& line = main_editor->Memo().Table.Items(6);
  if (const auto* runs = scrivlet::para::Runs(line)) {
    for (const scrivlet::TStyleRun& run : *runs)
      EXPECT_NE(run.Context, workbench::kErrorMarkContext);
  }
}

TEST_F(ErrorListTest, ALineWithoutAFileIsAnErrorOfTheFileInFront) {
  list_->addItem("(3) Line 3, Error 21, Pass 1: Too many nested INCLUDE files");
  list_->addItem("Cannot open Source file");
  list_->addItem("nowhere/gone.inc(2) Line 2, Error 3, Pass 2: x");
  errors_->JumpToError(0);
  EXPECT_EQ(editors_.CurrentFileName(), main_);
  EXPECT_EQ(MarkedLine(), 2);
  // No line number: nothing is marked; no file to open: the editors stay.
  errors_->JumpToError(1);
  EXPECT_EQ(MarkedLine(), 2);
  errors_->JumpToError(2);
  EXPECT_EQ(editors_.CurrentFileName(), main_);
  EXPECT_EQ(editors_.opened, std::vector<std::string>{sources_ + "nowhere/gone.inc"});
  for (int row : {-1, 3}) errors_->JumpToError(row);
  EXPECT_EQ(MarkedLine(), 2);
  EXPECT_TRUE(editors_.opened.size() == 1);
}

TEST_F(ErrorListTest, AWatchedEditorLosesItsMarkByACaretPastTheTokenOrAClickOnIt) {
  TScrivlet& editor = *editors_.CurrentScrivlet();
  errors_->WatchEditor(editor);
  scrivlet::TScrivlet& memo = editor.Memo();
  const std::int32_t start = memo.ParagraphStart(5) + 8;  // "MOV" of "start   MOV     W,#1"
  errors_->MarkErrorRange(6, start, start + 3);
  memo.SetSelStart(start + 2);
  EXPECT_EQ(MarkedLine(), 5);
  memo.SetSelStart(start + 4);
  EXPECT_EQ(MarkedLine(), -1);
  EXPECT_FALSE(testing_gui::HasErrorMark(memo, 5));

  errors_->MarkErrorLine(7);
  ASSERT_TRUE(memo.OnContext);
  memo.OnContext(memo, 1, memo.ParagraphStart(6), memo.ParagraphStart(6) + 3);  // a keyword
  EXPECT_EQ(MarkedLine(), 6);
  memo.OnContext(memo, workbench::kErrorMarkContext, memo.ParagraphStart(6),
                 memo.ParagraphStart(6) + 20);
  EXPECT_EQ(MarkedLine(), -1);
  EXPECT_FALSE(memo.Modified());
}

TEST_F(ErrorListTest, WithoutTheEnhancedEditorOrTarnADoubleClickOnlyTells) {
  Assemble();
  for (const bool enhanced : {false, true}) {
    editors_.enhanced = enhanced;
    session_->Globals().IdeOptions.UseTarn = enhanced ? false : true;
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    DoubleClick(0);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Jumping to errors not supported with old editor.");
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Double Click ERROR");
    EXPECT_EQ(MarkedLine(), -1);
    EXPECT_TRUE(editors_.opened.empty());
  }
}

// A source whose name is UTF-8 or holds a byte that is not: tarn is given the name's bytes, and
// a double click on its line opens that file, not the look-alike beside it. (The list once
// gave the shown text back as the name, which is another name for a byte that is not UTF-8.)
TEST_F(ErrorListTest, ALineOpensTheFileItNamesByTheNamesBytes) {
  for (const std::string name : {"caf\xC3\xA9 1.src", "caf\xE9 2.src"}) {
    SCOPED_TRACE(name);
    const std::string path = Source(name,
                                    "        DEVICE  QV18AC, OSCXT2\n"
                                    "        FREQ    4_000_000\n"
                                    "        IRC_CAL IRC_4MHZ\n"
                                    "        ORG     0\n"
                                    "        JMP     nowhere\n"
                                    "        END\n");
    Source("caf? 1.src", "; look-alike\n");
    Source("caf\xEF\xBF\xBD 2.src", "; look-alike\n");
    std::string message;
    EXPECT_EQ(session_->AssembleCompile().TarnAssembleWithMessage(path, message, false), 1);
    errors_->LoadErrorList();
    ASSERT_EQ(list_->count(), 1);
    EXPECT_TRUE(list_->item(0)->text().startsWith(QString::fromUtf8(path.c_str())));
    editors_.opened.clear();
    DoubleClick(0);
    EXPECT_EQ(editors_.opened, std::vector<std::string>{path});
    EXPECT_EQ(MarkedLine(), 4);
  }
}

}  // namespace
