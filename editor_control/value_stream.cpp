#include "editor_control/value_stream.h"

namespace scrivlet {

std::string TStreamItemReader::ReadString() {
  if (AtEnd() || !item_[next_].IsString()) throw EReadError();
  const TStreamValue& v = item_[next_++];
  if (v.kind == TStreamValue::vaString) return v.Str;
  std::string out;
  for (char16_t c : v.WStr) out.push_back(c < 256 ? static_cast<char>(c) : '?');
  return out;
}

int32_t TStreamItemReader::ReadInteger() {
  if (!NextIsInteger()) throw EReadError();
  return item_[next_++].Int;
}

bool TStreamItemReader::ReadBoolean() {
  if (AtEnd()) throw EReadError();
  const TStreamValue& v = item_[next_];
  if (v.kind != TStreamValue::vaTrue && v.kind != TStreamValue::vaFalse) throw EReadError();
  ++next_;
  return v.kind == TStreamValue::vaTrue;
}

}  // namespace scrivlet
