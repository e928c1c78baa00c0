#include "build_debug/tools/assemble_compile.h"

#include <gtest/gtest.h>

#include <map>

#include "build_debug/tools/basic_bridge.h"
#include "tarn_harness.h"
#include "tarn_programs.h"

namespace build_debug {
namespace {

// The main window as the dispatcher sees it: editors by index, the file in front, and the
// legacy buffer with a built-in assembler whose answer each test chooses.
class FakeEditors : public BuildEditors {
 public:
  struct Editor {
    std::string file;
    std::uint8_t type = kFileTypeNone;
    bool empty = false;
  };

  bool HasEditor(int index) const override { return editors.count(index) != 0; }
  bool EditorIsEmpty(int index) const override { return editors.at(index).empty; }
  std::uint8_t EditorFileType(int index) const override { return editors.at(index).type; }
  std::string CurrentFileName() const override { return current_file; }
  std::optional<int> FindEditor(const std::string& file) const override {
    for (const auto& [index, editor] : editors)
      if (editor.file == file) return index;
    return std::nullopt;
  }
  bool CopyEditorToOldBuffer(int index, std::string& refusal) override {
    copied.push_back(index);
    if (refuse_copy) refusal = "too large for the buffer";
    return HasEditor(index) && !refuse_copy;
  }
  bool AssembleOldBuffer(std::string& error_text) override {
    ++builtin_runs;
    if (!builtin_error.empty()) error_text = builtin_error;
    return builtin_error.empty();
  }

  std::map<int, Editor> editors;
  std::string current_file;
  std::string builtin_error;
  bool refuse_copy = false;
  std::vector<int> copied;
  int builtin_runs = 0;
};

using tarn_programs::kBadProgram;
using tarn_programs::kGoodProgram;

class AssembleCompileTest : public ::testing::Test {
 protected:
  AssembleCompileTest() { unit.AssembleCompileInit(); }
  ~AssembleCompileTest() override { unit.AssembleCompileCleanup(); }

  // An assembly editor at index 0 holding the file, in front.
  std::string OpenAssembly(const std::string& name, const std::string& text) {
    std::string file = s.WriteSource(name, text);
    editors.editors[0] = {file, kFileTypeAssembly, false};
    editors.current_file = file;
    return file;
  }
  void RealTarn() {
    s.PlaceRealTarn();
    ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  }

  TarnSession s;
  QvBasicUnit basic{s.strings, s.runner, s.ide_options};
  AssembleCompileUnit unit{s.texts, s.tarn, basic};
  FakeEditors editors;
  std::string message;
};

TEST_F(AssembleCompileTest, NothingIsBuiltWithoutAnEditorTextFileOrLanguage) {
  RealTarn();
  std::string file = OpenAssembly("prog.src", kGoodProgram);

  EXPECT_EQ(unit.BuildEditor(true, 7, editors, message), BuildResult::kNothingBuilt);
  EXPECT_EQ(message, "Invalid editor (7) to assemble.");

  editors.editors[0].empty = true;
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kNothingBuilt);
  EXPECT_EQ(message, "Current editor is empty.  There is no code to assemble.");

  editors.editors[0].empty = false;
  editors.current_file.clear();
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kNothingBuilt);
  EXPECT_EQ(message, "");

  editors.current_file = file;
  editors.editors[0].type = kFileTypeNone;
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kNothingBuilt);
  EXPECT_EQ(message, "Editor does not have language set properly.");

  // Nothing was built: the image still holds an earlier build's program.
  EXPECT_FALSE(unit.LastBuildOk());
  EXPECT_EQ(unit.GetLastAssembledFile(), "");
}

