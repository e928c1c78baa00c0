// Layout and highlighting of a 10 MB assembly source, each timing beside a baseline in the
// same run: QPlainTextEdit with a QSyntaxHighlighter that applies the same rules (keywords
// as whole words without regard to case, ";" comments to the line end, quoted strings
// that end at their quote or the line end) to the same text, measured with the same font.
//
// Counters: "heap_MB" is the heap the laid-out text holds (allocated bytes before and after,
// so memory freed by an earlier benchmark does not blur it); "max_slice_ms" is the longest
// background slice.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>

#include "bench_common.h"
#include "editor_control/gui/qt_text_measurer.h"
#include "editor_control/scrivlet.h"

namespace {

using bench::AsmHighlighter;
using bench::BenchFont;
using bench::HeapInUse;
using bench::TenMegabyteSource;
using scrivlet::TScrivlet;

// --- ours ---

struct Ours {
  scrivlet::gui::QtTextMeasurer measurer{BenchFont(), BenchFont()};
  TScrivlet s;
  explicit Ours(scrivlet::TzkUpdateMode mode) {
    s.SetMeasurer(&measurer);
    s.SetUpdateMode(mode);
    s.SetBounds(800, 600);
    bench::AddAsmRules(s);
  }
  void Load() {
    std::istringstream in(TenMegabyteSource());
    s.LoadFromStream(in);
  }
};

struct Baseline {
  QPlainTextEdit edit;
  AsmHighlighter* highlighter;
  Baseline() : highlighter(new AsmHighlighter(edit.document())) {
    edit.setFont(BenchFont());
    edit.resize(800, 600);
  }
  void Load() {
    edit.setPlainText(QString::fromLatin1(TenMegabyteSource().data(),
                                          static_cast<qsizetype>(TenMegabyteSource().size())));
  }
  // The plain text edit lays blocks out as they are needed; a whole-text layout asks for
  // every block's geometry.
  void LayOutAll() {
    QAbstractTextDocumentLayout* layout = edit.document()->documentLayout();
    for (QTextBlock b = edit.document()->begin(); b.isValid(); b = b.next())
      benchmark::DoNotOptimize(layout->blockBoundingRect(b));
  }
};

// --- whole-text layout and highlighting ---

void BM_Ours_LoadHighlightAndLayOut(benchmark::State& state) {
  TenMegabyteSource();
  double heap = 0;
  for (auto _ : state) {
    const size_t before = HeapInUse();
    auto ours = std::make_unique<Ours>(scrivlet::TzkUpdateMode::umImmediate);
    ours->Load();
    heap = static_cast<double>(HeapInUse() - before) / (1024.0 * 1024.0);
    state.PauseTiming();
    ours.reset();
    state.ResumeTiming();
  }
  state.counters["heap_MB"] = heap;
}
BENCHMARK(BM_Ours_LoadHighlightAndLayOut)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Baseline_LoadHighlightAndLayOut(benchmark::State& state) {
  TenMegabyteSource();
  double heap = 0;
  for (auto _ : state) {
    const size_t before = HeapInUse();
    auto base = std::make_unique<Baseline>();
    base->Load();
    base->LayOutAll();
    heap = static_cast<double>(HeapInUse() - before) / (1024.0 * 1024.0);
    state.PauseTiming();
    base.reset();
    state.ResumeTiming();
  }
  state.counters["heap_MB"] = heap;
}
BENCHMARK(BM_Baseline_LoadHighlightAndLayOut)->Unit(benchmark::kMillisecond)->Iterations(2);

// --- background formatting: the same work in slices ---

void BM_Ours_BackgroundFormatting(benchmark::State& state) {
  TenMegabyteSource();
  double longest = 0;
  int64_t slices = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto ours = std::make_unique<Ours>(scrivlet::TzkUpdateMode::umBackground);
    ours->Load();
    state.ResumeTiming();
    slices = 0;
    for (bool more = true; more; ++slices) {
      const auto t0 = std::chrono::steady_clock::now();
      more = ours->s.FormatStep();
      const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - t0;
      longest = std::max(longest, took.count());
    }
    state.PauseTiming();
    ours.reset();
    state.ResumeTiming();
  }
  state.counters["max_slice_ms"] = longest;
  state.counters["slices"] = static_cast<double>(slices);
}
BENCHMARK(BM_Ours_BackgroundFormatting)->Unit(benchmark::kMillisecond)->Iterations(2);

// --- edits in the laid-out text ---

void BM_Ours_OneCharacterInTheMiddle(benchmark::State& state) {
  Ours ours(scrivlet::TzkUpdateMode::umImmediate);
  ours.Load();
  int32_t changed = 0;
  for (auto _ : state) {
    ours.s.SetSelStart(ours.s.CharCount() / 2);
    ours.s.InsertTextBuf("x");
    state.PauseTiming();
    changed = ours.s.Table.LastScanned;
    ours.s.Undo();
    state.ResumeTiming();
  }
  benchmark::DoNotOptimize(changed);
}
BENCHMARK(BM_Ours_OneCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_Baseline_OneCharacterInTheMiddle(benchmark::State& state) {
  Baseline base;
  base.Load();
  base.LayOutAll();
  for (auto _ : state) {
    QTextCursor c(base.edit.document());
    c.setPosition(base.edit.document()->characterCount() / 2);
    c.insertText("x");
    state.PauseTiming();
    base.edit.document()->undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Baseline_OneCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_Ours_UnmatchedQuoteAtTheTopThenClosed(benchmark::State& state) {
  Ours ours(scrivlet::TzkUpdateMode::umImmediate);
  ours.Load();
  for (auto _ : state) {
    ours.s.SetSelStart(0);
    ours.s.InsertTextBuf("\"");
    ours.s.SetSelStart(3);
    ours.s.InsertTextBuf("\"");
    state.PauseTiming();
    ours.s.Undo();
    ours.s.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Ours_UnmatchedQuoteAtTheTopThenClosed)->Unit(benchmark::kMicrosecond);

void BM_Baseline_UnmatchedQuoteAtTheTopThenClosed(benchmark::State& state) {
  Baseline base;
  base.Load();
  base.LayOutAll();
  for (auto _ : state) {
    QTextCursor c(base.edit.document());
    c.setPosition(0);
    c.insertText("\"");
    c.setPosition(3);
    c.insertText("\"");
    state.PauseTiming();
    base.edit.document()->undo();
    base.edit.document()->undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Baseline_UnmatchedQuoteAtTheTopThenClosed)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
