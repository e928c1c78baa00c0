#pragma once
// Background formatting: the control lays a long text out in slices between user events.
// Nothing but the UI thread touches the text: the pacer only asks the UI thread's event loop
// to run the next slice (the Qt shell does so with a zero-time timer), and the slice itself
// stops when its time budget is spent.

#include <cstdint>
#include <functional>

namespace scrivlet {

// The one place the slice budget is stated: a slice lays out paragraphs for at most this
// long (checked between paragraphs, so one very long paragraph may overrun it).
inline constexpr int64_t kFormatSliceMs = 25;

// The tick count the control reads for slices and for the pace of OnProgress.
class TTickClock {
 public:
  virtual ~TTickClock() = default;
  virtual int64_t Milliseconds() = 0;
};

// The monotonic clock of the machine.
class TSteadyClock : public TTickClock {
 public:
  int64_t Milliseconds() override;
};

// The hop onto the UI thread's event loop: RequestSlice asks for `slice` to be called once,
// soon, from the loop; a second request before then replaces the first. Cancel forgets a
// request that has not run.
class TSliceScheduler {
 public:
  virtual ~TSliceScheduler() = default;
  virtual void RequestSlice(std::function<void()> slice) = 0;
  virtual void Cancel() = 0;
};

// Paces the slices of one control: while it runs, every slice that leaves work pending asks
// for the next one; it is suspended when the backlog is done and resumed by the next change.
class TzkFormatThread {
 public:
  // `step` runs one slice and returns true while work is left.
  TzkFormatThread(TSliceScheduler& scheduler, std::function<bool()> step)
      : scheduler_(scheduler), step_(std::move(step)) {}
  ~TzkFormatThread() { Stop(); }
  TzkFormatThread(const TzkFormatThread&) = delete;
  TzkFormatThread& operator=(const TzkFormatThread&) = delete;

  void Resume() {
    if (stopped_ || !suspended_) return;
    suspended_ = false;
    scheduler_.RequestSlice([this] { Pump(); });
  }
  void Suspend() { suspended_ = true; }
  // After Stop no slice runs any more, even one already requested.
  void Stop() {
    stopped_ = true;
    scheduler_.Cancel();
  }
  bool Suspended() const { return suspended_; }

 private:
  void Pump() {
    if (stopped_ || suspended_) return;
    if (step_()) {
      if (!suspended_ && !stopped_) scheduler_.RequestSlice([this] { Pump(); });
    } else {
      suspended_ = true;
    }
  }

  TSliceScheduler& scheduler_;
  std::function<bool()> step_;
  bool suspended_ = true;
  bool stopped_ = false;
};

}  // namespace scrivlet
