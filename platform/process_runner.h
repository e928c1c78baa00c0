#pragma once
// Starting another program: directly from its file with an argument vector, never through a
// shell. The child gets /dev/null as standard input and no other descriptor of ours; what it
// prints is handed back or discarded.
//
// A child that is waited for leads a process group of its own, so that ending it after its
// time limit, or when the watch cancels, also ends whatever it started: the group gets SIGTERM,
// then SIGKILL once kStopGrace has passed.

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits a parameter text as a Windows command line is split: blanks (space, tab) separate
// arguments, double quotes group (a quoted "" is one literal quote), and backslashes are
// literal except before a double quote, where 2n backslashes give n and the quote groups, and
// 2n+1 give n and a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view text);

enum class ProcessWait {
  UntilExit,     // block until the child ends
  UntilStarted,  // return once the program runs; the child is then left to itself
};

// Asked while the caller waits for a child: a window keeps itself responsive here and offers a
// way to cancel.
class ProcessWatch {
 public:
  virtual ~ProcessWatch() = default;
  // Called every kWatchSlice or so; false ends the child.
  [[nodiscard]] virtual bool KeepWaiting(std::chrono::milliseconds waited) = 0;
};

inline constexpr std::chrono::milliseconds kWatchSlice{25};
inline constexpr std::chrono::milliseconds kStopGrace{500};

struct ProcessLaunch {
  std::string program;                 // path of the program file
  std::vector<std::string> arguments;  // after the program name
  std::string working_folder;          // empty: the caller's current folder
  ProcessWait wait = ProcessWait::UntilExit;
  bool capture_output = false;  // UntilExit only: hand back standard output and error
  // UntilExit only: the child (with its group) is ended when it runs longer; 0: no limit.
  std::chrono::milliseconds time_limit{0};
  ProcessWatch* watch = nullptr;  // UntilExit only; null: nobody asked
};

struct ProcessResult {
  enum class Outcome {
    NotStarted,  // the program could not be started; error holds the reason (errno)
    Started,     // UntilStarted: the program runs
    Exited,      // exit_code holds its exit status
    Signalled,   // ended by a signal; there is no exit code
    TimedOut,    // ran past its time limit and was ended
    Cancelled,   // the watch asked to stop waiting, and the child was ended
  };
  Outcome outcome = Outcome::NotStarted;
  int exit_code = 0;
  int signal = 0;  // Signalled: the signal; 0 when it is not known
  int error = 0;
  std::string output;  // standard output and error interleaved, when captured
};

ProcessResult RunProcess(const ProcessLaunch& launch);

// Starting programs, as a service: the IDE binds the system's, tests may bind their own.
class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;
  virtual ProcessResult Run(const ProcessLaunch& launch) = 0;
};

class SystemProcessRunner : public ProcessRunner {
 public:
  ProcessResult Run(const ProcessLaunch& launch) override { return RunProcess(launch); }
};

}  // namespace platform
