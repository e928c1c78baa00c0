#include "platform/user_data_folder.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr char kApplicationFolder[] = "QVKey/";

std::optional<std::string> AbsoluteFolder(const EnvironmentLookup& environment,
                                          std::string_view name) {
  if (!environment) return std::nullopt;
  std::optional<std::string> value = environment(name);
  // A relative path is no folder of the user's: it would depend on where a program starts.
  if (!value || value->empty() || value->front() != '/') return std::nullopt;
  if (value->back() != '/') *value += '/';
  return value;
}

}  // namespace

std::string UserDataFolder(const EnvironmentLookup& environment) {
  if (std::optional<std::string> data = AbsoluteFolder(environment, "XDG_DATA_HOME"))
    return *data + kApplicationFolder;
  if (std::optional<std::string> home = AbsoluteFolder(environment, "HOME"))
    return *home + ".local/share/" + kApplicationFolder;
  return "";
}

bool CanWriteFolder(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string WrittenFoldersRoot(const std::string& program_folder,
                               const EnvironmentLookup& environment,
                               const std::function<bool(const std::string&)>& can_write) {
  if (can_write(program_folder)) return program_folder;
  std::string data = UserDataFolder(environment);
  return data.empty() ? program_folder : data;
}

}  // namespace platform
