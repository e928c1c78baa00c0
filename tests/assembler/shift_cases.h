#pragma once
// Shift counts 0 to 40 and a few negative ones, for both assemblers: the count is taken modulo
// 32 and >> is arithmetic. Counts 16 to 31 catch a count taken modulo 16, counts of 32 and up
// one that saturates, and the sign bit of 80000000H a logical >>.

#include <cstdint>

namespace shift_cases {

struct ShiftCase {
  int count;
  std::uint32_t one_shifted_left;    // 1 << count
  std::uint32_t sign_shifted_right;  // 80000000H >> count
};

inline constexpr ShiftCase kShiftCases[] = {
    {0, 0x00000001, 0x80000000},   {1, 0x00000002, 0xC0000000},   {2, 0x00000004, 0xE0000000},
    {3, 0x00000008, 0xF0000000},   {4, 0x00000010, 0xF8000000},   {5, 0x00000020, 0xFC000000},
    {6, 0x00000040, 0xFE000000},   {7, 0x00000080, 0xFF000000},   {8, 0x00000100, 0xFF800000},
    {9, 0x00000200, 0xFFC00000},   {10, 0x00000400, 0xFFE00000},  {11, 0x00000800, 0xFFF00000},
    {12, 0x00001000, 0xFFF80000},  {13, 0x00002000, 0xFFFC0000},  {14, 0x00004000, 0xFFFE0000},
    {15, 0x00008000, 0xFFFF0000},  {16, 0x00010000, 0xFFFF8000},  {17, 0x00020000, 0xFFFFC000},
    {18, 0x00040000, 0xFFFFE000},  {19, 0x00080000, 0xFFFFF000},  {20, 0x00100000, 0xFFFFF800},
    {21, 0x00200000, 0xFFFFFC00},  {22, 0x00400000, 0xFFFFFE00},  {23, 0x00800000, 0xFFFFFF00},
    {24, 0x01000000, 0xFFFFFF80},  {25, 0x02000000, 0xFFFFFFC0},  {26, 0x04000000, 0xFFFFFFE0},
    {27, 0x08000000, 0xFFFFFFF0},  {28, 0x10000000, 0xFFFFFFF8},  {29, 0x20000000, 0xFFFFFFFC},
    {30, 0x40000000, 0xFFFFFFFE},  {31, 0x80000000, 0xFFFFFFFF},  {32, 0x00000001, 0x80000000},
    {33, 0x00000002, 0xC0000000},  {34, 0x00000004, 0xE0000000},  {35, 0x00000008, 0xF0000000},
    {36, 0x00000010, 0xF8000000},  {37, 0x00000020, 0xFC000000},  {38, 0x00000040, 0xFE000000},
    {39, 0x00000080, 0xFF000000},  {40, 0x00000100, 0xFF800000},  {-1, 0x80000000, 0xFFFFFFFF},
    {-16, 0x00010000, 0xFFFF8000}, {-31, 0x00000002, 0xC0000000},
};

}  // namespace shift_cases
