#pragma once
// The small program the list window's tests debug, and its build by the real tarn.

#include <string>

#include <gtest/gtest.h>

#include "tests/build_debug/tools/tarn_harness.h"

namespace build_debug {

// A NOP that cannot hold a breakpoint, a loop, and the reset jump to Main.
inline constexpr char kListProgram[] =
    "        DEVICE  QV18AC, OSCXT2\n"
    "        ORG     0\n"
    "Main    CLR     $09\n"
    "        NOP\n"
    "loop    INC     $09\n"
    "        JMP     loop\n"
    "        RESET   Main\n"
    "        END\n";

// Assembles `text` as "prog.asm" with the real tarn; the source's path.
inline std::string BuildListing(TarnSession& tarn, const std::string& text) {
  tarn.PlaceRealTarn();
  EXPECT_TRUE(tarn.tarn.TARN_Init(tarn.tool_folder));
  std::string source = tarn.WriteSource("prog.asm", text);
  const int result = tarn.tarn.TarnAssemble(source, false);
  EXPECT_TRUE(result == 0 || result == 2) << result;  // warnings alone are a build
  return source;
}

}  // namespace build_debug
