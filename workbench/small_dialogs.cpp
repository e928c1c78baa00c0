#include "workbench/small_dialogs.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "services/text_routines.h"

namespace workbench {

PrintLayout ComputePrintLayout(int page_width, int page_height, int char_width, int char_height,
                               int sections, int line_count) {
  PrintLayout layout;
  const int w = std::max(char_width, 1);
  const int h = std::max(char_height, 1);
  const int s = std::max(sections, 1);
  int columns = page_width / w;
  if (s > 1) columns = std::max((columns - s - 1) / s, 0);
  layout.columns = columns;
  layout.lines_per_page = page_height / h;
  const int gaps = s > 1 ? s + 1 : 0;
  layout.left_margin = (page_width - (gaps + s * columns) * w) / 2;
  layout.top_margin = (page_height - layout.lines_per_page * h) / 2;
  // A page too small for one line holds nothing: no pages, nothing to print.
  const long long per_page = static_cast<long long>(s) * layout.lines_per_page;
  layout.pages = per_page > 0 ? static_cast<int>((line_count + per_page - 1) / per_page) : 0;
  layout.okay_enabled = columns > 0 && line_count > 0 && per_page > 0;
  layout.size_label =
      std::to_string(columns) + " Column x " + std::to_string(per_page) + " Line Page";
  layout.character_label = std::to_string(w) + " x " + std::to_string(h) + " Pixel Characters";
  layout.pages_label = std::to_string(line_count) + " Lines = " + std::to_string(layout.pages) +
                       " Page" + (layout.pages != 1 ? "s" : "");
  return layout;
}

int GotoLineNumber(const std::string& text) {
  int value = -1;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end || value < 1) return -1;
  return value;
}

bool WordOnlyEnabled(const std::string& find_text) {
  return !find_text.empty() && std::all_of(find_text.begin(), find_text.end(), IsIdentChar);
}

std::string ClockSignalText(std::int64_t hz) {
  std::string digits = std::to_string(hz < 0 ? -hz : hz);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  return "QV-Key is generating a clock signal of " + std::string(hz < 0 ? "-" : "") + digits +
         " Hz.";
}

std::string SaveBeforeAssemblyText(const std::string& file_name) {
  std::string text = "\"";
  text += std::filesystem::path(file_name).filename().string();
  return text +=
         "\"\rneeds to be saved prior to assembling.\r\rOK to save file, Cancel to continue "
         "editing";
}

DontShowAgain::DontShowAgain(RegistrySettings& registry, std::string value_name)
    : registry_(registry), name_(std::move(value_name)) {
  std::int32_t stored = 0;
  // A value of another type (or a key left without one) is no "don't show": the notice stays
  // on rather than the window failing to come up.
  try {
    if (registry_.ReadRegInt(name_, stored)) checked_ = stored != 0;
  } catch (const platform::SettingsError&) {
    checked_ = false;
  }
}

bool DontShowAgain::Checked() const { return checked_; }

bool DontShowAgain::Confirm(bool checked) {
  if (!checked) return true;
  checked_ = true;
  return registry_.WriteRegInt(name_, 1);
}

}  // namespace workbench
