#include "workbench/gui/editor_form.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <fstream>

#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "resources/code_widget_names.h"
#include "resources/widget_names.h"
#include "services/silent_abort.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/ide_forms.h"

namespace main_menu = widget_names::MainMenu;
namespace config_frm = widget_names::ConfigFRM;
namespace editor_frm = widget_names::EditorFRM;

namespace {

class EditorFormTest : public testing_gui::GuiSessionTest {
 protected:
  EditorFormTest() { StartSession(); }

  std::string File(const std::string& name) {
    std::string path = folder_.Path() + name;
    std::ofstream(path) << "\tNOP\n";
    return path;
  }

  // The text of the editor in front, with its line breaks as it saves them.
  static std::string EditorText(const gui::TEditorFRM& form) {
    return form.CurrentScrivlet()->Memo().Text();
  }
  // Types into the editor in front as the user does.
  static void Type(const gui::TEditorFRM& form, const char* text) {
    for (const char* c = text; *c; ++c) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(*c)));
      QApplication::sendEvent(form.CurrentScrivlet(), &key);
    }
  }
};

TEST_F(EditorFormTest, TheFormsAreCreatedInTheirOrderAndOwnedByTheMainWindow) {
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  // A first run: the configuration dialog opens itself after its notice.
  boxes_.Answer(platform::kAnswerOk);
  gui::IdeForms forms(main_form, *session_);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "FIRST TIME RUNNING");
  ASSERT_EQ(dialogs_.Dialogs().size(), 1u);
  EXPECT_EQ(dialogs_.Dialogs()[0].name, config_frm::ConfigFRM);
  const std::vector<std::string> expected = {"TEditorFRM",
                                             "TFindReplaceForm",
                                             "TProgressFRM",
                                             "TAboutFRM",
                                             "TCodeForm",
                                             "TDebugFRM",
                                             "TPrintForm",
                                             "TPrintStatusForm",
                                             "TClockForm",
                                             "TConfigFRM",
                                             "THelpForm",
                                             "TIrcFRM",
                                             "TQVCForm",
                                             "THintForm",
                                             "TGotoLineNumDLG",
                                             "TZK_CodeFRM",
                                             "TFileSaveNotificationDLG",
                                             "TDeviceFRM",
                                             "TClockGenInfoFRM",
                                             "TQvCDebugFRM",
                                             "TRegisterForm",
                                             "TWatchForm",
                                             "TGridDebugFRM",
                                             "TMultiProgFRM"};
  EXPECT_EQ(forms.CreationOrder(), expected);
  for (const std::string& name : expected) {
    QWidget* form = forms.Form(name);
    ASSERT_NE(form, nullptr) << name;
    if (form != &main_form) {
      EXPECT_EQ(form->parent(), &main_form) << name;
    }
  }
  session_->Texts().ReapplyLanguage();
  EXPECT_EQ(forms.Form("TDeviceFRM")->windowTitle(), "Device");
}

TEST_F(EditorFormTest, MenusFileListStatusAndTheHiddenParts) {
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  session_->Texts().ReapplyLanguage();
  EXPECT_EQ(main_form.MenuItem(main_menu::FileOpenMENUITM)->text(), "&Open...");
  EXPECT_EQ(main_form.MenuItem(main_menu::RunDebugAgainMENUITM)->text(), "D&ebug (reenter)");
  EXPECT_FALSE(main_form.MenuItem(main_menu::QvFactoryTestMENUITM)->isVisible());
  EXPECT_FALSE(main_form.MenuItem(main_menu::EditReplaceMENUITM)->isVisible());
  EXPECT_TRUE(main_form.ErrorList().isHidden());
  EXPECT_FALSE(main_form.FileList().isHidden());
  EXPECT_EQ(main_form.FileListSplitter().handleWidth(), 3);

  const QList<QAction*> windows = main_form.MenuItem(main_menu::WindowsMENUITM)->menu()->actions();
  ASSERT_EQ(windows.size(), 1);
  EXPECT_EQ(windows[0]->text(), "&Editor Window");
  EXPECT_EQ(windows[0]->shortcut(), QKeySequence("Ctrl+E"));
  main_form.WindowsMenu().WindowsMenuAdd("a.src", workbench::kFileItem);
  EXPECT_EQ(main_form.MenuItem(main_menu::WindowsMENUITM)->menu()->actions().size(), 2);
}

