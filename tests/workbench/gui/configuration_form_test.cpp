#include "workbench/gui/configuration_form.h"
#include "services/gui/hint_time.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QColorDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <utility>

#include "../ok_settings.h"
#include "platform/message_box.h"
#include "resources/code_widget_names.h"
#include "services/gui/modal_dialogs.h"
#include "services/localize.h"
#include "tests/services/gui/tab_walk.h"

namespace config_frm = widget_names::ConfigFRM;

namespace workbench {
namespace {

std::vector<std::string> Ports(int count) {
  std::vector<std::string> names;
  for (int i = 1; i <= count; ++i) names.push_back("COM" + std::to_string(i));
  return names;
}

// A dialog over a store of its own, with a fixed port list and recorded message boxes.
class ConfigFormTest : public testing::Test {
 protected:
  ConfigFormTest()
      : file_(std::filesystem::temp_directory_path() /
              ("qv_config_form_" + std::to_string(::getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt")),
        store_((std::filesystem::remove(file_), file_)),
        registry_(store_),
        ports_(Ports(3)) {
    // The dialog's boxes (the first-run notice, the debug steps) have only OK; each test
    // checks the ones it expects.
    boxes_.AnswerWithFirstButton();
  }
  ~ConfigFormTest() override {
    dialog_.reset();
    std::filesystem::remove(file_);
  }

  ConfigFormServices Services() {
    ConfigFormServices services{registry_,
                                link_,
                                ports_,
                                editor_,
                                ide_,
                                texts_,
                                boxes_,
                                *dialogs_,
                                [this] { return wrenfield_; },
                                [this] { return debug_; },
                                [this] { ++applied_; }};
    services.hint_time = &hint_time_;
    return services;
  }
  // A store that has seen a run already: no first-run notice.
  void NotFirstRun(const std::string& port = "COM2") {
    ASSERT_TRUE(registry_.WriteRegString("Configuration\\ComPort", port));
  }
  TConfigFRM& Create() {
    dialog_ = std::make_unique<TConfigFRM>(Services());
    return *dialog_;
  }
  // Runs `inside` once the dialog is up modally; it must close the dialog.
  static int RunModal(TConfigFRM& dialog, std::function<void(TConfigFRM&)> inside) {
    QTimer::singleShot(0, &dialog, [&dialog, inside = std::move(inside)] { inside(dialog); });
    return dialog.exec();
  }
  // The next modal dialog, whenever it opens, gets `inside`.
  static void WhenModal(std::function<void(TConfigFRM&)> inside) {
    QTimer::singleShot(0, [inside = std::move(inside)] {
      auto* dialog = dynamic_cast<TConfigFRM*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      inside(*dialog);
    });
  }
  static void PressEscape(TConfigFRM& dialog) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &press);
  }
  static void Click(QWidget* widget) {
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
  }
  std::set<std::string> StoredNames() const { return workbench_test::StoredSettingNames(file_); }
  int Int(const std::string& name) const {
    std::int32_t value = -12345;
    registry_.ReadRegInt(name, value);
    return value;
  }
  std::string String(const std::string& name) const {
    std::string value = "<missing>";
    registry_.ReadRegString(name, value);
    return value;
  }

  platform::RecordingMessageBoxes boxes_;
  gui::QtModalDialogs qt_dialogs_;
  gui::RecordingModalDialogs recorded_dialogs_;
  platform::ModalDialogService* dialogs_ = &qt_dialogs_;
  Localizer texts_;
  std::filesystem::path file_;
  platform::SettingsStore store_;
  RegistrySettings registry_;
  KeptKeyLinkChoices link_;
  FixedComPortList ports_;
  EditorOptions editor_;
  IdeOptions ide_;
  bool wrenfield_ = false;
  bool debug_ = false;
  int applied_ = 0;
  gui::HintDisplayTime hint_time_;
  std::unique_ptr<TConfigFRM> dialog_;
};

TEST_F(ConfigFormTest, FirstRunShowsTheNoticeThenTheDialogWithTheDefaults) {
  bool shown = false;
  ConfigurationControls seen;
  WhenModal([&](TConfigFRM& dialog) {
    shown = true;
    seen = dialog.ReadControls();
    EXPECT_TRUE(dialog.UseTarnCB->isChecked());
    EXPECT_TRUE(dialog.CreateBackupCB->isChecked());
    EXPECT_TRUE(dialog.CodeBoldCB->isChecked());
    EXPECT_TRUE(dialog.ColorCommentsCB->isChecked());
    EXPECT_FALSE(dialog.ColorCodeCB->isChecked());
    EXPECT_FALSE(dialog.UseTemplatesCB->isChecked());
    EXPECT_FALSE(dialog.RestoreWorkspaceCB->isChecked());
    EXPECT_FALSE(dialog.StricterAssemblyParsingCB->isChecked());
    EXPECT_EQ(dialog.FontsizeUpDown->value(), 8);
    EXPECT_EQ(dialog.TabsizeUpDown->value(), 8);
    EXPECT_EQ(dialog.FontsizeLBL->text(), "Font size: 8");
    EXPECT_EQ(dialog.TabsizeLBL->text(), "Tab size: 8");
    EXPECT_EQ(dialog.DefaultEditorTypeRDGRP->ItemIndex(), 0);
    EXPECT_EQ(dialog.LanguageRDGRP->ItemIndex(), 0);
    EXPECT_EQ(dialog.windowTitle(), "Configuration");
    dialog.reject();
  });
  Create();
  ASSERT_TRUE(shown);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "Since this is the first time the program has run, please\r"
            "take a moment to review the default configuration.\r"
            "In particular, check the COM port setting to make sure the\r"
            "QV-Key can be found.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "FIRST TIME RUNNING");
  EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::Ok);
  ConfigurationControls designed;
  designed.PortRDGRP = "COM1";  // the key link's port before any choice
  EXPECT_EQ(seen, designed);
  EXPECT_EQ(editor_, EditorOptions{});
  EXPECT_EQ(ide_, IdeOptions{});
  EXPECT_EQ(applied_, 1);              // the records were applied once, at creation
  EXPECT_TRUE(StoredNames().empty());  // cancelled: nothing written
}

// Fault mended: confirming the first run without a port must not bring the notice back.
TEST_F(ConfigFormTest, FirstRunEndsWhenConfirmedEvenWithoutAPort) {
  ports_.SetNames({});
  WhenModal([](TConfigFRM& dialog) { dialog.OkBTN->click(); });
  Create();
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(String("Configuration\\ComPort"), "");
  dialog_.reset();
  boxes_.Clear();
  Create();  // would block here if the notice came back
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(ConfigFormTest, FirstRunCancelledComesBack) {
  WhenModal([](TConfigFRM& dialog) { PressEscape(dialog); });
  Create();
  dialog_.reset();
  boxes_.Clear();
  WhenModal([](TConfigFRM& dialog) { dialog.reject(); });
  Create();
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

TEST_F(ConfigFormTest, OkWritesExactlyTheConfigurationValues) {
  NotFirstRun("COM2");
  TConfigFRM& dialog = Create();
  EXPECT_TRUE(boxes_.Boxes().empty());
  const int result = RunModal(dialog, [](TConfigFRM& d) {
    EXPECT_EQ(d.PortRDGRP->ItemIndex(), 1);  // the stored COM2
    d.PortRDGRP->SetItemIndex(2);
    d.IrcRDGRP->SetItemIndex(2);
    d.DefaultEditorTypeRDGRP->SetItemIndex(1);
    d.StricterAssemblyParsingCB->setChecked(true);
    d.FontsizeUpDown->setValue(12);
    d.OkBTN->click();
  });
  EXPECT_EQ(result, QDialog::Accepted);

  std::set<std::string> expected = workbench_test::SettingsWrittenOnOk();
  EXPECT_EQ(StoredNames(), expected);
  EXPECT_EQ(String("Configuration\\ComPort"), "COM3");
  EXPECT_EQ(Int("Configuration\\IRCcalibration"), 2);
  EXPECT_EQ(Int("Configuration\\DefaultEditorType"), 1);
  EXPECT_EQ(Int("Configuration\\StricterAssemblyParsing"), 1);
  EXPECT_EQ(Int("Configuration\\Fontsize"), 12);
  EXPECT_EQ(Int("Configuration\\CodeColor"), clBlue);
  EXPECT_EQ(String("Configuration\\CustomColors\\ColorP"), "ColorP=808080");
  EXPECT_EQ(link_.GetComPortName(), "COM3");
  EXPECT_EQ(link_.GetIrcCalMode(), 2);
  EXPECT_FALSE(ide_.DefaultIsAssembly);
  EXPECT_TRUE(ide_.StricterAssemblyParsing);
  EXPECT_EQ(editor_.Fontsize, 12);
  EXPECT_EQ(applied_, 2);  // at creation and after OK
}

TEST_F(ConfigFormTest, EscapeWritesNothingAndTheNextShowRestoresTheRecords) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  const int result = RunModal(dialog, [](TConfigFRM& d) {
    d.UseTarnCB->setChecked(false);
    d.FontsizeUpDown->setValue(20);
    PressEscape(d);
  });
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(StoredNames(), std::set<std::string>{"Configuration\\ComPort"});
  EXPECT_TRUE(ide_.UseTarn);
  EXPECT_EQ(editor_.Fontsize, 8);
  EXPECT_EQ(applied_, 1);
  RunModal(dialog, [](TConfigFRM& d) {
    EXPECT_TRUE(d.UseTarnCB->isChecked());
    EXPECT_EQ(d.FontsizeUpDown->value(), 8);
    d.reject();
  });
}

// Fault mended: the C-compiler mode's UseTarn off is not stored.
TEST_F(ConfigFormTest, HintsStayUpLongerWhileTheDialogIsShown) {
  NotFirstRun();
  EXPECT_EQ(hint_time_.Milliseconds(), 2500);
  TConfigFRM& dialog = Create();
  int shown = 0;
  RunModal(dialog, [&shown, this](TConfigFRM& d) {
    shown = hint_time_.Milliseconds();
    d.reject();
  });
  EXPECT_EQ(shown, 3500);
  EXPECT_EQ(hint_time_.Milliseconds(), 2500);
}

TEST_F(ConfigFormTest, WrenfieldModeShowsUseTarnOffAndDoesNotStoreIt) {
  NotFirstRun();
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\UseTarn", 1));
  wrenfield_ = true;
  TConfigFRM& dialog = Create();
  EXPECT_FALSE(ide_.UseTarn);
  RunModal(dialog, [](TConfigFRM& d) {
    EXPECT_FALSE(d.UseTarnCB->isChecked());
    d.OkBTN->click();
  });
  EXPECT_FALSE(ide_.UseTarn);
  EXPECT_EQ(Int("Configuration\\UseTarn"), 1);
  EXPECT_EQ(Int("Configuration\\CreateBackups"), 1);  // the rest was written
}

TEST_F(ConfigFormTest, StoredSettingsReachTheControlsAndRecords) {
  NotFirstRun();
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\ColoredCode", 1));
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\Tabsize", 4));
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\UseNewEditor", 0));
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\IRCcalibration", 1));
  TConfigFRM& dialog = Create();
  EXPECT_TRUE(editor_.ColoredCode);
  EXPECT_EQ(editor_.Tabsize, 4);
  EXPECT_FALSE(editor_.UseNewEditor);
  EXPECT_EQ(dialog.TabsizeLBL->text(), "Tab size: 4");
  EXPECT_FALSE(dialog.CodeColorPNL->isHidden());
  RunModal(dialog, [](TConfigFRM& d) {
    EXPECT_EQ(d.IrcRDGRP->ItemIndex(), 1);
    d.reject();
  });
}

struct LayoutCase {
  int ports;
  bool combo;
  int columns;
};

// No two shown widgets of one parent overlap, and none is smaller than it needs to be.
void ExpectNothingClippedOrOverlapping(QWidget& root, const std::string& where) {
  QList<QWidget*> parents = root.findChildren<QWidget*>();
  parents.append(&root);
  for (QWidget* parent : parents) {
    // The insides of Qt's own composite widgets are theirs to arrange.
    if (!parent->isVisible() || qobject_cast<QAbstractSpinBox*>(parent) ||
        qobject_cast<QComboBox*>(parent) || qobject_cast<QAbstractScrollArea*>(parent) ||
        parent->objectName().startsWith("qt_")) {
      continue;
    }
    std::vector<QWidget*> shown;
    for (QObject* child : parent->children()) {
      auto* widget = qobject_cast<QWidget*>(child);
      if (!widget || !widget->isVisible() || widget->isWindow()) continue;
      const QSize needed = widget->minimumSizeHint();
      EXPECT_GE(widget->width(), needed.width())
          << where << ": " << widget->objectName().toStdString();
      EXPECT_GE(widget->height(), needed.height())
          << where << ": " << widget->objectName().toStdString();
      shown.push_back(widget);
    }
    for (std::size_t a = 0; a < shown.size(); ++a)
      for (std::size_t b = a + 1; b < shown.size(); ++b)
        EXPECT_FALSE(shown[a]->geometry().intersects(shown[b]->geometry()))
            << where << ": " << shown[a]->objectName().toStdString() << " and "
            << shown[b]->objectName().toStdString();
  }
}

TEST_F(ConfigFormTest, PortListLayouts) {
  NotFirstRun();
  const LayoutCase cases[] = {
      {3, false, 1},
      {6, false, 1},
      {12, false, 2},  // two columns beyond 8
      {17, true, 1},   // the combo box instead
  };
  for (const LayoutCase& c : cases) {
    ports_.SetNames(Ports(c.ports));
    TConfigFRM& dialog = Create();
    EXPECT_EQ(dialog.PortRDGRP->Items().size(), c.ports) << c.ports;
    EXPECT_EQ(dialog.PortRDGRP->isHidden(), c.combo) << c.ports;
    EXPECT_EQ(dialog.TooManyComPortsCBX->isHidden(), !c.combo) << c.ports;
    EXPECT_EQ(dialog.SerialPortLBL->isHidden(), !c.combo) << c.ports;
    EXPECT_EQ(dialog.PortRDGRP->Columns(), c.columns) << c.ports;
    dialog.show();
    ExpectNothingClippedOrOverlapping(dialog, std::to_string(c.ports) + " ports");
    const QRect type = dialog.DefaultEditorTypeRDGRP->geometry();
    const QRect port =
        c.combo ? dialog.TooManyComPortsCBX->geometry() : dialog.PortRDGRP->geometry();
    EXPECT_LT(type.right(), port.left()) << c.ports;  // side by side
    if (c.combo) {
      EXPECT_LT(dialog.SerialPortLBL->geometry().bottom(), port.top());  // the label above
      EXPECT_EQ(dialog.TooManyComPortsCBX->count(), 17);
      RunModal(dialog, [](TConfigFRM& d) {
        EXPECT_EQ(d.TooManyComPortsCBX->currentIndex(), 1);  // the stored COM2
        d.reject();
      });
    }
  }
}

TEST(PortGroupLayout, IdeGroupStaysWithinThePage) {
  EXPECT_EQ(PortListShapeFor(0), (PortListShape{1, false}));
  EXPECT_EQ(PortListShapeFor(8), (PortListShape{1, false}));
  EXPECT_EQ(PortListShapeFor(9), (PortListShape{2, false}));
  EXPECT_EQ(PortListShapeFor(16), (PortListShape{2, false}));
  EXPECT_EQ(PortListShapeFor(17), (PortListShape{1, true}));
}

// Every page at the default font and at twice its size: laid out, nothing clipped or on top of
// another. With QV_SCREENSHOTS naming a folder, each page is saved there as a picture to look at.
TEST_F(ConfigFormTest, PagesFitAtTheDefaultFontAndTwiceItsSize) {
  NotFirstRun();
  ports_.SetNames(Ports(12));
  const QFont original = QApplication::font();
  for (int scale : {1, 2}) {
    QFont font = original;
    font.setPointSizeF(original.pointSizeF() * scale);
    QApplication::setFont(font);
    TConfigFRM& dialog = Create();
    dialog.show();
    dialog.UseTarnCB->setChecked(scale == 1);  // both states of the assembler page
    dialog.ColorCodeCB->setChecked(true);
    for (int page = 0; page < dialog.ItemLSTBX->count(); ++page) {
      dialog.ItemLSTBX->setCurrentRow(page);
      QApplication::processEvents();
      const std::string where = "page " + std::to_string(page) + " x" + std::to_string(scale);
      ExpectNothingClippedOrOverlapping(dialog, where);
      if (const char* folder = std::getenv("QV_SCREENSHOTS")) {
        const QString file = QString("%1/config_page%2_x%3.png").arg(folder).arg(page).arg(scale);
        EXPECT_TRUE(dialog.grab().save(file)) << file.toStdString();
      }
    }
    dialog_.reset();
  }
  QApplication::setFont(original);
}

TEST_F(ConfigFormTest, ComboChoiceBecomesThePort) {
  NotFirstRun();
  ports_.SetNames(Ports(18));
  TConfigFRM& dialog = Create();
  RunModal(dialog, [](TConfigFRM& d) {
    d.TooManyComPortsCBX->setCurrentIndex(16);
    emit d.TooManyComPortsCBX->activated(16);
    d.OkBTN->click();
  });
  EXPECT_EQ(String("Configuration\\ComPort"), "COM17");
}

// Fault mended: the current port is matched by its whole name.
TEST_F(ConfigFormTest, CurrentPortIsMatchedByItsWholeName) {
  NotFirstRun("COM12");
  ports_.SetNames({"COM1", "COM2"});
  TConfigFRM& dialog = Create();
  RunModal(dialog, [](TConfigFRM& d) {
    EXPECT_EQ(d.PortRDGRP->ItemIndex(), -1);
    d.OkBTN->click();
  });
  EXPECT_EQ(String("Configuration\\ComPort"), "COM12");
  EXPECT_EQ(link_.GetComPortName(), "COM12");

  ports_.SetNames({"COM2", "COM12"});
  dialog_.reset();
  TConfigFRM& again = Create();
  RunModal(again, [](TConfigFRM& d) {
    EXPECT_EQ(d.PortRDGRP->ItemIndex(), 1);
    d.reject();
  });
}

TEST_F(ConfigFormTest, SizeLabelsFollowTheirUpDowns) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  dialog.FontsizeUpDown->setValue(12);
  EXPECT_EQ(dialog.FontsizeLBL->text(), "Font size: 12");
  EXPECT_EQ(dialog.SamplePNL->font().pointSize(), 12);
  dialog.TabsizeUpDown->setValue(4);
  EXPECT_EQ(dialog.TabsizeLBL->text(), "Tab size: 4");
  EXPECT_EQ(LabelWithValue("Font size: 8", 10), "Font size: 10");
  EXPECT_EQ(LabelWithValue("Size", 3), "Size 3");
}

TEST_F(ConfigFormTest, ColourPanelsOpenOnlyWhileColoredCommentsIsChecked) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  int opened = 0;
  dialog.SetColourChooser([&](Colour initial, std::array<std::string, kCustomColorCount>& custom) {
    ++opened;
    EXPECT_EQ(initial, clBlue);
    custom[0] = "ColorA=123456";
    return std::optional<Colour>(0x00FF00);
  });
  dialog.ColorCodeCB->setChecked(true);
  dialog.ColorCommentsCB->setChecked(false);
  EXPECT_TRUE(dialog.CommentColorPNL->isHidden());
  Click(dialog.CodeColorPNL);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(dialog.CodeColorPNL->GetColour(), clBlue);

