// Saving editors and the save-changes question: no path loses an edit.
#include <gtest/gtest.h>

#include <QStackedWidget>
#include <filesystem>
#include <fstream>

#include "editor_control/gui/scrivlet_widget.h"
#include "installed_tools.h"
#include "platform/message_box.h"
#include "services/localize.h"
#include "services/options.h"
#include "tests/services/temp_folder.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/file_commands.h"

namespace {

using testing_gui::ReadFile;

class FileSavingTest : public ::testing::Test {
 protected:
  FileSavingTest() {
    texts_.InitLocalization("x");
    name_ = folder_.Path() + "a.src";
    std::ofstream(name_, std::ios::binary) << "old";
    EXPECT_TRUE(array_.LoadFile(name_, 0));
    Edit("new");
  }
  void Edit(const std::string& text) {
    Memo().SetTextBuf(text);
    Memo().SetModified(true);
  }
  scrivlet::TScrivlet& Memo() { return array_.GetEditor(0)->Memo(); }

  workbench::TempFolder folder_;
  std::string name_;
  QStackedWidget area_;
  gui::T_ZKEditorArray array_{area_};
  workbench::Localizer texts_;
  platform::RecordingMessageBoxes boxes_;
  workbench::IdeOptions options_;
  gui::EditorFileSaving saving_{array_, texts_, boxes_, options_};
};

TEST_F(FileSavingTest, TheQuestionAndItsAnswers) {
  struct Case {
    const char* what;
    int answer;
    bool write_fails;
    bool go_on;  // what AskSaveChanges returns
    const char* on_disk;
    bool still_modified;
  };
  const Case cases[] = {
      {"yes saves", platform::kAnswerYes, false, true, "new", false},
      {"no keeps the edit in the editor", platform::kAnswerNo, false, true, "old", true},
      {"cancel stops", platform::kAnswerCancel, false, false, "old", true},
      {"yes whose save failed stops", platform::kAnswerYes, true, false, "old", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::ofstream(name_, std::ios::binary) << "old";
    Edit("new");
    boxes_.Clear();
    boxes_.Answer(c.answer);
    if (c.write_fails) {
      boxes_.Answer(platform::kAnswerOk);
      array_.SetBytesWriter([](int, std::string_view) { return false; });
    } else {
      array_.SetBytesWriter(workbench::WriteAllBytes);
    }
    EXPECT_EQ(saving_.AskSaveChanges(0), c.go_on);
    ASSERT_FALSE(boxes_.Boxes().empty());
    EXPECT_EQ(boxes_.Boxes()[0].text, "Save changes to " + name_ + " ?");
    EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::YesNoCancel);
    EXPECT_EQ(boxes_.Boxes().size(), c.write_fails ? 2u : 1u) << "a failed save is told";
    EXPECT_EQ(ReadFile(name_), c.on_disk);
    EXPECT_EQ(Memo().Modified(), c.still_modified);
    EXPECT_EQ(Memo().Text(), "new");
  }
}

TEST_F(FileSavingTest, NothingIsAskedForAnUnmodifiedOrReadOnlyEditor) {
  array_.SetWritable(0, false);
  EXPECT_TRUE(saving_.AskSaveChanges(0));
  EXPECT_FALSE(saving_.SaveSourceFile(0, name_)) << "a read-only editor is not written";
  EXPECT_EQ(ReadFile(name_), "old");
  array_.SetWritable(0, true);
  Memo().SetModified(false);
  EXPECT_TRUE(saving_.AskSaveChanges(0));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(FileSavingTest, ABackupComesFirstWhenAsked) {
  const std::string backup = folder_.Path() + "a.src.bak";
  options_.CreateBackups = false;
  ASSERT_TRUE(saving_.SaveEditorFile(0, name_));
  EXPECT_FALSE(std::filesystem::exists(backup));
  Edit("newer");
  options_.CreateBackups = true;
  ASSERT_TRUE(saving_.SaveEditorFile(0, name_));
  EXPECT_EQ(ReadFile(backup), "new");
  EXPECT_EQ(ReadFile(name_), "newer");
}

TEST_F(FileSavingTest, ANeverSavedFileGoesToSaveAsOrIsKept) {
  const int index = array_.AddEditor();
  array_.GetEditor(index)->Memo().SetTextBuf("typed");
  array_.GetEditor(index)->Memo().SetModified(true);
  boxes_.Answer(platform::kAnswerYes);
  EXPECT_FALSE(saving_.AskSaveChanges(index)) << "without Save As the edit must stay";
  EXPECT_FALSE(std::filesystem::exists("Untitled.src"));

  const std::string chosen = folder_.Path() + "typed.src";
  saving_.SetSaveAs([&](int i) {
    std::string reason;
    return array_.SaveFile(chosen, i, reason);
  });
  boxes_.Answer(platform::kAnswerYes);
  EXPECT_TRUE(saving_.AskSaveChanges(index));
  EXPECT_EQ(ReadFile(chosen), "typed");
}

}  // namespace