TEST_F(AssembleCompileTest, TarnBuildsRememberTheFileUnlessTheyFail) {
  RealTarn();
  std::string good = OpenAssembly("good.src", kGoodProgram);
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kTarnBuilt);
  EXPECT_EQ(message, "");
  EXPECT_TRUE(unit.LastBuildOk());
  EXPECT_EQ(unit.GetLastAssembledFile(), good);
  EXPECT_FALSE(unit.WasQvBasicBuild());

  // Warnings only are still a build (tarn's exit code 2).
  std::string warned = s.Source("four_k_warnings.asm");
  editors.editors[0] = {warned, kFileTypeAssembly, false};
  editors.current_file = warned;
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kTarnBuilt);
  EXPECT_EQ(unit.GetLastAssembledFile(), warned);

  OpenAssembly("bad.src", kBadProgram);
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kTarnFailed);
  EXPECT_EQ(message, "Unable to assemble due to errors in source code.");
  EXPECT_FALSE(unit.LastBuildOk());
  EXPECT_NE(unit.GetLastAssembledFile(), s.source_folder + "bad.src");

  // The build has read the assembler's error list: it holds the line the editor jumps to.
  EXPECT_FALSE(s.tarn.Errors().empty());
  ASSERT_TRUE(s.tarn.LoadTarnErrors());
  const int line = unit.FindErrorLine(s.tarn.Errors());
  ASSERT_GE(line, 0);
  EXPECT_EQ(unit.ErrorLineNumber(line, s.tarn.Errors()), 3);
  EXPECT_EQ(unit.ErrorLineFile(line, s.tarn.Errors()), s.source_folder + "bad.src");
}

TEST_F(AssembleCompileTest, WithoutTarnTheLegacyBufferIsAssembled) {
  OpenAssembly("prog.src", kGoodProgram);
  editors.editors[3] = {"other.src", kFileTypeAssembly, false};

  EXPECT_EQ(unit.BuildEditor(false, 3, editors, message), BuildResult::kBuiltIn);
  EXPECT_EQ(editors.copied, std::vector<int>{3});  // the editor asked for, not the one in front

  editors.builtin_error = "Undefined symbol";
  EXPECT_EQ(unit.BuildEditor(false, 0, editors, message), BuildResult::kBuiltInFailed);
  EXPECT_EQ(message, "Undefined symbol");
  EXPECT_FALSE(unit.LastBuildOk());

  editors.builtin_error.clear();
  EXPECT_EQ(unit.BuildLegacyEditor(false, editors, message), BuildResult::kBuiltIn);
  EXPECT_EQ(editors.builtin_runs, 3);
  EXPECT_EQ(editors.copied.size(), 2u);  // the legacy editor is the buffer: nothing to copy

  // A text the buffer refuses is not built from what the buffer held before, and the build
  // says why.
  editors.refuse_copy = true;
  EXPECT_EQ(unit.BuildEditor(false, 0, editors, message), BuildResult::kBuiltInFailed);
  EXPECT_EQ(message, "too large for the buffer");
  EXPECT_EQ(editors.builtin_runs, 3);
  EXPECT_FALSE(unit.LastBuildOk());
}

TEST_F(AssembleCompileTest, LegacyEditorWithTarnNeedsAFileName) {
  RealTarn();
  editors.current_file.clear();
  EXPECT_EQ(unit.BuildLegacyEditor(true, editors, message), BuildResult::kNothingBuilt);
  EXPECT_EQ(message, "Unable to get filename to compile or assemble.");

  std::string good = OpenAssembly("good.src", kGoodProgram);
  EXPECT_EQ(unit.BuildLegacyEditor(true, editors, message), BuildResult::kTarnBuilt);
  EXPECT_EQ(unit.GetLastAssembledFile(), good);
  EXPECT_TRUE(unit.LastBuildOk());
  OpenAssembly("bad.src", kBadProgram);
  EXPECT_EQ(unit.BuildLegacyEditor(true, editors, message), BuildResult::kTarnFailed);
  EXPECT_EQ(unit.GetLastAssembledFile(), good);
  // The legacy editor's failures count as the enhanced editor's do.
  EXPECT_FALSE(unit.LastBuildOk());
}

