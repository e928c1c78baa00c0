#include "workbench/templates.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/file_routines.h"
#include "services/message_strings.h"

namespace workbench {

namespace {

bool HasExtension(std::string_view name, std::string_view ext) {
  return name.size() >= ext.size() &&
         platform::SameText(name.substr(name.size() - ext.size()), ext);
}

}  // namespace

bool TemplateUnit::InitTemplates(const std::string& exe_folder) {
  folder_ = exe_folder + "Templates/";
  assembly_template_.clear();
  basic_template_.clear();
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (!std::filesystem::is_directory(folder_, error)) return false;
  return ScanTemplates(folder_);
}

bool TemplateUnit::ScanTemplates(const std::string& folder) {
  std::vector<std::string> names;
  ListFilesByMask(names, folder, "*.*");
  std::string wrong_names;
  for (const std::string& name : names) {
    if (platform::SameText(name, "Template.src") || platform::SameText(name, "Template.qvb")) {
      (HasExtension(name, ".src") ? assembly_template_ : basic_template_) = folder + name;
    } else {
      // Run together as the box has always shown them.
      wrong_names += name;
    }
  }
  if (!wrong_names.empty()) {
    messages_.MsgBoxById1(string_ids::TemplateUnit::SCU_BAD_TEMPLATE_NAMES,
                          string_ids::TemplateUnit::SCU_BAD_TEMPLATE_NAMES_CAPTION, wrong_names);
  }
  return !assembly_template_.empty() || !basic_template_.empty();
}

std::string TemplateUnit::TemplateFor(std::string_view ext) const {
  if (folder_.empty()) return {};
  if (platform::SameText(ext, ".src")) return assembly_template_;
  if (platform::SameText(ext, ".qvb")) return basic_template_;
  return {};
}

}  // namespace workbench
