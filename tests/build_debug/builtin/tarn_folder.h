#pragma once
// tarn run in this process on a source, in the IDE's mode, its BIN16 object read back.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/driver.h"
#include "tests/services/temp_folder.h"

namespace build_debug {

// A folder of its own for one tarn run, removed afterwards.
class TarnFolder {
 public:
  // The BIN16 object's words of an assembly of source: the program words, then (in the IDE's
  // mode) the 16 ID words and the configuration block.
  // Further options (such as "/C", "DEBUGGER") go before the source's name.
  std::vector<int> Assemble(const std::string& source,
                            const std::vector<std::string>& options = {}) {
    std::string name = folder_.Path() + "program.asm";
    std::ofstream(name, std::ios::binary) << source;
    std::ostringstream console;
    std::vector<std::string> args = {"tarn", "/F", "BIN16", "/E", "KESTRIAN"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(name);
    int code = tarn::RunTarn(args, console);
    // 2: warnings only, such as a skip in front of a compound instruction.
    EXPECT_TRUE(code == 0 || code == 2) << console.str();
    std::ifstream object(folder_.Path() + "program.obj", std::ios::binary);
    std::vector<int> words;
    for (int low, high; (low = object.get()) != EOF && (high = object.get()) != EOF;)
      words.push_back(low | high << 8);
    return words;
  }

 private:
  workbench::TempFolder folder_{"builtin"};
};

}  // namespace build_debug
