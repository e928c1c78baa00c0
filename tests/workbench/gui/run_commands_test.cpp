// The Run menu on the real main window, offscreen, with the real tarn installed beside the
// program: what each build shows (box, status line), the run buttons, the shortcuts, and how
// the end of a programming run closes a window hidden by "/h".

#include "workbench/gui/run_commands.h"
#include "resources/code_widget_names.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "build_debug/key/key_protocol.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "services/silent_abort.h"
#include "tests/build_debug/tools/tarn_programs.h"
#include "tests/services/described_commands.h"
#include "workbench/error_marking.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/error_list.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/main_find.h"
#include "workbench/gui/old_editor_pane.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;
namespace notice_form = widget_names::NoticeForm;
namespace config_frm = widget_names::ConfigFRM;

namespace {

using tarn_programs::kBadProgram;
using tarn_programs::kGoodProgram;
// The built-in assembler's own dialect.
constexpr char kGoodBuiltIn[] = " DEVICE QV18\n NOP\n";
constexpr char kBadBuiltIn[] = " DEVICE QV18\n DW nowhere\n";
// One more character than the built-in assembler reads, with the lines above.
const std::string kLongComment = ";" + std::string(1'000'000, 'x') + "\n";
const std::string kBuiltInLimit =
    "Source exceeds the built-in assembler's limit of 1,000,000 characters: assemble it with "
    "TARN (\"Use TARN\" in the configuration)";

using testing_gui::ReadFile;

class RunCommandsTest : public testing_gui::GuiSessionTest {
 protected:
  RunCommandsTest() : GuiSessionTest("qv run", testing_gui::BuiltTarn()) {}

  // The session and the main window, with the options the test has set.
  gui::TEditorFRM& Start(std::vector<std::string> parameters = {}) {
    form_.reset();
    StartSession();
    session_->Globals().IdeOptions = ide_options_;
    session_->Globals().EditorOptions.UseNewEditor = !legacy_;
    form_ = std::make_unique<gui::TEditorFRM>(*session_, std::move(parameters), QSize(800, 600));
    return *form_;
  }

