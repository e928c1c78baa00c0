#pragma once
// The upper-case routines that prepare keys and text for matching without regard to case.

#include <string>
#include <string_view>

namespace scrivlet {

enum class TzkUpperCase { zkuAscii, zkuAnsi, zkuUserDefined };

// A program's own routine: converts a zero-terminated text in place.
using TUpperCaseProc = void (*)(char* text);

// zkuAscii converts a..z only; zkuAnsi folds the Windows-1252 letters as the system's ANSI
// conversion does; zkuUserDefined uses `user`, or the ASCII routine while it is null.
std::string UpperCased(std::string_view text, TzkUpperCase type, TUpperCaseProc user);
// The same into `out`, whose buffer a caller that folds text after text keeps.
void UpperCaseInto(std::string_view text, TzkUpperCase type, TUpperCaseProc user, std::string& out);

}  // namespace scrivlet
