#pragma once
// What the bridge tests share: a program folder of its own, the string tables of the source
// tree, one box recorder for the bridge, the resource writer and the process runner alike, and
// the real process service for the stand-in programs.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/program_runner.h"
#include "tests/services/temp_folder.h"

namespace build_debug {

inline std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes,
                           bool executable = false) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  ::chmod(path.c_str(), executable ? 0755 : 0644);
}

// A table text as a box shows it: "^" is a line break.
inline std::string Shown(std::string text) {
  for (char& c : text)
    if (c == '^') c = '\r';
  return text;
}

// A text in single quotes for a shell script.
inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

struct Box {
  std::string text;
  std::string caption;
  bool operator==(const Box&) const = default;
};

inline void PrintTo(const Box& box, std::ostream* out) {
  *out << "{\"" << box.text << "\", \"" << box.caption << "\"}";
}

class BridgeTest : public ::testing::Test {
 protected:
  BridgeTest() : texts_(TableFromSourceTree) {
    // The bridges' questions are answered Yes, their notices OK, unless a test scripts them.
    boxes_.AnswerWithFirstButton();
    texts_.InitLocalization(Exe());
  }

  std::string Exe() const { return exe_folder_.Path(); }

  // The boxes shown so far, then forgotten.
  std::vector<Box> TakeBoxes() {
    std::vector<Box> shown;
    for (const platform::BoxRequest& box : boxes_.Boxes()) shown.push_back({box.text, box.caption});
    boxes_.Clear();
    return shown;
  }

  workbench::TempFolder exe_folder_{"qv bridge"};
  platform::RecordingMessageBoxes boxes_;
  workbench::Localizer texts_;
  workbench::MessageStrings strings_{texts_, boxes_};
  platform::SystemProcessRunner processes_;
  workbench::ProgramRunner runner_{processes_, boxes_};

 private:
  static std::optional<std::string> TableFromSourceTree(std::string_view name) {
    return ReadWholeFile(QV_STRING_TABLES + std::string(name) + ".txt");
  }
};

}  // namespace build_debug
