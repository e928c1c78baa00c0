// What the user wrote stays marked until saved: the real main window, offscreen, driven by
// keys as the user types, with the save question and the other boxes recorded.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "resources/widget_names.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/find_dialogs.h"
#include "workbench/gui/main_find.h"
#include "workbench/gui/qt_message_boxes.h"
#include "workbench/gui/replace_progress.h"

namespace main_menu = widget_names::MainMenu;

namespace {

using testing_gui::ReadFile;

constexpr const char* kSource = "; prog\r\n\tNOP\r\n";

class MainWindowTextSafetyTest : public testing_gui::GuiSessionTest {
 protected:
  MainWindowTextSafetyTest() {
    StartSession();
    form_ =
        std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
    form_->show();
    form_->activateWindow();
  }

  std::string File(const std::string& name, const std::string& text = kSource) {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Opens the file and clicks into its editor, as the user does before typing.
  QWidget* Open(const std::string& path) {
    form_->OpenSourceFile(path);
    QWidget* editor = form_->CurrentScrivlet();
    form_->activateWindow();  // again after a box the open showed
    QTest::mouseClick(editor, Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    editor->setFocus();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    return editor;
  }
  scrivlet::TScrivlet& Memo() { return form_->CurrentScrivlet()->Memo(); }
  // g: Ctrl+End, Return and "; typed"; t: one "x" at the end; d: Backspace; u: Ctrl+Z;
  // r: Ctrl+Y; s: Ctrl+S.
  void Keys(QWidget* editor, const std::string& steps) {
    for (char step : steps) {
      switch (step) {
        case 'g':
          QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
          QTest::keyClick(editor, Qt::Key_Return);
          QTest::keyClicks(editor, "; typed");
          break;
        case 't':
          QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
          QTest::keyClicks(editor, "x");
          break;
        case 'd': QTest::keyClick(editor, Qt::Key_Backspace); break;
        case 'u': QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier); break;
        case 'r': QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier); break;
        case 's': QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier); break;
        default: FAIL() << "no step " << step;
      }
    }
  }
  // File > Close: true when it asked the save question (answered No: the file is kept as it
  // is on disk).
  bool CloseAsked() {
    boxes_.Clear();
    boxes_.Answer(platform::kAnswerNo);
    form_->ClickMenuItem(main_menu::FileCloseMENUITM);
    const bool asked = !boxes_.Boxes().empty();
    if (asked) {
      EXPECT_EQ(boxes_.Boxes()[0].text.rfind("Save changes to ", 0), 0u);
    }
    boxes_.Clear();
    return asked;
  }

  std::unique_ptr<gui::TEditorFRM> form_;
};

TEST_F(MainWindowTextSafetyTest, AReturnAndATypedLineUndoneAndRedoneStayMarkedAndAsked) {
  const std::string path = File("prog.src");
  QWidget* editor = Open(path);
  Keys(editor, "gu");
  EXPECT_EQ(Memo().Text(), kSource);
  EXPECT_FALSE(Memo().Modified());
  Keys(editor, "r");
  EXPECT_EQ(Memo().Text(), std::string(kSource) + "\r\n; typed");
  EXPECT_TRUE(Memo().Modified()) << "the row shows \"*\"";
  EXPECT_TRUE(form_->MenuItem(main_menu::EditUndoMenuMENUITM)->isEnabled());
  EXPECT_TRUE(CloseAsked());
  EXPECT_EQ(ReadFile(path), kSource);
}

TEST_F(MainWindowTextSafetyTest, TheMarkAndTheCloseQuestionFollowTheSavePoint) {
  struct Case {
    const char* steps;
    bool modified;
  };
  const Case cases[] = {
      {"t", true},   {"tu", false},   {"tur", true},   {"g", true},      {"gu", false},
      {"gur", true}, {"gurur", true}, {"gs", false},   {"gsu", true},    {"gsur", false},
      {"gsg", true}, {"gsgu", false}, {"gusr", true},  {"gusru", false}, {"tsut", true},
      {"td", true},  {"tdu", true},   {"tduu", false}, {"tsd", true},    {"tsdu", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("keys \"") + c.steps + "\"");
    const std::string path = File("case" + std::to_string(n++) + ".src");
    QWidget* editor = Open(path);
    Keys(editor, c.steps);
    EXPECT_EQ(Memo().Modified(), c.modified);
    if (!c.modified) {
      EXPECT_EQ(Memo().Text(), ReadFile(path)) << "unmarked, so the text is the file's";
    }
    EXPECT_EQ(CloseAsked(), c.modified);
  }
}

