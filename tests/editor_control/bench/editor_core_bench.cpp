// Timings of the text core on a 10 MB source: loading, an insertion in its middle, and the
// Undo of that insertion.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "editor_control/scrivlet.h"

namespace {

const std::string& TenMegabyteSource() {
  static const std::string text = [] {
    std::string s;
    for (int i = 0; s.size() < 10u * 1024 * 1024; ++i)
      s +=
          "label" + std::to_string(i) + ":\tMOVLW 0x" + std::to_string(i % 256) + "  ; comment\r\n";
    return s;
  }();
  return text;
}

void Load(scrivlet::TScrivlet& s) {
  std::istringstream in(TenMegabyteSource());
  s.LoadFromStream(in);
}

void BM_Load10MB(benchmark::State& state) {
  scrivlet::TScrivlet s;
  TenMegabyteSource();  // built once, outside the timing
  for (auto _ : state) Load(s);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(TenMegabyteSource().size()));
}
BENCHMARK(BM_Load10MB)->Unit(benchmark::kMillisecond);

void BM_InsertInTheMiddle(benchmark::State& state) {
  scrivlet::TScrivlet s;
  Load(s);
  for (auto _ : state) {
    s.SetSelStart(s.CharCount() / 2);
    s.InsertTextBuf("inserted line\r\n");
    state.PauseTiming();
    s.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_InsertInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_UndoOfTheInsertion(benchmark::State& state) {
  scrivlet::TScrivlet s;
  Load(s);
  for (auto _ : state) {
    state.PauseTiming();
    s.SetSelStart(s.CharCount() / 2);
    s.InsertTextBuf("inserted line\r\n");
    state.ResumeTiming();
    s.Undo();
  }
}
BENCHMARK(BM_UndoOfTheInsertion)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
