// File names beyond ASCII through the real main window, offscreen: each name in a folder that
// also holds the names a lossy conversion would make of it. A dialog, a drop or Reopen must
// reach the named file and no other, and every window shows the name as the user typed it.
// (Each of them once opened or overwrote a "?" look-alike, or found no file at all.)

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "resources/code_widget_names.h"
#include "resources/widget_names.h"
#include "services/gui/text.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/main_files.h"

namespace main_menu = widget_names::MainMenu;

namespace {

using testing_gui::ReadFile;

struct NameCase {
  const char* label;
  std::string name;                      // the file system's bytes
  QString shown;                         // how every window shows it
  std::vector<std::string> look_alikes;  // what a lossy conversion would make of it
  bool reachable_by_qt;                  // a dialog and a drop can name it
};

std::vector<NameCase> NameCases() {
  // clang-format off
  return {
      {"UTF-8 Latin letter", "caf\xC3\xA9.src",                QString::fromUtf16(u"caf\u00e9.src"),
       {"caf?.src", "caf\xE9.src", "caf\xC3\x83\xC2\xA9.src"},      true},
      {"UTF-8 CJK",          "\xE6\x97\xA5\xE6\x9C\xAC.src",   QString::fromUtf16(u"\u65e5\u672c.src"),
       {"??.src"},                                             true},
      {"UTF-8 euro sign",    "euro\xE2\x82\xAC.src",          QString::fromUtf16(u"euro\u20ac.src"),
       {"euro?.src", "euro\x80.src"},                          true},
      {"blank and quote",    "a b'c.src",                     QStringLiteral("a b'c.src"),
       {"a b?c.src", "a?b'c.src"},                             true},
      {"not UTF-8",          "caf\xE9.src",                    QString::fromUtf16(u"caf\ufffd.src"),
       {"caf?.src", "caf\xEF\xBF\xBD.src", "caf\xC3\xA9.src"},      false},
  };
  // clang-format on
}

constexpr const char* kLookAlikeText = "; look-alike\r\n";

class FileNamesTest : public testing_gui::GuiSessionTest {
 protected:
  FileNamesTest() { StartSession(); }

