// What the user wrote stays marked until saved: the real main window, offscreen, driven by
// keys as the user types, with the save question and the other boxes recorded.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <string>

#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "resources/widget_names.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/qt_message_boxes.h"

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
