#include "services/registry_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using platform::SettingsStore;
using workbench::FormBounds;
using workbench::PlacedWindow;
using workbench::RegistrySettings;
using workbench::WindowState;

const std::string kRoot = "Software\\KestrianInc\\QV-Key\\2.0\\";

// A window that remembers its normal bounds apart from its state, as a real one does.
class FakeWindow : public PlacedWindow {
 public:
  WindowState State() const override { return state; }
  void SetState(WindowState s) override {
    state = s;
    ++state_changes;
  }
  int Top() const override { return top; }
  int Left() const override { return left; }
  int Height() const override { return height; }
  int Width() const override { return width; }
  bool Visible() const override { return visible; }
  void SetBounds(int l, int t, int w, int h) override {
    left = l, top = t, width = w, height = h;
    ++bounds_changes;
  }
  WindowState state = WindowState::Normal;
  int top = 10, left = 20, height = 300, width = 400;
  bool visible = true;
  int state_changes = 0, bounds_changes = 0;
};

class RegistrySettingsTest : public ::testing::Test {
 protected:
  RegistrySettingsTest()
      : file_(std::filesystem::temp_directory_path() /
              ("qv_registry_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt")),
        store_((std::filesystem::remove(file_), file_)),
        settings_(store_) {
    settings_.SetRegistryRoot(workbench::kRegistryRoot);
  }
  ~RegistrySettingsTest() override { std::filesystem::remove(file_); }

  std::filesystem::path file_;
  SettingsStore store_;
  RegistrySettings settings_;
};

TEST_F(RegistrySettingsTest, SettingIsKeyUnderRootHoldingValueOfTheSameName) {
  ASSERT_TRUE(settings_.WriteRegInt("Configuration\\Tabsize", 4));
  EXPECT_EQ(store_.ReadInt(kRoot + "Configuration\\Tabsize", "Configuration\\Tabsize"), 4);
  ASSERT_TRUE(settings_.WriteRegString("LastFilesOpened\\File0", "C:\\src\\a.SRC"));
  EXPECT_EQ(store_.ReadString(kRoot + "LastFilesOpened\\File0", "LastFilesOpened\\File0"),
            "C:\\src\\a.SRC");
  std::int32_t n = 0;
  std::string s;
  EXPECT_TRUE(settings_.ReadRegInt("Configuration\\Tabsize", n));
  EXPECT_EQ(n, 4);
  EXPECT_TRUE(settings_.ReadRegString("LastFilesOpened\\File0", s));
  EXPECT_EQ(s, "C:\\src\\a.SRC");
}

TEST_F(RegistrySettingsTest, MissingSettingKeepsTheCallersDefault) {
  std::int32_t n = 77;
  std::string s = "kept?";
  EXPECT_FALSE(settings_.ReadRegInt("Configuration\\Nothing", n));
  EXPECT_EQ(n, 77);
  EXPECT_FALSE(settings_.ReadRegString("Configuration\\Nothing", s));
  EXPECT_EQ(s, "");
  EXPECT_FALSE(settings_.RegKeyExists("Configuration\\Nothing"));
}

// A damaged file: the setting reads as missing (the caller keeps its default), and the store
// learns which setting was damaged and how.
TEST_F(RegistrySettingsTest, KeyWithoutValueOrOfOtherTypeReadsAsMissingAndIsNoted) {
  ASSERT_TRUE(settings_.WriteRegInt("EditorWindow\\Top", 5));  // makes "EditorWindow" a key
  ASSERT_TRUE(settings_.WriteRegString("Configuration\\Tabsize", "4"));
  std::int32_t n = 77;
  std::string s = "old";
  EXPECT_TRUE(settings_.RegKeyExists("EditorWindow"));
  EXPECT_FALSE(store_.Damaged());
  EXPECT_FALSE(settings_.ReadRegInt("EditorWindow", n));
  EXPECT_FALSE(settings_.ReadRegInt("Configuration\\Tabsize", n));
  EXPECT_EQ(n, 77);
  EXPECT_FALSE(settings_.ReadRegString("EditorWindow\\Top", s));
  EXPECT_EQ(s, "");
  EXPECT_TRUE(store_.Damaged());
  const std::vector<std::string> expected = {
      "the setting \"EditorWindow\" has no value",
      "the setting \"Configuration\\Tabsize\" holds a text where a number belongs",
      "the setting \"EditorWindow\\Top\" holds a number where a text belongs"};
  EXPECT_EQ(store_.Problems(), expected);
  // Read again, a damaged setting is not named twice.
  EXPECT_FALSE(settings_.ReadRegInt("EditorWindow", n));
  EXPECT_EQ(store_.Problems().size(), 3u);
}

TEST_F(RegistrySettingsTest, DeleteTakesThePlacementWithItsSettings) {
  ASSERT_TRUE(settings_.WriteFormBounds(
      "ClockWindow", {.top = 1, .left = 2, .height = 3, .width = 4, .visible = true}));
  EXPECT_TRUE(settings_.RegDeleteKey("ClockWindow"));
  EXPECT_FALSE(settings_.RegKeyExists("ClockWindow"));
  EXPECT_FALSE(settings_.RegKeyExists("ClockWindow\\Top"));
  EXPECT_FALSE(settings_.RegDeleteKey("ClockWindow"));
}

