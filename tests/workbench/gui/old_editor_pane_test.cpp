// The legacy editor in its window and in the main window, headless: keys, mouse and timers
// through the window, the painted cells and caret, the Edit commands, printing to a PDF, and
// the built-in assembler's build over the flat buffer.

#include "workbench/gui/old_editor_pane.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "resources/code_widget_names.h"
#include "workbench/gui/editor_array.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "../memory_clipboard.h"
#include "gui_session.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "services/gui/text.h"
#include "services/silent_abort.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/find_replace_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/print_forms.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;

namespace {

// The built-in assembler's refusal of a source longer than the buffer it reads.
constexpr char kBuiltInLimit[] =
    "Source exceeds the built-in assembler's limit of 1,000,000 characters: assemble it with "
    "TARN (\"Use TARN\" in the configuration)";

using workbench::LegacyFindChoice;

class FakeClock : public platform::Clock {
 public:
  std::uint32_t TickCount() const override { return now; }
  void Sleep(std::uint32_t milliseconds) override { now += milliseconds; }
  std::uint32_t now = 5'000'000;
};

class FakeTimers : public workbench::LegacyTimers {
 public:
  void SetCursorTimer(bool on) override { cursor = on; }
  void SetSelectTimer(bool on) override { select = on; }
  bool cursor = false;
  bool select = false;
};

using testing_gui::ReadFile;

// The session with a clipboard and a clock of the test's own.
class LegacySessionTest : public testing_gui::GuiSessionTest {
 protected:
  LegacySessionTest() {
    workbench::SessionServices services = Services();
    services.clipboard = &clipboard_;
    services.clock = &clock_;
    StartSession(services);
  }
  // The session ends while its clipboard and clock are still there.
  ~LegacySessionTest() override { session_.reset(); }

  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  static void Key(QWidget& widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(&widget, &event);
  }
  static void Type(QWidget& widget, const QString& text) {
    for (QChar c : text) Key(widget, 0, Qt::NoModifier, QString(c));
  }
  static void Mouse(QWidget& widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
  }

  workbench::MemoryClipboard clipboard_;
  FakeClock clock_;
};

class LegacyPaneTest : public LegacySessionTest {
 protected:
  LegacyPaneTest() {
    session_->Texts().InitLocalization("x");
    pane_ = std::make_unique<gui::LegacyEditorPane>(*session_, nullptr, &timers_, &clock_);
    widget().resize(400, 200);
    widget().show();
  }

  gui::LegacyEditorWidget& widget() { return pane_->Widget(); }
  workbench::LegacyEditor& editor() { return pane_->Editor(); }
  // The middle of a character cell's left edge.
  QPoint Cell(int column, int row) {
    const workbench::LegacyGeometry& g = editor().Geometry();
    return {g.left + g.left_margin + column * g.cell_width,
            g.top + g.top_margin + row * g.cell_height + g.cell_height / 2};
  }
  QImage Picture() { return widget().grab().toImage(); }

