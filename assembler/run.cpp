#include "assembler/run.h"

#include <cstdarg>
#include <ostream>
#include <vector>

namespace tarn {

std::string TarnRun::InWorkingFolder(const std::string& name) const {
  if (name.empty() || name[0] == '/') return name;
  return working_folder + name;
}

void Print(TarnRun& run, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length > 0) {
    std::vector<char> text(static_cast<size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    run.out.write(text.data(), length);
  }
  va_end(args);
}

}  // namespace tarn
