#include "workbench/gui/qt_message_boxes.h"

#include <gtest/gtest.h>

#include "modal_answerer.h"
#include "resources/string_ids.h"
#include "workbench/localize.h"
#include "workbench/message_strings.h"

namespace {

using platform::BoxButtons;
using testing_gui::AnswerNextBox;
using testing_gui::SeenBox;

class QtMessageBoxesTest : public ::testing::Test {
 protected:
  int Show(const std::string& text, const std::string& caption,
           BoxButtons buttons = BoxButtons::Ok) {
    return boxes_.Show({text, caption, buttons});
  }
  gui::QtMessageBoxes boxes_;
};

TEST_F(QtMessageBoxesTest, OkBoxShowsPlainTextWithLineBreaksAndAnswersOk) {
  SeenBox seen;
  AnswerNextBox(QMessageBox::Ok, &seen);
  EXPECT_EQ(Show("first\rsecond <b>not bold</b>", "Caption"),
            platform::kAnswerOk);
  ASSERT_TRUE(seen.seen);
  EXPECT_EQ(seen.title, "Caption");
  EXPECT_EQ(seen.text, "first\nsecond <b>not bold</b>");
  EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST_F(QtMessageBoxesTest, AnswersAreNumberedAsTheCallersCompareThem) {
  struct Case {
    BoxButtons buttons;
    QMessageBox::StandardButton press;
    int answer;
  };
  const Case cases[] = {
      {BoxButtons::YesNo, QMessageBox::Yes, platform::kAnswerYes},
      {BoxButtons::YesNo, QMessageBox::No, platform::kAnswerNo},
      {BoxButtons::YesNoCancel, QMessageBox::Cancel, platform::kAnswerCancel},
      {BoxButtons::YesNoCancel, QMessageBox::No, platform::kAnswerNo},
      {BoxButtons::OkCancel, QMessageBox::Cancel, platform::kAnswerCancel},
  };
  for (const Case& c : cases) {
    AnswerNextBox(c.press, nullptr);
    EXPECT_EQ(Show("q", "c", c.buttons), c.answer);
  }
}

TEST_F(QtMessageBoxesTest, BoxByIdReachesTheScreenWithItsTableTexts) {
  workbench::Localizer texts;
  texts.InitLocalization("/opt/qvkey");
  const workbench::MessageStrings strings(texts, boxes_);
  SeenBox seen;
  AnswerNextBox(QMessageBox::No, &seen);
  EXPECT_EQ(strings.YesNoBoxById1(string_ids::EditorUnit::SCU_NEWER_ON_DISK,
                                  string_ids::EditorUnit::SCU_NEWER_ON_DISK_CAPTION,
                                  "C:\\src\\a.src"),
            platform::kAnswerNo);
  EXPECT_EQ(seen.title, "File Load Warning");
  EXPECT_EQ(seen.text,
            "There is a newer version on disk of:\n\nC:\\src\\a.src\n\nLoad the new version?");
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
}

}  // namespace