  FakeTimers timers_;
  std::unique_ptr<gui::LegacyEditorPane> pane_;
};

TEST_F(LegacyPaneTest, KeysOfTheWindowReachTheEditor) {
  Type(widget(), "ab");
  Key(widget(), Qt::Key_Return, Qt::NoModifier, "\r");
  Key(widget(), Qt::Key_Tab, Qt::NoModifier, "\t");
  // The buffer's 8-bit text is Windows-1252: it holds "€" (0x80), and refuses "中" by name.
  char32_t refused = 0;
  widget().OnUnheldCharacter = [&](scrivlet::gui::UnheldCharacter c) { refused = c.character; };
  Type(widget(), QString::fromUtf8("cé€中"));
  EXPECT_EQ(editor().Text(), "ab\r\tc\xE9\x80");
  EXPECT_EQ(refused, U'\u4e2d');
  Key(widget(), Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(editor().SelectedText(), "\tc\xE9\x80");
  Key(widget(), Qt::Key_Backspace);
  Key(widget(), Qt::Key_Backspace);
  EXPECT_EQ(editor().Text(), "ab");
  Key(widget(), Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(editor().Cursor(), 0);
}

TEST_F(LegacyPaneTest, MouseClicksTakeTheirTimesFromTheClock) {
  ASSERT_TRUE(editor().LoadText("alpha beta\r\ngamma"));
  Mouse(widget(), QEvent::MouseButtonPress, Cell(7, 0));
  Mouse(widget(), QEvent::MouseButtonRelease, Cell(7, 0));
  EXPECT_EQ(editor().Cursor(), 7);
  clock_.now += 200;
  Mouse(widget(), QEvent::MouseButtonPress, Cell(7, 0));
  Mouse(widget(), QEvent::MouseButtonRelease, Cell(7, 0));
  EXPECT_EQ(editor().SelectedText(), "beta");
  clock_.now += 200;
  Mouse(widget(), QEvent::MouseButtonPress, Cell(7, 0));
  Mouse(widget(), QEvent::MouseButtonRelease, Cell(7, 0));
  EXPECT_EQ(editor().SelectedText(), "alpha beta\r");
  // Waiting longer makes the next click a plain one.
  clock_.now += 600;
  Mouse(widget(), QEvent::MouseButtonPress, Cell(2, 1));
  EXPECT_FALSE(editor().HasSelection());
  EXPECT_EQ(editor().Cursor(), 13);
}

TEST_F(LegacyPaneTest, DraggingOutOfTheWindowStartsTheSelectTimer) {
  std::string lines;
  for (int i = 0; i < 40; ++i) lines += "line\r";
  ASSERT_TRUE(editor().LoadText(lines));
  EXPECT_TRUE(timers_.cursor);
  Mouse(widget(), QEvent::MouseButtonPress, Cell(0, 1));
  Mouse(widget(), QEvent::MouseMove, QPoint(20, widget().height() + 5));
  EXPECT_TRUE(timers_.select);
  const int rows = editor().Geometry().rows;
  for (int i = 0; i < rows; ++i) editor().SelectTimerTick();
  EXPECT_GT(editor().TopOfScreen(), 0);
  Mouse(widget(), QEvent::MouseButtonRelease, QPoint(20, widget().height() + 5));
  EXPECT_FALSE(timers_.select);
  EXPECT_EQ(editor().SelectionStart(), 5);
}

TEST_F(LegacyPaneTest, ThePictureShowsTheSelectionAndTheBlinkingCaret) {
  ASSERT_TRUE(editor().LoadText("abc def"));
  editor().Select(4, 7);
  editor().LegacyPaint();
  const workbench::LegacyGeometry& g = editor().Geometry();
  const QColor highlight = widget().palette().color(QPalette::Highlight);
  const QColor base = widget().palette().color(QPalette::Base);
  const QColor text = widget().palette().color(QPalette::Text);
  const int y = g.top + g.top_margin + 1;
  QImage picture = Picture();
  EXPECT_EQ(picture.pixelColor(Cell(5, 0).x(), y), highlight);
  EXPECT_EQ(picture.pixelColor(Cell(1, 0).x() + g.cell_width / 2, y + g.cell_height - 2), base);
  // The caret: a line at the left edge of its cell.
  const QPoint caret(g.left + g.left_margin + 7 * g.cell_width - (g.cell_width + 8) / 16, y);
  EXPECT_EQ(picture.pixelColor(caret), text);
  for (int tick = 0; tick < 4; ++tick) editor().CursorTimerTick();
  EXPECT_FALSE(editor().CaretShown());
  EXPECT_NE(Picture().pixelColor(caret), text);
}

TEST_F(LegacyPaneTest, TextBiggerAndSmallerStayWithinOneAndSeventyTwo) {
  session_->Globals().EditorFontSize = 71;
  pane_->TextBigger();
  pane_->TextBigger();
  EXPECT_EQ(session_->Globals().EditorFontSize, 72);
  EXPECT_EQ(widget().EditorFont().pointSize(), 72);
  const int big_rows = editor().Geometry().rows;
  session_->Globals().EditorFontSize = 2;
  pane_->TextSmaller();
  pane_->TextSmaller();
  EXPECT_EQ(session_->Globals().EditorFontSize, 1);
  EXPECT_GT(editor().Geometry().rows, big_rows);
}

TEST_F(LegacyPaneTest, CutCopyAndPasteGoThroughTheSessionsClipboard) {
  ASSERT_TRUE(editor().LoadText("one\r\ntwo"));
  editor().Select(2, 5);
  pane_->EditCopy();
  EXPECT_EQ(clipboard_.Format(platform::kClipboardText), "e\r\nt");
  pane_->EditCut();
  EXPECT_EQ(editor().Text(), "onwo");
  pane_->EditPaste();
  pane_->EditPaste();
  EXPECT_EQ(editor().Text(), "one\rte\rtwo");
}

TEST_F(LegacyPaneTest, TheBuiltinAssemblerReadsTheFlatBufferAndItsErrorTokenIsSelected) {
  ASSERT_TRUE(pane_->CopyEditorToOldBuffer(std::string(" DEVICE QV18\n NOP\n DW nowhere\n")));
  EXPECT_EQ(editor().Text(), " DEVICE QV18\r NOP\r DW nowhere\r");
  std::string error;
  EXPECT_FALSE(pane_->AssembleOldBuffer(error));
  EXPECT_EQ(error, "Undefined symbol");
  pane_->ShowErrorToken();
  EXPECT_EQ(editor().SelectedText(), "nowhere");
  EXPECT_TRUE(editor().CaretShown());

  ASSERT_TRUE(pane_->CopyEditorToOldBuffer(std::string(" DEVICE QV18\r\n NOP\r\n")));
  EXPECT_TRUE(pane_->AssembleOldBuffer(error));
  EXPECT_EQ(session_->Image().WorkingImage[0] & 0x0FFF, 0);
  EXPECT_FALSE(pane_->CopyEditorToOldBuffer(std::nullopt));
}

// The limit is the built-in assembler's, not the editor's (which loaded the text): the copy
// shows no box of its own, and the build says why and what to use instead.
TEST_F(LegacyPaneTest, AnEditorTooLargeForTheBufferIsRefusedAndTheBufferKept) {
  ASSERT_TRUE(pane_->CopyEditorToOldBuffer(std::string(" DEVICE QV18\n")));
  EXPECT_FALSE(pane_->CopyEditorToOldBuffer(std::string(1'000'001, 'x')));
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(pane_->Refusal(), kBuiltInLimit);
  EXPECT_EQ(std::string(session_->Image().ErrorText), kBuiltInLimit);
  EXPECT_EQ(editor().Text(), " DEVICE QV18\r");
  // The build that follows the refused copy fails with it; it does not assemble the old text.
  std::string error;
  EXPECT_FALSE(pane_->AssembleOldBuffer(error));
  EXPECT_EQ(error, kBuiltInLimit);
  EXPECT_EQ(session_->Image().Failed, 1);
  EXPECT_EQ(std::string(session_->Image().ErrorText), error);
  // The next build of the buffer itself goes ahead.
  EXPECT_TRUE(pane_->AssembleOldBuffer(error));
}

TEST_F(LegacyPaneTest, FilesThatFailSayWhich) {
  boxes_.Answer(platform::kAnswerOk);
  EXPECT_FALSE(pane_->OpenFile(folder_.Path() + "none.src"));
  boxes_.Answer(platform::kAnswerOk);
  EXPECT_FALSE(pane_->SaveFile(folder_.Path() + "no/such.src"));
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not Found");
  EXPECT_EQ(boxes_.Boxes()[1].caption, "File Save Error");
  EXPECT_NE(boxes_.Boxes()[1].text.find("no/such.src"), std::string::npos);
}

// The real main window with the enhanced editor off.
class LegacyMainWindowTest : public LegacySessionTest {
 protected:
  std::unique_ptr<gui::TEditorFRM> Open(const std::string& file) {
    session_->Globals().EditorOptions.UseNewEditor = false;
    session_->Globals().IdeOptions.UseTarn = false;
    std::vector<std::string> parameters;
    if (!file.empty()) parameters.push_back(file);
    auto form = std::make_unique<gui::TEditorFRM>(*session_, parameters, QSize(800, 600));
    form->PrepareRun();
    form->show();
    return form;
  }
};

TEST_F(LegacyMainWindowTest, OpenEditAssembleShowsTheErrorTokenAndSaveWritesCrLf) {
  const std::string file = File("prog.src", " DEVICE QV18\n NOP\n");
  auto form = Open(file);
  gui::LegacyEditorPane& pane = form->OldEditor();
  EXPECT_TRUE(pane.Widget().isVisible());
  EXPECT_FALSE(form->FileList().isVisible());
  EXPECT_TRUE(form->MenuItem(main_menu::EditTextBiggerMENUITM)->isVisible());
  EXPECT_FALSE(form->MenuItem(main_menu::EditUndoMenuMENUITM)->isVisible());
  EXPECT_EQ(pane.Editor().Text(), " DEVICE QV18\r NOP\r");

  Key(pane.Widget(), Qt::Key_End, Qt::ControlModifier);
  Type(pane.Widget(), " DW nowhere");
  Key(pane.Widget(), Qt::Key_Return, Qt::NoModifier, "\r");
  boxes_.Answer(platform::kAnswerOk);
  EXPECT_THROW(form->ClickMenuItem(main_menu::RunAssembleMENUITM), workbench::SilentAbort);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "ASSEMBLY ERROR: Undefined symbol");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Kestrian Assembler Error");
  EXPECT_EQ(pane.Editor().SelectedText(), "nowhere");
  EXPECT_EQ(form->StatusPanel2().text(), "ASSEMBLY ERROR: Undefined symbol");

  // Mend the line and build again.
  Key(pane.Widget(), Qt::Key_Backspace);
  Type(pane.Widget(), "5");
  form->ClickMenuItem(main_menu::RunAssembleMENUITM);
  EXPECT_EQ(form->StatusPanel2().text(), "Assembly Successful");

  // Closing asks once; Yes writes the file with CR LF.
  boxes_.Answer(platform::kAnswerYes);
  EXPECT_TRUE(form->close());
  EXPECT_EQ(ReadFile(file), " DEVICE QV18\r\n NOP\r\n DW 5\r\n");
  EXPECT_EQ(boxes_.Boxes().back().text, "Save changes to " + file + " ?");
}

// The close question follows what changed since the open or the save: keys that delete
// nothing change nothing.
TEST_F(LegacyMainWindowTest, TheCloseQuestionComesOnlyForAChangeSinceTheOpenOrTheSave) {
  const std::string file = File("prog.src", " NOP\r\n");
  auto form = Open(file);
  QWidget& editor = form->OldEditor().Widget();
  Key(editor, Qt::Key_Backspace);
  Key(editor, Qt::Key_Backspace, Qt::ShiftModifier);
  Key(editor, Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
  form->ClickMenuItem(main_menu::FileCloseMENUITM);
  EXPECT_TRUE(boxes_.Boxes().empty());

  form->OpenSourceFile(file);
  Type(editor, "x");
  form->ClickMenuItem(main_menu::FileSaveMENUITM);
  EXPECT_EQ(ReadFile(file), "x NOP\r\n");
  form->ClickMenuItem(main_menu::FileCloseMENUITM);
  EXPECT_TRUE(boxes_.Boxes().empty());

  form->OpenSourceFile(file);
  Type(editor, "y");
  Key(editor, Qt::Key_Backspace);
  boxes_.Answer(platform::kAnswerNo);
  form->ClickMenuItem(main_menu::FileCloseMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Save changes to " + file + " ?");
  EXPECT_EQ(ReadFile(file), "x NOP\r\n");
}

// Another program deletes the file the unmodified legacy editor shows: the activation says so
// once and offers to save it again; not saved, Close asks before the text goes.
TEST_F(LegacyMainWindowTest, AFileDeletedBehindTheEditorIsOfferedForSavingAndCloseAsks) {
  for (const bool save_again : {true, false}) {
    SCOPED_TRACE(save_again ? "saved again" : "not saved");
    const std::string file = File("gone.src", " NOP\r\n");
    auto form = Open(file);
    std::filesystem::remove(file);
    boxes_.Clear();
    boxes_.Answer(save_again ? platform::kAnswerYes : platform::kAnswerNo);
    form->Files().ApplicationActivated();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not On Disk");
    EXPECT_EQ(std::filesystem::exists(file), save_again);
    form->Files().ApplicationActivated();
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    boxes_.Answer(platform::kAnswerYes);
    form->ClickMenuItem(main_menu::FileCloseMENUITM);
    if (save_again) {
      EXPECT_EQ(boxes_.Boxes().size(), 1u);
    } else {
      ASSERT_EQ(boxes_.Boxes().size(), 2u);
      EXPECT_EQ(boxes_.Boxes()[1].text, "Save changes to " + file + " ?");
    }
    EXPECT_EQ(ReadFile(file), " NOP\r\n");
    form.reset();
  }
}

// The file goes while the program stays active: Close tells of it all the same, and No there
// leaves the save question.
TEST_F(LegacyMainWindowTest, CloseTellsOfAFileThatWentWhileTheProgramWasActive) {
  const std::string file = File("gone.src", " NOP\r\n");
  auto form = Open(file);
  std::filesystem::remove(file);
  boxes_.Clear();
  boxes_.Answer(platform::kAnswerNo);
  boxes_.Answer(platform::kAnswerYes);
  form->ClickMenuItem(main_menu::FileCloseMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not On Disk");
  EXPECT_EQ(boxes_.Boxes()[1].text, "Save changes to " + file + " ?");
  EXPECT_EQ(ReadFile(file), " NOP\r\n");
}

TEST_F(LegacyMainWindowTest, AQvbFileIsNotLoadedIntoTheOldEditor) {
  const std::string file = File("prog.qvb", "x = 1\n");
  boxes_.Answer(platform::kAnswerOk);
  auto form = Open(file);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "QV/B Load Error");
  EXPECT_EQ(form->OldEditor().Editor().Length(), 0);
}

TEST_F(LegacyMainWindowTest, TheBuildFromAnOverLongEditorIsRefused) {
  auto form = Open("");
  scrivlet::TScrivlet& editor = form->Editors().GetEditor(0)->Memo();
  editor.SetTextBuf(std::string(1'000'001, 'x'));
  const std::size_t boxes = boxes_.Boxes().size();
  std::string refusal;
  EXPECT_FALSE(form->CopyEditorToOldBuffer(0, refusal));
  EXPECT_EQ(refusal, kBuiltInLimit);
  EXPECT_EQ(boxes_.Boxes().size(), boxes);
  refusal.clear();
  EXPECT_FALSE(form->CopyEditorToOldBuffer(1, refusal));
  EXPECT_EQ(refusal, "");
  editor.SetTextBuf(" DEVICE QV18\n NOP\n");
  EXPECT_TRUE(form->CopyEditorToOldBuffer(0, refusal));
  std::string error;
  EXPECT_TRUE(form->AssembleOldBuffer(error));
}

TEST_F(LegacyMainWindowTest, DeactivationHidesTheCaretAndResizeLaysOutAgain) {
  auto form = Open(File("a.src", "abc\n"));
  gui::LegacyEditorPane& pane = form->OldEditor();
  pane.Paint();
  EXPECT_TRUE(pane.Editor().CaretShown());
  form->FormDeactivate();
  EXPECT_FALSE(pane.Editor().CaretShown());
  const int columns = pane.Editor().Geometry().columns;
  form->resize(form->width() + 200, form->height());
  QApplication::processEvents();
  EXPECT_GT(pane.Editor().Geometry().columns, columns);
  form->FormPaint();
  EXPECT_TRUE(pane.Editor().CaretShown());
}

// The forms of the legacy editor's Find/Replace and Print, as the main window has them.
class LegacyFormsTest : public LegacyMainWindowTest {
 protected:
  void SetUp() override {
    form_ = Open(File("text.src", lines_));
    pdf_ = folder_.Path() + "print.pdf";
    target_.Printer().setOutputFormat(QPrinter::PdfFormat);
    target_.Printer().setOutputFileName(QString::fromStdString(pdf_));
    gui::FormServices services;
    services.printer = &target_;
    // The configuration the forms read at their creation is the one these tests run with: the
    // legacy editor, the built-in assembler, and a port chosen on an earlier run.
    workbench::RegistrySettings& settings = session_->Registry();
    ASSERT_TRUE(settings.WriteRegInt("Configuration\\UseNewEditor", 0));
    ASSERT_TRUE(settings.WriteRegInt("Configuration\\UseTarn", 0));
    ASSERT_TRUE(settings.WriteRegString("Configuration\\ComPort", "COM1"));
    forms_ = std::make_unique<gui::IdeForms>(*form_, *session_, std::move(services));
  }
  void TearDown() override {
    forms_.reset();
    form_->OldEditor().Editor().SetModified(false);
  }
  workbench::LegacyEditor& editor() { return form_->OldEditor().Editor(); }

  std::string lines_ = "mov a\nMOV b\n";
  gui::QtPrintTarget target_;
  std::string pdf_;
  std::unique_ptr<gui::TEditorFRM> form_;
  std::unique_ptr<gui::IdeForms> forms_;
};

TEST_F(LegacyFormsTest, FindAndReplaceAskTheFormWithReplaceOnlyForASelection) {
  const auto answer = [this](int result, const char* find, const char* replace, bool start) {
    dialogs_.Answer(result, [=](QDialog& dialog) {
      auto& form = static_cast<gui::TFindReplaceForm&>(dialog);
      form.FindMemo->setPlainText(find);
      form.ReplaceMemo->setPlainText(replace);
      form.FromStartCB->setChecked(start);
    });
  };
  answer(gui::TFindReplaceForm::kFind, "MOV", "", false);
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  EXPECT_EQ(editor().SelectedText(), "mov");
  bool replace_offered = false;
  dialogs_.Answer(gui::TFindReplaceForm::kReplace, [&](QDialog& dialog) {
    auto& form = static_cast<gui::TFindReplaceForm&>(dialog);
    replace_offered = form.ReplaceBTN->isEnabled();
    form.ReplaceMemo->setPlainText("MOV");
  });
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  EXPECT_TRUE(replace_offered);
  EXPECT_EQ(editor().Text(), "MOV a\rMOV b\r");
  // The memo's line break matches the editor's CR.
  answer(gui::TFindReplaceForm::kReplaceAll, "a\n", "x ", true);
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  EXPECT_EQ(editor().Text(), "MOV x MOV b\r");
  dialogs_.Answer(QDialog::Rejected);
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(LegacyFormsTest, FindAndFindNextSearchAgainWithTheFormsText) {
  gui::TFindReplaceForm& find_form = forms_->FindReplace();
  boxes_.AnswerWithFirstButton();
  const auto texts = [this] {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.Boxes()) texts.push_back(box.text);
    return texts;
  };
  // A miss from the form, then Edit > Find and Find Next with what the form holds.
  dialogs_.Answer(gui::TFindReplaceForm::kFind, [](QDialog& dialog) {
    static_cast<gui::TFindReplaceForm&>(dialog).FindMemo->setPlainText("zzz");
  });
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  EXPECT_EQ(form_->MenuItem(main_menu::EditFindMENUITM)->shortcut(), QKeySequence("Ctrl+F"));
  form_->ClickMenuItem(main_menu::EditFindMENUITM);
  form_->ClickMenuItem(main_menu::EditFindNextMenuMENUITM);
  EXPECT_EQ(texts(), (std::vector<std::string>{"Nothing Found", "Nothing Found", "Nothing Found"}));

  // Each search goes on from the caret, letters without case; the form is not asked.
  find_form.FindMemo->setPlainText("mov");
  editor().Select(0, 0);
  form_->ClickMenuItem(main_menu::EditFindMENUITM);
  EXPECT_EQ(editor().SelectedText(), "mov");
  form_->ClickMenuItem(main_menu::EditFindNextMenuMENUITM);
  EXPECT_EQ(editor().SelectedText(), "MOV");
  EXPECT_EQ(editor().SelectionStart(), 6);
  form_->ClickMenuItem(main_menu::EditFindNextMenuMENUITM);
  EXPECT_EQ(texts().size(), 4u);
  EXPECT_EQ(texts().back(), "Nothing Found");

  // No text: Find says so, Find Next has nothing to search for.
  find_form.FindMemo->clear();
  form_->ClickMenuItem(main_menu::EditFindMENUITM);
  EXPECT_EQ(texts().back(), "Nothing to Find");
  form_->ClickMenuItem(main_menu::EditFindNextMenuMENUITM);
  EXPECT_EQ(texts().size(), 5u);
  EXPECT_FALSE(find_form.isVisible());
}

TEST_F(LegacyFormsTest, ThePrintFormListsWhereTheJobGoesAndOffersOkayOnlyThen) {
  ASSERT_TRUE(editor().LoadText("\tNOP\r\n"));
  QStringList listed;
  int current = -2;
  bool okay = false;
  dialogs_.Answer(QDialog::Rejected, [&](QDialog& dialog) {
    auto& print = static_cast<gui::TPrintForm&>(dialog);
    for (int i = 0; i < print.PrinterComboBox->count(); ++i)
      listed.push_back(print.PrinterComboBox->itemText(i));
    current = print.PrinterComboBox->currentIndex();
    okay = print.OkayButton->isEnabled();
  });
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  QStringList expected = QPrinterInfo::availablePrinterNames();
  if (expected.isEmpty()) expected = QStringList{gui::QtPrintTarget::kPrintToFile};
  EXPECT_EQ(listed, expected);
  EXPECT_GE(current, 0);
  EXPECT_TRUE(okay);
}

TEST_F(LegacyFormsTest, PrintingFillsTheSectionsOfThePagesThePrintFormLaidOut) {
  std::string text;
  for (int i = 1; i <= 300; ++i) text += "\tline " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(editor().LoadText(text));
  int lines_offered = 0;
  dialogs_.Answer(QDialog::Accepted, [&](QDialog& dialog) {
    auto& print = static_cast<gui::TPrintForm&>(dialog);
    print.SectionsSpinEdit->setValue(2);
    lines_offered = std::stoi(gui::FromQt(print.PagesLabel->text()));
  });
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_EQ(lines_offered, 301);
  const std::string bytes = ReadFile(pdf_);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_EQ(editor().Cursor(), 0);
  EXPECT_FALSE(forms_->PrintStatus().isVisible());

  // Cancel in the status form stops the job at the page it shows.
  dialogs_.Answer(QDialog::Accepted);
  QTimer::singleShot(0, forms_->PrintStatus().CancelButton, &QPushButton::click);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_TRUE(forms_->PrintStatus().Cancelled());
  EXPECT_EQ(gui::FromQt(forms_->PrintStatus().PagesLabel->text()).substr(0, 5), "1 of ");
  EXPECT_FALSE(forms_->PrintStatus().isVisible());

  // Cancel in the print form prints nothing.
  std::filesystem::remove(pdf_);
  dialogs_.Answer(QDialog::Rejected);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_FALSE(std::filesystem::exists(pdf_));
}

TEST_F(LegacyFormsTest, APrinterThatCannotStartSaysSo) {
  target_.Printer().setOutputFileName(QString::fromStdString(folder_.Path() + "no/such/x.pdf"));
  dialogs_.Answer(QDialog::Accepted);
  boxes_.Answer(platform::kAnswerOk);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Print Error");
}

// Without a printer the job goes to a file the user names each time; a cancelled choice
// prints nothing, and nothing is written where it was not asked for.
TEST_F(LegacyFormsTest, WithoutAPrinterEachJobAsksForItsFile) {
  target_.Printer().setOutputFileName(QString());
  const std::string chosen = folder_.Path() + "listing.pdf";
  dialogs_.Answer(QDialog::Accepted);
  dialogs_.Answer(QDialog::Rejected);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  ASSERT_EQ(dialogs_.Dialogs().size(), 2u);
  EXPECT_EQ(dialogs_.Dialogs()[1].name, editor_frm::PrintFileDLG);
  EXPECT_FALSE(std::filesystem::exists("QV-Key.pdf"));
  EXPECT_FALSE(std::filesystem::exists(folder_.Path() + "QV-Key.pdf"));

  for (int job = 0; job < 2; ++job) {
    std::filesystem::remove(chosen);
    dialogs_.Answer(QDialog::Accepted);
    dialogs_.Answer(QDialog::Accepted, [&chosen, job](QDialog& dialog) {
      static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(chosen));
      if (const char* shots = std::getenv("QV_SCREENSHOT_DIR"); shots && job == 0) {
        dialog.show();
        QApplication::processEvents();
        dialog.grab().save(QString(shots) + "/print_file_dialog.png");
        dialog.hide();
      }
    });
    form_->ClickMenuItem(main_menu::FilePrintMENUITM);
    EXPECT_EQ(ReadFile(chosen).substr(0, 5), "%PDF-") << "job " << job;
  }
  EXPECT_EQ(dialogs_.Dialogs().size(), 6u) << "the file is asked for again by the next job";
  EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
