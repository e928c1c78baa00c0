#include "assembler/file_access.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "assembler/driver.h"
#include "assembler/run.h"

namespace tarn {
namespace {

TEST(MemoryFileAccess, FoldersFollowTheirFiles) {
  MemoryFileAccess files;
  files.AddFile("/p/main.asm", "x");
  files.AddFile("/p/Sub/Part.INC", "y");
  ASSERT_TRUE(files.MakeFolder("/p/out"));
  struct Case {
    const char* path;
    bool exists;
  };
  for (const Case& c : std::vector<Case>{{"/p", true},
                                         {"/p/main.asm", true},
                                         {"/p/Sub", true},
                                         {"/p/sub", false},
                                         {"/p/out", true},
                                         {"/p/ma", false},
                                         {"/q", false}}) {
    EXPECT_EQ(files.Exists(c.path), c.exists) << c.path;
  }
  EXPECT_EQ(files.FolderNames("/p"), (std::vector<std::string>{"Sub", "main.asm", "out"}));
  EXPECT_EQ(files.FolderNames("/p/Sub"), (std::vector<std::string>{"Part.INC"}));
  // A file is created only in a folder, and never over one.
  EXPECT_EQ(files.Create("/q/a.lst"), nullptr);
  EXPECT_EQ(files.Create("/p/Sub"), nullptr);
  EXPECT_FALSE(files.MakeFolder("/p/main.asm"));
}

TEST(MemoryFileAccess, WritingCreatesEmptiesAndOutlivesRemoval) {
  MemoryFileAccess files;
  files.AddFile("/p/a.lst", "old text");
  std::unique_ptr<OutputStream> stream = files.Create("/p/a.lst");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(*files.Find("/p/a.lst"), "");
  EXPECT_TRUE(stream->Write("one "));
  EXPECT_TRUE(stream->Write("two"));
  EXPECT_EQ(*files.Find("/p/a.lst"), "one two");
  files.Remove("/p/a.lst");
  EXPECT_TRUE(stream->Write(" three"));
  EXPECT_TRUE(stream->Close());
  EXPECT_EQ(files.Find("/p/a.lst"), nullptr);
  std::string bytes;
  EXPECT_FALSE(files.ReadSource("/p/a.lst", &bytes));
}

// A run on files in memory resolves an INCLUDE without regard to case as on the disk, and
// leaves its outputs there.
TEST(MemoryFileAccess, RunIncludesAndWritesInMemory) {
  MemoryFileAccess files;
  files.AddFile("/p/main.asm",
                "        DEVICE  QV18AC\n        FREQ    4_000_000\n        INCLUDE "
                "\"SUB\\part.inc\"\n        END\n");
  files.AddFile("/p/sub/Part.INC", "        DW 0x234\n");
  std::ostringstream console;
  TarnRun run(console, files);
  // Warnings only (no IRC_CAL): exit code 2, and the error file holds the warning.
  EXPECT_EQ(RunTarn(run, {"/p/tarn", "/p/main.asm"}), 2) << console.str();
  std::vector<std::string> paths = files.Paths();
  EXPECT_EQ(paths,
            (std::vector<std::string>{"/p/main.asm", "/p/main.err", "/p/main.hex", "/p/main.lst",
                                      "/p/main.map", "/p/main.sym", "/p/sub/Part.INC"}));
  EXPECT_EQ(*files.Find("/p/main.err"),
            "/p/main.asm(1) Line 1, Warning 65, Pass 1: No IRC_CAL directive. Default IRC_SLOW "
            "being used\n");
  // INHX8M: the word 234 at address 0, low byte first.
  EXPECT_EQ(files.Find("/p/main.hex")->substr(0, 16), ":020000003402C8\n");
}

// In the IDE's mode "TARN Output/" goes beside the program, or into the user's data folder
// when the program's folder cannot be written; beside the source only when neither can hold it.
TEST(MemoryFileAccess, IdeOutputFolderFollowsWhereTheUserMayWrite) {
  struct Case {
    const char* name;
    bool program_folder_writable;
    std::string data_folder;
    std::string expected_map;
  };
  const Case cases[] = {
      {"program folder", true, "/home/u/.local/share/QVKey/", "/opt/qv/TARN Output/main.map"},
      {"user's data folder", false, "/home/u/.local/share/QVKey/",
       "/home/u/.local/share/QVKey/TARN Output/main.map"},
      {"no data folder", false, "", "/p/main.map"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryFileAccess files;
    files.AddFile("/p/main.asm",
                  "        DEVICE  QV18AC, OSCHS2\n        FREQ    4_000_000\n        IRC_CAL "
                  "IRC_SLOW\n        END\n");
    ASSERT_TRUE(files.MakeFolder("/opt/qv"));
    if (!c.program_folder_writable) files.MakeReadOnly("/opt/qv/");
    files.SetUserDataFolder(c.data_folder);
    std::ostringstream console;
    TarnRun run(console, files);
    EXPECT_EQ(RunTarn(run, {"/opt/qv/TARN.dll", "/E", "KESTRIAN", "/O", "USE_OUTPUT_DIR", "/F",
                            "BIN16", "/p/main.asm"}),
              0)
        << console.str();
    EXPECT_NE(files.Find(c.expected_map), nullptr);
    // Nothing is made in a folder that cannot be written.
    if (!c.program_folder_writable) {
      EXPECT_FALSE(files.Exists("/opt/qv/TARN Output"));
    }
  }
}

}  // namespace
}  // namespace tarn
