#include "workbench/open_files.h"

#include <gtest/gtest.h>

namespace workbench {
namespace {

std::vector<std::string> Names(const OpenFiles& files) {
  std::vector<std::string> names;
  for (int i = 0; i < files.Count(); ++i) names.push_back(files.Name(i));
  return names;
}

TEST(OpenFilesTest, BlankNamesCountEveryEditorMadeAndCarryTheirType) {
  OpenFiles files("{Blank_");
  EXPECT_EQ(Names(files), std::vector<std::string>{"{Blank_1}"});
  EXPECT_FALSE(files.IsNamed(0));
  struct Case {
    int kind;
    const char* name;
  };
  const Case cases[] = {{OpenFiles::kAssemblyKind, "{Blank_2_ASSEMBLY}"},
                        {OpenFiles::kBasicKind, "{Blank_3_QV/B}"},
                        {OpenFiles::kUnknownKind, "{Blank_4}"}};
  for (const Case& c : cases) {
    const int index = files.AddBlank(c.kind);
    EXPECT_EQ(index, files.Count() - 1);
    EXPECT_EQ(files.Name(index), c.name);
  }
  // A number once given is not given again, though its row has gone or been named.
  files.Remove(3);
  (void)files.Rename(2, "/p/b.qvb");
  EXPECT_EQ(files.Name(files.AddBlank(OpenFiles::kAssemblyKind)), "{Blank_5_ASSEMBLY}");
  // The prefix comes from the string table the window reads.
  OpenFiles other("{Leer_");
  EXPECT_EQ(other.Name(other.AddBlank(OpenFiles::kBasicKind)), "{Leer_2_QV/B}");
}

TEST(OpenFilesTest, OnlyTheFirstNewFileTakesTheUntouchedStartingRow) {
  struct Case {
    const char* what;
    bool named;
    bool modified;
    bool second_row;
    bool take;
  };
  const Case cases[] = {{"untouched", false, false, false, true},
                        {"typed into", false, true, false, false},
                        {"a file loaded", true, false, false, false},
                        {"a second row", false, false, true, false}};
  for (const Case& c : cases) {
    OpenFiles files("{Blank_");
    if (c.named) (void)files.Rename(0, "/p/a.src");
    if (c.second_row) files.AddBlank(OpenFiles::kAssemblyKind);
    EXPECT_EQ(files.TakeFirstNew(c.modified), c.take) << c.what;
    // The question is asked of the first new file only.
    EXPECT_FALSE(files.TakeFirstNew(false)) << c.what;
  }
}

TEST(OpenFilesTest, RowsAreRenamedFoundAndRemovedInOrder) {
  OpenFiles files("{Blank_");
  EXPECT_EQ(files.Rename(0, "/p/a.src"), "{Blank_1}");
  EXPECT_TRUE(files.IsNamed(0));
  files.AddBlank(OpenFiles::kBasicKind);
  files.AddBlank(OpenFiles::kAssemblyKind);
  // Save As: the row keeps its place under the new name.
  EXPECT_EQ(files.Rename(1, "/p/Count.QVB"), "{Blank_2_QV/B}");
  EXPECT_EQ(files.Rename(0, "/p/main.src"), "/p/a.src");
  EXPECT_EQ(Names(files),
            (std::vector<std::string>{"/p/main.src", "/p/Count.QVB", "{Blank_3_ASSEMBLY}"}));
  EXPECT_EQ(files.Find("/P/COUNT.qvb"), 1);
  EXPECT_EQ(files.Find("{blank_3_assembly}"), 2);
  EXPECT_EQ(files.Find("/p/a.src"), -1);
  files.Remove(0);
  EXPECT_EQ(Names(files), (std::vector<std::string>{"/p/Count.QVB", "{Blank_3_ASSEMBLY}"}));
  EXPECT_EQ(files.Find("/p/count.qvb"), 0);
  files.Remove(1);
  // The last row stays, and rows out of range are nothing.
  files.Remove(0);
  files.Remove(5);
  EXPECT_EQ(Names(files), std::vector<std::string>{"/p/Count.QVB"});
  EXPECT_EQ(files.Name(1), "");
  EXPECT_FALSE(files.IsNamed(-1));
  EXPECT_EQ(files.Rename(3, "/p/x.src"), "");
}

TEST(OpenFilesTest, TheRowInFrontAndThePreviousRowFollowSelectionAndRemoval) {
  OpenFiles files("{Blank_");
  for (int i = 0; i < 3; ++i) files.AddBlank(OpenFiles::kAssemblyKind);
  EXPECT_EQ(files.Current(), 0);
  files.Select(2);
  files.Select(2);  // again: the previous row stays
  EXPECT_EQ(files.Current(), 2);
  EXPECT_EQ(files.Previous(), 0);
  files.Select(7);
  EXPECT_EQ(files.Current(), 2);
  files.Select(3);
  EXPECT_EQ(files.Previous(), 2);
  EXPECT_EQ(files.PreviousOrFirst(), 2);
  // A row before the one in front goes: the front keeps its file; the previous row index stays.
  files.Remove(1);
  EXPECT_EQ(files.Current(), 2);
  EXPECT_EQ(files.Name(2), "{Blank_4_ASSEMBLY}");
  EXPECT_EQ(files.Previous(), 2);
  files.Remove(0);
  EXPECT_EQ(files.Current(), 1);
  EXPECT_EQ(files.PreviousOrFirst(), 0);  // the previous row lies past the last now
  // The row in front goes: none is in front until the next Select, which keeps the previous.
  files.Remove(1);
  EXPECT_EQ(files.Current(), -1);
  files.Select(0);
  EXPECT_EQ(files.Current(), 0);
  EXPECT_EQ(files.Previous(), 2);
  // Back from the legacy editor: the front moves, the previous row does not.
  files.AddBlank(OpenFiles::kBasicKind);
  files.Restore(1);
  EXPECT_EQ(files.Current(), 1);
  EXPECT_EQ(files.Previous(), 2);
}

TEST(OpenFilesTest, NeighboursWrapAtBothEnds) {
  OpenFiles files("{Blank_");
  EXPECT_EQ(files.Neighbour(true), 0);
  EXPECT_EQ(files.Neighbour(false), 0);
  files.AddBlank(OpenFiles::kAssemblyKind);
  files.AddBlank(OpenFiles::kAssemblyKind);
  struct Case {
    int front;
    bool up;
    int next;
  };
  const Case cases[] = {{0, true, 2},  {0, false, 1}, {1, true, 0},
                        {1, false, 2}, {2, false, 0}, {2, true, 1}};
  for (const Case& c : cases) {
    files.Select(c.front);
    EXPECT_EQ(files.Neighbour(c.up), c.next) << c.front << (c.up ? " up" : " down");
  }
}

}  // namespace
}  // namespace workbench
