#include "platform/window_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// A caption or an answer is one short line; a peer that sends more is not a window of ours.
constexpr std::size_t kMaxLine = 4096;

int MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for the events on fd until the deadline; false on time-out or failure.
bool Await(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, MillisecondsLeft(deadline));
    if (n > 0) return true;
    if (n == 0 || errno != EINTR) return false;
  }
}

bool SameUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

}  // namespace

WindowConnection& WindowConnection::operator=(WindowConnection&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
    pending_ = std::move(other.pending_);
  }
  return *this;
}

WindowConnection::~WindowConnection() {
  if (fd_ >= 0) ::close(fd_);
}

bool WindowConnection::WriteAll(std::string_view bytes, int timeout_ms) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!bytes.empty()) {
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      if (!Await(fd_, POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

bool WindowConnection::PostLine(std::string_view line, int timeout_ms) {
  return WriteAll(std::string(line) + "\n", timeout_ms);
}

bool WindowConnection::SendLine(std::string_view line, int timeout_ms) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  if (!WriteAll(std::string(line) + "\n", timeout_ms)) return false;
  // Either an answer line or the hang-up says that the program has taken the request.
  char buffer[256];
  for (;;) {
    if (!Await(fd_, POLLIN, deadline)) return false;
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n == 0) return true;
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) return errno == ECONNRESET;
    if (std::memchr(buffer, '\n', static_cast<std::size_t>(n))) return true;
  }
}

std::optional<std::string> WindowConnection::ReadLine(int timeout_ms) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  char buffer[256];
  for (;;) {
    std::size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    if (pending_.size() > kMaxLine || !Await(fd_, POLLIN, deadline)) return std::nullopt;
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n > 0) {
      pending_.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
      return std::nullopt;
    }
  }
}

WindowSockets WindowSockets::ForUser() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) {
    std::string folder = runtime;
    if (folder.back() != '/') folder += '/';
    return WindowSockets(folder);
  }
  std::string suffix = "-";
  suffix += std::to_string(::geteuid());
  return WindowSockets("/tmp/", suffix);
}

std::string WindowSockets::PathFor(std::string_view window_class) const {
  return folder_ + std::string(window_class) + suffix_;
}

std::optional<WindowConnection> WindowSockets::Connect(std::string_view window_class) const {
  std::string path = PathFor(window_class);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return std::nullopt;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);

  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  WindowConnection connection(fd);
  // A local socket connects at once or not at all; a full backlog counts as no window.
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      !SameUser(fd)) {
    return std::nullopt;
  }
  return connection;
}

std::optional<WindowConnection> WindowSockets::FindWindow(std::string_view window_class,
                                                          std::string_view caption,
                                                          int timeout_ms) const {
  std::optional<WindowConnection> connection = Connect(window_class);
  if (!connection) return std::nullopt;
  std::optional<std::string> answer = connection->ReadLine(timeout_ms);
  if (!answer || *answer != caption) return std::nullopt;
  return connection;
}

bool WindowSockets::Listening(std::string_view window_class) const {
  return Connect(window_class).has_value();
}

}  // namespace platform
