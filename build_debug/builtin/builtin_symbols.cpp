#include "build_debug/builtin/builtin_symbols.h"

#include <cstring>

namespace build_debug {

BuiltinSymbolTable::BuiltinSymbolTable() : area_(kSymbolAreaSize) { Clear(); }

void BuiltinSymbolTable::Clear() {
  first_.fill(kNoSymbol);
  last_.fill(kNoSymbol);
  used_ = 0;
}

int BuiltinSymbolTable::Chain(std::string_view key) {
  unsigned sum = 0;
  for (char c : key) sum += static_cast<unsigned char>(c);
  return static_cast<int>(sum % kSymbolChains);
}

std::int32_t BuiltinSymbolTable::ReadInt(int at) const {
  std::int32_t value;
  std::memcpy(&value, &area_[at], sizeof value);
  return value;
}

void BuiltinSymbolTable::WriteInt(int at, std::int32_t value) {
  std::memcpy(&area_[at], &value, sizeof value);
}

SymbolHandle BuiltinSymbolTable::Find(std::string_view key) const {
  for (SymbolHandle entry = first_[Chain(key)]; entry != kNoSymbol; entry = ReadInt(entry)) {
    const char* stored = reinterpret_cast<const char*>(&area_[entry + kKeyAt]);
    if (std::strlen(stored) == key.size() && std::memcmp(stored, key.data(), key.size()) == 0)
      return entry;
  }
  return kNoSymbol;
}

SymbolHandle BuiltinSymbolTable::Add(std::string_view key, std::uint8_t kind, std::int32_t value,
                                     std::int32_t extra) {
  int size = kKeyAt + static_cast<int>(key.size()) + 1;
  if (size > kSymbolAreaSize - used_) return kNoSymbol;
  SymbolHandle entry = used_;
  used_ += size;
  WriteInt(entry, kNoSymbol);
  area_[entry + kKindAt] = kind;
  WriteInt(entry + kValueAt, value);
  WriteInt(entry + kExtraAt, extra);
  std::memcpy(&area_[entry + kKeyAt], key.data(), key.size());
  area_[entry + kKeyAt + key.size()] = 0;
  int chain = Chain(key);
  if (last_[chain] == kNoSymbol)
    first_[chain] = entry;
  else
    WriteInt(last_[chain], entry);
  last_[chain] = entry;
  return entry;
}

}  // namespace build_debug