// The editors keep 256 steps: once the step back to the saved text is gone, the editor stays
// marked, even with the text as saved, until the next save.
TEST_F(MainWindowTextSafetyTest, BeyondTheUndoLimitTheMarkStaysUntilSaved) {
  const std::string path = File("prog.src");
  QWidget* editor = Open(path);
  for (int i = 0; i < 130; ++i) Keys(editor, "td");
  EXPECT_EQ(Memo().Text(), kSource);
  EXPECT_TRUE(Memo().Modified());
  while (Memo().CanUndo()) Keys(editor, "u");
  EXPECT_TRUE(Memo().Modified());
  Keys(editor, "s");
  EXPECT_FALSE(Memo().Modified());
  EXPECT_EQ(ReadFile(path), Memo().Text());
  EXPECT_FALSE(CloseAsked());
}

// Replace All through the dialog on a line of many hits: every one replaced, and one Undo
// takes all of them back however many there are (more than the editor keeps steps).
TEST_F(MainWindowTextSafetyTest, ReplaceAllOnALongLineIsOneStepThatUndoesWhole) {
  std::string line = "; ";
  line.append(4000, 'x');
  const std::string text = line + "\r\n" + line + "\r\n";
  const std::string path = File("long.src", text);
  QWidget* editor = Open(path);
  Memo().SetSelStart(3);
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  gui::TEditReplaceDialog& replace = form_->Find().ReplaceDialog();
  replace.FindEdit->setText("x");
  replace.ReplaceEdit->setText("xy");
  boxes_.Clear();
  boxes_.Answer(platform::kAnswerOk);
  replace.ReplaceAllBTN->click();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Replaced: x\rwith: xy\r8000 times.");
  std::string replaced = "; ";
  for (int i = 0; i < 4000; ++i) replaced += "xy";
  EXPECT_EQ(Memo().Text(), replaced + "\r\n" + replaced + "\r\n");
  EXPECT_EQ(Memo().GetSelStart(), 3);
  replace.close();
  editor->setFocus();
  Keys(editor, "u");
  EXPECT_EQ(Memo().Text(), text) << "every hit back at once";
  EXPECT_FALSE(Memo().Modified());
  Keys(editor, "r");
  EXPECT_EQ(Memo().Text(), replaced + "\r\n" + replaced + "\r\n");
}

// A Replace All that runs long shows how far it has come, and its Cancel stops it.
TEST(ReplaceAllProgressTest, ShowsOnceTheWaitIsLongAndCancels) {
  gui::ReplaceAllProgress quick(nullptr);
  EXPECT_TRUE(quick.Step(10, 100));
  EXPECT_EQ(quick.Window(), nullptr) << "a quick one never flashes a window";

  gui::ReplaceAllProgress slow(nullptr, std::chrono::milliseconds(0));
  EXPECT_TRUE(slow.Step(25, 100));
  QProgressDialog* window = slow.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->labelText(), "Replacing...");
  EXPECT_EQ(window->value(), 25);
  EXPECT_EQ(window->maximum(), 100);
  EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
  window->cancel();
  EXPECT_FALSE(slow.Step(50, 100));
}

