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
  std::string binary = std::string(
      "\x7F"
      "ELF\x02\x01\x00\x00",
      8);
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
  using Values =
      std::map<std::string, std::variant<std::int32_t, std::string>, platform::CaseInsensitiveLess>;
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
  std::string keep_file = saved_file ? saved_file : "",
              keep_config = saved_config ? saved_config : "";
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

namespace {

// Whether text holds part; the message shows both.
::testing::AssertionResult Mentions(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << part << "\" not in: " << text;
}

constexpr std::string_view kRoot = "Software\\KestrianInc\\QV-Key\\2.0\\";

// A settings file as QVKey wrote it before the store was bounded: every key on a line of its
// own with its full path, a workspace, recent files and the configuration.
std::string WrittenByQVKey() {
  std::ifstream in(std::string(PLATFORM_FIXTURES) + "/settings/written_by_qvkey.txt",
                   std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

class SettingsFileTest : public SettingsStoreTest {
 protected:
  void Write(std::string_view bytes) {
    std::filesystem::create_directories(file_.parent_path());
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::string Bytes(const std::filesystem::path& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::filesystem::path Damaged() const { return file_.string() + ".damaged"; }
};

TEST_F(SettingsFileTest, AFileAsEarlierVersionsWroteItLoadsWholeAndSavesSmaller) {
  const std::string old_file = WrittenByQVKey();
  ASSERT_GT(old_file.size(), 9000u);
  Write(old_file);
  {
    SettingsStore store(file_);
    ASSERT_TRUE(store.Readable());
    EXPECT_FALSE(store.Damaged()) << Joined(store.Problems());
    const std::string workspace = std::string(kRoot) + "WorkspaceFiles\\File_00";
    EXPECT_EQ(store.ReadString(workspace, "WorkspaceFiles\\File_00"), "/tmp/st/proj/blink led.src");
    EXPECT_EQ(store.ReadInt(std::string(kRoot) + "Configuration\\RestoreWorkspace",
                            "Configuration\\RestoreWorkspace"),
              1);
    EXPECT_EQ(store.ReadString(std::string(kRoot) + "Configuration\\CustomColors\\ColorP",
                               "Configuration\\CustomColors\\ColorP"),
              "ColorP=808080");
    EXPECT_TRUE(store.KeyExists(std::string(kRoot) + "LastFilesOpened"));
    ASSERT_TRUE(store.WriteInt(workspace, "another", 1));
  }
  // The new file names each key that holds values once; the keys above them are implied.
  const std::string saved = FileBytes();
  EXPECT_LT(saved.size(), old_file.size());
  EXPECT_EQ(saved.find("[Software]\n"), std::string::npos);
  SettingsStore again(file_);
  EXPECT_FALSE(again.Damaged());
  EXPECT_TRUE(again.KeyExists("Software\\KestrianInc"));
  EXPECT_EQ(
      again.ReadString(std::string(kRoot) + "WorkspaceFiles\\File_00", "WorkspaceFiles\\File_00"),
      "/tmp/st/proj/blink led.src");
  EXPECT_EQ(again.ReadInt(std::string(kRoot) + "WorkspaceFiles\\File_00", "another"), 1);
  // Loading what was saved and saving it again changes nothing.
  EXPECT_EQ(again.SavedBytes(), saved);
}

// Lines that cannot be read are skipped, the rest is kept, and the file counts as damaged.
TEST_F(SettingsFileTest, DamagedLinesAreSkippedAndNamed) {
  const std::string cut_in_half = WrittenByQVKey().substr(0, 4775);  // inside line 100
  struct Case {
    const char* what;
    std::string bytes;
    const char* problem;
  } cases[] = {
      {"cut in half", cut_in_half, "ends in the middle of line 100"},
      {"garbage", "QVKey settings 1\n[K]\n\"a\"=1\ngarbage\n\"b\"=2\n", "line 4"},
      {"number out of range", "QVKey settings 1\n[K]\n\"a\"=1\n\"c\"=99999999999\n\"b\"=2\n",
       "line 4"},
      {"unterminated text", "QVKey settings 1\n[K]\n\"a\"=1\n\"c\"=\"open\n\"b\"=2\n", "line 4"},
      {"bad escape", "QVKey settings 1\n[K]\n\"a\"=1\n\"c%G1\"=3\n\"b\"=2\n", "line 4"},
  };
  for (const Case& c : cases) {
    Write(c.bytes);
    SettingsStore store(file_);
    ASSERT_TRUE(store.Readable()) << c.what;
    EXPECT_TRUE(store.Damaged()) << c.what;
    EXPECT_TRUE(Mentions(Joined(store.Problems()), c.problem)) << c.what;
    if (std::string_view(c.what) == "cut in half") {
      EXPECT_EQ(store.ReadInt(std::string(kRoot) + "Configuration\\SmoothScroll",
                              "Configuration\\SmoothScroll"),
                1);
      EXPECT_FALSE(store.KeyExists(std::string(kRoot) + "Configuration\\Tabsize"));
    } else {
      EXPECT_EQ(store.ReadInt("K", "a"), 1) << c.what;
      EXPECT_EQ(store.ReadInt("K", "b"), 2) << c.what;
      EXPECT_FALSE(store.ValueExists("K", "c")) << c.what;
    }
  }
}

// A key line that cannot be read takes its values with it: they are not given to the key
// above.
TEST_F(SettingsFileTest, ValuesOfAnUnreadableKeyAreNotGivenToAnother) {
  Write("QVKey settings 1\n[A]\n\"a\"=1\n[B%ZZ]\n\"b\"=2\n[C\n\"c\"=3\n[D]\n\"d\"=4\n");
  SettingsStore store(file_);
  EXPECT_TRUE(store.Damaged());
  EXPECT_EQ(store.ReadInt("A", "a"), 1);
  EXPECT_FALSE(store.ValueExists("A", "b"));
  EXPECT_FALSE(store.ValueExists("A", "c"));
  EXPECT_EQ(store.ReadInt("D", "d"), 4);
  const std::string problems = Joined(store.Problems());
  EXPECT_TRUE(Mentions(problems, "line 4"));
  EXPECT_TRUE(Mentions(problems, "line 6"));
}

TEST_F(SettingsFileTest, TheDamagedFileIsKeptBeforeTheFirstSave) {
  const std::string damaged = "QVKey settings 1\n[K]\n\"a\"=1\ngarbage\n";
  Write(damaged);
  SettingsStore store(file_);
  ASSERT_TRUE(store.Damaged());
  EXPECT_FALSE(std::filesystem::exists(Damaged())) << "nothing is copied before a save";
  ASSERT_TRUE(store.WriteInt("K", "b", 2));
  EXPECT_EQ(Bytes(Damaged()), damaged);
  ASSERT_TRUE(store.WriteInt("K", "c", 3));
  EXPECT_EQ(Bytes(Damaged()), damaged) << "the copy is made once";
  SettingsStore again(file_);
  EXPECT_FALSE(again.Damaged());
  EXPECT_EQ(again.ReadInt("K", "a"), 1);
  EXPECT_EQ(again.ReadInt("K", "c"), 3);
}

TEST_F(SettingsFileTest, DamageFoundByAReaderAlsoKeepsTheFile) {
  Write("QVKey settings 1\n[K]\n\"a\"=\"text\"\n");
  SettingsStore store(file_);
  ASSERT_FALSE(store.Damaged());
  store.NoteDamage("the setting \"a\" holds a text where a number belongs");
  EXPECT_TRUE(store.Damaged());
  EXPECT_TRUE(Mentions(Joined(store.Problems()), "\"a\" holds a text"));
  ASSERT_TRUE(store.WriteInt("K", "a", 5));
  EXPECT_EQ(Bytes(Damaged()), "QVKey settings 1\n[K]\n\"a\"=\"text\"\n");
}

TEST_F(SettingsFileTest, AHealthyFileGetsNoCopy) {
  Write(WrittenByQVKey());
  SettingsStore store(file_);
  ASSERT_TRUE(store.WriteInt("", "x", 1));
  EXPECT_FALSE(std::filesystem::exists(Damaged()));
}

// Keys too deep or too long, names and values too long: refused where they are met, in the
// file or from a caller, with a reason; everything else stays.
TEST_F(SettingsFileTest, BoundsRefuseWhatIsTooBigAndKeepTheRest) {
  std::string deep, long_path;
  for (int i = 0; i <= SettingsStore::kMaxKeyDepth; ++i) deep += "d\\";
  while (long_path.size() <= SettingsStore::kMaxKeyPathBytes)
    long_path += std::string(200, 'p') + "\\";
  const std::string long_name(SettingsStore::kMaxKeyNameBytes + 1, 'n');
  const std::string big_value(SettingsStore::kMaxValueBytes + 1, 'v');
  const std::string long_value_name(SettingsStore::kMaxValueNameBytes + 1, 'n');
  Write("QVKey settings 1\n[" + deep + "]\n\"lost\"=1\n[" + long_path + "]\n\"lost\"=2\n[" +
        long_name + "]\n\"lost\"=3\n[K]\n\"big\"=\"" + big_value + "\"\n\"" + long_value_name +
        "\"=4\n\"kept\"=5\n");
  SettingsStore store(file_);
  EXPECT_TRUE(store.Damaged());
  const std::string problems = Joined(store.Problems());
  for (const char* line : {"line 2", "line 4", "line 6", "line 9", "line 10"})
    EXPECT_TRUE(Mentions(problems, line));
  EXPECT_FALSE(store.KeyExists("d\\d\\d"));
  EXPECT_FALSE(store.ValueExists("K", "big"));
  EXPECT_EQ(store.ReadInt("K", "kept"), 5);

  // The same bounds hold for a caller's writes.
  EXPECT_FALSE(store.CreateKey(deep));
  EXPECT_TRUE(Mentions(store.LastError(), "levels"));
  EXPECT_FALSE(store.KeyExists("d"));
  EXPECT_FALSE(store.CreateKey(long_path));
  EXPECT_FALSE(store.CreateKey(long_name));
  EXPECT_FALSE(store.WriteString("K", "big", big_value));
  EXPECT_TRUE(Mentions(store.LastError(), "bytes"));
  EXPECT_FALSE(store.WriteInt("K", long_value_name, 1));
  EXPECT_FALSE(store.ValueExists("K", "big"));
  EXPECT_TRUE(store.WriteString("K", "fits", std::string(SettingsStore::kMaxValueBytes, 'v')));
  EXPECT_TRUE(store.CreateKey(deep.substr(0, deep.size() - 2)));  // the deepest allowed
  SettingsStore again(file_);
  EXPECT_FALSE(again.Damaged()) << Joined(again.Problems());
  EXPECT_EQ(again.ReadInt("K", "kept"), 5);
  EXPECT_EQ(again.ReadString("K", "fits").size(), SettingsStore::kMaxValueBytes);
}

TEST_F(SettingsFileTest, TheFileNeverGrowsBeyondItsBound) {
  SettingsStore store(file_);
  ASSERT_TRUE(store.CreateKey("K"));
  const std::string value(SettingsStore::kMaxValueBytes, 'v');
  int written = 0;
  const auto name = [](int n) {
    std::string text = "v";
    return text += std::to_string(n);
  };
  {
    platform::SettingsBurst burst(store);
    while (store.WriteString("K", name(written), value)) ++written;
    EXPECT_TRUE(Mentions(store.LastError(), "bytes"));
    ASSERT_TRUE(burst.End());
  }
  EXPECT_GT(written, 0);
  EXPECT_LE(std::filesystem::file_size(file_), SettingsStore::kMaxFileBytes);
  EXPECT_TRUE(store.WriteInt("K", "v0", 1)) << "a write that shrinks the file is taken";

  // A file that full is read up to the load's bound, which leaves the run room for its own.
  SettingsStore full(file_);
  EXPECT_TRUE(full.Damaged());
  EXPECT_TRUE(Mentions(Joined(full.Problems()), "are skipped: the settings take more than"));
  EXPECT_TRUE(full.ValueExists("K", "v1"));
  EXPECT_FALSE(full.ValueExists("K", "v" + std::to_string(written - 1)));
  EXPECT_TRUE(full.CreateKey("Software\\KestrianInc\\QV-Key\\2.0\\EditorWindow\\Top"));

  // A file beyond the bound (another program's growth, say) is read up to it.
  Write("QVKey settings 1\n[K]\n\"early\"=1\n" + std::string(SettingsStore::kMaxFileBytes, '\n') +
        "\"late\"=1\n");
  SettingsStore big(file_);
  EXPECT_TRUE(big.Readable());
  EXPECT_TRUE(big.Damaged());
  EXPECT_TRUE(Mentions(Joined(big.Problems()), "larger than"));
  EXPECT_TRUE(big.ValueExists("K", "early"));
  EXPECT_FALSE(big.ValueExists("K", "late"));
}

// What a save writes is never more than a few times what was read: a deep key is one line,
// not one line per level.
TEST_F(SettingsFileTest, ASaveIsLinearInTheFileItLoaded) {
  std::string path;
  for (int i = 0; i < SettingsStore::kMaxKeyDepth; ++i)
    path += (i ? "\\" : "") + std::string(15, 'k');
  const std::string input = "QVKey settings 1\n[" + path + "]\n\"v\"=1\n";
  Write(input);
  SettingsStore store(file_);
  ASSERT_FALSE(store.Damaged()) << Joined(store.Problems());
  ASSERT_TRUE(store.WriteInt("", "x", 1));
  EXPECT_LE(FileBytes().size(), input.size() + 16);
  EXPECT_TRUE(SettingsStore(file_).KeyExists(path));
}

// A settings file kept elsewhere through a link (a folder of dotfiles) stays linked.
TEST_F(SettingsFileTest, ASaveThroughALinkWritesItsTarget) {
  const std::filesystem::path target = dir_ / "dotfiles" / "qvkey.txt";
  std::filesystem::create_directories(target.parent_path());
  std::filesystem::create_directories(file_.parent_path());
  std::ofstream(target) << "QVKey settings 1\n[K]\n\"a\"=1\n";
  std::filesystem::create_symlink(target, file_);
  SettingsStore store(file_);
  ASSERT_TRUE(store.WriteInt("K", "b", 2));
  EXPECT_TRUE(std::filesystem::is_symlink(file_));
  EXPECT_EQ(SettingsStore(target).ReadInt("K", "b"), 2);
}

// The writes of one burst replace the file once, at the end of the outermost burst.
TEST_F(SettingsFileTest, ABurstOfWritesReplacesTheFileOnce) {
  SettingsStore store(file_);
  int replacements = 0;
  bool fail = false;
  store.SetByteWriter([&](std::FILE* f, std::string_view bytes) {
    ++replacements;
    return !fail && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  });
  {
    platform::SettingsBurst outer(store);
    ASSERT_TRUE(store.CreateKey("Window"));
    {
      platform::SettingsBurst inner(store);
      for (const char* name : {"Top", "Left", "Height", "Width", "Visible"})
        ASSERT_TRUE(store.WriteInt("Window", name, 1));
      ASSERT_TRUE(inner.End());
    }
    EXPECT_EQ(replacements, 0);
    EXPECT_FALSE(std::filesystem::exists(file_));
    ASSERT_TRUE(outer.End());
  }
  EXPECT_EQ(replacements, 1);
  EXPECT_EQ(SettingsStore(file_).ReadInt("Window", "Visible"), 1);

  // A burst whose save fails says so at its end; its values wait in memory for the next save.
  fail = true;
  {
    platform::SettingsBurst burst(store);
    ASSERT_TRUE(store.WriteInt("Window", "Top", 2));
    EXPECT_FALSE(burst.End());
  }
  EXPECT_EQ(SettingsStore(file_).ReadInt("Window", "Top"), 1);
  fail = false;
  ASSERT_TRUE(store.WriteInt("Window", "Left", 3));
  EXPECT_EQ(SettingsStore(file_).ReadInt("Window", "Top"), 2);
  // A burst that changed nothing writes nothing.
  replacements = 0;
  {
    platform::SettingsBurst idle(store);
    EXPECT_TRUE(idle.End());
  }
  EXPECT_EQ(replacements, 0);
}

}  // namespace
