#include "platform/settings_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <variant>

namespace {

using platform::SettingsError;
using platform::SettingsStore;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("qv_settings_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    file_ = dir_ / "sub" / "settings.txt";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string FileBytes() const {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path dir_;
  std::filesystem::path file_;
};

TEST_F(SettingsStoreTest, TypedValuesReadBackAndWrongTypeThrows) {
  SettingsStore store(file_);
  ASSERT_TRUE(store.CreateKey("A\\B"));
  EXPECT_TRUE(store.WriteInt("A\\B", "n", -123456));
  EXPECT_TRUE(store.WriteString("A\\B", "s", "Courier New"));
  EXPECT_EQ(store.ReadInt("A\\B", "n"), -123456);
  EXPECT_EQ(store.ReadString("A\\B", "s"), "Courier New");
  EXPECT_THROW(store.ReadString("A\\B", "n"), SettingsError);
  EXPECT_THROW(store.ReadInt("A\\B", "s"), SettingsError);
  // Overwriting with the other type replaces the value.
  EXPECT_TRUE(store.WriteString("A\\B", "n", "x"));
  EXPECT_EQ(store.ReadString("A\\B", "n"), "x");
}

TEST_F(SettingsStoreTest, KeyWithoutValueExistsAndItsReadThrows) {
  SettingsStore store(file_);
  ASSERT_TRUE(store.CreateKey("Empty"));
  EXPECT_TRUE(store.KeyExists("Empty"));
  EXPECT_FALSE(store.ValueExists("Empty", "Empty"));
  EXPECT_THROW(store.ReadInt("Empty", "Empty"), SettingsError);
  SettingsStore again(file_);
  EXPECT_TRUE(again.KeyExists("Empty"));
}

TEST_F(SettingsStoreTest, WriteIntoMissingKeyFails) {
  SettingsStore store(file_);
  EXPECT_FALSE(store.WriteInt("Missing", "v", 1));
  EXPECT_FALSE(store.KeyExists("Missing"));
}

TEST_F(SettingsStoreTest, PathsIgnoreOuterBackslashesAndCase) {
  SettingsStore store(file_);
  ASSERT_TRUE(store.CreateKey("\\Software\\Kestrian\\"));
  EXPECT_TRUE(store.KeyExists("software\\KESTRIAN"));
  EXPECT_TRUE(store.KeyExists("Software"));
  EXPECT_TRUE(store.KeyExists(""));
  ASSERT_TRUE(store.WriteInt("Software\\Kestrian", "Value", 7));
  EXPECT_EQ(store.ReadInt("SOFTWARE\\kestrian", "VALUE"), 7);
}

TEST_F(SettingsStoreTest, DeleteKeyTakesItsSubkeysAndValues) {
  SettingsStore store(file_);
  ASSERT_TRUE(store.CreateKey("Top\\Mid\\Leaf"));
  ASSERT_TRUE(store.CreateKey("Top\\Other"));
  ASSERT_TRUE(store.WriteInt("Top\\Mid", "v", 1));
  EXPECT_TRUE(store.DeleteKey("Top\\Mid"));
  EXPECT_FALSE(store.KeyExists("Top\\Mid"));
  EXPECT_FALSE(store.KeyExists("Top\\Mid\\Leaf"));
  EXPECT_TRUE(store.KeyExists("Top\\Other"));
  EXPECT_FALSE(store.DeleteKey("Top\\Mid"));
  EXPECT_FALSE(store.DeleteKey(""));
  SettingsStore again(file_);
  EXPECT_FALSE(again.KeyExists("Top\\Mid\\Leaf"));
  EXPECT_TRUE(again.KeyExists("Top\\Other"));
}

TEST_F(SettingsStoreTest, ValuesSurviveANewStoreOnTheSameFile) {
  // Names with backslashes and texts with the file's own delimiters must come back unchanged.
  const std::string awkward = "50% \"quoted\"\r\nnext line [x] = \\end\t\x01\xE9";
  {
    SettingsStore store(file_);
    ASSERT_TRUE(store.CreateKey("R\\Configuration\\Tabsize"));
    ASSERT_TRUE(store.WriteInt("R\\Configuration\\Tabsize", "Configuration\\Tabsize", 4));
    ASSERT_TRUE(store.CreateKey("R\\odd %41 key"));
    ASSERT_TRUE(store.WriteString("R\\odd %41 key", "a\\\"b\"", awkward));
    ASSERT_TRUE(store.WriteInt("R\\odd %41 key", "min", INT32_MIN));
    ASSERT_TRUE(store.WriteString("R\\odd %41 key", "empty", ""));
  }
  SettingsStore store(file_);
  EXPECT_EQ(store.ReadInt("R\\Configuration\\Tabsize", "Configuration\\Tabsize"), 4);
  EXPECT_EQ(store.ReadString("R\\odd %41 key", "a\\\"b\""), awkward);
  EXPECT_EQ(store.ReadInt("R\\odd %41 key", "min"), INT32_MIN);
  EXPECT_EQ(store.ReadString("R\\odd %41 key", "empty"), "");
  EXPECT_FALSE(store.KeyExists("R\\odd A key"));
}

TEST_F(SettingsStoreTest, InterruptedSaveLeavesTheOldFile) {
  SettingsStore store(file_);
  ASSERT_TRUE(store.CreateKey("K"));
  ASSERT_TRUE(store.WriteInt("K", "v", 1));
  const std::string before = FileBytes();
  // The save dies half-way through its bytes.
  store.SetByteWriter([](std::FILE* f, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size() / 2, f);
    return false;
  });
  EXPECT_FALSE(store.WriteInt("K", "v", 2));
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(SettingsStore(file_).ReadInt("K", "v"), 1);
  for (const auto& entry : std::filesystem::directory_iterator(file_.parent_path()))
    EXPECT_EQ(entry.path().filename(), "settings.txt") << "temporary file left behind";
}

