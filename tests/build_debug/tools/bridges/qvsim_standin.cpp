// A stand-in for the outside simulator, as the IDE expects it to behave:
//   qvsim_standin OPTIONS -- --product-version   prints the version text and ends;
//   qvsim_standin OPTIONS -- FILE                 listens on the window socket, answers each
//                                                 connection with its caption and carries out
//                                                 "OPEN <path>" (answering "OK") and "CLOSE".
// OPTIONS: --version TEXT, --caption TEXT, --socket PATH, --log FILE (one line per event:
// "START <file>", "OPEN <path>", "CLOSE", "CLOSE ignored", "BUSY"), --pid FILE,
// --ignore-close (a simulator that never closes), --ignore-open (one that shows its caption
// but never answers "OPEN": it logs "OPEN ignored" and holds the connection for a while). It ends
// by itself after a minute, so a failed test leaves nothing running, and removes its pid file when
// it ends.

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>

namespace {

constexpr int kLifetimeMs = 60000;
constexpr int kRequestMs = 2000;

struct Options {
  std::string version;
  std::string caption;
  std::string socket;
  std::string log;
  std::string pid;
  bool ignore_close = false;
  bool ignore_open = false;
  std::string file;
  bool product_version = false;
};

void Log(const Options& o, const std::string& line) {
  if (o.log.empty()) return;
  int fd = ::open(o.log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::string text = line + "\n";
  ssize_t written = ::write(fd, text.data(), text.size());
  static_cast<void>(written);
  ::close(fd);
}

Options Parse(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    std::string name = argv[i];
    if (name == "--ignore-close") {
      o.ignore_close = true;
      continue;
    }
    if (name == "--ignore-open") {
      o.ignore_open = true;
      continue;
    }
    std::string value = i + 1 < argc ? argv[++i] : "";
    if (name == "--version") o.version = value;
    if (name == "--caption") o.caption = value;
    if (name == "--socket") o.socket = value;
    if (name == "--log") o.log = value;
    if (name == "--pid") o.pid = value;
  }
  for (++i; i < argc; ++i) {
    if (std::strcmp(argv[i], "--product-version") == 0) o.product_version = true;
    if (!o.file.empty()) o.file += ' ';
    o.file += argv[i];
  }
  return o;
}

sockaddr_un Address(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  return address;
}

bool SomeoneListens(const sockaddr_un& address) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bool listens = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return listens;
}

std::string ReadRequest(int fd) {
  std::string line;
  char c;
  while (line.size() < 4096) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kRequestMs) <= 0 || ::read(fd, &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  return line;
}

void Answer(int fd, const std::string& text) {
  ssize_t written = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
  static_cast<void>(written);
}

}  // namespace

int main(int argc, char** argv) {
  Options o = Parse(argc, argv);
  if (o.product_version) {
    std::string line = o.version + "\n";
    if (!o.version.empty() && ::write(STDOUT_FILENO, line.data(), line.size()) < 0) return 1;
    return 0;
  }
  if (!o.pid.empty()) {
    int fd = ::open(o.pid.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    std::string text = std::to_string(::getpid()) + "\n";
    if (fd >= 0 && ::write(fd, text.data(), text.size()) > 0) ::close(fd);
  }
  Log(o, "START " + o.file);

  sockaddr_un address = Address(o.socket);
  if (SomeoneListens(address)) {
    Log(o, "BUSY");
    return 3;
  }
  ::unlink(o.socket.c_str());
  int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 8) != 0) {
    return 4;
  }
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLifetimeMs);
  bool closing = false;
  while (!closing && std::chrono::steady_clock::now() < end) {
    pollfd p{listener, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    Answer(client, o.caption + "\n");
    std::string request = ReadRequest(client);
    if (request == "CLOSE") {
      Log(o, o.ignore_close ? "CLOSE ignored" : "CLOSE");
      closing = !o.ignore_close;
    } else if (request.rfind("OPEN ", 0) == 0 && o.ignore_open) {
      Log(o, "OPEN ignored");
      pollfd hold{client, POLLIN, 0};
      ::poll(&hold, 1, 3 * kRequestMs);  // until the caller gives up and hangs up
    } else if (request.rfind("OPEN ", 0) == 0) {
      Log(o, request);
      Answer(client, "OK\n");
    }
    ::close(client);
  }
  ::unlink(o.socket.c_str());
  ::close(listener);
  if (!o.pid.empty()) ::unlink(o.pid.c_str());
  return 0;
}
