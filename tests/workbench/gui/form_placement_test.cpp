#include "workbench/gui/form_placement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>

namespace {

class FormPlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    file_ = std::filesystem::temp_directory_path() /
            ("qv_placement_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    std::filesystem::remove(file_);
    workbench::CreateSettingsStore(file_);
    workbench::SetRegistryRoot(workbench::kRegistryRoot);
  }
  void TearDown() override {
    workbench::FreeSettingsStore();
    std::filesystem::remove(file_);
  }
  static int Read(const std::string& name) {
    std::int32_t v = -1;
    EXPECT_TRUE(workbench::ReadRegInt(name, v)) << name;
    return v;
  }
  std::filesystem::path file_;
};

TEST_F(FormPlacementTest, MaximizedWindowIsSavedWithItsNormalBoundsAndLeftNormal) {
  QMainWindow w;
  w.setGeometry(100, 120, 400, 300);
  w.show();
  w.setWindowState(Qt::WindowMaximized);
  QApplication::processEvents();
  ASSERT_TRUE(w.isMaximized());
  ASSERT_TRUE(gui::SaveFormPlacement("CodeWindow", w));
  EXPECT_EQ(Read("CodeWindow\\WindowState"), 2);
  EXPECT_EQ(Read("CodeWindow\\Left"), 100);
  EXPECT_EQ(Read("CodeWindow\\Top"), 120);
  EXPECT_EQ(Read("CodeWindow\\Width"), 400);
  EXPECT_EQ(Read("CodeWindow\\Height"), 300);
  EXPECT_EQ(Read("CodeWindow\\Visible"), 1);
  EXPECT_FALSE(w.isMaximized());

  QMainWindow again;
  ASSERT_TRUE(gui::RestoreFormPlacement("CodeWindow", again));
  EXPECT_EQ(again.geometry(), QRect(100, 120, 400, 300));
  EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
}

TEST_F(FormPlacementTest, MissingWidthLeavesTheWindowAsItWas) {
  ASSERT_TRUE(workbench::WriteFormBounds("ClockWindow", 10, 20, 300, 400, true));
  ASSERT_TRUE(workbench::WriteRegInt("ClockWindow\\WindowState", 2));
  ASSERT_TRUE(workbench::RegDeleteKey("ClockWindow\\Width"));
  QMainWindow w;
  w.setGeometry(50, 60, 200, 100);
  EXPECT_TRUE(gui::RestoreFormPlacement("ClockWindow", w));
  EXPECT_EQ(w.geometry(), QRect(50, 60, 200, 100));
  EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(gui::RestoreFormPlacement("DeviceWindow", w));
}

}  // namespace
