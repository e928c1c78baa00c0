#include "platform/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Closes a descriptor of ours, once.
class Descriptor {
 public:
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }
  int get() const { return fd_; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

bool MakePipe(Descriptor& read_end, Descriptor& write_end) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  read_end.Reset(fds[0]);
  write_end.Reset(fds[1]);
  return true;
}

// What the child may use between fork and exec, all prepared before the fork: only
// async-signal-safe calls run there, since the IDE has other threads.
struct ChildSetup {
  const char* program;
  char* const* argv;
  const char* folder;
  int input_fd;
  int output_fd;
  int status_fd;  // close-on-exec: its closing tells the parent that exec succeeded
};

[[noreturn]] void ReportChildFailure(int status_fd, int error) {
  ssize_t written = ::write(status_fd, &error, sizeof error);
  (void)written;
  ::_exit(127);
}

// dup2 onto itself would keep the close-on-exec flag (when the IDE runs without a standard
// stream, open may hand back 0, 1 or 2).
bool MoveTo(int fd, int target) {
  if (fd == target) return ::fcntl(fd, F_SETFD, 0) == 0;
  return ::dup2(fd, target) >= 0;
}

[[noreturn]] void ExecChild(const ChildSetup& setup) {
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction default_action {};
  default_action.sa_handler = SIG_DFL;
  ::sigaction(SIGPIPE, &default_action, nullptr);

  // A group of its own, so that ending the child ends what it starts.
  ::setpgid(0, 0);
  if (setup.folder && ::chdir(setup.folder) != 0) ReportChildFailure(setup.status_fd, errno);
  if (!MoveTo(setup.input_fd, STDIN_FILENO) || !MoveTo(setup.output_fd, STDOUT_FILENO) ||
      !MoveTo(setup.output_fd, STDERR_FILENO)) {
    ReportChildFailure(setup.status_fd, errno);
  }
  // No other descriptor of the IDE reaches the child.
  if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
    struct rlimit limit {};
    int highest = ::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
                      ? static_cast<int>(limit.rlim_cur)
                      : 1024;
    for (int fd = 3; fd < highest; ++fd) {
      if (fd != setup.status_fd) ::close(fd);
    }
  }
  ::execv(setup.program, setup.argv);
  ReportChildFailure(setup.status_fd, errno);
}

std::string AbsoluteProgram(const std::string& program) {
  // The child changes folder before exec, so a relative path must be fixed first.
  if (program.empty() || program.front() == '/') return program;
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(program, error);
  return error ? program : absolute.string();
}

int WaitFor(pid_t pid, int& status) {
  pid_t done;
  do {
    done = ::waitpid(pid, &status, 0);
  } while (done < 0 && errno == EINTR);
  return done;
}

// Takes what is already written, without waiting for more.
void DrainAvailable(int fd, std::string& output) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  char block[4096];
  ssize_t n;
  while ((n = ::read(fd, block, sizeof block)) > 0)
    output.append(block, static_cast<std::size_t>(n));
}

using Clock = std::chrono::steady_clock;

// A descriptor that becomes readable when the child ends, or -1 where the system has none;
// the wait then looks every slice.
int ChildEndDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  static_cast<void>(pid);
  return -1;
#endif
}

bool Reaped(pid_t pid, int& status) {
  pid_t done;
  do {
    done = ::waitpid(pid, &status, WNOHANG);
  } while (done < 0 && errno == EINTR);
  return done == pid;
}

// Whether the child has ended, leaving it unreaped: while it is a zombie its group id cannot
// pass to another process.
bool HasEnded(pid_t pid) {
  siginfo_t info{};
  if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
    return true;  // nothing left to wait for
  return info.si_pid == pid;
}

void Pause(std::chrono::milliseconds time) { ::poll(nullptr, 0, static_cast<int>(time.count())); }

void SignalGroup(pid_t pid, int signal) {
  if (::kill(-pid, signal) != 0) ::kill(pid, signal);
}

// Ends the child's group and reaps the child. A process stuck in the kernel can outlast even
// SIGKILL; it is then left behind rather than waited for without end.
void StopGroup(pid_t pid, int& status) {
  SignalGroup(pid, SIGTERM);
  const auto grace = Clock::now() + kStopGrace;
  while (!HasEnded(pid) && Clock::now() < grace) Pause(std::chrono::milliseconds(5));
  SignalGroup(pid, SIGKILL);
  const auto last = Clock::now() + 4 * kStopGrace;
  while (!Reaped(pid, status) && Clock::now() < last) Pause(std::chrono::milliseconds(5));
}