TEST_F(EditorFormTest, TheBuildStatusHasAPanelOfItsOwnBesideTheHint) {
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  main_form.show();
  main_form.ShowHint("Open an existing file");
  main_form.StatusLine("blink.src : Assembly Successful");
  EXPECT_TRUE(main_form.StatusPanel0().isVisible());
  EXPECT_EQ(main_form.StatusPanel0().text(), "Open an existing file");
  const auto* build = main_form.findChild<QLabel*>(editor_frm::StatusPanel2);
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(build->text(), "blink.src : Assembly Successful");
  // In a narrow window the status gives way; it never runs under the caret's panel.
  main_form.resize(420, 300);
  QApplication::processEvents();
  const auto* caret = main_form.findChild<QLabel*>(editor_frm::StatusPanel1);
  ASSERT_NE(caret, nullptr);
  EXPECT_LE(build->geometry().right(), caret->geometry().left());
  main_form.StatusLine("");
  EXPECT_EQ(build->text(), "");
}

TEST_F(EditorFormTest, TheFirstWindowShowsItsToolBarWholeWhereTheScreenAllows) {
  struct Row {
    QSize screen;
    bool half;  // half the screen holds the tool bar
  };
  const Row rows[] = {{QSize(1024, 768), false}, {QSize(1920, 1200), true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.screen.width());
    ASSERT_TRUE(session_->Registry().RegDeleteKey("EditorWindow") ||
                !session_->Registry().RegKeyExists("EditorWindow"));
    gui::TEditorFRM main_form(*session_, {}, r.screen);
    main_form.show();
    QApplication::processEvents();
    const auto* tools = main_form.findChild<QToolBar*>(editor_frm::ToolBar);
    ASSERT_NE(tools, nullptr);
    EXPECT_GE(main_form.width(), tools->sizeHint().width());
    EXPECT_LE(main_form.x() + main_form.width(), r.screen.width());
    if (r.half) {
      // The first place is kept as half the screen; the test platform's own screen may be
      // smaller than the one asked for, and the window is then cut to it when shown.
      workbench::FormBounds kept;
      ASSERT_TRUE(session_->Registry().ReadFormBounds("EditorWindow", kept));
      EXPECT_EQ(kept.width, r.screen.width() / 2);
    }
    const auto* more = tools->findChild<QToolButton*>("qt_toolbar_ext_button");
    EXPECT_TRUE(more == nullptr || !more->isVisible());
  }
}

TEST_F(EditorFormTest, TheHintPanelGrowsOnlyPast290) {
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  main_form.ShowHint("Open an existing file");
  EXPECT_EQ(main_form.StatusPanel0().text(), "Open an existing file");
  EXPECT_EQ(main_form.StatusPanel0().width(), 300);
  const QString long_hint(200, QLatin1Char('W'));
  main_form.ShowHint(long_hint);
  EXPECT_EQ(main_form.StatusPanel0().width(),
            main_form.StatusPanel0().fontMetrics().horizontalAdvance(long_hint) + 20);
  main_form.ShowHint("");
  EXPECT_EQ(main_form.StatusPanel0().text(), "");
}

TEST_F(EditorFormTest, AnImageFileWaitsForTheDeviceWindowAndOpensNoEditor) {
  const std::string image = File("chip.QVH");
  gui::TEditorFRM main_form(*session_, {"/r", image}, QSize(800, 600));
  EXPECT_TRUE(main_form.PrepareRun());
  EXPECT_EQ(main_form.PendingImageFile(), image);
  ASSERT_EQ(main_form.FileList().count(), 1);
  EXPECT_EQ(main_form.FileList().item(0)->text(), "{Blank_1}");

  // At the first paint the device window takes it, read-only as "/r" asked; only once.
  std::vector<std::pair<std::string, bool>> loaded;
  main_form.SetImageFileLoader(
      [&loaded](const std::string& file, bool read_only) { loaded.emplace_back(file, read_only); });
  main_form.show();
  QApplication::processEvents();
  main_form.LoadPendingImageFile();
  EXPECT_EQ(loaded, (std::vector<std::pair<std::string, bool>>{{image, true}}));
  EXPECT_EQ(main_form.PendingImageFile(), "");
  // "/r" was the image's: a source opened now is writable.
  main_form.OpenSourceFile(File("a.SRC"));
  EXPECT_TRUE(main_form.Editors().GetWritable(main_form.CurrentEditorIndex()));
}