  dialog.ColorCommentsCB->setChecked(true);
  Click(dialog.CodeColorPNL);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(dialog.CodeColorPNL->GetColour(), 0x00FF00);
  EXPECT_EQ(dialog.ReadControls().CustomColors[0], "ColorA=123456");
}

TEST_F(ConfigFormTest, ColourDialogOpensThroughTheModalSeamWithTheCustomColours) {
  NotFirstRun();
  ASSERT_TRUE(registry_.WriteRegString("Configuration\\CustomColors\\ColorB", "ColorB=FF0000"));
  gui::RecordingModalDialogs& dialogs = recorded_dialogs_;
  dialogs_ = &dialogs;
  TConfigFRM& dialog = Create();
  dialog.ColorCodeCB->setChecked(true);
  QColor custom_b;
  dialogs.Answer(QDialog::Accepted, [&](QDialog& d) {
    custom_b = QColorDialog::customColor(1);
    auto& colours = static_cast<QColorDialog&>(d);
    EXPECT_EQ(colours.currentColor(), QColor(0, 0, 255));  // the panel's blue
    QColorDialog::setCustomColor(2, QColor(0x12, 0x34, 0x56));
    colours.setCurrentColor(QColor(0, 0x80, 0));
    colours.accept();
  });
  Click(dialog.CodeColorPNL);
  ASSERT_EQ(dialogs.Dialogs().size(), 1u);
  EXPECT_EQ(dialogs.Dialogs()[0].name, config_frm::SyntaxColorDLG);
  EXPECT_EQ(custom_b, QColor(0, 0, 0xFF));  // stored BGR: blue
  EXPECT_EQ(dialog.CodeColorPNL->GetColour(), 0x008000);
  EXPECT_EQ(dialog.ReadControls().CustomColors[2], "ColorC=563412");
  dialogs.Answer(QDialog::Rejected);
  Click(dialog.CommentColorPNL);
  EXPECT_EQ(dialog.CommentColorPNL->GetColour(), clGreen);
}

TEST_F(ConfigFormTest, EveryControlAndColourIsReachedFromTheKeyboard) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  std::vector<Colour> opened;
  dialog.SetColourChooser([&](Colour initial, std::array<std::string, kCustomColorCount>&) {
    opened.push_back(initial);
    return std::optional<Colour>();
  });
  ASSERT_TRUE(testing_gui::InFront(dialog));
  dialog.ColorCodeCB->setChecked(true);
  dialog.DefaultEditorTypeRDGRP->SetItemIndex(1);
  dialog.PortRDGRP->SetItemIndex(2);
  struct Row {
    int page;
    QStringList walk;  // from the list of pages
  };
  const Row rows[] = {
      {0,
       {config_frm::CreateBackupCB, config_frm::UseTemplatesCB, config_frm::RestoreWorkspaceCB,
        "QV/B", "COM3", config_frm::OkBTN, config_frm::CancelBTN, config_frm::ItemLSTBX}},
      {1,
       {config_frm::UseNewEditorCB, config_frm::FontsizeUpDown, config_frm::TabsizeUpDown,
        config_frm::ColorCodeCB, config_frm::CodeColorPNL, config_frm::CodeBoldCB,
        config_frm::ColorCommentsCB, config_frm::CommentColorPNL, config_frm::ErrorBgColorPNL,
        config_frm::WarnLoadingKnownTopFileCB, config_frm::WarnUsingTopFileCB,
        config_frm::JumpToErrorCB, config_frm::SmoothScrollCB, config_frm::OkBTN}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.page);
    dialog.ItemLSTBX->setCurrentRow(r.page);
    dialog.ItemLSTBX->setFocus();
    EXPECT_EQ(testing_gui::TabWalk(static_cast<int>(r.walk.size())), r.walk);
  }
  // Space or Enter on a swatch opens its colour; the yellow one is named by its label.
  for (ColourPanel* panel : {dialog.CodeColorPNL, dialog.CommentColorPNL, dialog.ErrorBgColorPNL}) {
    panel->setFocus();
    QTest::keyClick(panel, Qt::Key_Space);
  }
  QTest::keyClick(dialog.ErrorBgColorPNL, Qt::Key_Return);
  EXPECT_EQ(opened, (std::vector<Colour>{clBlue, clGreen, clYellow, clYellow}));
  EXPECT_TRUE(dialog.isVisible());  // Enter on a swatch is no OK
  const auto* label = dialog.findChild<QLabel*>(config_frm::ErrorBgColorLBL);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->buddy(), dialog.ErrorBgColorPNL);
  EXPECT_EQ(label->text(), "Error Line &Background");
}

