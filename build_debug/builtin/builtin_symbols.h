#pragma once
// The built-in assembler's symbol table: 256 chains over one fixed area of 98,901 bytes.
//
// Invariants:
//   - an entry lives in the area at a fixed offset for the whole run: next-entry link (int32,
//     -1 ends the chain), kind (uint8), value (int32), extra (int32), the key and its NUL;
//   - an entry sits on chain (sum of its key's bytes) mod 256, and new entries are appended,
//     so a lookup finds the first entry of a name and later ones are never seen;
//   - Used() never exceeds kSymbolAreaSize: an entry that does not fit is refused.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace build_debug {

inline constexpr int kSymbolAreaSize = 98'901;
inline constexpr int kSymbolChains = 256;

// Offset of an entry in the area; kNoSymbol when there is none.
using SymbolHandle = std::int32_t;
inline constexpr SymbolHandle kNoSymbol = -1;

class BuiltinSymbolTable {
 public:
  BuiltinSymbolTable();

  void Clear();
  SymbolHandle Find(std::string_view key) const;
  // The new entry, or kNoSymbol when the area cannot hold it.
  [[nodiscard]] SymbolHandle Add(std::string_view key, std::uint8_t kind, std::int32_t value,
                                 std::int32_t extra = 0);

  std::uint8_t Kind(SymbolHandle entry) const { return area_[entry + kKindAt]; }
  std::int32_t Value(SymbolHandle entry) const { return ReadInt(entry + kValueAt); }
  std::int32_t Extra(SymbolHandle entry) const { return ReadInt(entry + kExtraAt); }
  void SetKind(SymbolHandle entry, std::uint8_t kind) { area_[entry + kKindAt] = kind; }
  void SetValue(SymbolHandle entry, std::int32_t value) { WriteInt(entry + kValueAt, value); }

  int Used() const { return used_; }

 private:
  static constexpr int kKindAt = 4;
  static constexpr int kValueAt = 5;
  static constexpr int kExtraAt = 9;
  static constexpr int kKeyAt = 13;

  std::int32_t ReadInt(int at) const;
  void WriteInt(int at, std::int32_t value);
  static int Chain(std::string_view key);

  std::vector<std::uint8_t> area_;
  std::array<SymbolHandle, kSymbolChains> first_{};
  std::array<SymbolHandle, kSymbolChains> last_{};
  int used_ = 0;
};

}  // namespace build_debug
