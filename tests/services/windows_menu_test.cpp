#include "services/windows_menu.h"
#include "resources/code_widget_names.h"

#include <gtest/gtest.h>

#include "services/localize.h"

namespace main_menu = widget_names::MainMenu;

namespace workbench {
namespace {

class WindowsMenuTest : public ::testing::Test {
 protected:
  WindowsMenuTest() {
    texts_.InitLocalization("x");
    menu_ = std::make_unique<WindowsMenuUnit>(texts_);
    menu_->InitWindowsMenu([this] { ++changes_; });
    menu_->WindowsMenuAdd("", kEditorWindowItem);
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const WindowsMenuItem& item : menu_->Items()) captions.push_back(item.Caption);
    return captions;
  }

  Localizer texts_;
  std::unique_ptr<WindowsMenuUnit> menu_;
  int changes_ = 0;
};

TEST_F(WindowsMenuTest, WindowItemsGoFirstWithTheirCodesAndShortCuts) {
  menu_->WindowsMenuAdd("", kEditorWindowItem);
  menu_->WindowsMenuAdd("", kListWindowItem);
  menu_->WindowsMenuAdd("", kListWindowItem);
  menu_->WindowsMenuAdd("", kDeviceWindowItem);
  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"Dev&ice Window", "&List Window", "&Editor Window"}));
  const WindowsMenuItem& editor = menu_->Items()[2];
  EXPECT_EQ(editor.Tag, 1000);
  EXPECT_EQ(editor.ShortCut, "Ctrl+E");
  EXPECT_EQ(editor.Name, main_menu::EditorWindowMENUITM);
  EXPECT_EQ(menu_->Items()[0].ShortCut, "Ctrl+I");

  menu_->WindowsMenuAdd("a.src", kFileItem);
  EXPECT_EQ(menu_->Items().back().Caption, "1 a.src");
  menu_->WindowsMenuRemove(kListWindowItem, 0);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Dev&ice Window", "&Editor Window", "1 a.src"}));
}

TEST_F(WindowsMenuTest, TheSameFileTwiceLeavesOneItemCheckedAlone) {
  menu_->WindowsMenuAdd("a.src", kFileItem);
  menu_->WindowsMenuAdd("b.src", kFileItem);
  menu_->WindowsMenuAdd("a.src", kFileItem);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"&Editor Window", "1 a.src", "2 b.src"}));
  EXPECT_EQ(menu_->Items()[2].Name, "_2_MENUITM");
  EXPECT_FALSE(menu_->Items()[1].Checked);
  EXPECT_TRUE(menu_->Items()[2].Checked);
  menu_->CheckFileItem("a.src");
  EXPECT_TRUE(menu_->Items()[1].Checked);
  EXPECT_FALSE(menu_->Items()[2].Checked);
}

TEST_F(WindowsMenuTest, RemovingTheFirstFileRenumbersTheOthers) {
  for (const char* file : {"a.src", "b.src", "c.src"}) menu_->WindowsMenuAdd(file, kFileItem);
  menu_->WindowsMenuRemove(kFileItem, 0);
  ASSERT_EQ(Captions(), (std::vector<std::string>{"&Editor Window", "1 b.src", "2 c.src"}));
  EXPECT_EQ(menu_->Items()[1].Tag, 0);
  EXPECT_EQ(menu_->Items()[2].Tag, 1);
  // An index past the file items changes nothing.
  menu_->WindowsMenuRemove(kFileItem, 2);
  menu_->WindowsMenuRemove(kFileItem, -1);
  EXPECT_EQ(menu_->Items().size(), 3u);
}

TEST_F(WindowsMenuTest, FileItemsAreFoundAndRenamedByTheNameAfterTheirNumber) {
  menu_->WindowsMenuAdd("a b.src", kFileItem);
  menu_->WindowsMenuAdd("c.src", kFileItem);
  EXPECT_EQ(menu_->IndexOfFileItem("a b.src"), 1);
  EXPECT_EQ(menu_->IndexOfFileItem("b.src"), -1);
  EXPECT_EQ(menu_->IndexOfFileItem("A B.SRC"), -1);
  menu_->RenameFileItem("c.src", "d.src");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"&Editor Window", "1 a b.src", "2 d.src"}));
}

TEST_F(WindowsMenuTest, ALanguageChangeRecaptionsTheWindowItemsAndTellsTheView) {
  menu_->WindowsMenuAdd("a.src", kFileItem);
  const int before = changes_;
  texts_.ReapplyLanguage();
  EXPECT_GT(changes_, before);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"&Editor Window", "1 a.src"}));
}

}  // namespace
}  // namespace workbench
