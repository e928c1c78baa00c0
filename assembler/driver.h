#pragma once
// One run of `tarn`, from the arguments to the exit code.

#include <iosfwd>
#include <string>
#include <vector>

namespace tarn {

// args[0] is the program's own path. Returns the exit code; never ends the process.
int RunTarn(const std::vector<std::string>& args, std::ostream& console);

}  // namespace tarn
