#pragma once
// The exceptions the editor control raises, with the texts callers and tests compare.

#include <stdexcept>
#include <string>

namespace scrivlet {

// The control's plain failures ("Text too long", "Internal Scrivlet error", the self-test).
class EScrivletError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An index outside a list.
class ERangeError : public std::out_of_range {
 public:
  ERangeError() : std::out_of_range("List index out of bounds") {}
};

// A list refused a setting.
class EListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A number field that is empty or not a number.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& text)
      : std::runtime_error("'" + text + "' is not a valid integer value") {}
};

inline constexpr const char* kTextTooLong = "Text too long";
inline constexpr const char* kInternalError = "Internal Scrivlet error";
inline constexpr const char* kUndoSetTooHigh = "Undo set too high";

}  // namespace scrivlet
