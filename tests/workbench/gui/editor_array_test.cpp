// The editor array over real TScrivlet widgets, and the file list drawn from it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QListWidget>
#include <QStackedWidget>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "editor_control/gui/scrivlet_widget.h"
#include "installed_tools.h"
#include "tests/services/temp_folder.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/file_list.h"

namespace {

using gui::T_ZKEditorArray;
using gui::TScrivlet;

using testing_gui::ReadFile;
using testing_gui::WriteFile;

class EditorArrayTest : public ::testing::Test {
 protected:
  std::string File(const std::string& name, const std::string& text) {
    std::string path = folder_.Path() + name;
    WriteFile(path, text);
    return path;
  }
  std::string TextOf(int index) { return array_.GetEditor(index)->Memo().Text(); }

  workbench::TempFolder folder_;
  QStackedWidget area_;
  T_ZKEditorArray array_{area_};
};

TEST_F(EditorArrayTest, ANewArrayHasOneUntitledEditorSetUp) {
  ASSERT_EQ(array_.Count(), 1);
  EXPECT_EQ(array_.GetFileName(0), "Untitled.src");
  EXPECT_TRUE(array_.GetWritable(0));
  EXPECT_EQ(array_.GetFileType(0), 0);
  const scrivlet::TScrivlet& memo = array_.GetEditor(0)->Memo();
  EXPECT_EQ(memo.GetTabStops(), 2);
  EXPECT_FALSE(memo.HideSelection);
  EXPECT_FALSE(memo.ReadOnly);
  EXPECT_EQ(area_.count(), 1);
}

TEST_F(EditorArrayTest, OutOfRangeGivesTheNeutralAnswers) {
  for (int index : {-1, 1, 7}) {
    EXPECT_EQ(array_.GetEditor(index), nullptr);
    EXPECT_EQ(array_.GetFileName(index), "");
    EXPECT_TRUE(array_.GetWritable(index));
    EXPECT_EQ(array_.GetFileType(index), 0);
    EXPECT_FALSE(array_.NewerOnDisk(index));
    array_.SetWritable(index, false);
    array_.SetFileType(index, 2);
    array_.SetTop(index);
    array_.CloseEditor(index);
  }
  EXPECT_EQ(array_.Count(), 1);
  EXPECT_EQ(array_.TopIndex(), -1);
}

TEST_F(EditorArrayTest, CapacityDoublesAndHalves) {
  struct Step {
    bool add;
    int count, capacity;
  };
  // 1 -> 2 -> 4 -> 8 while adding; closing back to half the capacity shrinks it to the count.
  const Step steps[] = {{true, 2, 2},  {true, 3, 4},  {true, 4, 4},  {true, 5, 8},
                        {false, 4, 4}, {false, 3, 4}, {false, 2, 2}, {false, 1, 1}};
  for (const Step& s : steps) {
    if (s.add) {
      EXPECT_EQ(array_.AddEditor(), s.count - 1);
    } else {
      array_.CloseEditor(0);
    }
    EXPECT_EQ(array_.Count(), s.count);
    EXPECT_EQ(array_.Capacity(), s.capacity) << "count " << s.count;
  }
  EXPECT_EQ(area_.count(), 1);
}

TEST_F(EditorArrayTest, ClosingTheOnlyEditorEmptiesIt) {
  ASSERT_TRUE(array_.LoadFile(File("a.src", "MOV W,#1\r\n"), 0));
  TScrivlet* editor = array_.GetEditor(0);
  array_.CloseEditor(0);
  EXPECT_EQ(array_.Count(), 1);
  EXPECT_EQ(array_.GetEditor(0), editor);
  EXPECT_EQ(TextOf(0), "");
  EXPECT_EQ(array_.GetFileType(0), 0);
}

TEST_F(EditorArrayTest, ClosingMovesTheLaterEditorsDown) {
  const std::string a = File("a.src", "a"), b = File("b.src", "b");
  array_.AddEditor();
  array_.AddEditor();
  ASSERT_TRUE(array_.LoadFile(a, 1));
  ASSERT_TRUE(array_.LoadFile(b, 2));
  TScrivlet* b_editor = array_.GetEditor(2);
  array_.CloseEditor(1);
  EXPECT_EQ(array_.IndexOfFile(b), 1);
  EXPECT_EQ(array_.IndexOfEditor(b_editor), 1);
  EXPECT_EQ(array_.IndexOfFile(a), -1);
}

TEST_F(EditorArrayTest, FileTypesAndNames) {
  struct Case {
    const char* name;
    int type;
  };
  const Case cases[] = {{"x.SRC", 1}, {"x.src", 1},    {"x.QvB", 2},   {"x.asm", 0},
                        {"x", 0},     {"/p.src/x", 0}, {"/p/x.qvb", 2}};
  for (const Case& c : cases) EXPECT_EQ(T_ZKEditorArray::FileTypeOf(c.name), c.type) << c.name;

  const std::string lower = File("a.src", "x");
  ASSERT_TRUE(array_.LoadFile(lower, 0));
  EXPECT_EQ(array_.IndexOfFile(lower), 0);
  EXPECT_EQ(array_.IndexOfFile(folder_.Path() + "A.src"), -1) << "names compare with case";
}

TEST_F(EditorArrayTest, LoadingAndTemplates) {
  EXPECT_FALSE(array_.LoadFile(folder_.Path() + "missing.src", 0));
  EXPECT_EQ(array_.GetFileName(0), "Untitled.src");

  const std::string file = File("b.QVB", "PRINT 1\r\n");
  array_.SetFileType(0, 1);
  ASSERT_TRUE(array_.LoadFile(file, 0));
  EXPECT_EQ(array_.GetFileName(0), file);
  EXPECT_EQ(array_.GetFileType(0), 2);
  EXPECT_FALSE(array_.GetEditor(0)->Memo().Modified());
  EXPECT_FALSE(array_.GetEditor(0)->Memo().CanUndo());

  const int index = array_.AddEditor();
  array_.SetFileType(index, 1);
  ASSERT_TRUE(array_.LoadTemplate(File("template.txt", "; template\r\n"), index));
  EXPECT_EQ(array_.GetFileName(index), "");
  EXPECT_EQ(array_.GetFileType(index), 1) << "an unknown extension keeps the type";
  EXPECT_EQ(TextOf(index), "; template\r\n");
  EXPECT_FALSE(array_.NewerOnDisk(index));
}

TEST_F(EditorArrayTest, SavingWritesTheTextAndNamesTheEditor) {
  scrivlet::TScrivlet& memo = array_.GetEditor(0)->Memo();
  memo.SetTextBuf("MOV W,#1\r\nRET");
  memo.SetModified(true);
  const std::string name = folder_.Path() + "new.src";
  std::string reason;
  ASSERT_TRUE(array_.SaveFile(name, 0, reason)) << reason;
  EXPECT_EQ(ReadFile(name), "MOV W,#1\r\nRET");
  EXPECT_EQ(array_.GetFileName(0), name);
  EXPECT_EQ(array_.GetFileType(0), 1);
  EXPECT_FALSE(memo.Modified());
  EXPECT_EQ(std::filesystem::directory_iterator(folder_.Path())->path(), name)
      << "no temporary file stays";
}

TEST_F(EditorArrayTest, AFailedSaveKeepsTheOldFileAndTheEdit) {
  const std::string name = File("kept.src", "old text");
  std::filesystem::permissions(name, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read);
  ASSERT_TRUE(array_.LoadFile(name, 0));
  scrivlet::TScrivlet& memo = array_.GetEditor(0)->Memo();
  memo.SetTextBuf("new text");
  memo.SetModified(true);
  struct Case {
    const char* what;
    workbench::FileBytesWriter writer;
  };
  const Case cases[] = {
      {"disk full",
       [](int, std::string_view) {
         errno = ENOSPC;
         return false;
       }},
      {"half written",
       [](int fd, std::string_view bytes) {
         static_cast<void>(workbench::WriteAllBytes(fd, bytes.substr(0, 3)));
         errno = EIO;
         return false;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    array_.SetBytesWriter(c.writer);
    std::string reason;
    EXPECT_FALSE(array_.SaveFile(folder_.Path() + "kept.src", 0, reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(ReadFile(name), "old text");
    EXPECT_TRUE(memo.Modified());
    EXPECT_EQ(memo.Text(), "new text");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                            std::filesystem::directory_iterator()),
              1);
  }
  array_.SetBytesWriter(workbench::WriteAllBytes);
  std::string reason;
  ASSERT_TRUE(array_.SaveFile(name, 0, reason)) << reason;
  EXPECT_EQ(ReadFile(name), "new text");
  EXPECT_EQ(std::filesystem::status(name).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read)
      << "the file keeps its permissions";
}

TEST_F(EditorArrayTest, AtMostOneTopFile) {
  array_.AddEditor();
  array_.AddEditor();
  EXPECT_EQ(array_.TopIndex(), -1);
  EXPECT_EQ(array_.TopFileName(), "");
  array_.SetTop(1);
  array_.SetTop(2);
  EXPECT_EQ(array_.TopIndex(), 2);
  EXPECT_FALSE(array_.Item(1).IsTop);
  array_.CloseEditor(0);
  EXPECT_EQ(array_.TopIndex(), 1) << "the mark moves with its editor";
  array_.ClearTop(1);
  EXPECT_EQ(array_.TopIndex(), -1);
}

TEST_F(EditorArrayTest, NewerOnDisk) {
  EXPECT_FALSE(array_.NewerOnDisk(0)) << "never loaded or saved";
  const std::string name = File("a.src", "one");
  ASSERT_TRUE(array_.LoadFile(name, 0));
  EXPECT_FALSE(array_.NewerOnDisk(0));
  std::filesystem::last_write_time(name, std::filesystem::last_write_time(name) +
                                             std::chrono::seconds(2));
  EXPECT_TRUE(array_.NewerOnDisk(0));
  std::filesystem::remove(name);
  EXPECT_FALSE(array_.NewerOnDisk(0));
  EXPECT_FALSE(array_.Item(0).HasFileTime) << "a file gone forgets its time";
  WriteFile(name, "back");
  EXPECT_FALSE(array_.NewerOnDisk(0));
}

// A zero byte would end the text: the editor shows "\xA4" for it, the entry counts them for
// the box, and a save writes every byte behind them again.
TEST_F(EditorArrayTest, ZeroBytesLoadAsAVisibleCharacterAndASaveKeepsTheRest) {
  const std::string name = File("z.src", std::string("a\0b\r\n\0\0\tNOP\r\n", 12));
  ASSERT_TRUE(array_.LoadFile(name, 0));
  EXPECT_EQ(TextOf(0),
            "a\xA4"
            "b\r\n\xA4\xA4\tNOP\r\n");
  EXPECT_EQ(array_.Item(0).ZeroBytes, 3u);
  EXPECT_FALSE(array_.GetEditor(0)->Memo().Modified());
  std::string reason;
  ASSERT_TRUE(array_.SaveFile(name, 0, reason)) << reason;
  EXPECT_EQ(ReadFile(name),
            "a\xA4"
            "b\r\n\xA4\xA4\tNOP\r\n");
  ASSERT_TRUE(array_.LoadFile(File("plain.src", "NOP\r\n"), 0));
  EXPECT_EQ(array_.Item(0).ZeroBytes, 0u);
}

TEST(FileListRows, TextAndColour) {
  struct Case {
    const char* row;
    bool modified;
    const char* text;
  };
  const Case cases[] = {{"/p/q/a.src", false, "a.src"},
                        {"/p/q/a.src", true, "*a.src"},
                        {"{Blank_2_QV/B}", true, "*{Blank_2_QV/B}"},
                        {"{Blank_1}", false, "{Blank_1}"}};
  for (const Case& c : cases) EXPECT_EQ(gui::FileListRowText(c.row, c.modified), c.text);
  EXPECT_EQ(gui::ModifiedRowColor(Qt::white), QColor(0xFF, 0x0E, 0x00));
  EXPECT_EQ(gui::ModifiedRowColor(QColor(0x10, 0x20, 0x30)), QColor(0x10, 0x2F, 0x30));
}

// Three files, one modified, one the top file; saved as a picture when QV_SHOT_DIR is set.
TEST_F(EditorArrayTest, FileListShowsModifiedAndTopFile) {
  QWidget window;
  auto* layout = new QHBoxLayout(&window);
  auto* list = new QListWidget;
  list->setItemDelegate(new gui::FilesLoadedDrawer(array_, list));
  layout->addWidget(list, 1);
  area_.setParent(&window);
  // The area is the fixture's: it leaves the window before the window goes.
  struct GiveBack {
    QWidget& area;
    ~GiveBack() { area.setParent(nullptr); }
  } give_back{area_};
  layout->addWidget(&area_, 3);
  const std::string names[] = {File("main.src", "; main\r\n\tINCLUDE \"io.src\"\r\n"),
                               File("io.src", "; io\r\nMOV W,#1\r\n"),
                               File("count.qvb", "' count\r\nPRINT 1\r\n")};
  for (int i = 0; i < 3; ++i) {
    if (i > 0) array_.AddEditor();
    ASSERT_TRUE(array_.LoadFile(names[i], i));
    list->addItem(QString::fromStdString(names[i]));
  }
  array_.SetTop(0);
  array_.GetEditor(1)->Memo().SetModified(true);
  list->setCurrentRow(2);
  area_.setCurrentIndex(2);
  window.resize(640, 300);
  window.show();
  QApplication::processEvents();
  const QImage picture = window.grab().toImage();
  const QRect modified_row = list->visualItemRect(list->item(1));
  EXPECT_EQ(picture.pixelColor(list->mapTo(&window, modified_row.topLeft() + QPoint(1, 1))),
            gui::ModifiedRowColor(list->palette().base().color()));
  if (const char* dir = std::getenv("QV_SHOT_DIR")) {
    picture.save(QString(dir) + "/file_list.png");
  }
}

}  // namespace