TEST_F(EditorFormTest, TheCommandLineFileOpensOnceThoughTheWindowShowsAgain) {
  const std::string source = File("a.SRC");
  gui::TEditorFRM main_form(*session_, {source}, QSize(800, 600));
  ASSERT_TRUE(main_form.PrepareRun());
  main_form.show();
  EXPECT_EQ(main_form.FileList().count(), 1);
  EXPECT_EQ(EditorText(main_form), "\tNOP\r\n");
}

// "/r" is for the file on the command line: it opens read-only, the files opened after it do
// not, and without a file (beside a switch that needs none) "/r" makes no later open read-only.
TEST_F(EditorFormTest, ReadOnlyFromTheCommandLineHoldsForTheCommandLineFileOnly) {
  const std::string source = File("a.SRC");
  const std::string other = File("b.SRC");
  {
    gui::TEditorFRM main_form(*session_, {"/r", source}, QSize(800, 600));
    ASSERT_TRUE(main_form.PrepareRun());
    main_form.show();
    EXPECT_FALSE(main_form.Editors().GetWritable(0));
    EXPECT_NE(main_form.windowTitle().toStdString().find(" : READ ONLY"), std::string::npos);
    main_form.OpenSourceFile(other);
    EXPECT_TRUE(main_form.Editors().GetWritable(1));
    EXPECT_EQ(main_form.windowTitle().toStdString().find(" : READ ONLY"), std::string::npos);
  }
  StartSession();
  gui::TEditorFRM main_form(*session_, {"/r", "/2"}, QSize(800, 600));
  EXPECT_TRUE(main_form.PrepareRun());
  main_form.show();
  main_form.OpenSourceFile(other);
  EXPECT_TRUE(main_form.Editors().GetWritable(0));
  EXPECT_EQ(main_form.windowTitle().toStdString().find(" : READ ONLY"), std::string::npos);
}

TEST_F(EditorFormTest, ASilentAbortOfACommandLineClickClosesTheWindow) {
  const std::string source = File("a.SRC");
  gui::TEditorFRM main_form(*session_, {"/d", source}, QSize(800, 600));
  std::vector<std::string> clicked;
  main_form.SetMenuHandler(main_menu::RunDebugMENUITM, [&] {
    clicked.push_back("debug");
    workbench::Abort();
  });
  bool closed = false;
  QObject::connect(&main_form, &gui::TEditorFRM::Closed, [&closed] { closed = true; });
  EXPECT_FALSE(main_form.PrepareRun());
  EXPECT_EQ(clicked, std::vector<std::string>{"debug"});
  EXPECT_TRUE(closed);
}

TEST_F(EditorFormTest, CancelInTheSaveQuestionKeepsTheWindow) {
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  main_form.show();
  Type(main_form, "changed");
  boxes_.Answer(platform::kAnswerCancel);
  EXPECT_FALSE(main_form.close());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Save changes to Untitled.SRC ?");
  EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::YesNoCancel);
  boxes_.Answer(platform::kAnswerNo);
  EXPECT_TRUE(main_form.close());
}

TEST_F(EditorFormTest, ADroppedFileOpensAfterTheSaveQuestion) {
  const std::string first = File("first.SRC");
  const std::string second = File("second.SRC");
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  main_form.show();  // the window takes drops from its first show on
  main_form.FormDropFiles({});
  EXPECT_EQ(main_form.FileList().count(), 1);
  EXPECT_TRUE(boxes_.Boxes().empty());

  // A drop as the window system delivers it: file URLs, the first one counts.
  const auto drop = [&main_form](const std::vector<std::string>& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& file : files)
      urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file)));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main_form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&main_form, &event);
  };
  // The enhanced editor keeps the changed blank editor and opens the file beside it.
  Type(main_form, "changed");
  drop({first, second});
  EXPECT_TRUE(boxes_.Boxes().empty());
  ASSERT_EQ(main_form.FileList().count(), 2);
  EXPECT_EQ(main_form.FileList().item(1)->text().toStdString(), first);
  EXPECT_EQ(main_form.CurrentEditorIndex(), 1);
  EXPECT_EQ(EditorText(main_form), "\tNOP\r\n");
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, first);
  EXPECT_EQ(main_form.Editors().GetEditor(0)->Memo().Text(), "changed");

  // Unchanged text asks nothing; a file gone from disk is told.
  boxes_.Clear();
  boxes_.Answer(platform::kAnswerOk);
  const std::string gone = folder_.Path() + "gone.SRC";
  drop({gone});
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not Found");
  EXPECT_EQ(boxes_.Boxes()[0].text, "\"" + gone + "\"\rNot found on disk.");
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, first);
}

}  // namespace