  std::string Write(const std::string& name, const std::string& text) {
    std::string path = folder_.Path() + "my sources/" + name;
    std::filesystem::create_directories(folder_.Path() + "my sources");
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Opens the file in a shown main window and clicks Assemble; false when it aborted.
  bool Assemble(const std::string& file) {
    // Shown first: the first show starts with a new editor of its own.
    form_->show();
    form_->OpenSourceFile(file);
    try {
      form_->ClickMenuItem(main_menu::RunAssembleMENUITM);
    } catch (const workbench::SilentAbort&) {
      return false;
    }
    return true;
  }

  // The BASIC compiler as a script: "writes" puts a good assembly where its output goes (the
  // folder after "/O"), anything else is the script's own answer.
  void PlaceCompiler(const std::string& answer) {
    const std::string good = Write("generated.src", kGoodProgram);
    const std::string body =
        answer == "writes" ? "cp '" + good + "' \"$3$(basename \"${1%.*}\").SRC\"; exit 0" : answer;
    testing_gui::WriteFile(folder_.Path() + build_debug::QvBasicUnit::kFolder +
                               build_debug::QvBasicUnit::kProgram,
                           "#!/bin/sh\nif [ \"$1\" = /v ]; then echo " +
                               std::to_string(build_debug::QvBasicUnit::kRequiredVersion) +
                               "; exit 0; fi\n" + body + "\n",
                           true);
  }

  std::string Status() const { return form_->StatusPanel2().text().toStdString(); }

  // The window shown and active with a good source in its editor, which has the keys; each
  // device window the Run menu asks for counts in `devices`. Null when the window never became
  // active.
  QWidget* ShowWithTheEditorFocused(gui::TEditorFRM& form, int& devices) {
    form.show();
    form.OpenSourceFile(Write("prog.src", kGoodProgram));
    form.activateWindow();
    QWidget* editor = form.CurrentScrivlet();
    editor->setFocus();
    if (!QTest::qWaitForWindowActive(&form)) return nullptr;
    gui::RunWindows windows;
    windows.show_device_window = [&devices] { ++devices; };
    form.Run().SetWindows(windows);
    return editor;
  }

  workbench::IdeOptions ide_options_;
  bool legacy_ = false;
  std::unique_ptr<gui::TEditorFRM> form_;
};

TEST_F(RunCommandsTest, EachBuildResultHasItsBoxAndStatus) {
  struct Case {
    const char* what;
    const char* file;
    std::string text;
    bool use_tarn;
    const char* compiler;  // the BASIC compiler's answer to a compile; null: none asked
    bool built;
    std::string box_caption;  // empty: no box
    std::string box_text;
    std::string status;
  };
  const Case cases[] = {
      {"tarn builds", "good.src", kGoodProgram, true, nullptr, true, "", "",
       "good.src : Assembly Successful"},
      {"tarn fails", "bad.src", kBadProgram, true, nullptr, false, "TARN Error",
       "Unable to assemble due to errors in source code.", "ASSEMBLY ERROR"},
      {"nothing to build", "empty.src", "", true, nullptr, false, "Problem Compiling/Assembling",
       "Current editor is empty.  There is no code to assemble.", "ASSEMBLY ERROR"},
      {"no language", "prog.asm", kGoodProgram, true, nullptr, false,
       "Problem Compiling/Assembling", "Editor does not have language set properly.",
       "ASSEMBLY ERROR"},
      {"built-in builds", "good.src", kGoodBuiltIn, false, nullptr, true, "", "",
       "Assembly Successful"},
      {"built-in fails", "bad.src", kBadBuiltIn, false, nullptr, false, "Kestrian Assembler Error",
       "ASSEMBLY ERROR: Undefined symbol", "ASSEMBLY ERROR: Undefined symbol"},
      // The editor holds the text; the limit is the built-in assembler's.
      {"built-in refuses a long source", "long.src", std::string(kGoodBuiltIn) + kLongComment,
       false, nullptr, false, "Kestrian Assembler Error", "ASSEMBLY ERROR: " + kBuiltInLimit,
       "ASSEMBLY ERROR: " + kBuiltInLimit},
      {"BASIC compiles", "prog.qvb", "x = 1\n", true, "writes", true, "", "",
       "prog.qvb : Compile/Assembly Successful"},
      {"BASIC fails", "prog.qvb", "x = \n", true, "exit 7", false, "QV/B Error",
       "Unable to read source file", "QV/B Error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ide_options_.UseTarn = c.use_tarn;
    if (c.compiler) PlaceCompiler(c.compiler);
    Start();
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    EXPECT_EQ(Assemble(Write(c.file, c.text)), c.built);
    EXPECT_EQ(Status(), c.status);
    if (c.box_caption.empty()) {
      EXPECT_TRUE(boxes_.Boxes().empty());
    } else {
      ASSERT_EQ(boxes_.Boxes().size(), 1u);
      EXPECT_EQ(boxes_.Boxes()[0].caption, c.box_caption);
      EXPECT_EQ(boxes_.Boxes()[0].text, c.box_text);
    }
    EXPECT_EQ(session_->AssembleCompile().LastBuildOk(), c.built);
    // The hourglass goes however the build ended.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

}  // namespace

namespace {

TEST_F(RunCommandsTest, TheEndOfARunClosesAHiddenWindowWhenTheCommandLineIsDone) {
  struct Case {
    int code;
    bool hidden;
    bool program_requested;
    bool wrenfield;
    bool closed;
    bool still_requested;
  };
  using namespace build_debug;
  const Case cases[] = {
      {kKeyFinished, true, true, false, true, false},
      {kKeyFinished, false, true, false, false, false},
      {kKeyFinished, true, false, false, false, false},  // "/d": the debug window ends it
      {kKeyFailed, true, true, false, false, true},      // 2 comes for every run, 3 only adds
      {kKeyDebugHidden, true, false, false, true, false},
      {kKeyDebugHidden, false, false, false, false, false},
      {kKeyCancelled, true, true, false, true, true},
      {kKeyCancelled, false, false, true, true, false},
      {kKeyCancelled, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "code " << c.code << (c.hidden ? " hidden" : "")
                 << (c.program_requested ? " /p" : "") << (c.wrenfield ? " Wrenfield" : ""));
    gui::TEditorFRM& form = Start();
    int closes = 0;
    QObject::connect(&form, &gui::TEditorFRM::Closed, [&closes] { ++closes; });
    form.Requests().HideWindow = c.hidden;
    form.Requests().ProgramRequested = c.program_requested;
    session_->Globals().WrenfieldMode = c.wrenfield;
    form.Run().KeyNotify(c.code);
    EXPECT_EQ(closes, c.closed ? 1 : 0);
    EXPECT_EQ(form.Requests().ProgramRequested, c.still_requested);
  }
}

// Once the editor mode is applied, the menus hold the keys their descriptions give, in the
// modes the commands are live in (the Windows menu's items come with the menu's list).
TEST_F(RunCommandsTest, TheMenusHaveTheirShortcutsInEachEditorMode) {
  for (const bool legacy : {false, true}) {
    SCOPED_TRACE(legacy ? "legacy editor" : "enhanced editor");
    legacy_ = legacy;
    gui::TEditorFRM& form = Start();
    form.show();
    form.ApplyEditorMode();
    const workbench::EditorModes mode = legacy ? workbench::kLegacyOnly : workbench::kEnhancedOnly;
    for (const auto& command : described_commands::kDescribedCommands) {
      if (std::string_view(command.item).ends_with("WindowMENUITM") || !(command.modes & mode))
        continue;
      EXPECT_EQ(form.MenuItem(command.item)->shortcut(), QKeySequence(command.keys))
          << command.item;
    }
    // Ctrl+L is View List's or List Toggle's, never both.
    const char* without_l =
        legacy ? main_menu::RunViewDebugCodeMENUITM : main_menu::FileListToggleMENUITM;
    EXPECT_TRUE(form.MenuItem(without_l)->shortcut().isEmpty());
  }
}

TEST_F(RunCommandsTest, TheAssembleHintFollowsTheFileType) {
  gui::TEditorFRM& form = Start();

  gui::RunCommands& run = form.Run();
  QAction* toggle = run.ToolButton(editor_frm::ToggleAssemblerTBTN);
  ASSERT_NE(toggle, nullptr);
  EXPECT_FALSE(toggle->isVisible());
  EXPECT_FALSE(toggle->isEnabled());

  form.OpenSourceFile(Write("prog.qvb", "x = 1\n"));
  run.UpdateRunButtons(false);
  EXPECT_EQ(run.ToolButton(editor_frm::AssemblyTBTN)->toolTip(), "Compile (Ctrl-A)");
  EXPECT_EQ(form.MenuItem(main_menu::RunAssembleMENUITM)->text(), "Compile (Ctrl-A)");
  for (const char* button :
       {editor_frm::AssemblyTBTN, editor_frm::ProgramTBTN, editor_frm::DebugTBTN,
        editor_frm::DebugAgainTBTN, editor_frm::RunTBTN})
    EXPECT_FALSE(run.ToolButton(button)->isEnabled()) << button;
  EXPECT_TRUE(run.ToolButton(editor_frm::DeviceTBTN)->isEnabled());

  form.OpenSourceFile(Write("prog.src", kGoodProgram));
  run.UpdateRunButtons(true);
  EXPECT_EQ(run.ToolButton(editor_frm::AssemblyTBTN)->toolTip(), "Assemble (Ctrl-A)");
  EXPECT_EQ(form.MenuItem(main_menu::RunAssembleMENUITM)->text(), "Assemble (Ctrl-A)");
  EXPECT_TRUE(run.ToolButton(editor_frm::ProgramTBTN)->isEnabled());
}

TEST_F(RunCommandsTest, TheSimulatorWantsTarnAndAListing) {
  ide_options_.UseTarn = false;
  gui::TEditorFRM& form = Start();
  form.OpenSourceFile(Write("prog.src", kGoodProgram));
  boxes_.Answer(platform::kAnswerOk);
  form.Run().StartQvSim(true);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Code must be assembled with TARN to use QVSim");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "");

  // Not running and not to be launched: nothing is built.
  session_->Globals().IdeOptions.UseTarn = true;
  form.Run().StartQvSim(false);
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_FALSE(session_->AssembleCompile().LastBuildOk());
}

TEST_F(RunCommandsTest, LaunchQvSimWithoutTheSimulatorSaysWhereItGoes) {
  const std::string sim_folder = folder_.Path() + build_debug::QvSimUnit::kFolder;
  std::filesystem::remove_all(sim_folder);
  gui::TEditorFRM& form = Start();
  form.show();
  form.OpenSourceFile(Write("prog.src", kGoodProgram));
  ASSERT_FALSE(session_->QvSim().QvSimInstalled());
  EXPECT_EQ(form.MenuItem(main_menu::RunStartQVSimMENUITM)->shortcut(), QKeySequence("Ctrl+Alt+S"));
  const std::string text =
      "QVSim is not installed.\rTo hand programs to the simulator, put "
      "QVSim.exe into\r\r" +
      sim_folder;
  // The menu item and the tool button; a switch of files says nothing.
  boxes_.Answer(platform::kAnswerOk);
  boxes_.Answer(platform::kAnswerOk);
  form.ClickMenuItem(main_menu::RunStartQVSimMENUITM);
  form.Run().ToolButton(editor_frm::QvSimTBTN)->trigger();
  form.Run().StartQvSim(false);
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  for (const auto& box : boxes_.Boxes()) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "QVSim Not Installed");
  }
  EXPECT_FALSE(session_->AssembleCompile().LastBuildOk());
}

TEST_F(RunCommandsTest, ViewListWithoutAListWindowSaysItCannotShowTheListing) {
  gui::TEditorFRM& form = Start();
  form.show();
  form.OpenSourceFile(Write("prog.src", kGoodProgram));
  boxes_.Answer(platform::kAnswerOk);
  form.ClickMenuItem(main_menu::RunViewDebugCodeMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Couldn't load file for viewing debug code");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "View Debug ERROR");

  // The list window takes tarn's listing and joins the Windows menu.
  std::string shown;
  gui::RunWindows windows;
  windows.show_list_file = [&shown](const std::string& source) {
    shown = source;
    return true;
  };
  form.Run().SetWindows(windows);
  form.ClickMenuItem(main_menu::RunViewDebugCodeMENUITM);
  EXPECT_EQ(shown, folder_.Path() + "my sources/prog.src");
  const auto& items = form.WindowsMenu().Items();
  EXPECT_TRUE(std::any_of(items.begin(), items.end(),
                          [](const workbench::WindowsMenuItem& item) { return item.Tag == 1001; }));
}

}  // namespace

namespace {

// Two errors in an included file (its name with a blank), then one in the main file.
constexpr char kMainWithInclude[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        ORG     0\n"
    "start   JMP     start\n"
    "        INCLUDE \"inc lib.src\"\n"
    "        JMP     missing1\n"
    "        RESET   start\n"
    "        END\n";
constexpr char kIncludeWithErrors[] =
    "        NOP\n"
    "        JMP     nowhere1\n"
    "        NOP\n"
    "        JMP     nowhere2\n";

TEST_F(RunCommandsTest, AFailedBuildListsTheErrorsAndJumpsToTheFirstInItsFile) {
  gui::TEditorFRM& form = Start();
  Write("inc lib.src", kIncludeWithErrors);
  const std::string main_file = Write("main.src", kMainWithInclude);
  boxes_.AnswerWithFirstButton();
  EXPECT_FALSE(Assemble(main_file));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "TARN Error");
  EXPECT_EQ(boxes_.Boxes()[0].text, "Unable to assemble due to errors in source code.");
  EXPECT_EQ(Status(), "ASSEMBLY ERROR");

  // Two warnings come first; the first error is the include file's line 2.
  const QListWidget& list = form.ErrorList();
  ASSERT_EQ(list.count(), 5);
  EXPECT_TRUE(list.isVisible());
  EXPECT_EQ(list.currentRow(), 2);
  EXPECT_EQ(form.Files().CurrentFileName(), folder_.Path() + "my sources/inc lib.src");
  EXPECT_EQ(form.CurrentScrivlet()->Memo().GetSelLine(), 1);

  // Mended, the main file builds.
  Write("inc lib.src", "        NOP\n");
  form.SelectEditor(form.Editors().IndexOfFile(main_file));
  scrivlet::TScrivlet& memo = form.CurrentScrivlet()->Memo();
  memo.SelectAll();
  memo.SetSelText(kGoodProgram);
  boxes_.Clear();
  form.ClickMenuItem(main_menu::RunAssembleMENUITM);
  EXPECT_EQ(Status(), "main.src : Assembly Successful");
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(ReadFile(main_file), kGoodProgram) << "saved before the build";
  memo.SetSelStart(0);
  memo.SetSelText(";");
  EXPECT_EQ(Status(), "") << "the first edit makes the build's status stale";
}

TEST_F(RunCommandsTest, WithJumpToErrorsOffOnlyTheListShows) {
  ide_options_.JumpToAssemblyError = false;
  gui::TEditorFRM& form = Start();
  Write("inc lib.src", kIncludeWithErrors);
  const std::string main_file = Write("main.src", kMainWithInclude);
  boxes_.AnswerWithFirstButton();
  EXPECT_FALSE(Assemble(main_file));
  EXPECT_EQ(form.ErrorList().count(), 5);
  EXPECT_EQ(form.Files().CurrentFileName(), main_file);
}

TEST_F(RunCommandsTest, TheTopFileIsBuiltWhenTheUserSaysYes) {
  // The second run knows the top file from the first.
  ide_options_.WarnLoadingKnownTopFile = false;
  for (const int answer : {platform::kAnswerYes, platform::kAnswerNo}) {
    SCOPED_TRACE(answer == platform::kAnswerYes ? "Yes" : "No");
    gui::TEditorFRM& form = Start();
    form.show();
    form.OpenSourceFile(Write("top.src", kGoodProgram));
    form.Files().SetAsTop();
    form.OpenSourceFile(Write("other.src", kGoodProgram));
    boxes_.Clear();
    boxes_.Answer(answer);
    form.ClickMenuItem(main_menu::RunAssembleMENUITM);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].caption, "Top File is Loaded");
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "\"top.src\" is the current \"Top\" file\r\rYES to use \"Top\" File, NO to use "
              "file visible in editor");
    EXPECT_EQ(Status(), answer == platform::kAnswerYes ? "top.src : Assembly Successful"
                                                       : "other.src : Assembly Successful");
  }
}

TEST_F(RunCommandsTest, AModifiedFileIsSavedBeforeTheBuildOrTheBuildIsCancelled) {
  struct Case {
    int answer;
    bool built;
    const char* on_disk;
  };
  const Case cases[] = {{QDialog::Accepted, true, kGoodProgram},
                        {QDialog::Rejected, false, kBadProgram}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.built ? "OK" : "Cancel");
    gui::TEditorFRM& form = Start();
    // A first run: its notice and the configuration dialog come with the forms.
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    gui::IdeForms forms(form, *session_);
    form.show();
    const std::string file = Write("prog.src", kBadProgram);
    form.OpenSourceFile(file);
    scrivlet::TScrivlet& memo = form.CurrentScrivlet()->Memo();
    memo.SelectAll();
    memo.SetSelText(kGoodProgram);
    boxes_.Clear();
    dialogs_.Answer(c.answer);
    bool built = true;
    try {
      form.ClickMenuItem(main_menu::RunAssembleMENUITM);
    } catch (const workbench::SilentAbort&) {
      built = false;
    }
    EXPECT_EQ(built, c.built);
    EXPECT_EQ(dialogs_.Dialogs().back().name, notice_form::FileSaveNotificationDLG);
    EXPECT_EQ(ReadFile(file), c.on_disk);
    EXPECT_EQ(Status(), c.built ? "prog.src : Assembly Successful" : "ASSEMBLY ERROR");
    EXPECT_TRUE(boxes_.Boxes().empty());
  }
}

}  // namespace

