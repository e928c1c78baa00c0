// Timings of the text core on a 10 MB source: loading, an insertion in its middle, and the
// Undo of that insertion; Replace All of 1M hits in 5 MB, on one line and over short lines,
// beside a plain std::string replace of the same text.

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

// 5 MB with 1M hits of "x": all on one line, or one on each of 1M short lines.
const std::string& ReplaceSource(bool one_line) {
  static const std::string line = [] {
    std::string s;
    for (int i = 0; i < 1000000; ++i) s += "x abc";
    return s;
  }();
  static const std::string lines = [] {
    std::string s;
    for (int i = 0; i < 1000000; ++i) s += "x a\r\n";
    return s;
  }();
  return one_line ? line : lines;
}

void BM_ReplaceAll(benchmark::State& state) {
  const bool one_line = state.range(0) != 0;
  const std::string& text = ReplaceSource(one_line);
  scrivlet::TScrivlet s;
  int32_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::istringstream in(text);
    s.LoadFromStream(in);
    state.ResumeTiming();
    count = s.ReplaceAll("x", "xy", false, false);
  }
  if (count != 1000000) state.SkipWithError("not every hit was replaced");
  state.SetLabel(one_line ? "one line" : "1M lines");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReplaceAll)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The baseline: the same replacement of a std::string holding the text, in one pass.
void BM_ReplaceAllStdString(benchmark::State& state) {
  const bool one_line = state.range(0) != 0;
  const std::string& text = ReplaceSource(one_line);
  int64_t count = 0;
  for (auto _ : state) {
    std::string out;
    count = 0;
    size_t from = 0;
    for (size_t at = text.find('x'); at != std::string::npos; at = text.find('x', from)) {
      out.append(text, from, at - from).append("xy");
      from = at + 1;
      ++count;
    }
    out.append(text, from, std::string::npos);
    benchmark::DoNotOptimize(out.data());
  }
  if (count != 1000000) state.SkipWithError("not every hit was replaced");
  state.SetLabel(one_line ? "one line" : "1M lines");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReplaceAllStdString)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
