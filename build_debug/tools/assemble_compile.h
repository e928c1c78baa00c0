#pragma once
// AssembleCompileUnit: builds the file in front of the user. An assembly source goes to tarn or
// to the built-in assembler (the UseTarn setting); a BASIC source to the BASIC compiler and
// its generated assembly to tarn. The unit keeps what the last build made, for the list
// window and the debugger, and reads the assembler's ".err" lines so the editor can jump to
// them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace workbench {
class Localizer;
}

namespace build_debug {

class QvBasicUnit;
class TarnUnit;

enum class BuildResult : std::uint8_t {
  kBuiltIn = 0,
  kNothingBuilt = 1,  // the message says why; it may be empty
  kTarnBuilt = 3,     // tarn's exit code 0 or 2
  kTarnFailed = 5,
  kBuiltInFailed = 8,
  kBasicFailed = 12,
};

// The file types the editor array keeps for its files.
enum EditorFileType : std::uint8_t { kFileTypeNone = 0, kFileTypeAssembly = 1, kFileTypeBasic = 2 };

// What a build needs of the main window: its editors, the file in front, and the legacy
// buffer the built-in assembler reads. The main window provides it; tests give their own.
class BuildEditors {
 public:
  virtual ~BuildEditors() = default;
  virtual bool HasEditor(int index) const = 0;
  virtual bool EditorIsEmpty(int index) const = 0;
  virtual std::uint8_t EditorFileType(int index) const = 0;
  // The main window's current file name; empty when it has none.
  virtual std::string CurrentFileName() const = 0;
  // The index of the editor holding file; none when it is not open.
  virtual std::optional<int> FindEditor(const std::string& file) const = 0;
  // Copies the editor's text into the legacy buffer; false when there is no such editor or
  // the buffer refused the text, refusal then saying why.
  virtual bool CopyEditorToOldBuffer(int index, std::string& refusal) = 0;
  // Runs the built-in assembler over the legacy buffer; on failure error_text is its error.
  virtual bool AssembleOldBuffer(std::string& error_text) = 0;
};

class AssembleCompileUnit {
 public:
  AssembleCompileUnit(const workbench::Localizer& texts, TarnUnit& tarn, QvBasicUnit& basic);

  void AssembleCompileInit();
  void AssembleCompileCleanup();

  [[nodiscard]] BuildResult BuildEditor(bool use_tarn, int index, BuildEditors& editors,
                                        std::string& message);
  [[nodiscard]] BuildResult BuildLegacyEditor(bool use_tarn, BuildEditors& editors,
                                              std::string& message);
  // TarnAssemble's code, with message set to the text of the codes that have one.
  [[nodiscard]] int TarnAssembleWithMessage(const std::string& source, std::string& message,
                                            bool basic_output);

  // The ".err" line parsers. The index must be a line of lines (FindErrorLine's result).
  int FindErrorLine(const std::vector<std::string>& lines) const;
  int ErrorLineNumber(int index, const std::vector<std::string>& lines);
  std::string ErrorLineFile(int index, const std::vector<std::string>& lines);

  const std::string& GetLastAssembledFile() const { return last_assembled_file_; }
  const std::string& GetLastQvBasicSource() const { return last_basic_source_; }
  bool WasQvBasicBuild() const { return last_build_was_basic_; }
  bool LastBuildOk() const { return last_build_ok_; }

 private:
  // Records whether the build succeeded; returns its result.
  BuildResult Settle(BuildResult result);
  BuildResult TarnBuild(const std::string& source, std::string& message, bool basic_output);
  void SplitFields(const std::string& line);

  const workbench::Localizer& texts_;
  TarnUnit& tarn_;
  QvBasicUnit& basic_;

  std::string last_assembled_file_;
  std::string last_basic_source_;
  bool last_build_was_basic_ = false;
  bool last_build_ok_ = false;
  // The fields of the ".err" line parsed last.
  std::vector<std::string> split_;
};

}  // namespace build_debug
