#include "services/resource_files.h"

#include <cctype>
#include <string_view>

#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "services/replace_file.h"

namespace workbench {
namespace {

constexpr char kCaption[] = "Resource Problems";

std::string NameWithoutFolder(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsExecutableType(const std::string& type) { return platform::SameText(type, "EXE"); }

}  // namespace

bool SaveResourceToFile(const std::string& type, const std::string& name,
                        const std::string& file_name, platform::MessageBoxService& boxes) {
  std::optional<std::string_view> bytes = platform::FindTypedResource(type, name);
  if (!bytes) {
    boxes.Show(
        {"Couldn't find resource called \"" + name + "\"", kCaption, platform::BoxButtons::Ok});
    return false;
  }
  std::string reason;
  if (!ReplaceFileContents(file_name, *bytes, reason, WriteAllBytes,
                           IsExecutableType(type) ? kProgramFileMode : kPlainFileMode)) {
    boxes.Show({NameWithoutFolder(file_name) + " is in use.  Unable to save to disk.", kCaption,
                platform::BoxButtons::Ok});
    return false;
  }
  return true;
}

}  // namespace workbench
