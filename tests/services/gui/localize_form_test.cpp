#include "services/gui/localize_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

#include "resources/widget_names.h"
#include "services/gui/radio_group.h"

namespace config_frm = widget_names::ConfigFRM;
namespace files_popup = widget_names::FilesLoadedPOPMNU;

namespace {

template <typename W>
W* Add(QWidget& parent, const char* name) {
  auto* w = new W(&parent);
  w->setObjectName(name);
  return w;
}

class LocalizeFormTest : public ::testing::Test {
 protected:
  void SetUp() override { texts_.InitLocalization("/opt/qvkey"); }

  std::map<std::string, std::string> files_ = {
      {"TestFRM",
       "TestFRM\tTest Window\r\n"
       "NameLBL\t&Name:\tThe name^of it\r\n"
       "KeepCB\tKeep it\r\n"
       "OkBTN\tOK\r\n"
       "OptionsGRPBX\tOptions\r\n"
       "ModeRDGRP\t&Mode\t\tFast\tSlow\r\n"
       "LockedRDGRP\tLocked\t\tX\tY\r\n"
       "FilesLB\t\tThe files\r\n"
       "SectionsLB\t\t\tOne\tTwo\r\n"
       "GoTBTN\tno caption for tool buttons\tGo somewhere\r\n"
       "ActionTBTN\t\tFrom the action\r\n"},
      {"TestMenu",
       "FileMENUITM   \t&File\r\n"
       "OpenMENUITM\t&Open...\tOpen an existing file\r\n"
       "DeepMENUITM\tDeep\r\n"
       "SubMENUITM\t&More\r\n"},
  };
  workbench::Localizer texts_{[this](std::string_view name) -> std::optional<std::string> {
    auto it = files_.find(std::string(name));
    if (it != files_.end()) return it->second;
    return workbench::EmbeddedTextResource(name);
  }};
};

TEST_F(LocalizeFormTest, WalkGivesEachKindItsFields) {
  QDialog form;
  form.setObjectName("TestFRM");
  auto* label = Add<QLabel>(form, "NameLBL");
  auto* keep = Add<QCheckBox>(form, "KeepCB");
  auto* ok = Add<QPushButton>(form, "OkBTN");
  auto* group = Add<QGroupBox>(form, "OptionsGRPBX");
  auto* mode = Add<gui::RadioGroup>(*group, "ModeRDGRP");  // nested: still the form's
  auto* locked = Add<gui::RadioGroup>(form, "LockedRDGRP");
  auto* files = Add<QListWidget>(form, "FilesLB");
  auto* sections = Add<QListWidget>(form, "SectionsLB");
  auto* go = Add<QToolButton>(form, "GoTBTN");
  auto* unnamed = Add<QLabel>(form, "NoLineLBL");
  unnamed->setText("designed");
  locked->SetItems({"designed"});
  locked->setEnabled(false);
  files->addItems({"a.src", "b.src"});
  go->setText("designed");
  auto* toolbar = Add<QToolBar>(form, "ToolBar");
  auto* action = new QAction("designed", &form);
  action->setObjectName("ActionTBTN");
  toolbar->addAction(action);

  EXPECT_TRUE(gui::LocalizeForm(form, texts_));
  EXPECT_EQ(form.windowTitle(), "Test Window");
  EXPECT_EQ(label->text(), "&Name:");
  EXPECT_EQ(label->toolTip(), "The name^of it");  // only the string tables break at "^"
  EXPECT_EQ(label->statusTip(), "The name^of it");
  EXPECT_EQ(keep->text(), "Keep it");
  EXPECT_EQ(keep->toolTip(), "");
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(group->title(), "Options");
  EXPECT_EQ(mode->title(), "&Mode");
  EXPECT_EQ(mode->Items(), (QStringList{"Fast", "Slow"}));
  EXPECT_EQ(mode->ItemIndex(), -1);
  EXPECT_EQ(locked->title(), "Locked");
  EXPECT_EQ(locked->Items(), QStringList{"designed"});  // disabled: items left alone
  EXPECT_EQ(files->count(), 2);                         // a hint-only line keeps the items
  EXPECT_EQ(files->toolTip(), "The files");
  ASSERT_EQ(sections->count(), 2);
  EXPECT_EQ(sections->item(1)->text(), "Two");
  EXPECT_EQ(go->text(), "designed");
  EXPECT_EQ(go->toolTip(), "Go somewhere");
  EXPECT_EQ(action->toolTip(), "From the action");
  EXPECT_EQ(action->text(), "designed");
  EXPECT_EQ(unnamed->text(), "designed");
}

// Fault mended: new texts for the items used to drop the user's choice among them.
TEST_F(LocalizeFormTest, RefilledItemsKeepTheChoiceMadeInThem) {
  QDialog form;
  form.setObjectName("TestFRM");
  auto* mode = Add<gui::RadioGroup>(form, "ModeRDGRP");
  mode->SetItems({"designed fast", "designed slow"});
  mode->SetItemIndex(1);
  auto* sections = Add<QListWidget>(form, "SectionsLB");
  sections->addItems({"designed one", "designed two"});
  sections->setCurrentRow(1);
  gui::LocalizeForm(form, texts_);
  EXPECT_EQ(mode->Items(), (QStringList{"Fast", "Slow"}));
  EXPECT_EQ(mode->ItemIndex(), 1);
  EXPECT_EQ(sections->item(1)->text(), "Two");
  EXPECT_EQ(sections->currentRow(), 1);
}

TEST_F(LocalizeFormTest, FormWithoutTableKeepsItsDesign) {
  QDialog form;
  form.setObjectName("NoTableFRM");
  form.setWindowTitle("designed");
  auto* label = Add<QLabel>(form, "NameLBL");
  label->setText("designed");
  EXPECT_TRUE(gui::LocalizeForm(form, texts_));
  EXPECT_EQ(form.windowTitle(), "designed");
  EXPECT_EQ(label->text(), "designed");
}

TEST_F(LocalizeFormTest, ConfigurationSectionListShowsFourOfItsFive) {
  QDialog form;
  form.setObjectName(config_frm::ConfigFRM);
  auto* list = Add<QListWidget>(form, config_frm::ItemLSTBX);
  auto* backups = Add<QCheckBox>(form, config_frm::CreateBackupCB);
  gui::LocalizeForm(form, texts_);
  EXPECT_EQ(form.windowTitle(), "Configuration");
  ASSERT_EQ(list->count(), 4);
  EXPECT_EQ(list->item(0)->text(), "IDE");
  EXPECT_EQ(list->item(3)->text(), "QV/B Compiler");
  EXPECT_EQ(backups->text(), "Create backup (.bak) files");
}

TEST_F(LocalizeFormTest, MenusTakeTwoLevelsByName) {
  QMenuBar bar;
  bar.setObjectName("TestMenu");
  QMenu* file = bar.addMenu("designed");
  file->setObjectName("FileMENUITM");
  QAction* open = file->addAction("designed");
  open->setObjectName("OpenMENUITM");
  file->addSeparator();
  QMenu* more = file->addMenu("designed");
  more->menuAction()->setObjectName("SubMENUITM");
  QAction* deep = more->addAction("designed");
  deep->setObjectName("DeepMENUITM");
  QAction* other = file->addAction("designed");
  other->setObjectName("UnlistedMENUITM");

  gui::LocalizeMenu(bar, texts_, 0);
  EXPECT_EQ(file->title(), "&File");
  EXPECT_EQ(file->menuAction()->statusTip(), "");
  EXPECT_EQ(open->text(), "&Open...");
  EXPECT_EQ(open->statusTip(), "Open an existing file");
  EXPECT_EQ(more->title(), "&More");
  EXPECT_EQ(deep->text(), "designed");  // a third level keeps its caption
  EXPECT_EQ(other->text(), "designed");
}

TEST_F(LocalizeFormTest, ShippedPopupMenu) {
  QMenu popup;
  popup.setObjectName(files_popup::FilesLoadedPOPMNU);
  QAction* close = popup.addAction("designed");
  close->setObjectName(files_popup::CloseFileMNUITM);
  gui::LocalizeMenu(popup, texts_, 0);
  EXPECT_EQ(close->text(), "Close File");
  EXPECT_EQ(close->statusTip(), "");
}

TEST_F(LocalizeFormTest, LanguageChangeRelocalizesRegisteredFormsUntilTheyGo) {
  auto* form = new QDialog;
  form->setObjectName("TestFRM");
  auto* label = Add<QLabel>(*form, "NameLBL");
  gui::RegisterFormLanguageCallback(*form, texts_);
  label->setText("changed");
  texts_.SelectLanguage(0);
  EXPECT_EQ(label->text(), "&Name:");
  delete form;
  texts_.SelectLanguage(0);  // the form's callback went with it

  QMenuBar bar;
  int calls = 0;
  EXPECT_GE(gui::RegisterMenuLanguageCallback(bar, texts_, [&](int) { ++calls; }), 0);
  texts_.ReapplyLanguage();
  EXPECT_EQ(calls, 1);
}

}  // namespace
