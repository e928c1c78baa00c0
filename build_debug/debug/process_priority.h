#pragma once
// The process's scheduling priority, as a service: the clock window raises it while the key
// clocks the chip, so that the link's polls come in time. On this platform a raise is a lower
// niceness, best effort: a refusal (no privilege) leaves the priority as it was.

namespace build_debug {

class ProcessPriority {
 public:
  virtual ~ProcessPriority() = default;
  virtual void Raise() = 0;
  // Back to what it was before the raise.
  virtual void Restore() = 0;
};

class NiceProcessPriority : public ProcessPriority {
 public:
  void Raise() override;
  void Restore() override;

 private:
  bool raised_ = false;
  int before_ = 0;
};

}  // namespace build_debug
