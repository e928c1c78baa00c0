#pragma once
// What the IDE's small dialogs compute, apart from their windows: the print page layout, the
// go-to-line answer, the find form's enabling, the texts of the clock and save notices, and the
// "don't show again" choice that outlives a run.

#include <cstdint>
#include <string>

namespace workbench {

class RegistrySettings;

// The legacy editor's print layout on one page of the printer.
struct PrintLayout {
  int columns = 0;         // characters per line of a section
  int lines_per_page = 0;  // per section
  int left_margin = 0;
  int top_margin = 0;
  int pages = 0;
  bool okay_enabled = false;
  std::string size_label;       // "C Column x S*L Line Page"
  std::string character_label;  // "W x H Pixel Characters"
  std::string pages_label;      // "N Lines = P Page(s)"
};

// `char_width` and `char_height` are the printer's size of "X"; `sections` side by side.
PrintLayout ComputePrintLayout(int page_width, int page_height, int char_width, int char_height,
                               int sections, int line_count);

// The go-to-line dialog's answer: the line, or -1 (no jump) for a text that is not a number
// or is below 1.
int GotoLineNumber(const std::string& text);

// "&Word Only" makes sense only for a whole identifier.
bool WordOnlyEnabled(const std::string& find_text);

// "QV-Key is generating a clock signal of 1,000,000 Hz."
std::string ClockSignalText(std::int64_t hz);
// The file-save notice before an assembly of a modified file.
std::string SaveBeforeAssemblyText(const std::string& file_name);

// A notice's "don't show this dialog again" box, kept under "Configuration".
class DontShowAgain {
 public:
  DontShowAgain(RegistrySettings& registry, std::string value_name);
  // Whether the box was checked in this or an earlier run.
  bool Checked() const;
  // OK with the box checked: stored for later runs. False when it cannot be stored.
  [[nodiscard]] bool Confirm(bool checked);

 private:
  RegistrySettings& registry_;
  std::string name_;
  bool checked_ = false;
};

inline constexpr char kHideClockGenInfo[] = "Configuration\\HideClockGenInfoDialog";
inline constexpr char kHideAssemblyFileSave[] = "Configuration\\HideAssemblyFileSaveDialog";

}  // namespace workbench
