// The small dialogs as windows: each is answered through the modal seam as a user would answer
// it, and what the caller gets back is checked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QWindow>
#include <QtTest/QTest>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/code_widget_names.h"
#include "services/gui/modal_dialogs.h"
#include "services/gui/radio_group.h"
#include "services/localize.h"
#include "services/registry_settings.h"
#include "tests/services/temp_folder.h"
#include "workbench/gui/about_form.h"
#include "workbench/gui/find_dialogs.h"
#include "workbench/gui/find_replace_form.h"
#include "workbench/gui/goto_line_form.h"
#include "workbench/gui/grid_debug_form.h"
#include "workbench/gui/hint_form.h"
#include "workbench/gui/notice_forms.h"
#include "workbench/gui/print_forms.h"

namespace find_replace_form = widget_names::FindReplaceForm;
namespace goto_line_dlg = widget_names::GotoLineNumDLG;
namespace print_form = widget_names::PrintForm;
namespace notice_form = widget_names::NoticeForm;
namespace about_frm = widget_names::AboutFRM;

namespace {

using gui::RecordingModalDialogs;

template <typename Widget>
Widget& Child(QDialog& dialog, const char* name) {
  Widget* widget = dialog.findChild<Widget*>(name);
  if (!widget) throw std::runtime_error(std::string("no child ") + name);
  return *widget;
}

class Texts {
 protected:
  Texts() { texts_.InitLocalization("x"); }
  workbench::Localizer texts_;
};

// --- Go to line -----------------------------------------------------------------------------

class GotoLineTest : public ::testing::Test, protected Texts {
 protected:
  RecordingModalDialogs dialogs_;
  QWidget owner_;
};

TEST_F(GotoLineTest, TheTypedTextGivesTheLineOrNoJump) {
  struct Case {
    const char* typed;
    int result;
    bool jumps;
    int line;
  };
  const Case cases[] = {
      {"abc", QDialog::Accepted, false, -1}, {"0", QDialog::Accepted, false, -1},
      {"-3", QDialog::Accepted, false, -1},  {"12", QDialog::Accepted, true, 12},
      {"12", QDialog::Rejected, false, -1},
  };
  for (const Case& c : cases) {
    gui::TGotoLineNumDLG dialog(texts_, dialogs_, &owner_);
    dialogs_.Answer(c.result, [&](QDialog& d) {
      Child<QLineEdit>(d, goto_line_dlg::LineNumEDT).setText(c.typed);
    });
    EXPECT_EQ(dialog.Execute(), c.jumps) << c.typed;
    EXPECT_EQ(dialog.LineNumber(), c.line) << c.typed;
  }
  ASSERT_EQ(dialogs_.Dialogs().size(), std::size(cases));
  EXPECT_EQ(dialogs_.Dialogs()[0].name, goto_line_dlg::GotoLineNumDLG);
}

TEST_F(GotoLineTest, ItsTextsComeFromItsTable) {
  gui::TGotoLineNumDLG dialog(texts_, dialogs_, &owner_);
  dialog.setWindowTitle("x");
  dialog.LineNumLBL->setText("x");
  texts_.ReapplyLanguage();
  EXPECT_EQ(dialog.windowTitle(), "Go to Line Number...");
  EXPECT_EQ(dialog.LineNumLBL->text(), "Enter line number to go to:");
  EXPECT_EQ(dialog.OkBTN->text(), "OK");
  EXPECT_EQ(dialog.CancelBTN->text(), "Cancel");
}

// --- Find/Replace ---------------------------------------------------------------------------

TEST(FindReplaceForm, TheButtonsFollowTheFindText) {
  RecordingModalDialogs dialogs;
  gui::TFindReplaceForm form(dialogs);
  struct Case {
    const char* find;
    bool find_and_all;
    bool word_only;
  };
  const Case cases[] = {
      {"", false, false},
      {"ab_1", true, true},
      {"a b", true, false},
      {"x.y", true, false},
  };
  for (const Case& c : cases) {
    form.FindMemo->setPlainText(c.find);
    EXPECT_EQ(form.FindBTN->isEnabled(), c.find_and_all) << c.find;
    EXPECT_EQ(form.AllBTN->isEnabled(), c.find_and_all) << c.find;
    EXPECT_EQ(form.WordOnlyCB->isEnabled(), c.word_only) << c.find;
  }
  EXPECT_EQ(form.windowTitle(), "Find/Replace");
  EXPECT_EQ(form.FromStartCB->text(), "From &Start");
  EXPECT_EQ(form.WordOnlyCB->text(), "&Word Only");
  EXPECT_EQ(form.CancelBTN->text(), "&Cancel");
}

TEST(FindReplaceForm, EachButtonGivesItsResultWithTheTexts) {
  RecordingModalDialogs dialogs;
  gui::TFindReplaceForm form(dialogs);
  struct Case {
    const char* button;
    int result;
  };
  const Case cases[] = {{find_replace_form::FindBTN, gui::TFindReplaceForm::kFind},
                        {find_replace_form::ReplaceBTN, gui::TFindReplaceForm::kReplace},
                        {find_replace_form::AllBTN, gui::TFindReplaceForm::kReplaceAll},
                        {find_replace_form::CancelBTN, QDialog::Rejected}};
  for (const Case& c : cases) {
    // The recorder hands back the result the click left on the dialog.
    dialogs.Answer(c.result, [&](QDialog& d) {
      Child<QPlainTextEdit>(d, find_replace_form::FindMemo).setPlainText("count");
      Child<QPlainTextEdit>(d, find_replace_form::ReplaceMemo).setPlainText("a\nb");
      Child<QCheckBox>(d, find_replace_form::FromStartCB).setChecked(true);
      Child<QCheckBox>(d, find_replace_form::WordOnlyCB).setChecked(true);
      Child<QPushButton>(d, c.button).click();
      EXPECT_EQ(d.result(), c.result) << c.button;
    });
    const gui::TFindReplaceForm::Answer answer = form.Execute(true);
    EXPECT_EQ(answer.result, c.result) << c.button;
    EXPECT_EQ(answer.find_text, "count");
    EXPECT_EQ(answer.replace_text, "a\r\nb");
    EXPECT_TRUE(answer.from_start);
    EXPECT_TRUE(answer.word_only);
  }
}

TEST(FindReplaceForm, ReplaceNeedsASelectionAndWordOnlyAWord) {
  RecordingModalDialogs dialogs;
  gui::TFindReplaceForm form(dialogs);
  dialogs.Answer(gui::TFindReplaceForm::kFind, [](QDialog& d) {
    Child<QPlainTextEdit>(d, find_replace_form::FindMemo).setPlainText("a b");
    Child<QCheckBox>(d, find_replace_form::WordOnlyCB).setChecked(true);
    EXPECT_FALSE(Child<QPushButton>(d, find_replace_form::ReplaceBTN).isEnabled());
  });
  const gui::TFindReplaceForm::Answer answer = form.Execute(false);
  EXPECT_FALSE(answer.word_only);
  // The texts are kept for the next question, selected.
  dialogs.Answer(QDialog::Rejected, [](QDialog& d) {
    auto& memo = Child<QPlainTextEdit>(d, find_replace_form::FindMemo);
    EXPECT_EQ(memo.textCursor().selectedText(), "a b");
  });
  (void)form.Execute(true);
}

// --- Print ----------------------------------------------------------------------------------

// A printer whose page and "X" have fixed sizes; landscape swaps the page's sides.
class FakePrinter : public gui::PrintTarget {
 public:
  std::vector<std::string> PrinterNames() const override { return {"Laser", "Ink"}; }
  int CurrentPrinter() const override { return printer; }
  bool Landscape() const override { return landscape; }
  void Apply(int p, bool l) override {
    printer = p;
    landscape = l;
  }
  Metrics Measure(const std::string& font, int size) const override {
    measured_font = font;
    // From 60 points on, one "X" is taller than the page.
    const int w = size, h = size >= 60 ? 1200 : 2 * size;
    return landscape ? Metrics{1000, 800, w, h} : Metrics{800, 1000, w, h};
  }
  int printer = 1;
  bool landscape = false;
  mutable std::string measured_font;
};

TEST(PrintForm, TheLabelsShowTheLayoutOfTheChosenRange) {
  FakePrinter printer;
  RecordingModalDialogs dialogs;
  const std::string font = "Courier New";
  gui::TPrintForm form(printer, font, dialogs);
  struct Case {
    gui::TPrintForm::Job job;
    std::function<void(QDialog&)> change;
    int result;
    bool chosen;
    bool selection;
    const char* size;
    const char* characters;
    const char* pages;
  };
  const auto pick = [](const char* group, int index) {
    return [group, index](QDialog& d) { Child<gui::RadioGroup>(d, group).SetItemIndex(index); };
  };
  // 800 x 1000 at "X" 10 x 20: 80 columns, 50 lines.
  const Case cases[] = {
      {{false, 10, 1, 50, 0},
       {},
       QDialog::Accepted,
       true,
       false,
       "80 Column x 50 Line Page",
       "10 x 20 Pixel Characters",
       "50 Lines = 1 Page"},
      {{false, 10, 1, 51, 0},
       {},
       QDialog::Accepted,
       true,
       false,
       "80 Column x 50 Line Page",
       "10 x 20 Pixel Characters",
       "51 Lines = 2 Pages"},
      // Two sections: (80 - 2 - 1) div 2 columns, 2 x 50 lines a page.
      {{false, 10, 2, 150, 0},
       {},
       QDialog::Accepted,
       true,
       false,
       "38 Column x 100 Line Page",
       "10 x 20 Pixel Characters",
       "150 Lines = 2 Pages"},
      {{true, 10, 1, 500, 7},
       {},
       QDialog::Accepted,
       true,
       true,
       "80 Column x 50 Line Page",
       "10 x 20 Pixel Characters",
       "7 Lines = 1 Page"},
      {{true, 10, 1, 500, 7},
       pick(print_form::RangeGroup, 0),
       QDialog::Accepted,
       true,
       false,
       "80 Column x 50 Line Page",
       "10 x 20 Pixel Characters",
       "500 Lines = 10 Pages"},
      // Landscape: 1000 x 800 gives 100 columns and 40 lines.
      {{false, 10, 1, 80, 0},
       pick(print_form::OrientationGroup, 1),
       QDialog::Accepted,
       true,
       false,
       "100 Column x 40 Line Page",
       "10 x 20 Pixel Characters",
       "80 Lines = 2 Pages"},
      // A font too big for one line: no pages and nothing to print.
      {{false, 10, 1, 80, 0},
       [](QDialog& d) { Child<QSpinBox>(d, print_form::FontSizeSpinEdit).setValue(60); },
       QDialog::Accepted,
       false,
       false,
       "13 Column x 0 Line Page",
       "60 x 1200 Pixel Characters",
       "80 Lines = 0 Pages"},
      {{false, 10, 1, 0, 0},
       {},
       QDialog::Accepted,
       false,
       false,
       "80 Column x 50 Line Page",
       "10 x 20 Pixel Characters",
       "0 Lines = 0 Pages"},
      {{false, 10, 1, 50, 0},
       {},
       QDialog::Rejected,
       false,
       false,
       "80 Column x 50 Line Page",
       "10 x 20 Pixel Characters",
       "50 Lines = 1 Page"},
  };
  for (const Case& c : cases) {
    printer.landscape = false;
    dialogs.Answer(c.result, c.change);
    const auto choice = form.Execute(c.job);
    const std::string label = form.PagesLabel->text().toStdString();
    EXPECT_EQ(choice.has_value(), c.chosen) << label;
    EXPECT_EQ(form.SizeLabel->text().toStdString(), c.size) << label;
    EXPECT_EQ(form.CharacterLabel->text().toStdString(), c.characters) << label;
    EXPECT_EQ(label, c.pages);
    // "Okay" is offered exactly when there is something to print.
    EXPECT_EQ(form.OkayButton->isEnabled(), c.chosen || c.result == QDialog::Rejected) << label;
    if (choice) {
      EXPECT_EQ(choice->selection, c.selection) << label;
    }
  }
  EXPECT_EQ(printer.measured_font, "Courier New");
}

TEST(PrintForm, ItStartsFromTheCallersValuesAndThePrinterInUse) {
  FakePrinter printer;
  printer.landscape = true;
  RecordingModalDialogs dialogs;
  const std::string font = "Courier New";
  gui::TPrintForm form(printer, font, dialogs);
  dialogs.Answer(QDialog::Accepted, [](QDialog& d) {
    EXPECT_EQ(Child<QComboBox>(d, print_form::PrinterComboBox).count(), 2);
    EXPECT_EQ(Child<QComboBox>(d, print_form::PrinterComboBox).currentText(), "Ink");
    EXPECT_EQ(Child<gui::RadioGroup>(d, print_form::OrientationGroup).ItemIndex(), 1);
    EXPECT_EQ(Child<QSpinBox>(d, print_form::FontSizeSpinEdit).value(), 12);
    EXPECT_EQ(Child<QSpinBox>(d, print_form::SectionsSpinEdit).value(), 3);
    Child<QComboBox>(d, print_form::PrinterComboBox).setCurrentIndex(0);
  });
  const auto choice = form.Execute({false, 12, 3, 10, 0});
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->font_size, 12);
  EXPECT_EQ(choice->sections, 3);
  EXPECT_EQ(printer.printer, 0);
  EXPECT_TRUE(printer.landscape);
}

