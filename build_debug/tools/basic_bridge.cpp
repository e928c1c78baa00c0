#include "build_debug/tools/basic_bridge.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <system_error>

#include "build_debug/tools/tool_install.h"
#include "platform/message_box.h"
#include "resources/string_ids.h"
#include "services/file_routines.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/options.h"
#include "services/program_runner.h"
#include "services/resource_files.h"
#include "services/text_routines.h"

namespace build_debug {
namespace {

namespace ids = string_ids::QvBasicUnit;
namespace tarn_ids = string_ids::TarnUnit;

// Releases before .930 kept the compiler here, under another name.
constexpr char kOldFolder[] = "Compilers/QvBasic/";

// The word lists the compiler reads beside itself.
struct WordList {
  const char* resource_name;
  const char* file_name;
};
constexpr WordList kWordLists[] = {
    {"QVB_Invalid", "INVALID.TXT"},
    {"QVB_Reserved", "RESERVED.TXT"},
};

// The message of each failure code the compiler is known to give.
struct CodeMessage {
  std::uint32_t code;
  int text_id;
};
constexpr CodeMessage kCodeMessages[] = {
    {kQvbCannotCreateErr, ids::SCU_CANNOT_CREATE_ERR},
    {kQvbCannotCreateSrc, ids::SCU_CANNOT_CREATE_SRC},
    {kQvbNoSourceName, ids::SCU_NO_SOURCE_NAME},
    {kQvbCannotOpenInvalid, ids::SCU_CANNOT_OPEN_INVALID},
    {kQvbCannotReadSource, ids::SCU_CANNOT_READ_SOURCE},
    {kQvbInvalidSourceDir, ids::SCU_INVALID_SOURCE_DIR},
    {kQvbCannotRun, ids::SCU_CANNOT_RUN},
    {kQvbNotOnDisk, ids::SCU_NOT_ON_DISK},
};

// The first line of what a program printed, as a signed decimal number.
std::optional<int> NumberOnFirstLine(std::string_view output) {
  std::string_view line = output.substr(0, output.find('\n'));
  std::size_t first = line.find_first_not_of(" \t\r");
  std::size_t last = line.find_last_not_of(" \t\r");
  if (first == std::string_view::npos) return std::nullopt;
  const char* begin = line.data() + first;
  const char* end = line.data() + last + 1;
  int value = 0;
  auto [stop, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

// The Part's boundary between a version and a debug build's answer, kept as the smallest
// magnitude a version number has.
constexpr int kSmallestVersion = 9000;

// Who the compile and version messages name.
constexpr char kCompilerName[] = "The QV/B compiler";

void RemoveFile(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
}

// The writer reports a file it cannot write in a box of its own; the install goes on.
void WriteResource(const std::string& type, const std::string& name, const std::string& path,
                   platform::MessageBoxService& boxes) {
  static_cast<void>(workbench::SaveResourceToFile(type, name, path, boxes));
}

}  // namespace

std::optional<QvBasicVersionAnswer> ParseQvBasicVersion(std::string_view output,
                                                        std::uint32_t exit_code) {
  std::optional<int> answer = NumberOnFirstLine(output);
  if (!answer) {
    // An exit status of this platform holds 8 bits: never a version, but read as one would be.
    if (exit_code > static_cast<std::uint32_t>(std::numeric_limits<int>::max()))
      return std::nullopt;
    answer = static_cast<int>(exit_code);
  }
  const int number = *answer;
  // Negating the most negative number would overflow; it is no version either way.
  if (number >= kSmallestVersion) return QvBasicVersionAnswer{false, number};
  if (number <= -kSmallestVersion && number != std::numeric_limits<int>::min())
    return QvBasicVersionAnswer{true, -number};
  return std::nullopt;
}

bool QvBasicUnit::QvBasicInit(const std::string& exe_folder) {
  exe_folder_ = exe_folder;
  // The keyword list is the word list the compiler installs; names are case-sensitive here,
  // so it is named exactly as written.
  reserved_file_path_ = Folder() + kWordLists[1].file_name;
  bool ok = QvBasicInstall();
  if (ok) ok = QvBasicHelpInstall();
  return ok;
}

void QvBasicUnit::RemoveOldQvBasic() {
  const std::string old = exe_folder_ + kOldFolder;
  const std::string old_output = old + kOutputFolder;
  bool old_program = FileExists(old + "QVBasic.exe");
  bool old_outputs = FolderExists(old_output);
  if (!old_program && !old_outputs) return;

  std::string text;
  if (old_program) text = "Found pre .930 QVBasic compiler\r";
  if (old_outputs) text += "Found pre .930 \"Output Files\" directory\r";
  text +=
      old_program && old_outputs ? "\rThese items will be removed" : "\rThis item will be removed";
  if (boxes_.Service().Show({text, "Remove Old QVBasic Compiler", platform::BoxButtons::YesNo}) !=
      platform::kAnswerYes) {
    return;
  }
  std::error_code error;
  if (old_outputs) {
    static_cast<void>(workbench::DeleteFilesByMask(old_output, "*.*"));
    std::filesystem::remove(old_output, error);
  }
  for (const char* name : {"QVBasic.exe", "QVBasic Keywords.txt", "INVALID.TXT", "RESERVED.TXT"})
    RemoveFile(old + name);
  std::filesystem::remove(old, error);
}

bool QvBasicUnit::QvBasicInstall() {
  RemoveOldQvBasic();
  const std::string folder = Folder();
  // Without a compiler to install, one put there by hand is used as it is.
  const bool carried = Carried("EXE", "QVB");
  if (!carried && !FileExists(Program())) return false;
  if (!FolderExists(folder + kOutputFolder) && !ForceFolders(folder + kOutputFolder)) {
    boxes_.MsgBoxById2(ids::SCU_CANNOT_CREATE_DIRS, tarn_ids::SCU_CREATE_DIR_FAILED_CAPTION, folder,
                       folder);
    return false;
  }

  const std::string required = workbench::VersionToStr(kRequiredVersion);
  bool ok = false;
  bool update = false;
  if (FileExists(Program())) {
    bool debug = false;
    int version = 0;
    ok = QvBasicVersion(debug, version);
    if (ok && version < kRequiredVersion && carried) {
      update =
          boxes_.YesNoBoxById2(ids::SCU_UPDATE_COMPILER, ids::SCU_UPDATE_CAPTION,
                               workbench::VersionToStr(version), required) == platform::kAnswerYes;
    }
  } else {
    boxes_.MsgBoxById1(ids::SCU_INSTALL_COMPILER, ids::SCU_UPDATE_CAPTION, required);
    update = true;
    ok = true;
  }
  if (!ok) return false;
  if (!carried) return true;

  if (update) WriteResource("EXE", "QVB", Program(), boxes_.Service());
  for (const WordList& list : kWordLists) {
    std::string path = folder + list.file_name;
    if (update || !FileExists(path))
      WriteResource("TXT", list.resource_name, path, boxes_.Service());
  }
  return true;
}

bool QvBasicUnit::QvBasicHelpInstall() {
  DatedFile help{"CHM",
                 "QVB",
                 kHelpFile,
                 LocalTimeFromDays(kHelpDate),
                 "Help",
                 ids::SCU_UPDATE_HELP,
                 ids::SCU_UPDATE_CAPTION,
                 ids::SCU_INSTALL_HELP,
                 ids::SCU_HELP_UPDATE_CAPTION,
                 ids::SCU_HELP_DATE_FAILED,
                 ids::SCU_DATE_CHANGE_CAPTION};
  return InstallDatedFile(boxes_, Folder(), help);
}

bool QvBasicUnit::QvBasicInstalled() const { return FileExists(Program()); }

std::optional<std::string> QvBasicUnit::QvBasicHelpToOpen() const {
  const std::string help = HelpFile();
  if (FileExists(help)) return help;
  boxes_.MsgBoxById1(ids::SCU_HELP_NOT_INSTALLED, ids::SCU_HELP_NOT_INSTALLED_CAPTION, Folder());
  return std::nullopt;
}

void QvBasicUnit::QvBasicClearOutputDir() {
  output_dir_ = Folder() + kOutputFolder;
  // A file that stays behind is overwritten by the next compile of its source.
  if (FolderExists(output_dir_))
    static_cast<void>(workbench::DeleteFilesByMask(output_dir_, "*.*"));
}

void QvBasicUnit::QvBasicSetOutputDir(const std::string& source) {
  output_dir_ = options_.QvBasicOutputFiles ? Folder() + kOutputFolder
                                            : source.substr(0, source.rfind('/') + 1);
}

std::uint8_t QvBasicUnit::QvBasicCompile(const std::string& source, std::string& message) {
  std::uint32_t code = kQvbNotOnDisk;
  bool ran = false;
  errors_.clear();
  if (!FileExists(Program())) {
    boxes_.MsgBoxById1(ids::SCU_COMPILER_NOT_INSTALLED, ids::SCU_NOT_INSTALLED_CAPTION, Folder());
  } else {
    QvBasicSetOutputDir(source);
    // A compiler put in by hand after start-up finds its output folder too; one that cannot
    // be made shows as the compiler's failure to write there.
    if (options_.QvBasicOutputFiles) static_cast<void>(ForceFolders(output_dir_));
    output_base_ = output_dir_ + FileNameOf(source);
    RemoveFile(OutputFile(".err"));
    std::string arguments = " ";
    arguments += QuotedArgument(source);
    last_source_ = source;
    if (options_.QvBasicOutputFiles) arguments += " /O " + QuotedArgument(output_dir_);
    code = kQvbCannotRun;
    workbench::ProgramEnding ending =
        runner_.RunBounded(Program(), arguments, timeouts_.compile, false);
    ran = ending.result == workbench::kRunStarted;
    if (ran) code = ending.exit_code;
    // A crash or a compiler that ran too long fails the build with a word on why; a stop the
    // user asked for needs none.
    std::string ended = workbench::EndingText(kCompilerName, ending);
    if (!ended.empty()) message = ended;
  }
  if (code == kQvbOk || code == kQvbOkWithNotes) output_base_ = OutputFile(".SRC");
  if (!ran) {
    if (code != kQvbOk) last_source_.clear();
    return static_cast<std::uint8_t>(code);
  }
  ReadCompilerErrors();
  for (const CodeMessage& known : kCodeMessages) {
    if (known.code == code) message = boxes_.Texts().LU_GetString(known.text_id);
  }
  return static_cast<std::uint8_t>(code);
}

std::optional<std::optional<QvBasicVersionAnswer>> QvBasicUnit::AskVersion() {
  // An exit status holds 8 bits here, so the version comes on the first line printed.
  workbench::ProgramEnding ending = runner_.RunBounded(Program(), "/v", timeouts_.version, true);
  if (ending.result != workbench::kRunStarted) return std::nullopt;
  return ParseQvBasicVersion(ending.output, ending.exit_code);
}

bool QvBasicUnit::QvBasicVersion(bool& debug, int& version) {
  auto answer = AskVersion();
  if (!answer || !*answer) return false;
  debug = (*answer)->debug;
  version = (*answer)->version;
  return true;
}

std::string QvBasicUnit::QvBasicVersionText() {
  auto answer = AskVersion();
  if (!answer) return std::string();
  if (!*answer) return "unknown";
  return workbench::VersionToStr((*answer)->version) + ((*answer)->debug ? " DBG" : "");
}

void QvBasicUnit::ClearQvBasicErrors() {
  errors_.clear();
  if (!last_source_.empty()) RemoveFile(OutputFile(".err"));
}

std::string QvBasicUnit::OutputFile(const std::string& extension) const {
  // A compiler may write its outputs with the extension in either letter case.
  return workbench::CompanionFile(ChangeFileExt(output_base_, ""), extension)
      .value_or(ChangeFileExt(output_base_, extension));
}

void QvBasicUnit::ReadCompilerErrors() {
  errors_.clear();
  std::ifstream file(OutputFile(".err"), std::ios::binary);
  if (!file) return;
  std::ostringstream text;
  text << file.rdbuf();
  errors_ = workbench::SplitLines(text.str());
}

}  // namespace build_debug