// Waits for the child's end, reading what it prints when output_fd is given, until its time
// limit runs out or the watch asks to stop. A program it leaves running in the background can
// hold the pipe open for ever, so only the child's own end counts.
ProcessResult::Outcome WaitForEnd(pid_t pid, int output_fd, const ProcessLaunch& launch,
                                  std::string& output, int& status) {
  const auto start = Clock::now();
  const bool limited = launch.time_limit.count() > 0;
  const auto deadline = start + launch.time_limit;
  Descriptor child_end(ChildEndDescriptor(pid));
  int out = output_fd;
  auto ended = [&](ProcessResult::Outcome outcome) {
    if (out >= 0) DrainAvailable(out, output);
    return outcome;
  };
  for (;;) {
    if (Reaped(pid, status)) return ended(ProcessResult::Outcome::Exited);
    const auto now = Clock::now();
    if (limited && now >= deadline) {
      StopGroup(pid, status);
      return ended(ProcessResult::Outcome::TimedOut);
    }
    if (launch.watch && !launch.watch->KeepWaiting(
                            std::chrono::duration_cast<std::chrono::milliseconds>(now - start))) {
      StopGroup(pid, status);
      return ended(ProcessResult::Outcome::Cancelled);
    }
    auto slice = kWatchSlice;
    if (limited) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
      slice = std::min(slice, left);
    }
    pollfd entries[2];
    nfds_t count = 0;
    if (out >= 0) entries[count++] = {out, POLLIN, 0};
    if (child_end.get() >= 0) entries[count++] = {child_end.get(), POLLIN, 0};
    const int ready = ::poll(entries, count, static_cast<int>(slice.count()));
    if (ready > 0 && out >= 0 && entries[0].revents != 0) {
      char block[4096];
      const ssize_t n = ::read(out, block, sizeof block);
      if (n > 0) {
        output.append(block, static_cast<std::size_t>(n));
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        out = -1;  // every writer has closed the pipe: only the child's end is left to see
      }
    }
  }
}

// The errno the child reported before exec, or 0 when exec succeeded.
int ReadStartError(int fd) {
  int error = 0;
  ssize_t n;
  do {
    n = ::read(fd, &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  return n == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> arguments;
  std::string current;
  bool in_argument = false;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\\') {
      std::size_t run = 0;
      while (i < text.size() && text[i] == '\\') {
        ++run;
        ++i;
      }
      in_argument = true;
      if (i < text.size() && text[i] == '"') {
        current.append(run / 2, '\\');
        if (run % 2 == 1) {
          current += '"';
          ++i;
        }
      } else {
        current.append(run, '\\');
      }
    } else if (c == '"') {
      in_argument = true;
      if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
        current += '"';
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else if (IsBlank(c) && !quoted) {
      if (in_argument) arguments.push_back(current);
      current.clear();
      in_argument = false;
      ++i;
    } else {
      current += c;
      in_argument = true;
      ++i;
    }
  }
  if (in_argument) arguments.push_back(current);
  return arguments;
}

ProcessResult RunProcess(const ProcessLaunch& launch) {
  ProcessResult result;
  const bool detach = launch.wait == ProcessWait::UntilStarted;
  const bool capture = launch.capture_output && !detach;

  std::string program = AbsoluteProgram(launch.program);
  std::vector<std::string> strings;
  strings.push_back(launch.program);
  strings.insert(strings.end(), launch.arguments.begin(), launch.arguments.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);

  Descriptor status_read, status_write, output_read, output_write;
  Descriptor input(::open("/dev/null", O_RDONLY | O_CLOEXEC));
  bool ready = input.get() >= 0 && MakePipe(status_read, status_write);
  if (ready && capture) {
    ready = MakePipe(output_read, output_write);
  } else if (ready) {
    output_write.Reset(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    ready = output_write.get() >= 0;
  }
  if (!ready) {
    result.error = errno;
    return result;
  }

  ChildSetup setup{program.c_str(),
                   argv.data(),
                   launch.working_folder.empty() ? nullptr : launch.working_folder.c_str(),
                   input.get(),
                   output_write.get(),
                   status_write.get()};
  pid_t pid = ::fork();
  if (pid == 0) {
    if (detach) {
      // A second fork hands the program to init, so no zombie waits for us to reap it.
      pid_t grandchild = ::fork();
      if (grandchild < 0) ReportChildFailure(setup.status_fd, errno);
      if (grandchild > 0) ::_exit(0);
    }
    ExecChild(setup);
  }
  if (pid < 0) {
    result.error = errno;
    return result;
  }
  status_write.Close();
  output_write.Close();
  input.Close();

  if (!detach) ::setpgid(pid, pid);  // the child does so too; whichever comes first counts

  int start_error = ReadStartError(status_read.get());
  int status = 0;
  if (start_error != 0) {
    WaitFor(pid, status);
    result.error = start_error;
    return result;
  }
  if (detach) {
    WaitFor(pid, status);
    result.outcome = ProcessResult::Outcome::Started;
    return result;
  }
  using Outcome = ProcessResult::Outcome;
  Outcome outcome =
      WaitForEnd(pid, capture ? output_read.get() : -1, launch, result.output, status);
  if (outcome == Outcome::Exited && WIFEXITED(status)) {
    result.outcome = Outcome::Exited;
    result.exit_code = WEXITSTATUS(status);
  } else if (outcome == Outcome::Exited) {
    result.outcome = Outcome::Signalled;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  } else {
    result.outcome = outcome;
  }
  return result;
}

}  // namespace platform