TEST_F(SettingsStoreTest, UnwritableFolderMakesWritesFail) {
  std::filesystem::create_directories(dir_);
  std::ofstream(dir_ / "sub") << "a file where the folder should be";
  SettingsStore store(file_);
  EXPECT_FALSE(store.CreateKey("K"));
}

TEST_F(SettingsStoreTest, UnreadableLinesAreSkipped) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_) << "QVKey settings 1\n[K]\n\"a\"=12\ngarbage\n\"b\"=\"unterminated\n"
                          "\"c\"=99999999999\n\"d\"=\"ok\"\n";
  SettingsStore store(file_);
  EXPECT_EQ(store.ReadInt("K", "a"), 12);
  EXPECT_FALSE(store.ValueExists("K", "b"));
  EXPECT_FALSE(store.ValueExists("K", "c"));
  EXPECT_EQ(store.ReadString("K", "d"), "ok");
}

// A file that is someone else's is never written: text and binary alike stay byte for byte,
// the store runs empty and every change reports that it was not saved.
TEST_F(SettingsStoreTest, AFileThatIsNoSettingsFileIsNeverWritten) {
  std::filesystem::create_directories(file_.parent_path());
  const std::string text = "Dear diary,\nthe key arrived today.\n";
  std::string binary = std::string("\x7F" "ELF\x02\x01\x00\x00", 8);
  for (int i = 0; i < 300; ++i) binary += static_cast<char>(i * 37);
  for (const std::string& bytes : {text, binary}) {
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << bytes;
    SettingsStore store(file_);
    EXPECT_FALSE(store.Readable());
    EXPECT_FALSE(store.KeyExists("Configuration"));
    EXPECT_FALSE(store.CreateKey("Configuration"));
    EXPECT_FALSE(store.WriteInt("", "x", 1));
    EXPECT_EQ(FileBytes(), bytes);
    for (const auto& entry : std::filesystem::directory_iterator(file_.parent_path()))
      EXPECT_EQ(entry.path().filename(), "settings.txt") << "temporary file left behind";
  }
}

TEST_F(SettingsStoreTest, AnEmptyFileOrNoneIsAFreshStore) {
  SettingsStore none(file_);
  EXPECT_TRUE(none.Readable());
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_, std::ios::trunc).close();
  SettingsStore empty(file_);
  EXPECT_TRUE(empty.Readable());
  EXPECT_TRUE(empty.CreateKey("K"));
  EXPECT_TRUE(SettingsStore(file_).KeyExists("K"));
}