TEST_F(ConfigFormTest, UseTarnAndUseNewEditorShapeTheirGroups) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  const std::vector<QCheckBox*> tarn_options = {
      dialog.TarnOutputFilesCB, dialog.LocalLabelStartColCB, dialog.StricterAssemblyParsingCB};
  for (QCheckBox* box : tarn_options) EXPECT_FALSE(box->isHidden());  // to the last option
  EXPECT_TRUE(dialog.AssemblerInfoLBL->isHidden());
  EXPECT_TRUE(dialog.IrcRDGRP->isHidden());
  dialog.UseTarnCB->setChecked(false);
  for (QCheckBox* box : tarn_options) EXPECT_TRUE(box->isHidden());  // the UseTarnCB line
  EXPECT_FALSE(dialog.UseTarnCB->isHidden());
  EXPECT_FALSE(dialog.AssemblerInfoLBL->isHidden());
  EXPECT_FALSE(dialog.IrcRDGRP->isHidden());

  EXPECT_FALSE(dialog.EditorOptionsPNL->isHidden());
  dialog.UseNewEditorCB->setChecked(false);
  EXPECT_TRUE(dialog.EditorOptionsPNL->isHidden());
  EXPECT_FALSE(dialog.UseNewEditorCB->isHidden());
}

// Every change of what is shown: the dialog as tall as it first was once the change is undone.
TEST_F(ConfigFormTest, TheDialogShrinksBackWhenHiddenOptionsReturn) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  dialog.show();
  dialog.ItemLSTBX->setCurrentRow(2);
  QApplication::processEvents();
  const int designed = dialog.height();
  struct Toggle {
    const char* what;
    QCheckBox* box;
  };
  for (const Toggle& t :
       {Toggle{"Use TARN", dialog.UseTarnCB}, Toggle{"Use new editor", dialog.UseNewEditorCB}}) {
    t.box->setChecked(false);
    QApplication::processEvents();
    t.box->setChecked(true);
    QApplication::processEvents();
    EXPECT_EQ(dialog.height(), designed) << t.what;
    EXPECT_EQ(dialog.height(), dialog.sizeHint().height()) << t.what;
  }
}

