#include "build_debug/tools/simulator_bridge.h"

#include <charconv>
#include <chrono>
#include <limits>
#include <thread>

#include "build_debug/tools/tool_install.h"
#include "platform/message_box.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"
#include "services/program_runner.h"
#include "services/resource_files.h"
#include "services/text_routines.h"

namespace build_debug {
namespace {

namespace ids = string_ids::QvSimUnit;
namespace tarn_ids = string_ids::TarnUnit;
namespace editor_ids = string_ids::EditorUnit;

void Pause(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// A name travels as one request line.
bool HoldsLineBreak(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// One part of a version text: 1 to 9 decimal digits.
std::optional<int> VersionPart(std::string_view part) {
  if (part.empty() || part.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : part) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<int> ParseQvSimVersion(std::string_view text) {
  std::size_t first = text.find('.');
  // A text without a "." has no version number in it: it counts as the oldest.
  if (first == std::string_view::npos) return 0;
  std::optional<int> major = VersionPart(text.substr(0, first));
  std::size_t second = text.find('.', first + 1);
  // With one "." only the first number counts, as the version routine has always read it.
  if (second == std::string_view::npos) {
    if (!major || *major > std::numeric_limits<int>::max() / 10000) return std::nullopt;
    return *major * 10000;
  }
  std::optional<int> minor = VersionPart(text.substr(first + 1, second - first - 1));
  std::optional<int> patch = VersionPart(text.substr(second + 1));
  if (!major || !minor || !patch || *minor > 99 || *patch > 99) return std::nullopt;
  const long long number = *major * 10000LL + *minor * 100LL + *patch;
  if (number > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(number);
}

bool QvSimUnit::QvSimInit(const std::string& exe_folder) {
  exe_folder_ = exe_folder;
  window_caption_.reset();
  if (QvSimFindWindow()) boxes_.MsgBoxById(ids::SCU_QVSIM_RUNNING, editor_ids::SCU_NULL_STRING);
  if (QvSimInstall()) static_cast<void>(QvSimManualInstall());
  window_caption_ = WindowCaption();
  return true;
}

bool QvSimUnit::QvSimInstall() {
  const std::string folder = Folder();
  // Without a simulator to install, one put there by hand is used as it is.
  const bool carried = Carried("EXE", "QVSIM");
  if (!carried && !FileExists(Program())) return false;
  if (!FolderExists(folder) && !ForceFolders(folder)) {
    boxes_.MsgBoxById2(tarn_ids::SCU_CREATE_DIR_FAILED, tarn_ids::SCU_CREATE_DIR_FAILED_CAPTION,
                       "QvSim", folder);
    return false;
  }
  const std::string required = workbench::VersionToStr(kRequiredVersion);
  bool ok = false;
  bool update = false;
  if (FileExists(Program())) {
    int version = 0;
    ok = QvSimVersion(version);
    if (ok && version < kRequiredVersion && carried &&
        boxes_.YesNoBoxById2(ids::SCU_UPDATE_QVSIM, ids::SCU_UPDATE_QVSIM_CAPTION,
                             workbench::VersionToStr(version), required) == platform::kAnswerYes) {
      if (QvSimFindWindow())
        boxes_.MsgBoxById(ids::SCU_QVSIM_RUNNING_UPGRADE, ids::SCU_UPGRADE_WARNING_CAPTION);
      update = true;
    }
  } else {
    boxes_.MsgBoxById1(ids::SCU_INSTALL_QVSIM, ids::SCU_UPDATE_QVSIM_CAPTION, required);
    update = true;
    ok = true;
  }
  if (ok && update) ok = workbench::SaveResourceToFile("EXE", "QVSIM", Program(), boxes_.Service());
  if (ok) installed_ = true;
  return ok;
}

bool QvSimUnit::QvSimManualInstall() {
  DatedFile manual{"PDF",
                   "QVSIM",
                   kManualFile,
                   LocalTimeFromDays(kManualDate),
                   "QVSim Manual",
                   ids::SCU_UPDATE_MANUAL,
                   ids::SCU_MANUAL_UPDATE_CAPTION,
                   ids::SCU_INSTALL_MANUAL,
                   ids::SCU_MANUAL_UPDATE_CAPTION,
                   ids::SCU_MANUAL_DATE_FAILED,
                   string_ids::QvBasicUnit::SCU_DATE_CHANGE_CAPTION};
  return InstallDatedFile(boxes_, Folder(), manual);
}

std::string QvSimUnit::WindowCaption() const {
  if (window_caption_) return *window_caption_;
  return kCaptionPrefix + QvSimVersionText();
}

std::optional<platform::WindowConnection> QvSimUnit::QvSimFindWindow() const {
  return windows_.FindWindow(kWindowClass, WindowCaption(), timeouts_.caption_ms);
}

bool QvSimUnit::QvSimClose() {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts_.close_ms);
  while (std::optional<platform::WindowConnection> window = QvSimFindWindow()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      boxes_.MsgBoxById(ids::SCU_QVSIM_NOT_CLOSED, editor_ids::SCU_NULL_STRING);
      return false;
    }
    static_cast<void>(window->PostLine("CLOSE", timeouts_.caption_ms));
    Pause(timeouts_.poll_ms);
  }
  return true;
}

void QvSimUnit::WaitUntilListening() const {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts_.start_ms);
  while (!windows_.Listening(kWindowClass) && std::chrono::steady_clock::now() < deadline)
    Pause(timeouts_.poll_ms);
}

bool QvSimUnit::QvSimStart(const std::string& file) {
  if (file != running_file_ && QvSimIsRunning() && !QvSimClose()) return false;
  if (QvSimFindWindow()) return true;
  std::uint32_t exit_code = 0;
  // One argument, blanks and all: the simulator opens the path it is given whole.
  if (runner_.StartAndWaitIdle(Program(), QuotedArgument(file), exit_code) !=
      workbench::kRunStarted) {
    return false;
  }
  // In place of waiting until the program is idle for input: it is ready once it listens.
  // One that never listens is left to run; the next look finds no window.
  WaitUntilListening();
  running_file_ = file;
  return true;
}

bool QvSimUnit::QvSimSendFile(const std::string& file) {
  std::optional<platform::WindowConnection> window = QvSimFindWindow();
  if (!window) return false;
  if (file.size() + 1 > kCopyBufferSize || HoldsLineBreak(file)) {
    boxes_.MsgBoxById2(ids::SCU_QVSIM_FILE_NAME_REFUSED, editor_ids::SCU_QVSIM_LAUNCH_CAPTION,
                       std::to_string(kCopyBufferSize - 1), file);
    return false;
  }
  if (window->SendLine("OPEN " + file, timeouts_.send_ms)) return true;
  // It answered its caption, so it runs: a hand-over it leaves unanswered must not pass for
  // one that worked.
  boxes_.MsgBoxById2(ids::SCU_QVSIM_NO_ANSWER, editor_ids::SCU_QVSIM_LAUNCH_CAPTION,
                     std::to_string((timeouts_.send_ms + 999) / 1000), file);
  return false;
}

void QvSimUnit::GetVersionInfoText(const std::string& file, std::string& text) const {
  text.clear();
  if (!FileExists(file)) return;
  workbench::ProgramEnding ending = runner_.RunBounded(
      file, "--product-version", std::chrono::milliseconds(timeouts_.version_ms), true);
  if (ending.result != workbench::kRunStarted) return;
  text = ending.output.substr(0, ending.output.find('\n'));
  std::size_t end = text.find_last_not_of(" \t\r");
  text.erase(end == std::string::npos ? 0 : end + 1);
}

bool QvSimUnit::QvSimVersion(int& version) const {
  std::string text;
  GetVersionInfoText(Program(), text);
  if (text.empty()) return false;
  std::optional<int> number = ParseQvSimVersion(text);
  if (!number) return false;
  version = *number;
  return true;
}

std::string QvSimUnit::QvSimVersionText() const {
  std::string text;
  GetVersionInfoText(Program(), text);
  std::size_t dot = text.rfind('.');
  if (dot == std::string::npos) return text;
  std::string last = text.substr(dot + 1, 10);
  int number = 0;
  auto [stop, error] = std::from_chars(last.data(), last.data() + last.size(), number);
  if (error != std::errc() || stop != last.data() + last.size()) return text;
  return text.substr(0, dot + 1) + (number < 10 ? "0" : "") + std::to_string(number);
}

void StartQvSim(QvSimUnit& simulator, const workbench::MessageStrings& boxes, bool launch,
                bool use_tarn, const AssembleForSimulator& assemble_current) {
  if (!simulator.QvSimInstalled()) {
    // Only the command says so: a switch to another file just finds no simulator.
    if (launch) {
      boxes.MsgBoxById1(ids::SCU_QVSIM_NOT_INSTALLED, ids::SCU_QVSIM_NOT_INSTALLED_CAPTION,
                        simulator.InstallFolder());
    }
    return;
  }
  if (!use_tarn) {
    boxes.MsgBoxById(editor_ids::SCU_QVSIM_NEEDS_TARN, editor_ids::SCU_NULL_STRING);
    return;
  }
  bool running = simulator.QvSimIsRunning();
  if (!running && !launch) return;
  std::optional<std::string> listing = assemble_current();
  if (!listing) return;
  if (!FileExists(*listing)) {
    boxes.MsgBoxById(editor_ids::SCU_QVSIM_LST_MISSING, editor_ids::SCU_QVSIM_LAUNCH_CAPTION);
    return;
  }
  // The assembly may take a while: ask again whether the simulator still runs.
  if (simulator.QvSimIsRunning()) {
    static_cast<void>(simulator.QvSimSendFile(*listing));
  } else if (launch) {
    static_cast<void>(simulator.QvSimStart(*listing));
  }
}

}  // namespace build_debug
