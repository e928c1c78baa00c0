#pragma once
// Small string, number and version routines. A version number is a * 10000 + b * 100 + c for
// the version a.b.c.

#include <string>
#include <string_view>
#include <vector>

namespace workbench {

// "07", "12", "123": a leading "0" when n <= 9.
std::string IntToStrPad2(int n);

// 1234567 gives "1,234,567".
std::string ThousandsSep(long long n);

// 15103 gives "1.51.03"; 20800 gives "2.08" (the last part only when it is not 0).
std::string VersionToStr(int n);

// Splits text at every delim into list from position start on: each piece replaces the entry
// at its position or is appended. start <= 0 clears the list first. The last piece, possibly
// empty, is always stored ("a,,b" gives a, "", b; "" gives one empty entry).
void SplitString(std::string_view text, char delim, std::vector<std::string>& list, int start);

// A digit, a letter A-Z or a-z, or "_".
bool IsIdentChar(char c);

// value := limit when value < limit.
inline void AtLeast(int& value, int limit) {
  if (value < limit) value = limit;
}
// value := limit when value > limit.
inline void AtMost(int& value, int limit) {
  if (value > limit) value = limit;
}
inline bool InRange(int value, int lo, int hi) { return lo <= value && value <= hi; }

}  // namespace workbench
