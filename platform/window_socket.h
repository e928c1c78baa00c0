#pragma once
// Another program's main window, as this platform has it: a program that shows a window of
// class C listens on the local stream socket <runtime folder>/C. Each connection is one
// exchange:
//   - the program writes its window caption and a line feed as soon as it accepts;
//   - the caller then writes at most one request line ("CLOSE", "OPEN <path>"), or nothing;
//   - the program answers a request it has carried out with one line ("OK") and hangs up.
// Only a program of the same user counts: a listener of another user is not a window of ours.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// One connection to a window; closed when the object goes.
class WindowConnection {
 public:
  explicit WindowConnection(int fd) : fd_(fd) {}
  WindowConnection(WindowConnection&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  WindowConnection& operator=(WindowConnection&& other) noexcept;
  WindowConnection(const WindowConnection&) = delete;
  WindowConnection& operator=(const WindowConnection&) = delete;
  ~WindowConnection();

  // Writes the request line and returns without waiting for the program (a posted message).
  [[nodiscard]] bool PostLine(std::string_view line, int timeout_ms);
  // Writes the request line and waits until the program answers or hangs up (a sent
  // message). False when the line could not be written or nothing came within the time-out.
  [[nodiscard]] bool SendLine(std::string_view line, int timeout_ms);
  // The next line the program wrote, without its line feed; nothing on time-out or hang-up.
  std::optional<std::string> ReadLine(int timeout_ms);

 private:
  bool WriteAll(std::string_view bytes, int timeout_ms);

  int fd_;
  std::string pending_;  // bytes read past the last line handed out
};

class WindowSockets {
 public:
  // Sockets are named folder + window class + suffix.
  WindowSockets(std::string folder, std::string suffix = std::string())
      : folder_(std::move(folder)), suffix_(std::move(suffix)) {}

  // The user's runtime folder ($XDG_RUNTIME_DIR); without one, "/tmp/" with the user id as
  // the suffix ("/tmp/<class>-1000"), so that users of one machine do not meet.
  static WindowSockets ForUser();

  std::string PathFor(std::string_view window_class) const;

  // A connection to the window of that class when a program of ours listens there and
  // answers caption within the time-out; nothing otherwise.
  std::optional<WindowConnection> FindWindow(std::string_view window_class,
                                             std::string_view caption, int timeout_ms) const;
  // A program of ours accepts connections there, whatever its caption.
  bool Listening(std::string_view window_class) const;

 private:
  std::optional<WindowConnection> Connect(std::string_view window_class) const;

  std::string folder_;
  std::string suffix_;
};

}  // namespace platform