TEST_F(ConfigFormTest, SectionListShowsFourItemsAndSelectsPages) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  ASSERT_EQ(dialog.ItemLSTBX->count(), 4);
  EXPECT_EQ(dialog.ItemLSTBX->item(3)->text(), "QV/B Compiler");
  EXPECT_EQ(dialog.ItemsPGCTRL->currentIndex(), 0);
  dialog.ItemLSTBX->setCurrentRow(2);
  EXPECT_EQ(dialog.ItemsPGCTRL->currentIndex(), 2);
  EXPECT_TRUE(editor_.SaveBeforeBuild);
}

TEST_F(ConfigFormTest, TesterGroupPadsThePortList) {
  NotFirstRun();
  ports_.SetNames({"COM1"});
  TConfigFRM& dialog = Create();
  dialog.DebugComGuiTesterRDGRP->Buttons().button(2)->click();
  EXPECT_EQ(dialog.PortNames(), (std::vector<std::string>{"COM1", "COM110", "COM111", "COM112",
                                                          "COM113", "COM114", "COM115", "COM116"}));
  EXPECT_EQ(dialog.PortRDGRP->Columns(), 1);
  dialog.DebugComGuiTesterRDGRP->Buttons().button(4)->click();
  EXPECT_TRUE(dialog.PortRDGRP->isHidden());
  dialog.DebugComGuiTesterRDGRP->Buttons().button(0)->click();
  EXPECT_EQ(dialog.PortNames(), std::vector<std::string>{"COM1"});
}

