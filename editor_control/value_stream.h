#pragma once
// The typed values that the component stream holds for a list property: one item per entry,
// each a row of values. The component shell turns them into its stream format.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace scrivlet {

struct TStreamValue {
  enum Kind { vaString, vaWString, vaInt8, vaInt16, vaInt32, vaFalse, vaTrue };
  Kind kind = vaInt32;
  int32_t Int = 0;
  std::string Str;      // vaString
  std::u16string WStr;  // vaWString

  static TStreamValue String(std::string s) {
    TStreamValue v;
    v.kind = vaString;
    v.Str = std::move(s);
    return v;
  }
  static TStreamValue WString(std::u16string s) {
    TStreamValue v;
    v.kind = vaWString;
    v.WStr = std::move(s);
    return v;
  }
  static TStreamValue Bool(bool b) {
    TStreamValue v;
    v.kind = b ? vaTrue : vaFalse;
    return v;
  }
  // The smallest integer kind that holds n, as the stream writer picks it.
  static TStreamValue Integer(int32_t n) {
    TStreamValue v;
    v.Int = n;
    v.kind = (n >= -128 && n <= 127) ? vaInt8 : (n >= -32768 && n <= 32767) ? vaInt16 : vaInt32;
    return v;
  }
  bool IsInteger() const { return kind == vaInt8 || kind == vaInt16 || kind == vaInt32; }
  bool IsString() const { return kind == vaString || kind == vaWString; }
};

using TStreamItem = std::vector<TStreamValue>;
using TStreamList = std::vector<TStreamItem>;

// Reads the values of one item in order; a value of the wrong kind is a stream error.
class TStreamItemReader {
 public:
  explicit TStreamItemReader(const TStreamItem& item) : item_(item) {}
  bool AtEnd() const { return next_ >= item_.size(); }
  bool NextIsInteger() const { return !AtEnd() && item_[next_].IsInteger(); }
  std::string ReadString();  // a wide string is converted: characters above 255 become '?'
  int32_t ReadInteger();
  bool ReadBoolean();

 private:
  const TStreamItem& item_;
  size_t next_ = 0;
};

class EReadError : public std::runtime_error {
 public:
  EReadError() : std::runtime_error("Invalid property value") {}
};

}  // namespace scrivlet
