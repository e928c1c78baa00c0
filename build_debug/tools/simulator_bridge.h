#pragma once
// QvSimUnit: keeps the outside simulator ready beside the IDE and talks to it.
//
// The simulator and its manual are written from the IDE's resources into <folder>Tools/QVSim/
// when they are missing or older than the versions the IDE carries; <folder> is the program's
// folder, or the user's data folder when that cannot be written. A simulator the IDE does not
// carry (none is shipped) is not installed: one put into that folder by hand is used as it
// is, and without one Launch QVSim says so.
// At run time the bridge finds the simulator's window (platform/window_socket.h: the socket
// named after the window class "ThunderRT6FormDC", answering the caption
// "QvSim by Gunnar Quendel - Ver. <version>"), starts the simulator with a listing, hands a
// running simulator a new listing ("OPEN <path>"), and closes it ("CLOSE") when the IDE ends.
//
// The simulator is an outside program. What the IDE relies on: "--product-version" prints
// its version text a.b.c on the first line; started with a listing path as its one argument,
// it listens on the socket and answers with the caption above.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/window_socket.h"

namespace workbench {
class MessageStrings;
class ProgramRunner;
}  // namespace workbench

namespace build_debug {

// How long the bridge waits for the simulator; every wait is bounded.
struct QvSimTimeouts {
  int caption_ms = 2000;   // a listener answers its caption
  int send_ms = 5000;      // a running simulator takes a file handed to it
  int close_ms = 5000;     // every simulator has gone after the close requests
  int start_ms = 10000;    // a simulator just started listens
  int poll_ms = 50;        // between two looks while waiting
  int version_ms = 10000;  // the program prints its version text
};

// A version text a.b.c as the number a * 10000 + b * 100 + c: decimal digits only, b and c
// below 100; a.b counts as a * 10000 and a text without a "." as 0. Nothing for any other
// text, and for a number that would not fit.
std::optional<int> ParseQvSimVersion(std::string_view text);

class QvSimUnit {
 public:
  static constexpr char kFolder[] = "Tools/QVSim/";
  static constexpr char kProgram[] = "QVSim.exe";
  static constexpr char kManualFile[] = "QVSim Manual_2_08.pdf";
  static constexpr char kWindowClass[] = "ThunderRT6FormDC";
  static constexpr char kCaptionPrefix[] = "QvSim by Gunnar Quendel - Ver. ";
  static constexpr int kRequiredVersion = 20805;
  // The manual's release date, 10 June 2006 21:26:18, as a date-time value.
  static constexpr double kManualDate = 38878.8932638889;
  // The file handed over travels in a buffer of this size with its terminating NUL.
  static constexpr std::size_t kCopyBufferSize = 1024;

  QvSimUnit(const workbench::MessageStrings& boxes, const workbench::ProgramRunner& runner,
            const platform::WindowSockets& windows, QvSimTimeouts timeouts = {})
      : boxes_(boxes), runner_(runner), windows_(windows), timeouts_(timeouts) {}

  // Start-up: warns of a simulator that already runs, installs the simulator and its manual.
  // folder (ending with "/") holds "Tools/QVSim/". Always true.
  bool QvSimInit(const std::string& folder);
  // Shut-down: closes every simulator it finds.
  void QvSimCleanup() { static_cast<void>(QvSimClose()); }

  bool QvSimInstall();
  bool QvSimManualInstall();
  bool QvSimInstalled() const { return installed_; }
  // Where the simulator is installed, or is to be put by hand: "<folder>Tools/QVSim/".
  std::string InstallFolder() const { return Folder(); }

  std::optional<platform::WindowConnection> QvSimFindWindow() const;
  bool QvSimIsRunning() const { return QvSimFindWindow().has_value(); }
  // Asks every simulator found to close and waits, bounded, until none is left; when one
  // stays, says so in a box and returns false.
  bool QvSimClose();
  // Starts the simulator with file unless one already runs with it; a simulator running with
  // another file is closed first. False when it could not be started.
  bool QvSimStart(const std::string& file);
  // Hands file to the running simulator; false when none runs, or when the name cannot be
  // handed over or the simulator does not take it (a box says why).
  bool QvSimSendFile(const std::string& file);

  // The program's version text ("2.08.0005"); empty when it has none.
  void GetVersionInfoText(const std::string& file, std::string& text) const;
  bool QvSimVersion(int& version) const;
  // The version text with its last part in two digits ("2.08.05").
  std::string QvSimVersionText() const;

  const std::string& RunningFile() const { return running_file_; }
  // The caption the simulator's window answers. It is fixed once the install is over, since
  // the install may replace the program and with it the version.
  std::string WindowCaption() const;

 private:
  std::string Folder() const { return exe_folder_ + kFolder; }
  std::string Program() const { return Folder() + kProgram; }
  void WaitUntilListening() const;

  const workbench::MessageStrings& boxes_;
  const workbench::ProgramRunner& runner_;
  const platform::WindowSockets& windows_;
  QvSimTimeouts timeouts_;

  std::string exe_folder_;
  std::string running_file_;
  bool installed_ = false;
  std::optional<std::string> window_caption_;
};

// What Launch QVSim needs of the build: assemble the current file (a cancel raises the silent
// abort) and give the listing of the last assembly, or nothing when the build failed.
using AssembleForSimulator = std::function<std::optional<std::string>()>;

// The Run menu's Launch QVSim (launch true) and the switch to another file (launch false):
// hands the listing to the running simulator, or starts one when launch is true.
void StartQvSim(QvSimUnit& simulator, const workbench::MessageStrings& boxes, bool launch,
                bool use_tarn, const AssembleForSimulator& assemble_current);

}  // namespace build_debug
