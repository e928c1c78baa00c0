#include "workbench/gui/form_placement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <memory>

namespace {

class FormPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = std::filesystem::temp_directory_path() /
            ("qv_placement_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    std::filesystem::remove(file_);
    store_ = std::make_unique<platform::SettingsStore>(file_);
    registry_ = std::make_unique<workbench::RegistrySettings>(*store_);
  }
  void TearDown() override {
    registry_.reset();
    store_.reset();
    std::filesystem::remove(file_);
  }
  int Read(const std::string& name) const {
    std::int32_t v = -1;
    EXPECT_TRUE(registry_->ReadRegInt(name, v)) << name;
    return v;
  }
  std::filesystem::path file_;
  std::unique_ptr<platform::SettingsStore> store_;
  std::unique_ptr<workbench::RegistrySettings> registry_;
};

TEST_F(FormPlacementTest, MaximizedWindowIsSavedWithItsNormalBoundsAndLeftNormal) {
  QMainWindow w;
  w.setGeometry(100, 120, 400, 300);
  w.show();
  w.setWindowState(Qt::WindowMaximized);
  QApplication::processEvents();
  ASSERT_TRUE(w.isMaximized());
  ASSERT_TRUE(gui::SaveFormPlacement(*registry_, "CodeWindow", w));
  EXPECT_EQ(Read("CodeWindow\\WindowState"), 2);
  EXPECT_EQ(Read("CodeWindow\\Left"), 100);
  EXPECT_EQ(Read("CodeWindow\\Top"), 120);
  EXPECT_EQ(Read("CodeWindow\\Width"), 400);
  EXPECT_EQ(Read("CodeWindow\\Height"), 300);
  EXPECT_EQ(Read("CodeWindow\\Visible"), 1);
  EXPECT_FALSE(w.isMaximized());

  QMainWindow again;
  ASSERT_TRUE(gui::RestoreFormPlacement(*registry_, "CodeWindow", again));
  EXPECT_EQ(again.geometry(), QRect(100, 120, 400, 300));
  EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
}

TEST_F(FormPlacementTest, MissingWidthLeavesTheWindowAsItWas) {
  ASSERT_TRUE(registry_->WriteFormBounds("ClockWindow", 10, 20, 300, 400, true));
  ASSERT_TRUE(registry_->WriteRegInt("ClockWindow\\WindowState", 2));
  ASSERT_TRUE(registry_->RegDeleteKey("ClockWindow\\Width"));
  QMainWindow w;
  w.setGeometry(50, 60, 200, 100);
  EXPECT_TRUE(gui::RestoreFormPlacement(*registry_, "ClockWindow", w));
  EXPECT_EQ(w.geometry(), QRect(50, 60, 200, 100));
  EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(gui::RestoreFormPlacement(*registry_, "DeviceWindow", w));
}

}  // namespace