namespace {

TEST_F(RunCommandsTest, TheBuiltInAssemblersErrorTokenIsMarkedInTheEditor) {
  ide_options_.UseTarn = false;
  gui::TEditorFRM& form = Start();
  boxes_.AnswerWithFirstButton();
  // The token's line comes after a line that holds the same word, which must not be taken.
  EXPECT_FALSE(Assemble(Write("prog.src", " DEVICE QV18\n; nowhere here\n DW nowhere\n")));
  const workbench::ErrorMarking& mark = form.Errors().Marking();
  EXPECT_TRUE(mark.IsRange());
  EXPECT_EQ(mark.Line(), 2);
  EXPECT_TRUE(testing_gui::HasErrorMark(form.CurrentScrivlet()->Memo(), mark.Line()));
  // Offsets count every line break as two characters.
  const std::int32_t start =
      std::int32_t(std::string(" DEVICE QV18\r\n; nowhere here\r\n DW ").size());
  EXPECT_EQ(mark.Start(), start);
  EXPECT_EQ(mark.Stop(), start + 7);
}

}  // namespace

namespace {

TEST_F(RunCommandsTest, TheRunShortcutsWorkWhileTheEditorHasTheFocus) {
  gui::TEditorFRM& form = Start();
  int devices = 0;
  QWidget* editor = ShowWithTheEditorFocused(form, devices);
  ASSERT_NE(editor, nullptr);
  // Ctrl+I is also the editor's italic key; the menu's command comes first.
  QTest::keyClick(editor, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(devices, 1);
  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Status(), "prog.src : Assembly Successful");
  // Keys of the editor that no Run command has stay the editor's.
  QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(devices, 1);
  // The Edit menu's find keys come first too.
  QTest::keyClick(editor, Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(form.Find().FindDialogOpen());
}

}  // namespace

namespace {

// A locked Run menu (a debug session has it so) fires none of its keys, and they do not fall
// through to the editor, whose Ctrl+I, Ctrl+U and Ctrl+P would style the text or break it.
TEST_F(RunCommandsTest, TheKeysOfALockedRunMenuNeverReachTheEditor) {
  gui::TEditorFRM& form = Start();
  int devices = 0;
  QWidget* editor = ShowWithTheEditorFocused(form, devices);
  ASSERT_NE(editor, nullptr);
  scrivlet::TScrivlet& memo = form.CurrentScrivlet()->Memo();
  const std::string text = memo.Text();
  memo.Select(0, 4);
  form.MenuItem(main_menu::RunMENUITM)->setEnabled(false);
  for (const Qt::Key key : {Qt::Key_I, Qt::Key_U, Qt::Key_P, Qt::Key_A}) {
    SCOPED_TRACE(key);
    QTest::keyClick(editor, key, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(), text);
  }
  EXPECT_EQ(devices, 0);
  EXPECT_FALSE(memo.Modified());
  // The editor's own keys that no command holds stay its own.
  QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
  EXPECT_NE(memo.Text(), text);
}

TEST_F(RunCommandsTest, ConfigureAndTheFactoryTestItem) {
  gui::TEditorFRM& form = Start();
  boxes_.AnswerWithFirstButton();
  gui::IdeForms forms(form, *session_);
  session_->Globals().DebugMode = true;
  boxes_.Clear();
  boxes_.AnswerWithFirstButton();
  const std::size_t dialogs = dialogs_.Dialogs().size();
  form.ClickMenuItem(main_menu::RunConfigureMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "DEBUG - RunConfigure");
  EXPECT_EQ(boxes_.Boxes()[0].text, "About to show configure dialog");
  ASSERT_EQ(dialogs_.Dialogs().size(), dialogs + 1);
  EXPECT_EQ(dialogs_.Dialogs().back().name, config_frm::ConfigFRM);

  // Hidden at start; each click turns its check mark over.
  QAction* factory = form.MenuItem(main_menu::QvFactoryTestMENUITM);
  EXPECT_FALSE(factory->isVisible());
  form.ClickMenuItem(main_menu::QvFactoryTestMENUITM);
  EXPECT_TRUE(factory->isChecked());
  form.ClickMenuItem(main_menu::QvFactoryTestMENUITM);
  EXPECT_FALSE(factory->isChecked());
}

}  // namespace

namespace {

// The legacy editor builds with tarn as the enhanced editors do: its buffer goes to tarn through
// the file it was loaded from.
TEST_F(RunCommandsTest, TheLegacyEditorBuildsWithTarn) {
  legacy_ = true;
  ide_options_.UseTarn = true;
  Start();
  boxes_.AnswerWithFirstButton();
  EXPECT_TRUE(Assemble(Write("good.src", kGoodProgram)));
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_TRUE(session_->AssembleCompile().LastBuildOk());

  Start();
  boxes_.Clear();
  boxes_.AnswerWithFirstButton();
  EXPECT_FALSE(Assemble(Write("bad.src", kBadProgram)));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "TARN Error");
  EXPECT_EQ(Status(), "ASSEMBLY ERROR");
  EXPECT_FALSE(session_->AssembleCompile().LastBuildOk());
}

// The save before an assembly is the Save of the legacy editor too: with backups on, the old
// file goes to its backup first.
TEST_F(RunCommandsTest, TheSaveBeforeAnAssemblyMakesTheLegacyEditorsBackup) {
  legacy_ = true;
  ide_options_.UseTarn = true;
  ide_options_.CreateBackups = true;
  Start();
  const std::string file = Write("good.src", kGoodProgram);
  form_->show();
  form_->OpenSourceFile(file);
  form_->OldEditor().Editor().FormKeyPress('\r');
  ASSERT_TRUE(form_->OldEditor().Editor().Modified());
  boxes_.AnswerWithFirstButton();
  form_->ClickMenuItem(main_menu::RunAssembleMENUITM);
  EXPECT_EQ(ReadFile(folder_.Path() + "my sources/good.src.bak"), kGoodProgram);
  EXPECT_EQ(ReadFile(file).substr(0, 2), "\r\n");
  EXPECT_FALSE(form_->OldEditor().Editor().Modified());
}

}  // namespace