TEST_F(ConfigFormTest, LanguageChangeKeepsPortsLanguagesAndTheSizeNumbers) {
  NotFirstRun();
  ports_.SetNames({"COM1", "COM5"});
  Localizer& texts = texts_;
  texts.InitLocalization("/opt/qv/");
  {
    TConfigFRM dialog(Services());
    dialog.FontsizeUpDown->setValue(12);
    dialog.PortRDGRP->SetItemIndex(1);
    dialog.ItemLSTBX->item(0)->setText("stale");
    texts.SelectLanguage(0);
    EXPECT_EQ(dialog.ItemLSTBX->count(), 4);
    EXPECT_EQ(dialog.ItemLSTBX->item(0)->text(), "IDE");
    EXPECT_EQ(dialog.FontsizeLBL->text(), "Font size: 12");
    EXPECT_EQ(dialog.TabsizeLBL->text(), "Tab size: 8");
    EXPECT_EQ(dialog.PortRDGRP->Items(), (QStringList{"COM1", "COM5"}));
    EXPECT_EQ(dialog.PortRDGRP->ItemIndex(), 1);
    EXPECT_EQ(dialog.LanguageRDGRP->Items(), QStringList{"English"});
    EXPECT_EQ(dialog.LanguageRDGRP->ItemIndex(), 0);
    EXPECT_TRUE(dialog.PortRDGRP->isEnabled());
    EXPECT_EQ(dialog.IrcRDGRP->Items(), (QStringList{"Slowest", "4 MHz", "Fastest"}));
  }
  texts.SelectLanguage(0);  // the dialog's callback went with it
}