TEST_F(AssembleCompileTest, EachTarnCodeHasItsMessage) {
  const std::string source = s.WriteSource("prog.src", "; not read by the stand-in\n");
  s.PlaceStandIn("exit 0\n");
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  const struct Case {
    const char* body;
    int code;
    const char* message;
  } cases[] = {
      {"exit 1", 1, "Unable to assemble due to errors in source code."},
      {"exit 7", 7, "Unable to assemble due to errors in source code."},
      {"exit 3", 3,
       "TARN was unable to create the .MAP file\rFile may be open in another application."},
      {"exit 4", 4,
       "TARN was unable to create the .OBJ file\rFile may be open in another application."},
      {"exit 5", 5,
       "TARN was unable to create the .SYM file\rFile may be open in another application."},
      {"exit 6", 6,
       "TARN was unable to create the .LST file\rFile may be open in another application."},
      {"exit 8", 8, "TARN's expression stack overflowed"},
      {"exit 9", 9, "TARN's expression stack underflowed"},
      {"exit 0", kTarnMapUnread, ".MAP file not found on disk"},  // wrote nothing
      {"exit 2", kTarnMapUnread, ".MAP file not found on disk"},
      {"exit 42", 42, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    s.PlaceStandIn(std::string(c.body) + "\n");
    message = "left over";
    if (std::string_view(c.message).empty()) message.clear();
    EXPECT_EQ(unit.TarnAssembleWithMessage(source, message, false), c.code);
    EXPECT_EQ(message, c.message);
  }

  fs::remove(s.tool_folder + kTarnProgramName);
  message.clear();
  EXPECT_EQ(unit.TarnAssembleWithMessage(source, message, false), kTarnMissing);
  EXPECT_EQ(message, "");  // the bridge has shown its own box
}

TEST_F(AssembleCompileTest, BasicSourceIsCompiledThenItsOutputAssembled) {
  RealTarn();
  // A compiler that answers its version and writes the generated assembly source.
  const std::string folder = s.temp.Path() + "exe/Compilers/QVB/";
  fs::create_directories(folder);
  auto place_compiler = [&](const std::string& generated, int exit_code) {
    std::ofstream(folder + "QVB.exe")
        << "#!/bin/sh\nif [ \"$1\" = /v ]; then echo 15103; exit 0; fi\n"
        << "src=\"$1\"; name=\"${src##*/}\"; out=\"${src%/*}/\"\n"
        << "printf '%s' '" << generated << "' > \"$out${name%.*}.SRC\"\n"
        << "exit " << exit_code << "\n";
    fs::permissions(folder + "QVB.exe", fs::perms::owner_all);
  };
  place_compiler(kGoodProgram, 0);
  s.ide_options.QvBasicOutputFiles = false;  // the generated source beside the BASIC one
  static_cast<void>(basic.QvBasicInit(s.temp.Path() + "exe/"));
  s.boxes.Clear();

  std::string source = s.WriteSource("blink.qvb", "PRINT 1\n");
  editors.editors[0] = {source, kFileTypeBasic, false};
  editors.current_file = source;
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kTarnBuilt) << message;
  EXPECT_TRUE(unit.WasQvBasicBuild());
  EXPECT_EQ(unit.GetLastQvBasicSource(), source);
  EXPECT_EQ(unit.GetLastAssembledFile(), s.source_folder + "blink.SRC");

  // The compiler succeeds, its output does not assemble.
  place_compiler(kBadProgram, 0);
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kTarnFailed);
  EXPECT_TRUE(unit.WasQvBasicBuild());
  EXPECT_FALSE(unit.LastBuildOk());

  // The compiler fails.
  place_compiler(kGoodProgram, 3);
  EXPECT_EQ(unit.BuildEditor(true, 0, editors, message), BuildResult::kBasicFailed);
  EXPECT_FALSE(unit.WasQvBasicBuild());
  EXPECT_EQ(unit.GetLastQvBasicSource(), "");
}

TEST_F(AssembleCompileTest, ErrorLinesGiveTheirFileAndLine) {
  const std::vector<std::string> lines = {
      "C:/a/prog.src(12) Line 30, Warning 101, Pass 2: Found label after column 1",
      "C:/a/prog.src(14) Line 31, Comment 302, Pass 2: Page or bank bits set",
      "C:/a/my (old) prog.src(17) Line 40, Error 113, Pass 2: Symbol not previously defined (X)",
      "tail without a file, Error 1, Pass 1: no parenthesis",
      "prog.src(99999999999) Line 1, Error 1, Pass 1: too long a number",
  };
  EXPECT_EQ(unit.FindErrorLine({lines[0], lines[1]}), -1);
  EXPECT_EQ(unit.FindErrorLine({}), -1);
  ASSERT_EQ(unit.FindErrorLine(lines), 2);
  EXPECT_EQ(unit.ErrorLineNumber(2, lines), 17);
  EXPECT_EQ(unit.ErrorLineFile(2, lines), "C:/a/my (old) prog.src");
  EXPECT_EQ(unit.ErrorLineNumber(3, lines), -1);
  EXPECT_EQ(unit.ErrorLineFile(3, lines), "");
  EXPECT_EQ(unit.ErrorLineNumber(4, lines), -1);  // more digits than a line number has
}

}  // namespace
}  // namespace build_debug