TEST(PrintStatusForm, CountsThePagesAndTakesACancel) {
  gui::TPrintStatusForm form;
  form.Start(3);
  EXPECT_EQ(form.PagesLabel->text(), "0 of 3");
  form.NextPage();
  EXPECT_EQ(form.PagesLabel->text(), "1 of 3");
  form.NextPage();
  EXPECT_EQ(form.PagesLabel->text(), "2 of 3");
  EXPECT_FALSE(form.Cancelled());
  form.CancelButton->click();
  EXPECT_TRUE(form.Cancelled());
  form.Finish();
  EXPECT_FALSE(form.isVisible());
  form.Start(1);
  EXPECT_FALSE(form.Cancelled());
  EXPECT_EQ(form.PagesLabel->text(), "0 of 1");
}

// --- The notices ----------------------------------------------------------------------------

class NoticeTest : public ::testing::Test {
 protected:
  // A run: a store over the file, as a new start of the program reads it.
  struct Run {
    explicit Run(const std::string& file) : store(file), registry(store) {
      registry.SetRegistryRoot(workbench::kRegistryRoot);
    }
    platform::SettingsStore store;
    workbench::RegistrySettings registry;
  };
  // A notice made once for a run, as the program makes it, and asked as its callers ask it.
  struct Notice {
    const char* name;
    std::function<std::unique_ptr<gui::NoticeForm>(Run&, RecordingModalDialogs&,
                                                   platform::MessageBoxService&)>
        make;
    std::function<int(gui::NoticeForm&)> ask;
    const char* title;
    const char* check;
    const char* text;
    const char* setting;
  };
  static std::vector<Notice> Notices() {
    return {
        {"clock",
         [](Run& run, RecordingModalDialogs& dialogs, platform::MessageBoxService& boxes) {
           return std::make_unique<gui::TClockGenInfoFRM>(run.registry, dialogs, boxes);
         },
         [](gui::NoticeForm& form) {
           return static_cast<gui::TClockGenInfoFRM&>(form).ShowClockInfo(4000000);
         },
         "Clock Generation Info", "Don't Show This Dialog Again",
         "Download Successful.\nQV-Key is generating a clock signal of 4,000,000 Hz.",
         "Configuration\\HideClockGenInfoDialog"},
        {"save",
         [](Run& run, RecordingModalDialogs& dialogs, platform::MessageBoxService& boxes) {
           return std::make_unique<gui::TFileSaveNotificationDLG>(run.registry, dialogs, boxes);
         },
         [](gui::NoticeForm& form) {
           return static_cast<gui::TFileSaveNotificationDLG&>(form).AskSaveBeforeAssembly(
               "/work/src/blink.asm");
         },
         "File Save Notification", "Don't show this dialog again",
         "\"blink.asm\"\nneeds to be saved prior to assembling.\n\nOK to save file, Cancel to "
         "continue editing",
         "Configuration\\HideAssemblyFileSaveDialog"},
    };
  }
  static std::function<void(QDialog&)> Tick(bool checked, std::string* text = nullptr) {
    return [checked, text](QDialog& d) {
      if (text) *text = Child<QLabel>(d, notice_form::MessageLBL).text().toStdString();
      Child<QCheckBox>(d, notice_form::DontShowCB).setChecked(checked);
    };
  }