// Fault mended: refilling the radio groups from the form's table used to drop their choices,
// so picking the language while the dialog was open stored editor type and calibration -1.
TEST_F(ConfigFormTest, PickingTheLanguageKeepsTheOtherChoices) {
  NotFirstRun();
  texts_.InitLocalization("/opt/qv/");
  TConfigFRM& dialog = Create();
  RunModal(dialog, [](TConfigFRM& d) {
    d.DefaultEditorTypeRDGRP->SetItemIndex(1);
    d.UseTarnCB->setChecked(false);
    d.IrcRDGRP->SetItemIndex(2);
    d.ItemLSTBX->setCurrentRow(3);
    d.LanguageRDGRP->Buttons().button(0)->click();
    EXPECT_EQ(d.DefaultEditorTypeRDGRP->ItemIndex(), 1);
    EXPECT_EQ(d.IrcRDGRP->ItemIndex(), 2);
    EXPECT_EQ(d.ItemLSTBX->currentRow(), 3);
    d.OkBTN->click();
  });
  EXPECT_EQ(Int("Configuration\\DefaultEditorType"), 1);
  EXPECT_EQ(Int("Configuration\\IRCcalibration"), 2);
  EXPECT_FALSE(ide_.DefaultIsAssembly);
  EXPECT_EQ(link_.GetIrcCalMode(), 2);
  dialog_.reset();
}

