#pragma once
// One run of `tarn`, from the arguments to the exit code.

#include <iosfwd>
#include <string>
#include <vector>

namespace tarn {

struct TarnRun;

// args[0] is the program's own path. Returns the exit code; never ends the process.
int RunTarn(const std::vector<std::string>& args, std::ostream& console);
// The same on a run the caller made, so a test can set what the run takes from the machine
// (the clock of the IEEE-695 writer) first. The run is used once.
int RunTarn(TarnRun& run, const std::vector<std::string>& args);

}  // namespace tarn
