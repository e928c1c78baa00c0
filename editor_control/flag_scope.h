#pragma once
// Sets a flag of the control for a scope and gives it back its value when the scope ends, by an
// exception too.

namespace scrivlet {

struct FlagScope {
  bool& flag;
  bool saved;
  FlagScope(bool& f, bool value) : flag(f), saved(f) { flag = value; }
  ~FlagScope() { flag = saved; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;
};

}  // namespace scrivlet