  workbench::TempFolder folder_;
  platform::RecordingMessageBoxes boxes_;
};

TEST_F(NoticeTest, ANoticeTickedAndConfirmedIsNotShownAgainAlsoAfterARestart) {
  for (const Notice& notice : Notices()) {
    const std::string file = folder_.Path() + notice.name + ".txt";
    RecordingModalDialogs dialogs;
    std::string shown;
    {
      Run run(file);
      const auto form = notice.make(run, dialogs, boxes_);
      EXPECT_EQ(form->windowTitle(), notice.title);
      EXPECT_EQ(form->DontShowCB->text(), notice.check);
      // Unticked, or ticked and cancelled: asked again next time.
      dialogs.Answer(QDialog::Accepted, Tick(false, &shown));
      EXPECT_EQ(notice.ask(*form), QDialog::Accepted) << notice.name;
      EXPECT_EQ(shown, notice.text);
      dialogs.Answer(QDialog::Rejected, Tick(true));
      EXPECT_EQ(notice.ask(*form), QDialog::Rejected) << notice.name;
      dialogs.Answer(QDialog::Accepted, Tick(true));
      EXPECT_EQ(notice.ask(*form), QDialog::Accepted) << notice.name;
      EXPECT_EQ(notice.ask(*form), 1) << notice.name;
      EXPECT_EQ(dialogs.Dialogs().size(), 3u) << notice.name;
      std::int32_t stored = 0;
      EXPECT_TRUE(run.registry.ReadRegInt(notice.setting, stored));
      EXPECT_EQ(stored, 1);
    }
    Run restarted(file);
    const auto form = notice.make(restarted, dialogs, boxes_);
    EXPECT_TRUE(form->DontShowCB->isChecked());
    EXPECT_EQ(notice.ask(*form), 1) << notice.name;
    EXPECT_EQ(dialogs.Dialogs().size(), 3u) << notice.name;
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(NoticeTest, AChoiceThatCannotBeSavedIsToldAndHoldsForTheRun) {
  for (const Notice& notice : Notices()) {
    // A settings file the store will not write over.
    const std::string file = folder_.Path() + notice.name + ".bin";
    std::ofstream(file, std::ios::binary) << std::string("\x00\x01\x02\xff", 4);
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    Run run(file);
    RecordingModalDialogs dialogs;
    const auto form = notice.make(run, dialogs, boxes_);
    dialogs.Answer(QDialog::Accepted, Tick(true));
    EXPECT_EQ(notice.ask(*form), QDialog::Accepted);
    ASSERT_EQ(boxes_.Boxes().size(), 1u) << notice.name;
    EXPECT_NE(boxes_.Boxes()[0].text.find("could not be saved"), std::string::npos);
    EXPECT_EQ(notice.ask(*form), 1);
    EXPECT_EQ(dialogs.Dialogs().size(), 1u) << notice.name;
  }
}

// --- About, hint, grid ----------------------------------------------------------------------

TEST(AboutForm, TheVersionLineCyclesThroughItsFourTextsAndTheAddressOpens) {
  workbench::Localizer texts;
  texts.InitLocalization("x");
  RecordingModalDialogs dialogs;
  std::vector<std::string> opened;
  gui::TAboutFRM about(texts, dialogs,
                       {[] { return std::string("1.51.07"); },
                        [] { return std::string("1.51.03"); },
                        [] { return std::string("2.08.05"); }},
                       [&](const std::string& url) { opened.push_back(url); });
  const char* lines[] = {"IDE Ver: 3.2.3", "TARN DLL Ver: 1.51.07", "QVB Ver: 1.51.03",
                         "QVSim Ver: 2.08.05", "IDE Ver: 3.2.3"};
  for (const char* line : lines) {
    EXPECT_EQ(about.VersionLBL->text().toStdString(), line);
    about.VersionLBLClick();
  }
  about.WebLBLClick();
  EXPECT_EQ(opened, std::vector<std::string>{gui::kMakerWebAddress});
  texts.ReapplyLanguage();
  EXPECT_EQ(about.windowTitle(), "About");
  EXPECT_EQ(about.Execute(), QDialog::Rejected);
  EXPECT_EQ(dialogs.Dialogs().at(0).name, about_frm::AboutFRM);
}

TEST(HelpForm, OpensOverItsOwnerWholeOnTheScreen) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* name;
    QRect owner;
  };
  QRect centred(0, 0, 700, 550);
  centred.moveCenter(area.center());
  // An owner in the middle, and one whose lower right part is beyond the screen.
  const Case cases[] = {
      {"centred", centred},
      {"at the corner", {area.right() - 300, area.bottom() - 200, 700, 550}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget owner;
    owner.setGeometry(c.owner);
    gui::THelpForm help(owner);
    help.show();
    // Wide enough for the help's lines, and small enough for a 1024x768 screen.
    EXPECT_EQ(help.size(), QSize(460, 360));
    EXPECT_TRUE(area.contains(help.frameGeometry())) << help.x() << "," << help.y();
    if (c.owner == centred) {
      EXPECT_LE((help.geometry().center() - c.owner.center()).manhattanLength(), 2);
    }
  }
}

TEST(HintForm, HugsItsTextAndHides) {
  QWidget owner;
  gui::THintForm hint(owner);
  hint.ShowHintAt(QPoint(40, 50), 2, "W = 0x12\nRTCC = 0x00", 1500, &owner);
  const QFontMetrics metrics(hint.font());
  EXPECT_TRUE(hint.isVisible());
  EXPECT_EQ(hint.geometry(),
            QRect(40, 50, metrics.horizontalAdvance("RTCC = 0x00") + 6, metrics.height() * 2 + 5));
  EXPECT_TRUE(hint.HintTimer().isActive());
  EXPECT_EQ(hint.HintTimer().interval(), 1500);
  hint.HideHint();
  EXPECT_FALSE(hint.isVisible());
  EXPECT_FALSE(hint.HintTimer().isActive());
}

TEST(GridDebugForm, ClearLeavesOneBlankRowToWriteInto) {
  QWidget owner;
  gui::TGridDebugFRM grid(owner);
  grid.DebugGRD->setRowCount(6);
  grid.DebugGRD->setItem(1, 0, new QTableWidgetItem("x"));
  grid.ClearBTN->click();
  EXPECT_EQ(grid.DebugGRD->rowCount(), 2);
  EXPECT_EQ(grid.WriteRow(), 1);
  EXPECT_EQ(grid.WriteColumn(), 1);
  for (int column = 0; column < grid.DebugGRD->columnCount(); ++column)
    EXPECT_EQ(grid.DebugGRD->item(1, column)->text(), "    ");
}

// --- Captions -------------------------------------------------------------------------------

// The frame shows a small dialog's whole caption beside its buttons, also after the caption
// changed (a language change retitles a dialog).
TEST(SmallDialogs, AreAsWideAsTheirCaptions) {
  RecordingModalDialogs dialogs;
  workbench::Localizer texts;
  texts.InitLocalization("x");
  QFont bold = QApplication::font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const auto needed = [&](const QString& caption) {
    return metrics.horizontalAdvance(caption) + 3 * metrics.height();
  };
  struct Row {
    const char* what;
    std::function<std::unique_ptr<QDialog>()> make;
  };
  const Row rows[] = {
      {"go to line",
       [&] { return std::make_unique<gui::TGotoLineNumDLG>(texts, dialogs, nullptr); }},
      {"find/replace", [&] { return std::make_unique<gui::TFindReplaceForm>(dialogs); }},
      {"find", [] { return std::make_unique<gui::TEditFindDialog>(nullptr); }},
      {"replace", [] { return std::make_unique<gui::TEditReplaceDialog>(nullptr); }},
  };
  for (const Row& r : rows) {
    std::unique_ptr<QDialog> dialog = r.make();
    dialog->show();
    QApplication::processEvents();
    EXPECT_GE(dialog->width(), needed(dialog->windowTitle())) << r.what;
    const QString longer = "Gehe zu Zeilennummer in der aktuellen Quelldatei...";
    dialog->setWindowTitle(longer);
    QApplication::processEvents();
    EXPECT_GE(dialog->width(), needed(longer)) << r.what;
  }
}

TEST(FindDialogs, ComeBackExactlyWhereTheyWereClosed) {
  QMainWindow owner;
  owner.setGeometry(50, 50, 600, 500);
  owner.show();
  const std::function<std::unique_ptr<QDialog>()> makers[] = {
      [&] { return std::make_unique<gui::TEditFindDialog>(&owner); },
      [&] { return std::make_unique<gui::TEditReplaceDialog>(&owner); }};
  for (const auto& make : makers) {
    std::unique_ptr<QDialog> dialog = make();
    SCOPED_TRACE(dialog->windowTitle().toStdString());
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    // Where the user drags it by its title bar.
    dialog->windowHandle()->setFramePosition(QPoint(20, 30));
    QApplication::processEvents();
    const QRect closed = dialog->geometry();
    for (int reopen = 1; reopen <= 2; ++reopen) {
      dialog->hide();
      dialog->show();
      EXPECT_EQ(dialog->geometry(), closed) << "reopen " << reopen;
    }
  }
}

}  // namespace
