#include "services/gui/form_placement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWindow>
#include <QtTest/QTest>
#include <memory>
#include <optional>

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
  ASSERT_TRUE(registry_->WriteFormBounds(
      "ClockWindow", {.top = 10, .left = 20, .height = 300, .width = 400, .visible = true}));
  ASSERT_TRUE(registry_->WriteRegInt("ClockWindow\\WindowState", 2));
  ASSERT_TRUE(registry_->RegDeleteKey("ClockWindow\\Width"));
  QMainWindow w;
  w.setGeometry(50, 60, 200, 100);
  EXPECT_TRUE(gui::RestoreFormPlacement(*registry_, "ClockWindow", w));
  EXPECT_EQ(w.geometry(), QRect(50, 60, 200, 100));
  EXPECT_FALSE(w.windowState() & Qt::WindowMaximized);
  EXPECT_FALSE(gui::RestoreFormPlacement(*registry_, "DeviceWindow", w));
}

TEST(WholeOnScreen, AWindowIsMovedAndCutUntilItStandsWholeOnItsScreen) {
  const QRect screen(0, 0, 1600, 1000);
  const QMargins frame(1, 20, 1, 5);  // left, top (the title bar), right, bottom
  struct Case {
    const char* name;
    QMargins frame;
    QRect wanted;
    QRect placed;
  };
  const Case cases[] = {
      {"inside stays", {}, {100, 120, 400, 300}, {100, 120, 400, 300}},
      {"below the bottom", {}, {300, 800, 500, 400}, {300, 600, 500, 400}},
      {"beyond the right", {}, {1400, 10, 400, 300}, {1200, 10, 400, 300}},
      {"above and left", {}, {-50, -20, 400, 300}, {0, 0, 400, 300}},
      {"taller than the screen", {}, {10, 100, 400, 1200}, {10, 0, 400, 1000}},
      // A framed window keeps its title bar and its borders on the screen too.
      {"framed, inside stays", frame, {100, 120, 400, 300}, {100, 120, 400, 300}},
      {"framed, at the top", frame, {0, 0, 400, 300}, {1, 20, 400, 300}},
      {"framed, at the bottom", frame, {300, 800, 500, 200}, {300, 795, 500, 200}},
      {"framed, beyond the right", frame, {1400, 10, 400, 300}, {1199, 20, 400, 300}},
      {"framed, taller than the screen", frame, {10, 100, 400, 1200}, {10, 20, 400, 975}},
      {"framed, wider than the screen", frame, {10, 100, 1700, 300}, {1, 100, 1598, 300}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.frame.isNull()) {
      EXPECT_EQ(gui::WholeOnScreen(c.wanted, screen), c.placed);
    }
    EXPECT_EQ(gui::WholeOnScreen(c.wanted, c.frame, screen), c.placed);
  }
  // A second screen to the right keeps its own origin.
  EXPECT_EQ(gui::WholeOnScreen({3000, 900, 400, 300}, {1600, 0, 1920, 1080}),
            QRect(3000, 780, 400, 300));
}

TEST(WholeOnScreen, AStoredPlacementBelowTheScreenIsRestoredOnIt) {
  QWidget w;
  gui::WidgetPlacement placement(w);
  placement.SetBounds(100, 5000, 300, 200);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(area.contains(w.geometry())) << w.geometry().y();
  EXPECT_EQ(w.x(), 100);
}

// A dialog closed and opened again stands where it stood, also where the user moved it.
TEST(KeepPlaceOnReopen, AReopenedDialogComesBackExactlyWhereItWasClosed) {
  QMainWindow owner;
  owner.setGeometry(100, 100, 800, 600);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  struct Case {
    const char* what;
    std::optional<QPoint> moved_to;  // by the window system, as a drag of its title bar does
  };
  const Case cases[] = {{"where it opened", std::nullopt}, {"moved by the user", QPoint(50, 60)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QDialog dialog(&owner);
    dialog.resize(300, 100);
    gui::KeepPlaceOnReopen(dialog);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    if (c.moved_to) {
      dialog.windowHandle()->setFramePosition(*c.moved_to);
      QCoreApplication::processEvents();
    }
    const QRect closed = dialog.geometry();
    for (int reopen = 1; reopen <= 2; ++reopen) {
      dialog.hide();
      dialog.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
      EXPECT_EQ(dialog.geometry(), closed) << "reopen " << reopen;
    }
  }
}

TEST(PlaceByOwner, AWindowOpensBesideItsOwnerWholeOnTheScreen) {
  struct Case {
    const char* what;
    QRect area;
    QRect owner;
    QSize size;
    QPoint placed;
  };
  // clang-format off
  const Case cases[] = {
      {"right of the owner",       {0, 0, 1600, 1000}, {100, 100, 800, 700}, {500, 400},  {900, 100}},
      {"left of the owner",        {0, 0, 1600, 1000}, {700, 100, 800, 700}, {500, 400},  {200, 100}},
      // No room on either side: over the owner's side with more room, at the screen's edge.
      {"no room: right",           {0, 0, 1024, 768},  {256, 96, 512, 601},  {640, 480},  {384, 96}},
      {"no room: left",            {0, 0, 1024, 768},  {400, 96, 514, 601},  {640, 480},  {0, 96}},
      {"below the screen: lifted", {0, 0, 1024, 768},  {256, 500, 512, 268}, {640, 480},  {384, 288}},
      {"a panel above the area",   {0, 32, 1024, 736}, {256, 0, 512, 400},   {640, 480},  {384, 32}},
      {"larger than the screen",   {0, 0, 1024, 768},  {256, 96, 512, 601},  {1100, 800}, {0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(gui::PlaceByOwner(c.size, c.owner, c.area), c.placed);
  }
}

}  // namespace
