// What a save through the main window keeps: names of any legal length, a backup of each
// source of its own, the file's owner, group, mode and hard links, and the text of an editor
// whose file another program deleted. The real TEditorFRM, offscreen, on files in a folder of
// the test's own, boxes answered through their seam.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "resources/widget_names.h"
#include "tests/services/another_user.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/main_files.h"

namespace main_menu = widget_names::MainMenu;

namespace {

namespace fs = std::filesystem;
using testing_gui::ReadFile;

class SavingKeepsTest : public testing_gui::GuiSessionTest {
 protected:
  SavingKeepsTest() {
    fs::create_directory(Sources());
    StartProgram();
  }
  // A run of the program with backups on and its main window shown; an earlier run ends first.
  void StartProgram() {
    form_.reset();
    StartSession();
    session_->Globals().IdeOptions.CreateBackups = true;
    form_ =
        std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
    form_->show();
  }

  std::string Sources() const { return folder_.Path() + "sources/"; }
  std::string File(const std::string& name, const std::string& text = "\tNOP\n") {
    std::string path = Sources() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Sources()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Types into the editor in front as the user does.
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(*c)));
      QApplication::sendEvent(form_->CurrentScrivlet(), &key);
    }
  }
  void Save() { form_->ClickMenuItem(main_menu::FileSaveMENUITM); }
  bool Modified(int index) { return form_->Editors().GetEditor(index)->Memo().Modified(); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.Boxes()) texts.push_back(box.text);
    return texts;
  }

  std::unique_ptr<gui::TEditorFRM> form_;
};

// A name of 240 to 255 bytes is legal and saves, with its backup beside it; nothing else is
// left in the folder.
TEST_F(SavingKeepsTest, LongNamesSaveWithTheirBackup) {
  struct Case {
    std::size_t bytes;
    const char* character;
  };
  const Case cases[] = {{240, "a"}, {251, "b"}, {252, "c"}, {255, "d"}, {255, "\xC3\xA9"}};
  for (const Case& c : cases) {
    std::string name;
    while (name.size() + std::strlen(c.character) + 4 <= c.bytes) name += c.character;
    name.append(c.bytes - 4 - name.size(), 'x');
    name += ".src";
    ASSERT_EQ(name.size(), c.bytes);
    SCOPED_TRACE(c.bytes);
    for (const std::string& entry : Entries()) fs::remove(Sources() + entry);
    const std::string file = File(name);
    form_->OpenSourceFile(file);
    Type("X");
    boxes_.Clear();
    Save();
    EXPECT_TRUE(Texts().empty()) << Texts().front();
    EXPECT_EQ(ReadFile(file), "X\tNOP\r\n");
    EXPECT_FALSE(Modified(form_->CurrentEditorIndex()));
    const std::vector<std::string> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    const std::string backup = entries[0] == name ? entries[1] : entries[0];
    EXPECT_EQ(ReadFile(Sources() + backup), "\tNOP\n");
    EXPECT_EQ(backup.substr(backup.size() - 8), ".src.bak");
    EXPECT_LE(backup.size(), 255u);
  }
}

// "prog.src" and "prog.qvb" each keep a backup of their own; a ".bak" of the old naming that
// lies beside them is left as it is.
TEST_F(SavingKeepsTest, EachSourceKeepsABackupOfItsOwn) {
  const std::string source = File("prog.src", "\tNOP\n");
  const std::string basic = File("prog.qvb", "x = 1\n");
  const std::string old_backup = File("prog.bak", "an old backup");
  form_->OpenSourceFile(source);
  Type("A");
  Save();
  form_->OpenSourceFile(basic);
  Type("B");
  Save();
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(ReadFile(Sources() + "prog.src.bak"), "\tNOP\n");
  EXPECT_EQ(ReadFile(Sources() + "prog.qvb.bak"), "x = 1\n");
  EXPECT_EQ(ReadFile(old_backup), "an old backup");
  EXPECT_EQ(ReadFile(source), "A\tNOP\r\n");
  EXPECT_EQ(ReadFile(basic), "Bx = 1\r\n");
}

struct FileInfo {
  uid_t uid;
  gid_t gid;
  unsigned mode;
  nlink_t links;
  ino_t inode;
};

FileInfo InfoOf(const std::string& path) {
  struct stat info {};
  (void)::stat(path.c_str(), &info);
  return {info.st_uid, info.st_gid, info.st_mode & 07777, info.st_nlink, info.st_ino};
}

// A save keeps the file's mode, its owner and group (the superuser saving somebody's file),
// and its hard links: the other name shows the new text too.
TEST_F(SavingKeepsTest, ASaveKeepsModeOwnerGroupAndLinks) {
  const std::string file = File("theirs.src");
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  const bool superuser = ::geteuid() == 0;
  if (superuser) {
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  }
  const FileInfo before = InfoOf(file);
  form_->OpenSourceFile(file);
  Type("X");
  Save();
  FileInfo after = InfoOf(file);
  EXPECT_EQ(after.mode, 0640u);
  EXPECT_EQ(after.uid, before.uid);
  EXPECT_EQ(after.gid, before.gid);
  EXPECT_EQ(ReadFile(file), "X\tNOP\r\n");

  const std::string link = Sources() + "other name.src";
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
  Type("Y");
  Save();
  EXPECT_TRUE(Texts().empty());
  EXPECT_EQ(ReadFile(link), "XY\tNOP\r\n");
  EXPECT_EQ(ReadFile(Sources() + "theirs.src.bak"), "X\tNOP\r\n");
  after = InfoOf(file);
  EXPECT_EQ(after.links, 2u);
  EXPECT_EQ(after.inode, InfoOf(link).inode);
  EXPECT_EQ(after.mode, 0640u);
  EXPECT_EQ(after.uid, before.uid);
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{"other name.src", "theirs.src", "theirs.src.bak"}));
}