TEST_F(ConfigFormTest, FirstRunDialogOpensThroughTheModalSeam) {
  gui::RecordingModalDialogs& dialogs = recorded_dialogs_;
  dialogs_ = &dialogs;
  dialogs.Answer(QDialog::Accepted, [](QDialog& d) {
    d.show();  // the recorder runs no loop of its own
    static_cast<TConfigFRM&>(d).OkBTN->click();
  });
  Create();
  ASSERT_EQ(dialogs.Dialogs().size(), 1u);
  EXPECT_EQ(dialogs.Dialogs()[0].name, config_frm::ConfigFRM);
  EXPECT_EQ(dialogs.Dialogs()[0].title, "Configuration");
  EXPECT_EQ(String("Configuration\\ComPort"), "COM1");
}

TEST_F(ConfigFormTest, DebugModeReportsTheStartUpSteps) {
  NotFirstRun();
  debug_ = true;
  Create();
  std::vector<std::string> texts;
  for (const platform::BoxRequest& box : boxes_.Boxes()) {
    EXPECT_EQ(box.caption, "DEBUG - Config.FormCreate");
    texts.push_back(box.text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "About to create configuration dialog", "About set COM ports for display",
                       "About to update controls", "About to set configuration window position"}));
}

TEST_F(ConfigFormTest, WithoutAStoredPlacementTheDialogOpensCentredOnTheScreen) {
  NotFirstRun();
  TConfigFRM& dialog = Create();
  dialog.show();
  const QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  const QPoint centre = screen->availableGeometry().center();
  EXPECT_LE(std::abs(dialog.frameGeometry().center().x() - centre.x()), 3);
  EXPECT_LE(std::abs(dialog.frameGeometry().center().y() - centre.y()), 3);
  EXPECT_TRUE(screen->availableGeometry().contains(dialog.frameGeometry()));
  dialog.hide();
}

TEST_F(ConfigFormTest, PlacementIsKeptAcrossRuns) {
  NotFirstRun();
  Create().move(40, 50);
  dialog_.reset();
  EXPECT_TRUE(registry_.RegKeyExists("ConfigureWindowVer3"));
  EXPECT_EQ(Int("ConfigureWindowVer3\\Left"), 40);
  EXPECT_EQ(Int("ConfigureWindowVer3\\Top"), 50);
  TConfigFRM& again = Create();
  EXPECT_EQ(again.x(), 40);
  EXPECT_EQ(again.y(), 50);
}

}  // namespace
}  // namespace workbench
