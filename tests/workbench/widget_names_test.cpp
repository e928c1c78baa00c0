#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

#include "resources/widget_names.h"
#include "services/localize.h"

namespace {

// The tables of resources/forms/ and the number of named lines each holds.
const std::map<std::string, int> kTableLines = {
    {"AboutFRM", 1},  {"ConfigFRM", 33},        {"DebugFRM", 14},      {"DeviceFRM", 20},
    {"EditorFRM", 9}, {"FilesLoadedPOPMNU", 4}, {"GotoLineNumDLG", 4}, {"IrcFRM", 2},
    {"MainMenu", 44}, {"ProgressFRM", 3},       {"ZK_CodeFRM", 6},
};

bool IsMenu(const std::string& table) { return table == "MainMenu" || table.ends_with("POPMNU"); }

// Whether the table's text gives the name a line, read as the program reads the table.
bool TableHasLine(const std::string& table, const std::string& text, const char* name) {
  if (IsMenu(table)) return workbench::MenuTable::Parse(text).TextsFor(name).has_value();
  return workbench::FormTable::Parse(text).Fields(name).has_value();
}

// Every generated name is a line of its table, or the table's own name; with the count of
// lines, no line of a table is left without its name.
TEST(WidgetNames, EveryNameIsALineOfItsTableAndEveryLineHasAName) {
  std::map<std::string, int> lines_named;
  for (const widget_names::TableName& named : widget_names::kEveryName) {
    const std::optional<std::string> text = workbench::EmbeddedTextResource(named.table);
    ASSERT_TRUE(text) << named.table;
    const bool has_line = TableHasLine(named.table, *text, named.name);
    if (has_line) ++lines_named[named.table];
    EXPECT_TRUE(has_line || std::string(named.name) == named.table)
        << named.table << "::" << named.name;
  }
  EXPECT_EQ(lines_named, kTableLines);
}

}  // namespace