  gui::TEditorFRM& Form() {
    if (!form_) {
      form_ =
          std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
      form_->show();
    }
    return *form_;
  }
  // A new run of the program over the same settings file.
  void Restart() {
    if (form_) form_->close();
    form_.reset();
    StartSession();
  }
  std::string File(const std::string& name, const std::string& text = kLookAlikeText) {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // A folder of its own for the case, holding the look-alikes.
  std::string FolderFor(const NameCase& c) {
    std::string folder = folder_.Path() + c.label + "/";
    std::filesystem::create_directory(folder);
    for (const std::string& look_alike : c.look_alikes)
      std::ofstream(folder + look_alike, std::ios::binary) << kLookAlikeText;
    return folder;
  }
  void ExpectLookAlikesKept(const NameCase& c, const std::string& folder) {
    for (const std::string& look_alike : c.look_alikes)
      EXPECT_EQ(ReadFile(folder + look_alike), kLookAlikeText) << look_alike;
  }
  // The next file dialog picks `path`, as the user picks it: by its shown name.
  void Pick(const QString& path) {
    dialogs_.Answer(QDialog::Accepted, [path](QDialog& dialog) {
      static_cast<QFileDialog&>(dialog).selectFile(path);
    });
  }
  void Type(const QString& text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(Form().CurrentScrivlet(), &key);
  }
  void Drop(const QString& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QWidget* target = Form().CurrentScrivlet()->viewport();
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
  }
  std::string EditorText() { return Form().CurrentScrivlet()->Memo().Text(); }
  QString Row() { return Form().FileList().item(Form().FileList().currentRow())->text(); }

  std::unique_ptr<gui::TEditorFRM> form_;
};

TEST_F(FileNamesTest, SaveAsOpenSaveReopenWorkspaceAndDropReachTheNamedFileAndShowItsName) {
  for (const NameCase& c : NameCases()) {
    SCOPED_TRACE(c.label);
    Restart();
    boxes_.Clear();
    const std::string folder = FolderFor(c);
    const std::string path = folder + c.name;
    const QString shown_path = gui::NameToQt(folder) + c.shown;
    Form();  // it names the program
    const QString caption = c.shown + " - " + QApplication::applicationName();

    // Save As: the new file gets the name; no look-alike is taken for it. Only the command
    // line, Reopen and the workspace hold a name that is not UTF-8 (Qt's names are Unicode):
    // it is made as the command line would name it.
    if (c.reachable_by_qt) {
      Form().OpenSourceFile(File(c.label + std::string("/start.src"), "\tNOP\r\n"));
      Pick(shown_path);
      Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
      EXPECT_TRUE(boxes_.Boxes().empty()) << boxes_.Boxes()[0].text;
      EXPECT_EQ(ReadFile(path), "\tNOP\r\n");
      ExpectLookAlikesKept(c, folder);
      EXPECT_EQ(Row(), shown_path);
      EXPECT_EQ(Form().windowTitle(), caption);
      Form().ClickMenuItem(main_menu::FileCloseAllMENUITM);
    } else {
      std::ofstream(path, std::ios::binary) << "\tNOP\r\n";
    }

    // Open, type, Save: the named file's bytes change, no other's.
    if (c.reachable_by_qt) {
      Pick(shown_path);
      Form().ClickMenuItem(main_menu::FileOpenMENUITM);
    } else {
      Form().OpenSourceFile(path);
    }
    EXPECT_TRUE(boxes_.Boxes().empty()) << boxes_.Boxes()[0].text;
    EXPECT_EQ(Row(), shown_path);
    EXPECT_EQ(Form().windowTitle(), caption);
    EXPECT_EQ(Form().MenuItem(main_menu::FileZeroItem)->text(), "&0 " + shown_path);
    Type("X");
    Form().ClickMenuItem(main_menu::FileSaveMENUITM);
    EXPECT_EQ(ReadFile(path), "X\tNOP\r\n");
    ExpectLookAlikesKept(c, folder);

    // A box that names the file shows it.
    Type("Y");
    boxes_.Answer(platform::kAnswerNo);
    Form().ClickMenuItem(main_menu::FileCloseMENUITM);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_NE(boxes_.Boxes()[0].text.find(path), std::string::npos);
    EXPECT_TRUE(gui::ShownText(boxes_.Boxes()[0].text).contains(shown_path));

    // Reopen, at the next run.
    Restart();
    Form().MenuItem(main_menu::FileZeroItem)->trigger();
    EXPECT_EQ(Row(), shown_path);
    EXPECT_EQ(EditorText(), "X\tNOP\r\n");

    // The workspace, at the next run.
    session_->Globals().IdeOptions.RestoreWorkspace = true;
    Restart();
    session_->Globals().IdeOptions.RestoreWorkspace = true;
    EXPECT_EQ(Row(), shown_path);
    EXPECT_EQ(EditorText(), "X\tNOP\r\n");

    if (c.reachable_by_qt) {
      Form().ClickMenuItem(main_menu::FileCloseAllMENUITM);
      Drop(shown_path);
      EXPECT_EQ(Row(), shown_path);
      EXPECT_EQ(EditorText(), "X\tNOP\r\n");
    }
    EXPECT_TRUE(boxes_.Boxes().size() == 1u) << boxes_.Boxes().back().text;
    ExpectLookAlikesKept(c, folder);
  }
}

// "中文.src" beside "??.src": Save As writes the new name and asks nothing.
TEST_F(FileNamesTest, SaveAsAsksToOverwriteOnlyTheFileItNames) {
  const std::string look_alike = File("??.src");
  const QString target = gui::NameToQt(folder_.Path()) + QString::fromUtf16(u"\u4e2d\u6587.src");
  Form().OpenSourceFile(File("start.src", "\tNOP\r\n"));
  Pick(target);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(ReadFile(folder_.Path() + "\xE4\xB8\xAD\xE6\x96\x87.src"), "\tNOP\r\n");
  EXPECT_EQ(ReadFile(look_alike), kLookAlikeText);

  // Onto itself again: the question names it.
  Pick(target);
  boxes_.Answer(platform::kAnswerNo);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(gui::ShownText(boxes_.Boxes()[0].text), "OK to overwrite " + target + " ?");
}

// A name the file system cannot hold (a lone surrogate has no bytes) is refused, never
// changed into another name.
TEST_F(FileNamesTest, ANameWithoutBytesIsRefusedNotChanged) {
  Form().OpenSourceFile(File("start.src", "\tNOP\r\n"));
  const QString name = gui::NameToQt(folder_.Path()) + QChar(0xD800) + QStringLiteral("x.src");
  const auto before = std::distance(std::filesystem::directory_iterator(folder_.Path()),
                                    std::filesystem::directory_iterator());
  Pick(name);
  boxes_.Answer(platform::kAnswerOk);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Name");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                          std::filesystem::directory_iterator()),
            before);
  Pick(name);
  boxes_.Answer(platform::kAnswerOk);
  Form().ClickMenuItem(main_menu::FileOpenMENUITM);
  EXPECT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(Row(), gui::NameToQt(folder_.Path() + "start.src"));
}

}  // namespace