TEST_F(RegistrySettingsTest, FormBoundsRoundTripAndMissingOnesStayUntouched) {
  ASSERT_TRUE(settings_.WriteFormBounds(
      "DeviceWindow", {.top = 11, .left = 22, .height = 333, .width = 444, .visible = false}));
  EXPECT_EQ(store_.ReadInt(kRoot + "DeviceWindow\\Height", "DeviceWindow\\Height"), 333);
  EXPECT_EQ(store_.ReadInt(kRoot + "DeviceWindow\\Visible", "DeviceWindow\\Visible"), 0);
  FormBounds bounds{.visible = true};
  ASSERT_TRUE(settings_.ReadFormBounds("DeviceWindow", bounds));
  EXPECT_EQ(bounds.top, 11);
  EXPECT_EQ(bounds.left, 22);
  EXPECT_EQ(bounds.height, 333);
  EXPECT_EQ(bounds.width, 444);
  EXPECT_FALSE(bounds.visible);

  ASSERT_TRUE(settings_.RegDeleteKey("DeviceWindow\\Width"));
  bounds.width = -1;
  EXPECT_TRUE(settings_.ReadFormBounds("DeviceWindow", bounds));
  EXPECT_EQ(bounds.width, -1);
  EXPECT_FALSE(settings_.ReadFormBounds("NoWindow", bounds));
}

// A placement is six values: the file is replaced once for all of them, and a failed
// replacement is the result of the whole.
TEST_F(RegistrySettingsTest, APlacementReplacesTheFileOnce) {
  int replacements = 0;
  bool fail = false;
  store_.SetByteWriter([&](std::FILE* f, std::string_view bytes) {
    ++replacements;
    return !fail && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  });
  FakeWindow w;
  ASSERT_TRUE(settings_.SaveFormPlacement("CodeWindow", w));
  EXPECT_EQ(replacements, 1);
  ASSERT_TRUE(settings_.WriteFormBounds(
      "ClockWindow", {.top = 1, .left = 2, .height = 3, .width = 4, .visible = true}));
  EXPECT_EQ(replacements, 2);
  fail = true;
  EXPECT_FALSE(settings_.WriteFormBounds(
      "ClockWindow", {.top = 5, .left = 6, .height = 7, .width = 8, .visible = true}));
}

TEST_F(RegistrySettingsTest, SavingAMaximizedWindowStoresItsNormalBounds) {
  FakeWindow w;
  w.state = WindowState::Maximized;
  ASSERT_TRUE(settings_.SaveFormPlacement("CodeWindow", w));
  std::int32_t v = -1;
  ASSERT_TRUE(settings_.ReadRegInt("CodeWindow\\WindowState", v));
  EXPECT_EQ(v, 2);
  ASSERT_TRUE(settings_.ReadRegInt("CodeWindow\\Top", v));
  EXPECT_EQ(v, 10);
  ASSERT_TRUE(settings_.ReadRegInt("CodeWindow\\Left", v));
  EXPECT_EQ(v, 20);
  ASSERT_TRUE(settings_.ReadRegInt("CodeWindow\\Height", v));
  EXPECT_EQ(v, 300);
  ASSERT_TRUE(settings_.ReadRegInt("CodeWindow\\Width", v));
  EXPECT_EQ(v, 400);
  ASSERT_TRUE(settings_.ReadRegInt("CodeWindow\\Visible", v));
  EXPECT_EQ(v, 1);
  EXPECT_EQ(w.state, WindowState::Normal);
}

TEST_F(RegistrySettingsTest, RestoreAppliesBoundsThenState) {
  ASSERT_TRUE(settings_.WriteFormBounds(
      "WatchWindow", {.top = 5, .left = 6, .height = 70, .width = 80, .visible = true}));
  ASSERT_TRUE(settings_.WriteRegInt("WatchWindow\\WindowState", 2));
  FakeWindow w;
  ASSERT_TRUE(settings_.RestoreFormPlacement("WatchWindow", w));
  EXPECT_EQ(w.top, 5);
  EXPECT_EQ(w.left, 6);
  EXPECT_EQ(w.height, 70);
  EXPECT_EQ(w.width, 80);
  EXPECT_EQ(w.state, WindowState::Maximized);

  ASSERT_TRUE(settings_.RegDeleteKey("WatchWindow\\WindowState"));
  ASSERT_TRUE(settings_.RestoreFormPlacement("WatchWindow", w));
  EXPECT_EQ(w.state, WindowState::Normal);
}

TEST_F(RegistrySettingsTest, RestoreWithWidthMissingChangesNothingButSucceeds) {
  ASSERT_TRUE(settings_.WriteFormBounds(
      "RegisterWindow", {.top = 5, .left = 6, .height = 70, .width = 80, .visible = true}));
  ASSERT_TRUE(settings_.WriteRegInt("RegisterWindow\\WindowState", 2));
  ASSERT_TRUE(settings_.RegDeleteKey("RegisterWindow\\Width"));
  FakeWindow w;
  EXPECT_TRUE(settings_.RestoreFormPlacement("RegisterWindow", w));
  EXPECT_EQ(w.bounds_changes, 0);
  EXPECT_EQ(w.state_changes, 0);
  EXPECT_FALSE(settings_.RestoreFormPlacement("ClockWindow", w));
}

}  // namespace
