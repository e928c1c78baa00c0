#include "services/main_commands.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/services/described_commands.h"

namespace workbench {
namespace {

using described_commands::kDescribedCommands;
namespace main_menu = widget_names::MainMenu;

TEST(MainCommandsTest, EachCommandHasTheKeysAndModesItsDescriptionGives) {
  for (const auto& described : kDescribedCommands) {
    SCOPED_TRACE(described.item);
    const MainCommand& command = CommandOf(described.item);
    EXPECT_EQ(std::string(command.keys), described.keys);
    EXPECT_EQ(command.modes, described.modes);
  }
  // No key stands in the table that no description gives.
  for (const MainCommand& command : MainCommands()) {
    if (*command.keys == '\0') continue;
    bool described = false;
    for (const auto& entry : kDescribedCommands)
      described = described || std::string(entry.item) == command.item;
    EXPECT_TRUE(described) << command.item << " " << command.keys;
  }
}

TEST(MainCommandsTest, AnItemTheTableDoesNotHoldFailsLoudly) {
  EXPECT_THROW(CommandOf("NoSuchMENUITM"), std::logic_error);
  EXPECT_THROW(KeysIn("", EditorMode::kEnhanced), std::logic_error);
}

TEST(MainCommandsTest, ACommandHoldsItsKeysOnlyInTheModesItIsLiveIn) {
  struct Case {
    const char* item;
    EditorMode mode;
    const char* keys;
    bool shared;
  };
  const Case cases[] = {
      {main_menu::RunViewDebugCodeMENUITM, EditorMode::kEnhanced, "Ctrl+L", true},
      {main_menu::RunViewDebugCodeMENUITM, EditorMode::kLegacy, "", false},
      {main_menu::FileListToggleMENUITM, EditorMode::kEnhanced, "", false},
      {main_menu::FileListToggleMENUITM, EditorMode::kLegacy, "Ctrl+L", true},
      // The window items share Ctrl+L and Ctrl+I in either mode, never Ctrl+E.
      {main_menu::ListWindowMENUITM, EditorMode::kEnhanced, "Ctrl+L", true},
      {main_menu::ListWindowMENUITM, EditorMode::kLegacy, "Ctrl+L", true},
      {main_menu::DeviceWindowMENUITM, EditorMode::kLegacy, "Ctrl+I", true},
      {main_menu::EditorWindowMENUITM, EditorMode::kEnhanced, "Ctrl+E", false},
      {main_menu::RunAssembleMENUITM, EditorMode::kLegacy, "Ctrl+A", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.item) + (c.mode == EditorMode::kLegacy ? " legacy" : ""));
    EXPECT_EQ(KeysIn(c.item, c.mode), c.keys);
    EXPECT_EQ(KeysSharedIn(c.item, c.mode), c.shared);
  }
}

}  // namespace
}  // namespace workbench