// Faults once found by fuzzing the reader: a key name holding "\" came back as two keys, and
// values of the root key were written before the first key line and skipped on load.
TEST_F(SettingsStoreTest, BackslashInAKeyNameAndRootValuesSurvive) {
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(file_) << "QVKey settings 1\n\"top\"=5\n[A%5CB]\n\"v\"=\"w\"\n";
  {
    SettingsStore store(file_);
    ASSERT_TRUE(store.Readable());
    EXPECT_EQ(store.ReadInt("", "top"), 5);
    EXPECT_FALSE(store.KeyExists("A"));
    ASSERT_TRUE(store.WriteInt("", "second", 6));  // a save
  }
  SettingsStore again(file_);
  EXPECT_EQ(again.ReadInt("", "top"), 5);
  EXPECT_EQ(again.ReadInt("", "second"), 6);
  EXPECT_FALSE(again.KeyExists("A"));
  EXPECT_FALSE(again.KeyExists("B"));
  // The one key's name holds the backslash; a path cannot name it, so it is found by saving
  // and reading the file back.
  EXPECT_NE(FileBytes().find("[A%5CB]"), std::string::npos);
}

// Every key and value the store can hold survives a save and a load byte for byte.
TEST_F(SettingsStoreTest, RandomKeysAndValuesRoundTrip) {
  std::mt19937 random(20261210);
  auto any_bytes = [&](std::size_t max, bool backslash) {
    std::string text(1 + random() % max, '\0');
    for (char& c : text) {
      do c = static_cast<char>(random() % 256);
      while (!backslash && c == '\\');
    }
    return text;
  };
  using Values = std::map<std::string, std::variant<std::int32_t, std::string>,
                          platform::CaseInsensitiveLess>;
  std::map<std::string, Values, platform::CaseInsensitiveLess> expected;  // by key path
  {
    SettingsStore store(file_);
    for (int round = 0; round < 300; ++round) {
      // A path of one or two names; an empty path is the root key.
      std::string path;
      if (round % 10 != 0) {
        path = any_bytes(12, false);
        if (random() % 2) path += "\\" + any_bytes(12, false);
      }
      ASSERT_TRUE(store.CreateKey(path));
      const std::string name = any_bytes(16, true);
      // Paths differing in case are one key: keep the path the store knows.
      std::string known = path;
      for (const auto& [stored, values] : expected)
        if (!platform::CaseInsensitiveLess()(stored, path) &&
            !platform::CaseInsensitiveLess()(path, stored))
          known = stored;
      if (random() % 2) {
        const auto value = static_cast<std::int32_t>(random());
        ASSERT_TRUE(store.WriteInt(path, name, value));
        expected[known][name] = value;
      } else {
        std::string value = random() % 8 ? any_bytes(40, true) : std::string();
        ASSERT_TRUE(store.WriteString(path, name, value));
        expected[known][name] = value;
      }
    }
  }
  SettingsStore loaded(file_);
  ASSERT_TRUE(loaded.Readable());
  for (const auto& [path, values] : expected) {
    ASSERT_TRUE(loaded.KeyExists(path)) << testing::PrintToString(path);
    for (const auto& [name, value] : values) {
      ASSERT_TRUE(loaded.ValueExists(path, name)) << testing::PrintToString(name);
      if (const auto* number = std::get_if<std::int32_t>(&value)) {
        EXPECT_EQ(loaded.ReadInt(path, name), *number);
      } else {
        EXPECT_EQ(loaded.ReadString(path, name), std::get<std::string>(value));
      }
    }
  }
}

TEST(SettingsStorePath, EnvironmentChoosesTheFile) {
  const char* saved_file = std::getenv("QVKEY_SETTINGS_FILE");
  const char* saved_config = std::getenv("XDG_CONFIG_HOME");
  std::string keep_file = saved_file ? saved_file : "", keep_config = saved_config ? saved_config : "";
  ::setenv("QVKEY_SETTINGS_FILE", "/tmp/x/s.txt", 1);
  EXPECT_EQ(SettingsStore::DefaultPath(), "/tmp/x/s.txt");
  ::unsetenv("QVKEY_SETTINGS_FILE");
  ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(SettingsStore::DefaultPath(), "/tmp/cfg/QVKey/settings.txt");
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsStore::DefaultPath().filename(), "settings.txt");
  EXPECT_EQ(SettingsStore::DefaultPath().parent_path().parent_path().filename(), ".config");
  if (saved_file) ::setenv("QVKEY_SETTINGS_FILE", keep_file.c_str(), 1);
  if (saved_config) ::setenv("XDG_CONFIG_HOME", keep_config.c_str(), 1);
}

}  // namespace
