#include "build_debug/tools/assemble_compile.h"

#include <cstdint>
#include <tuple>

#include "build_debug/tools/basic_bridge.h"
#include "build_debug/tools/tarn_bridge.h"
#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/localize.h"

namespace build_debug {
namespace {

namespace ids = string_ids::AssembleCompileUnit;

bool TarnSucceeded(int code) { return code == 0 || code == 2; }

}  // namespace

AssembleCompileUnit::AssembleCompileUnit(const workbench::Localizer& texts, TarnUnit& tarn,
                                         QvBasicUnit& basic)
    : texts_(texts), tarn_(tarn), basic_(basic) {}

void AssembleCompileUnit::AssembleCompileInit() { split_.clear(); }

void AssembleCompileUnit::AssembleCompileCleanup() { split_.clear(); }

BuildResult AssembleCompileUnit::BuildEditor(bool use_tarn, int index, BuildEditors& editors,
                                             std::string& message) {
  last_build_was_basic_ = false;
  last_basic_source_.clear();
  message.clear();
  basic_.ClearQvBasicErrors();
  // An old ".err" that cannot be deleted is reported by tarn itself, which cannot write it.
  std::ignore = tarn_.ClearTarnErrors();

  BuildResult result = BuildResult::kNothingBuilt;
  if (!editors.HasEditor(index)) {
    message =
        platform::FormatText(texts_.LU_GetString(ids::SCU_INVALID_EDITOR), {std::to_string(index)});
  } else if (editors.EditorIsEmpty(index)) {
    message = texts_.LU_GetString(ids::SCU_EDITOR_EMPTY);
  } else if (std::string file = editors.CurrentFileName(); !file.empty()) {
    // The type of the file's own editor when it is open, else of the editor asked for.
    std::uint8_t type = editors.EditorFileType(editors.FindEditor(file).value_or(index));
    if (type == kFileTypeAssembly && use_tarn) {
      result = TarnBuild(file, message, false);
    } else if (type == kFileTypeAssembly) {
      // A refused copy would leave the buffer's old text to be built: the build fails with why.
      if (!editors.CopyEditorToOldBuffer(index, message))
        result = BuildResult::kBuiltInFailed;
      else
        result = editors.AssembleOldBuffer(message) ? BuildResult::kBuiltIn
                                                    : BuildResult::kBuiltInFailed;
    } else if (type == kFileTypeBasic) {
      if (basic_.QvBasicCompile(file, message) >= 2) {
        result = BuildResult::kBasicFailed;
      } else {
        last_basic_source_ = file;
        last_build_was_basic_ = true;
        const std::string generated = basic_.QvBasicOutputBase();
        if (generated.empty()) {
          message = texts_.LU_GetString(ids::SCU_QVB_OUTPUT_NAME_BLANK);
          result = BuildResult::kBasicFailed;
        } else {
          result = TarnBuild(generated, message, true);
        }
      }
    } else {
      message = texts_.LU_GetString(ids::SCU_LANGUAGE_NOT_SET);
    }
  }
  return Settle(result);
}

BuildResult AssembleCompileUnit::Settle(BuildResult result) {
  // A build that made nothing leaves the image of an earlier build, which must not pass for
  // this one's: the debugger and the simulator would take it.
  last_build_ok_ = result == BuildResult::kBuiltIn || result == BuildResult::kTarnBuilt;
  return result;
}

BuildResult AssembleCompileUnit::BuildLegacyEditor(bool use_tarn, BuildEditors& editors,
                                                   std::string& message) {
  message.clear();
  if (!use_tarn)
    return Settle(editors.AssembleOldBuffer(message) ? BuildResult::kBuiltIn
                                                     : BuildResult::kBuiltInFailed);
  const std::string file = editors.CurrentFileName();
  if (file.empty()) {
    message = texts_.LU_GetString(ids::SCU_NO_FILENAME);
    return Settle(BuildResult::kNothingBuilt);
  }
  return Settle(TarnBuild(file, message, false));
}

BuildResult AssembleCompileUnit::TarnBuild(const std::string& source, std::string& message,
                                           bool basic_output) {
  if (!TarnSucceeded(TarnAssembleWithMessage(source, message, basic_output)))
    return BuildResult::kTarnFailed;
  last_assembled_file_ = source;
  return BuildResult::kTarnBuilt;
}

int AssembleCompileUnit::TarnAssembleWithMessage(const std::string& source, std::string& message,
                                                 bool basic_output) {
  const int code = tarn_.TarnAssemble(source, basic_output);
  // The ".err" lines are read whatever the result, warnings of a good build included; one
  // that cannot be read leaves the list empty while the result still tells the failure.
  std::ignore = tarn_.LoadTarnErrors();
  auto cannot_create = [&](const char* extension) {
    message = platform::FormatText(texts_.LU_GetString(ids::SCU_CANNOT_CREATE_OUTPUT), {extension});
  };
  auto not_found = [&](const char* extension) {
    message = platform::FormatText(texts_.LU_GetString(ids::SCU_OUTPUT_NOT_FOUND), {extension});
  };
  switch (code) {
    case 1:
    case 7: message = texts_.LU_GetString(ids::SCU_SOURCE_ERRORS); break;
    case 3: cannot_create(".MAP"); break;
    case 4: cannot_create(".OBJ"); break;
    case 5: cannot_create(".SYM"); break;
    case 6: cannot_create(".LST"); break;
    case 8: message = texts_.LU_GetString(ids::SCU_STACK_OVERFLOW); break;
    case 9: message = texts_.LU_GetString(ids::SCU_STACK_UNDERFLOW); break;
    case kTarnMapUnread: not_found(".MAP"); break;
    case kTarnObjUnread: not_found(".OBJ"); break;
    case kTarnSymUnread: not_found(".SYM"); break;
    case kTarnNotRun: message = texts_.LU_GetString(ids::SCU_INVOKE_TARN); break;
    default: break;  // success, or a code that has shown its own box
  }
  return code;
}

int AssembleCompileUnit::FindErrorLine(const std::vector<std::string>& lines) const {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::size_t comma = lines[i].find(',');
    if (comma == std::string::npos) continue;
    // Warnings and comments carry another level word after the first comma.
    std::string_view level = std::string_view(lines[i]).substr(comma + 1, 6);
    while (!level.empty() && level.front() == ' ') level.remove_prefix(1);
    if (level == "Error") return static_cast<int>(i);
  }
  return -1;
}

void AssembleCompileUnit::SplitFields(const std::string& line) {
  split_.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = line.find(',', start);
    split_.push_back(line.substr(start, comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
}

int AssembleCompileUnit::ErrorLineNumber(int index, const std::vector<std::string>& lines) {
  SplitFields(lines.at(static_cast<std::size_t>(index)));
  const std::string& first = split_.front();
  const std::size_t open = first.rfind('(');
  if (open == std::string::npos) return -1;
  // At most ten digits, as many as a 32-bit line number has.
  int number = 0;
  for (std::size_t i = open + 1; i < first.size() && i <= open + 10 && first[i] != ')'; ++i) {
    if (first[i] < '0' || first[i] > '9') return -1;
    const int digit = first[i] - '0';
    if (number > (INT32_MAX - digit) / 10) return -1;
    number = number * 10 + digit;
  }
  return number;
}

std::string AssembleCompileUnit::ErrorLineFile(int index, const std::vector<std::string>& lines) {
  SplitFields(lines.at(static_cast<std::size_t>(index)));
  const std::string& first = split_.front();
  const std::size_t open = first.rfind('(');
  return open == std::string::npos ? std::string() : first.substr(0, open);
}

}  // namespace build_debug
