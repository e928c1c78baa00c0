#pragma once
// Programs for the tests that build with tarn: one it takes without a message, and the same
// with a jump to a label that does not exist (its one error, on line 3).

namespace tarn_programs {

inline constexpr char kGoodProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        ORG     0\n"
    "start   JMP     start\n"
    "        RESET   start\n"
    "        END\n";
inline constexpr char kBadProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        ORG     0\n"
    "start   JMP     nowhere\n"
    "        RESET   start\n"
    "        END\n";

}  // namespace tarn_programs
