#pragma once
// A test's IDE session over a program folder of its own with the real tarn beside it (the one
// the build made next to QVKey), and a source folder whose name holds a blank and parentheses.

#include <string>

#include "gui_session.h"

namespace testing_gui {

class RealTarnSessionTest : public GuiSessionTest {
 protected:
  explicit RealTarnSessionTest(const std::string& name) : GuiSessionTest(name, BuiltTarn()) {
    StartSession();
  }

  // Writes a source below the source folder; its full name.
  std::string Source(const std::string& name, const std::string& text) {
    std::string path = sources_ + name;
    WriteFile(path, text);
    return path;
  }

  std::string sources_ = folder_.Path() + "my src (v2)/";
};

// A main file with one error and an include file in a folder below it with two.
inline constexpr const char* kMainWithErrors =
    "        DEVICE  QV18AC, OSCXT2\n"
    "        FREQ    4_000_000\n"
    "        IRC_CAL IRC_4MHZ\n"
    "        ORG     0\n"
    "        INCLUDE \"inc dir/defs (1).inc\"\n"
    "start   MOV     W,#1 ; one\n"
    "        JMP     nowhere\n"
    "        RESET   start\n"
    "        END\n";
inline constexpr const char* kIncludeName = "inc dir/defs (1).inc";
inline constexpr const char* kIncludeWithErrors =
    "; definitions\n"
    "        JMP     missing1\n"
    "        NOP\n"
    "        JMP     missing2\n";

}  // namespace testing_gui
