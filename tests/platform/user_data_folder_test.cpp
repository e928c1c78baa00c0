// Where the folders the program writes go: beside it, or in the user's data folder when its
// own folder cannot be written.
#include "platform/user_data_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <utility>

#include "tests/services/temp_folder.h"

namespace {

platform::EnvironmentLookup Environment(std::map<std::string, std::string> values) {
  return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
    auto found = values.find(std::string(name));
    if (found == values.end()) return std::nullopt;
    return found->second;
  };
}

TEST(UserDataFolder, FollowsXdgDataHomeThenHome) {
  struct Case {
    const char* name;
    std::map<std::string, std::string> environment;
    std::string expected;
  };
  const Case cases[] = {
      {"data home", {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/home/u"}}, "/x/data/QVKey/"},
      {"data home with slash", {{"XDG_DATA_HOME", "/x/data/"}}, "/x/data/QVKey/"},
      {"empty data home",
       {{"XDG_DATA_HOME", ""}, {"HOME", "/home/u"}},
       "/home/u/.local/share/QVKey/"},
      {"relative data home",
       {{"XDG_DATA_HOME", "data"}, {"HOME", "/home/u/"}},
       "/home/u/.local/share/QVKey/"},
      {"home only", {{"HOME", "/home/u"}}, "/home/u/.local/share/QVKey/"},
      {"relative home", {{"HOME", "home/u"}}, ""},
      {"neither", {}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::UserDataFolder(Environment(c.environment)), c.expected) << c.name;
  }
  EXPECT_EQ(platform::UserDataFolder(nullptr), "");
}

TEST(UserDataFolder, WrittenFoldersLeaveAFolderThatCannotBeWritten) {
  const auto environment = Environment({{"HOME", "/home/u"}});
  const auto writable = [](const std::string&) { return true; };
  const auto read_only = [](const std::string&) { return false; };
  EXPECT_EQ(platform::WrittenFoldersRoot("/opt/qv/", environment, writable), "/opt/qv/");
  EXPECT_EQ(platform::WrittenFoldersRoot("/opt/qv/", environment, read_only),
            "/home/u/.local/share/QVKey/");
  // Without a folder of the user's the program's own is all there is.
  EXPECT_EQ(platform::WrittenFoldersRoot("/opt/qv/", Environment({}), read_only), "/opt/qv/");
}

TEST(UserDataFolder, CanWriteFolderAsksTheFileSystem) {
  workbench::TempFolder folder("qv writable");
  EXPECT_TRUE(platform::CanWriteFolder(folder.Path()));
  EXPECT_FALSE(platform::CanWriteFolder(folder.Path() + "missing/"));
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0555), 0);
  // The superuser writes anywhere; any other user is refused a folder without write bits.
  EXPECT_EQ(platform::CanWriteFolder(folder.Path()), ::geteuid() == 0);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0755), 0);
}

}  // namespace
