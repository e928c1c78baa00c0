// `cmake --install` into a prefix owned by the superuser, then the installed QVKey started by
// a user who may not write there: it starts without a box, assembles with the installed tarn
// (whose outputs go to the user's data folder, where the IDE reads them) and programs the
// simulated key.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/image/object_image.h"
#include "tests/build_debug/tools/tarn_object.h"
#include "tests/keysim/chip_model.h"
#include "tests/keysim/simulated_key.h"
#include "tests/services/temp_folder.h"
#include "tests/workbench/gui/installed_tools.h"

namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        IRC_CAL IRC_SLOW\n"
    "        ORG     0\n"
    "start   MOV     W,#$55\n"
    "        MOV     $08,W\n"
    "        JMP     start\n"
    "        RESET   start\n"
    "        END\n";

int Status(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class InstalledForAUser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can install for another user";
    folder_.emplace("qv install");
    root_ = folder_->Path();
    ASSERT_EQ(::chmod(root_.c_str(), 0755), 0);
    prefix_ = root_ + "prefix/";
    home_ = root_ + "home/";
    user_ = "qvinst" + std::to_string(::getpid());
    const std::string add =
        "useradd -M -d " + Quoted(home_) + " -s /bin/sh " + user_ + " >/dev/null 2>&1";
    if (Status(std::system(add.c_str())) != 0) GTEST_SKIP() << "no user can be made here";
    user_made_ = true;
    const passwd* account = ::getpwnam(user_.c_str());
    ASSERT_NE(account, nullptr);
    uid_ = account->pw_uid;
    gid_ = account->pw_gid;
    fs::create_directories(home_);
    ASSERT_EQ(::chown(home_.c_str(), uid_, gid_), 0);

    const std::string install = std::string(QV_CMAKE) + " --install " + Quoted(QV_BUILD_DIR) +
                                " --prefix " + Quoted(prefix_) + " > " +
                                Quoted(root_ + "install.log") + " 2>&1";
    ASSERT_EQ(Status(std::system(install.c_str())), 0) << install;
  }

  void TearDown() override {
    if (user_made_) {
      const std::string remove = "userdel " + user_ + " >/dev/null 2>&1";
      EXPECT_EQ(Status(std::system(remove.c_str())), 0);
    }
    folder_.reset();
  }

  // The installed QVKey, run by the user with a clean environment.
  int RunQVKey(const std::string& arguments, const std::string& extra_environment = "") {
    const std::string command =
        "runuser -u " + user_ + " -- env -i HOME=" + Quoted(home_) +
        " PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen QVKEY_SETTINGS_FILE=" +
        Quoted(home_ + "settings.txt") + " QVKEY_BOX_LOG=" + Quoted(Log()) + " " +
        extra_environment + " timeout 60 " + Quoted(prefix_ + "bin/QVKey") + " " + arguments +
        " > " + Quoted(root_ + "qvkey.log") + " 2>&1";
    return Status(std::system(command.c_str()));
  }

  std::string Log() const { return home_ + "boxes.log"; }
  std::string DataFolder() const { return home_ + ".local/share/QVKey/"; }

  // Made only where the test runs, as the superuser.
  std::optional<workbench::TempFolder> folder_;
  std::string root_;
  std::string prefix_;
  std::string home_;
  std::string user_;
  bool user_made_ = false;
  uid_t uid_ = 0;
  gid_t gid_ = 0;
};

TEST_F(InstalledForAUser, InstallsProgramsBesideEachOtherAndTheDesktopEntry) {
  EXPECT_TRUE(fs::is_regular_file(prefix_ + "bin/tarn"));
  EXPECT_TRUE(fs::is_symlink(prefix_ + "bin/QVKey"));
  EXPECT_TRUE(fs::equivalent(prefix_ + "bin/QVKey", prefix_ + "lib/qvkey/QVKey"));
  EXPECT_TRUE(fs::equivalent(prefix_ + "lib/qvkey/TARN.dll", prefix_ + "bin/tarn"));
  EXPECT_EQ(Names(prefix_ + "lib/qvkey"), (std::vector<std::string>{"QVKey", "TARN.dll"}));
  for (const char* file :
       {"share/applications/qvkey.desktop", "share/icons/hicolor/scalable/apps/qvkey.svg",
        "share/doc/qvkey/README.md", "share/doc/qvkey/copyright",
        "share/doc/qvkey/examples/blink.src"})
    EXPECT_TRUE(fs::is_regular_file(prefix_ + file)) << file;
  const std::vector<std::string> entry = Lines(prefix_ + "share/applications/qvkey.desktop");
  ASSERT_FALSE(entry.empty());
  EXPECT_EQ(entry.front(), "[Desktop Entry]");
  for (const char* line : {"Type=Application", "Exec=QVKey %f", "Icon=qvkey"})
    EXPECT_NE(std::find(entry.begin(), entry.end(), line), entry.end()) << line;
}

TEST_F(InstalledForAUser, StartsAssemblesAndProgramsWithoutWritingIntoTheInstall) {
  keysim::SimulatedKey key;
  keysim::ChipModel chip;
  chip.Install(key);
  ASSERT_EQ(::chown(key.DevicePath().c_str(), uid_, gid_), 0);
  const std::string source = home_ + "blink.src";
  std::ofstream(source) << kProgram;
  ASSERT_EQ(::chown(source.c_str(), uid_, gid_), 0);

  // A first start: the configuration notice and nothing of tools or folders; tarn's outputs
  // reach the IDE through the user's data folder.
  ASSERT_EQ(RunQVKey("/h /p " + Quoted(source), "QVKEY_COM1=" + Quoted(key.DevicePath())), 0);
  EXPECT_EQ(Lines(Log()), std::vector<std::string>{testing_gui::kFirstRunBox});
  EXPECT_TRUE(fs::is_directory(DataFolder() + "TARN Output"));
  EXPECT_TRUE(fs::is_directory(DataFolder() + "Templates"));
  EXPECT_EQ(Names(prefix_ + "lib/qvkey"), (std::vector<std::string>{"QVKey", "TARN.dll"}));

  const std::string check = root_ + "check/";
  fs::create_directories(check);
  fs::copy_file(source, check + "blink.src");
  const build_debug::WordArray words =
      build_debug::TarnObject(prefix_ + "lib/qvkey/", check + "blink.src");
  const std::vector<std::uint16_t> program = chip.Program();
  ASSERT_GE(program.size(), 2048u);
  for (std::size_t i = 0; i < 2048; ++i)
    ASSERT_EQ(program[i], words[i] & build_debug::kInstructionBits) << "word " << i;
  EXPECT_NE(program[0], 0x0FFF) << "the program reached the chip";
}

}  // namespace
