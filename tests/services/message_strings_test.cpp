#include "services/message_strings.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/message_box.h"
#include "resources/string_ids.h"
#include "services/localize.h"

namespace {

namespace ids = string_ids;
using platform::BoxButtons;
using workbench::FormatError;

class MessageBoxesById : public ::testing::Test {
 protected:
  void SetUp() override { texts_.InitLocalization("x"); }
  workbench::Localizer texts_;
  platform::RecordingMessageBoxes boxes_;
  const workbench::MessageStrings strings_{texts_, boxes_};
};

TEST_F(MessageBoxesById, OkBoxTakesTextAndCaptionFromTheTables) {
  boxes_.Answer(platform::kAnswerOk);
  EXPECT_EQ(strings_.MsgBoxById(ids::EditorUnit::SCU_VIEW_LIST_FAILED,
                                ids::EditorUnit::SCU_VIEW_LIST_CAPTION),
            platform::kAnswerOk);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const platform::BoxRequest& box = boxes_.Boxes()[0];
  EXPECT_EQ(box.text, "Couldn't load file for viewing debug code");
  EXPECT_EQ(box.caption, "View Debug ERROR");
  EXPECT_EQ(box.buttons, BoxButtons::Ok);
}

TEST_F(MessageBoxesById, FormattingSiblingsFillTheirArguments) {
  boxes_.AnswerWithFirstButton();
  strings_.MsgBoxById1(ids::TemplateUnit::SCU_BAD_TEMPLATE_NAMES,
                       ids::TemplateUnit::SCU_BAD_TEMPLATE_NAMES_CAPTION, "a.txtb.txt");
  strings_.MsgBoxById2(ids::TarnUnit::SCU_CREATE_DIR_FAILED,
                       ids::TarnUnit::SCU_CREATE_DIR_FAILED_CAPTION, "TARN",
                       "C:\\QV\\TARN Output\\");
  strings_.MsgBoxById3(ids::ExternLangUnit::SCU_TOO_MANY_WATCHES,
                       ids::ExternLangUnit::SCU_TOO_MANY_WATCHES_CAPTION, "40", "32", "32");
  strings_.MsgBoxById1(ids::EditorUnit::SCU_QVSIM_NEEDS_TARN, ids::EditorUnit::SCU_NULL_STRING,
                       "ignored");  // the empty caption
  ASSERT_EQ(boxes_.Boxes().size(), 4u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "Template filenames must be either\r\"Template.src\" or Template.qvb\"\r"
            "The following filenames in the Template directory are incorrect\r\ra.txtb.txt");
  EXPECT_EQ(boxes_.Boxes()[1].text, "Couldn't create TARN directory:\r\rC:\\QV\\TARN Output\\");
  EXPECT_EQ(boxes_.Boxes()[2].text,
            "You have 40 WATCH variables, and the max allowed is 32.\r\r"
            "Only the first 32 will be used.");
  EXPECT_EQ(boxes_.Boxes()[3].text, "Code must be assembled with TARN to use QVSim");
  EXPECT_EQ(boxes_.Boxes()[3].caption, "");
}

TEST_F(MessageBoxesById, YesNoBoxesAnswerAsThePressedButton) {
  for (int answer :
       {platform::kAnswerNo, platform::kAnswerYes, platform::kAnswerNo, platform::kAnswerYes}) {
    boxes_.Answer(answer);
  }
  EXPECT_EQ(strings_.YesNoBoxById(ids::DebugUnit::SCU_RESET_POSITIONS,
                                  ids::DebugUnit::SCU_RESET_POSITIONS_CAPTION),
            platform::kAnswerNo);
  EXPECT_EQ(strings_.YesNoBoxById1(ids::EditorUnit::SCU_KNOWN_TOP_FILE,
                                   ids::EditorUnit::SCU_KNOWN_TOP_FILE_CAPTION, "C:\\a.src"),
            platform::kAnswerYes);
  EXPECT_EQ(strings_.YesNoBoxById2(ids::QvBasicUnit::SCU_UPDATE_COMPILER,
                                   ids::QvBasicUnit::SCU_UPDATE_CAPTION, "1.50", "1.51.03"),
            platform::kAnswerNo);
  EXPECT_EQ(strings_.YesNoBoxById3(ids::EditorUnit::SCU_NEW_EDITOR_LANGUAGE,
                                   ids::EditorUnit::SCU_NEW_EDITOR_LANGUAGE_CAPTION,
                                   "Assembly Language", "Assembly Language", "QV/B"),
            platform::kAnswerYes);
  ASSERT_EQ(boxes_.Boxes().size(), 4u);
  for (const auto& box : boxes_.Boxes()) EXPECT_EQ(box.buttons, BoxButtons::YesNo);
  EXPECT_EQ(boxes_.Boxes()[1].text,
            "C:\\a.src\r\rThis file is a \"Top\" file.  Do you want it to be set as the "
            "current \"Top\"?");
  EXPECT_EQ(boxes_.Boxes()[2].caption, "QV/B Compiler Update");
  EXPECT_EQ(boxes_.Boxes()[3].text,
            "Default editor type is for Assembly Language files.  Create editor for this "
            "language?\r\r\"Yes\" for Assembly Language editor\r\"No\" for QV/B editor");
}

// A box that the test did not script is a fault of the code under test, never an answer.
TEST_F(MessageBoxesById, AnUnscriptedBoxFailsLoudly) {
  EXPECT_THROW(strings_.MsgBoxById(ids::EditorUnit::SCU_VIEW_LIST_FAILED,
                                   ids::EditorUnit::SCU_VIEW_LIST_CAPTION),
               std::logic_error);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "View Debug ERROR");
}

TEST_F(MessageBoxesById, TooFewArgumentsRaiseAndShowNothing) {
  EXPECT_THROW(strings_.MsgBoxById1(ids::QVCUnit::SCU_TOO_MANY_BREAKS,
                                    ids::QVCUnit::SCU_TOO_MANY_BREAKS_CAPTION, "only one"),
               FormatError);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

// A session's boxes use its own texts and service: another session's recorder sees nothing.
TEST_F(MessageBoxesById, SessionBoxesGoToTheirOwnService) {
  workbench::Localizer own_texts;
  own_texts.InitLocalization("y");
  platform::RecordingMessageBoxes own_boxes;
  const workbench::MessageStrings strings(own_texts, own_boxes);
  own_boxes.Answer(platform::kAnswerNo);
  own_boxes.Answer(platform::kAnswerOk);
  EXPECT_EQ(strings.YesNoBoxById(ids::DebugUnit::SCU_RESET_POSITIONS,
                                 ids::DebugUnit::SCU_RESET_POSITIONS_CAPTION),
            platform::kAnswerNo);
  EXPECT_EQ(strings.MsgBoxById1(ids::TemplateUnit::SCU_BAD_TEMPLATE_NAMES,
                                ids::TemplateUnit::SCU_BAD_TEMPLATE_NAMES_CAPTION, "a.txt"),
            platform::kAnswerOk);
  ASSERT_EQ(own_boxes.Boxes().size(), 2u);
  EXPECT_EQ(own_boxes.Boxes()[0].buttons, BoxButtons::YesNo);
  EXPECT_EQ(own_boxes.Boxes()[0].caption, "WINDOW POSITION RESET");
  EXPECT_EQ(own_boxes.Boxes()[1].buttons, BoxButtons::Ok);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
