#pragma once
// QvBasicUnit: keeps the outside BASIC compiler ready beside the IDE and runs it.
//
// The compiler, its help file and its two word lists are written from the IDE's resources
// into <folder>Compilers/QVB/ when they are missing or older than the versions the IDE
// carries; <folder> is the program's folder, or the user's data folder when that cannot be
// written. A compiler the IDE does not carry (none is shipped) is not installed: one put into
// that folder by hand is used as it is, and without one the commands that need it say so. A compile
// runs "QVB.exe" on the source, maps its exit code to a message, and remembers where its outputs
// lie: the generated assembly source (".SRC", which the dispatcher assembles with tarn) and its
// error file (".err").
//
// The compiler is an outside program. What the IDE relies on: "/v" answers the version
// a * 10000 + b * 100 + c as a signed decimal integer on the first line it prints (the exit
// code when it prints none; a negative or small number is a debug build); the source path in
// double quotes; " /O " and the output folder in double quotes; the ".SRC" and ".err" outputs;
// and the exit codes below.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace workbench {
class MessageStrings;
class ProgramRunner;
struct IdeOptions;
}  // namespace workbench

namespace build_debug {

// The compiler's exit codes that the IDE knows. 0 and 1 are success; 2 and codes above 10
// carry no message.
enum QvBasicCode : std::uint8_t {
  kQvbOk = 0,
  kQvbOkWithNotes = 1,
  kQvbCannotCreateErr = 3,
  kQvbCannotCreateSrc = 4,
  kQvbNoSourceName = 5,
  kQvbCannotOpenInvalid = 6,
  kQvbCannotReadSource = 7,
  kQvbInvalidSourceDir = 8,
  kQvbCannotRun = 9,   // the compiler did not start or gave no exit code
  kQvbNotOnDisk = 10,  // the compiler is not installed
};

// How long the bridge waits for the compiler before it ends it; a user may stop a wait sooner.
struct QvBasicTimeouts {
  std::chrono::milliseconds compile{60000};
  std::chrono::milliseconds version{10000};
};

struct QvBasicVersionAnswer {
  bool debug = false;
  int version = 0;  // a * 10000 + b * 100 + c
};

// The compiler's answer to "/v": the first line it printed, else its exit code. A release
// build answers its version number (9000 or more), a debug build the number negated. Anything
// else (no number, a number from -8999 to 8999, one that overflows) is no version.
std::optional<QvBasicVersionAnswer> ParseQvBasicVersion(std::string_view output,
                                                        std::uint32_t exit_code);

class QvBasicUnit {
 public:
  static constexpr int kRequiredVersion = 15103;
  static constexpr char kFolder[] = "Compilers/QVB/";
  static constexpr char kProgram[] = "QVB.exe";
  static constexpr char kOutputFolder[] = "Output Files/";
  static constexpr char kHelpFile[] = "QVB.chm";
  // The help file's release date, 17 October 2005 01:42:02, as a date-time value.
  static constexpr double kHelpDate = 38642.0708564815;

  // options is read at each compile (QvBasicOutputFiles).
  QvBasicUnit(const workbench::MessageStrings& boxes, const workbench::ProgramRunner& runner,
              const workbench::IdeOptions& options, QvBasicTimeouts timeouts = {})
      : boxes_(boxes), runner_(runner), options_(options), timeouts_(timeouts) {}

  // Start-up: installs the compiler and then its help file. folder (ending with "/") holds
  // "Compilers/QVB/". The result is for information; the IDE runs on without the compiler.
  bool QvBasicInit(const std::string& folder);
  void QvBasicCleanup() {}

  bool QvBasicInstall();
  bool QvBasicHelpInstall();
  // Offers to remove the compiler layout of releases before .930.
  void RemoveOldQvBasic();

  // The BASIC keyword list the compiler installs ("RESERVED.TXT").
  const std::string& QvBasicReservedFile() const { return reserved_file_path_; }
  // The compiler is on disk (installed, or put there by hand).
  bool QvBasicInstalled() const;
  // The help file for QV/B Help; nothing, after a box that says it is not installed and
  // where to put it, when it is not on disk.
  std::optional<std::string> QvBasicHelpToOpen() const;

  // OutputDir := the "Output Files" folder, emptied when it exists (start-up).
  void QvBasicClearOutputDir();
  // OutputDir := the "Output Files" folder when QvBasicOutputFiles is on, else the source's.
  void QvBasicSetOutputDir(const std::string& source);
  const std::string& QvBasicOutputDir() const { return output_dir_; }
  // After a compile that succeeded: the generated assembly source (".SRC").
  const std::string& QvBasicOutputBase() const { return output_base_; }

  // Compiles source; message receives the text of a known failure code (other codes leave it
  // as it was), or says how a compiler that crashed or ran too long was ended. A compiler the
  // user stopped leaves it as it was. The compiler's errors are read into the error list as soon as
  // it ends, before anything else can write an ".err" of the same name.
  std::uint8_t QvBasicCompile(const std::string& source, std::string& message);
  // The installed compiler's version; false when it does not run or answers no version.
  bool QvBasicVersion(bool& debug, int& version);
  // "1.51.03", "1.51.03 DBG" for a debug build, "unknown" when the answer is no version;
  // empty when the compiler does not run.
  std::string QvBasicVersionText();

  // Empties the error list and deletes the last compile's ".err".
  void ClearQvBasicErrors();
  // The compiler's errors of the last compile. They are read from its ".err" when the
  // compiler ends; the assembly of its output writes an ".err" of the same name, so the file
  // is not read again here.
  const std::vector<std::string>& LoadQvBasicErrors() const { return errors_; }

  const std::string& LastSource() const { return last_source_; }
  // Where the compiler's help file is installed.
  std::string HelpFile() const { return Folder() + kHelpFile; }

 private:
  std::string Folder() const { return exe_folder_ + kFolder; }
  std::string Program() const { return Folder() + kProgram; }
  void ReadCompilerErrors();
  // The output base with `extension`, spelled as the compiler wrote it.
  std::string OutputFile(const std::string& extension) const;
  // Null when the compiler did not run to its end.
  std::optional<std::optional<QvBasicVersionAnswer>> AskVersion();

  const workbench::MessageStrings& boxes_;
  const workbench::ProgramRunner& runner_;
  const workbench::IdeOptions& options_;
  QvBasicTimeouts timeouts_;

  std::string exe_folder_;
  std::string output_dir_;
  std::string output_base_;
  std::string last_source_;
  std::string reserved_file_path_;
  std::vector<std::string> errors_;
};

}  // namespace build_debug
