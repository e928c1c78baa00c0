#pragma once
// A pseudo-terminal whose slave stands in for a serial device; the test holds the master.

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

namespace platform {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
      throw std::runtime_error("openpty");
    path_ = name;
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);
    ::close(slave);
  }
  ~PseudoTerminal() { HangUp(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  const std::string& Path() const { return path_; }
  void Put(const std::string& bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What reached the master within a short wait.
  std::string Take() const {
    std::string bytes;
    pollfd entry{master_, POLLIN, 0};
    while (::poll(&entry, 1, 200) > 0 && (entry.revents & POLLIN)) {
      if (!ReadSome(bytes)) break;
    }
    return bytes;
  }
  // Waits for count bytes (fewer when the line goes down).
  std::string Take(std::size_t count) const {
    std::string bytes;
    while (bytes.size() < count && ReadSome(bytes)) {
    }
    return bytes;
  }
  termios Settings() const {
    termios settings{};
    ::tcgetattr(master_, &settings);
    return settings;
  }
  void HangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  bool ReadSome(std::string& bytes) const {
    char chunk[256];
    ssize_t got = ::read(master_, chunk, sizeof chunk);
    if (got <= 0) return false;
    bytes.append(chunk, static_cast<std::size_t>(got));
    return true;
  }

  int master_ = -1;
  std::string path_;
};

}  // namespace platform