// A member of the file's group saves it in the main window: the file is written over in place
// after its backup, so its owner, group and mode stay. The test runs itself again as a user
// made for it; without the superuser it is skipped.
TEST_F(SavingKeepsTest, AMemberOfTheFilesGroupSavesItInPlace) {
  if (const char* shared = std::getenv("QV_SAVE_IN_THE_WINDOW")) {
    form_->OpenSourceFile(shared);
    Type("X");
    Save();
    for (const std::string& text : Texts()) std::fprintf(stderr, "%s\n", text.c_str());
    std::_Exit(Texts().empty() && !Modified(form_->CurrentEditorIndex()) ? 0 : 1);
  }
  const workbench::AnotherUser user;
  if (!user.Reason().empty()) GTEST_SKIP() << user.Reason();
  ASSERT_EQ(::chmod(folder_.Path().c_str(), 0755), 0);
  ASSERT_EQ(::chown(Sources().c_str(), user.Uid(), user.Gid()), 0);
  const std::string file = File("shared.src");
  ASSERT_EQ(::chown(file.c_str(), 0, user.Gid()), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  ASSERT_EQ(user.RunTest("SavingKeepsTest.AMemberOfTheFilesGroupSavesItInPlace",
                         "QT_QPA_PLATFORM=offscreen QV_SAVE_IN_THE_WINDOW=" +
                             workbench::AnotherUser::Quoted(file)),
            0);
  EXPECT_EQ(ReadFile(file), "X\tNOP\r\n");
  EXPECT_EQ(ReadFile(Sources() + "shared.src.bak"), "\tNOP\n");
  const FileInfo after = InfoOf(file);
  EXPECT_EQ(after.uid, 0u);
  EXPECT_EQ(after.gid, user.Gid());
  EXPECT_EQ(after.mode, 0664u);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"shared.src", "shared.src.bak"}));
}

// Another program deletes the file of an unmodified editor: the activation of the program says
// so and offers to save it again. Yes writes it again; No leaves the editor modified, so that
// Close asks before the only copy of the text goes.
TEST_F(SavingKeepsTest, AnEditorWhoseFileWasDeletedSaysSoAndCloseAsks) {
  for (const bool save_again : {true, false}) {
    SCOPED_TRACE(save_again ? "saved again" : "not saved");
    const std::string file = File("gone.src");
    const std::string other = File("other.src");
    form_->OpenSourceFile(other);
    form_->OpenSourceFile(file);
    const int index = form_->CurrentEditorIndex();
    fs::remove(file);
    boxes_.Clear();
    boxes_.Answer(save_again ? platform::kAnswerYes : platform::kAnswerNo);
    form_->Files().ApplicationActivated();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "\"" + file +
                  "\"\r\ris no longer on disk: another program has deleted, moved "
                  "or renamed it.\r\rSave the editor's text to it again?");
    EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not On Disk");
    EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::YesNo);
    EXPECT_EQ(fs::exists(file), save_again);
    EXPECT_EQ(Modified(index), !save_again);
    if (save_again) {
      EXPECT_EQ(ReadFile(file), "\tNOP\r\n");
    }
    // Told once: the next activation and a change of editor say nothing more.
    boxes_.Clear();
    form_->Files().ApplicationActivated();
    form_->SelectEditor(0);
    form_->SelectEditor(index);
    EXPECT_TRUE(boxes_.Boxes().empty());

    boxes_.Answer(platform::kAnswerYes);
    form_->ClickMenuItem(main_menu::FileCloseMENUITM);
    if (save_again) {
      EXPECT_TRUE(boxes_.Boxes().empty());
    } else {
      ASSERT_EQ(boxes_.Boxes().size(), 1u);
      EXPECT_EQ(boxes_.Boxes()[0].text, "Save changes to " + file + " ?");
      EXPECT_EQ(ReadFile(file), "\tNOP\r\n");
    }
    boxes_.Clear();
    form_->ClickMenuItem(main_menu::FileCloseMENUITM);
    fs::remove(file);
  }
}

// The file goes while the program stays active, so no activation tells of it: Close, and the
// end of the program, still tell before the editor's text goes. Yes writes it again; No leaves
// the usual save question, whose No lets the text go.
TEST_F(SavingKeepsTest, CloseAndExitAskForAnEditorWhoseFileWentWhileActive) {
  struct Case {
    bool exit;
    std::vector<int> answers;
    bool written;
  };
  const Case cases[] = {
      {false, {platform::kAnswerYes}, true},
      {false, {platform::kAnswerNo, platform::kAnswerNo}, false},
      {true, {platform::kAnswerYes}, true},
      {true, {platform::kAnswerNo, platform::kAnswerNo}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.exit ? "exit" : "close") + ", answers " +
                 std::to_string(c.answers.size()));
    StartProgram();
    const std::string file = File("gone.src");
    form_->OpenSourceFile(file);
    fs::remove(file);
    boxes_.Clear();
    for (int answer : c.answers) boxes_.Answer(answer);
    if (c.exit)
      EXPECT_TRUE(form_->close());
    else
      form_->ClickMenuItem(main_menu::FileCloseMENUITM);
    ASSERT_EQ(boxes_.Boxes().size(), c.answers.size()) << Texts().back();
    EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not On Disk");
    if (c.answers.size() > 1) {
      EXPECT_EQ(boxes_.Boxes()[1].text, "Save changes to " + file + " ?");
    }
    EXPECT_EQ(fs::exists(file), c.written);
    if (!c.exit) {
      EXPECT_LT(form_->Editors().IndexOfFile(file), 0);
    }
    fs::remove(file);
  }
}

}  // namespace