// The whole of a large source deleted can be undone (the last change always can, however
// large), and once older steps have gone, Undo's hint says how far back it reaches.
TEST_F(MainWindowTextSafetyTest, ALargeDeletionUndoesAndUndoTellsHowFarBackItReaches) {
  std::string text;
  for (int i = 0; text.size() < 68 * 1024; ++i)
    text += "label" + std::to_string(i) + "\tMOV W,#" + std::to_string(i % 256) + " ; count\r\n";
  const std::string path = File("big.src", text);
  QWidget* editor = Open(path);
  QAction* undo = form_->MenuItem(main_menu::EditUndoMenuMENUITM);
  EXPECT_GE(Memo().GetUndoMaxSpace(), scrivlet::TScrivlet::kDefaultUndoMaxSpace);
  Memo().SelectAll();
  QTest::keyClick(editor, Qt::Key_Delete);
  ASSERT_EQ(Memo().CharCount(), 0);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_TRUE(undo->statusTip().isEmpty()) << "nothing dropped yet";
  Keys(editor, "u");
  EXPECT_EQ(Memo().Text(), text);
  EXPECT_FALSE(Memo().Modified());

  // More separate changes than the editor keeps steps: the status line tells it when the
  // first step goes, the hint after every change.
  QTest::keyClick(editor, Qt::Key_Home, Qt::ControlModifier);
  std::string told;
  for (int i = 0; i < 300; ++i) {
    QTest::keyClick(editor, Qt::Key_Delete);
    if (told.empty() && Memo().UndoStepsDropped()) {
      told = form_->StatusPanel2().text().toStdString();
      EXPECT_EQ(told, "Undo reaches back " + std::to_string(Memo().UndoSteps()) +
                          " changes; older ones are not kept");
    }
  }
  EXPECT_FALSE(told.empty());
  const int steps = Memo().UndoSteps();
  EXPECT_LT(steps, 300);
  EXPECT_EQ(undo->statusTip().toStdString(),
            "Undo reaches back " + std::to_string(steps) + " changes; older ones are not kept");
  while (Memo().CanUndo()) Keys(editor, "u");
  EXPECT_EQ(undo->statusTip().toStdString(),
            "Undo reaches back 0 changes; older ones are not kept");
}

// A zero byte would end the text: the file opens whole with "\xA4" in its place, one box says
// so, and a save writes every byte behind it again.
TEST_F(MainWindowTextSafetyTest, AFileWithZeroBytesOpensWholeTellsOnceAndSavesEveryByte) {
  const std::string path = File("zero.src", std::string("; a\0b\r\n\tNOP\0\r\n", 14));
  boxes_.Answer(platform::kAnswerOk);
  QWidget* editor = Open(path);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Zero Bytes in File");
  EXPECT_EQ(boxes_.Boxes()[0].text.rfind(path + "\r\rholds 2 zero bytes", 0), 0u);
  EXPECT_EQ(Memo().Text(),
            "; a\xA4"
            "b\r\n\tNOP\xA4\r\n");
  EXPECT_FALSE(Memo().Modified());
  Keys(editor, "ts");
  EXPECT_EQ(ReadFile(path),
            "; a\xA4"
            "b\r\n\tNOP\xA4\r\nx");
  form_->SelectEditor(0);
  form_->OpenSourceFile(path);
  EXPECT_EQ(boxes_.Boxes().size(), 1u) << "told once, at the load";
}

// The same through the real box on screen. With QV_SHOT_DIR set (and an X display), the box
// and the window after Undo and Redo are taken as pictures of the screen.
TEST_F(MainWindowTextSafetyTest, TheZeroByteBoxOnScreenAndTheRowMarkedAfterRedo) {
  form_.reset();
  gui::QtMessageBoxes screen_boxes;
  StartSession({screen_boxes, dialogs_, processes_});
  form_ = std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 500));
  form_->show();
  form_->activateWindow();
  const char* shots = std::getenv("QV_SHOT_DIR");
  auto shoot = [shots](const char* name) {
    if (shots)
      (void)std::system(("import -window root '" + std::string(shots) + "/" + name + "'").c_str());
  };
  std::string shown;
  QTimer watch;
  watch.setInterval(20);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    watch.stop();
    QTest::qWait(200);
    shoot("zero_byte_box.png");
    shown = box->text().toStdString();
    box->accept();
  });
  watch.start();
  const std::string path =
      File("zero.src", std::string("; zeros\r\n\tNOP\0\tNOP\r\n\0\0; after them\r\n", 36));
  QWidget* editor = Open(path);
  EXPECT_NE(shown.find("holds 3 zero bytes"), std::string::npos) << shown;
  Keys(editor, "gur");
  EXPECT_TRUE(Memo().Modified());
  QTest::qWait(200);
  shoot("marked_after_redo.png");
  form_.reset();
}

}  // namespace
