#include "services/globals.h"

namespace workbench {

std::string ProgramFolder(std::string_view program_file) {
  std::size_t slash = program_file.rfind('/');
  if (slash == std::string_view::npos) return std::string();
  return std::string(program_file.substr(0, slash + 1));
}

std::string IdeVersion() { return "3.2.3"; }

}  // namespace workbench
