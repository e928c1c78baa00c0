// The editor widget on a 10 MB assembly source, each figure beside a baseline measured in
// the same run: a QPlainTextEdit with a QSyntaxHighlighter applying the same keyword,
// comment and string rules to the same text, in the same font and window size. Painting is
// rendering the viewport into an image, for both.
//
// Counters: "heap_MB" is the heap the loaded, painted text holds; "max_ms" the slowest
// keystroke; "max_slice_ms" the longest format slice; "pages" the pages painted and "lines"
// the top line they reached.

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <vector>

#include "bench_common.h"
#include "editor_control/gui/scrivlet_widget.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

struct Ours {
  scrivlet::gui::TScrivlet w;
  QImage image{kWidth, kHeight, QImage::Format_RGB32};
  explicit Ours(bench::Strings strings = bench::Strings::EndAtLineEnd) {
    w.resize(kWidth, kHeight);
    w.SetFonts(bench::BenchFont(), bench::BenchFont());
    w.Memo().SetWordWrap(false);
    w.Memo().ScrollTime = 0;
    w.Memo().SetScrollBars(scrivlet::TScrollStyle::ssBoth);
    bench::AddAsmRules(w.Memo(), strings);
  }
  void Load() { Load(bench::TenMegabyteSource()); }
  void Load(const std::string& text) {
    std::istringstream in(text);
    w.Memo().LoadFromStream(in);
  }
  void Paint() { w.RenderClient(image); }
  // What the format slices do while the user looks at the first screen.
  void FinishLayout() {
    while (w.Memo().FormatStep()) {
    }
  }
};

struct Baseline {
  QPlainTextEdit edit;
  bench::AsmHighlighter* highlighter;
  QImage image{kWidth, kHeight, QImage::Format_RGB32};
  explicit Baseline(bench::Strings strings = bench::Strings::EndAtLineEnd)
      : highlighter(new bench::AsmHighlighter(edit.document(), strings)) {
    edit.setFont(bench::BenchFont());
    edit.setLineWrapMode(QPlainTextEdit::NoWrap);
    edit.resize(kWidth, kHeight);
  }
  void Load() { Load(bench::TenMegabyteSource()); }
  void Load(const std::string& t) {
    edit.setPlainText(QString::fromLatin1(t.data(), static_cast<qsizetype>(t.size())));
  }
  void Paint() { edit.viewport()->render(&image); }
};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// --- from the load to the first painted screen ---

void BM_Ours_LoadToFirstScreen(benchmark::State& state) {
  bench::TenMegabyteSource();
  double heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t before = bench::HeapInUse();
    auto ours = std::make_unique<Ours>();
    state.ResumeTiming();
    ours->Load();
    ours->Paint();
    state.PauseTiming();
    // The rest of the layout runs in slices after the first screen; the heap counts it too.
    ours->FinishLayout();
    heap = static_cast<double>(bench::HeapInUse() - before) / (1024.0 * 1024.0);
    ours.reset();
    state.ResumeTiming();
  }
  state.counters["heap_MB"] = heap;
}
BENCHMARK(BM_Ours_LoadToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Baseline_LoadToFirstScreen(benchmark::State& state) {
  bench::TenMegabyteSource();
  double heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const size_t before = bench::HeapInUse();
    auto base = std::make_unique<Baseline>();
    state.ResumeTiming();
    base->Load();
    base->Paint();
    state.PauseTiming();
    heap = static_cast<double>(bench::HeapInUse() - before) / (1024.0 * 1024.0);
    base.reset();
    state.ResumeTiming();
  }
  state.counters["heap_MB"] = heap;
}
BENCHMARK(BM_Baseline_LoadToFirstScreen)->Unit(benchmark::kMillisecond)->Iterations(2);

// --- one character typed in the middle, then the repaint ---

void BM_Ours_TypeInTheMiddleAndRepaint(benchmark::State& state) {
  Ours ours;
  ours.Load();
  ours.FinishLayout();
  ours.w.Memo().SetSelStart(ours.w.Memo().CharCount() / 2);
  ours.w.Memo().ScrollInView();
  double longest = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    ours.w.Input().KeyDown('X', 0);
    ours.w.Input().KeyPress('x');
    ours.Paint();
    longest = std::max(longest, Ms(std::chrono::steady_clock::now() - t0));
  }
  state.counters["max_ms"] = longest;
}
BENCHMARK(BM_Ours_TypeInTheMiddleAndRepaint)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_Baseline_TypeInTheMiddleAndRepaint(benchmark::State& state) {
  Baseline base;
  base.Load();
  QTextCursor c(base.edit.document());
  c.setPosition(base.edit.document()->characterCount() / 2);
  base.edit.setTextCursor(c);
  base.edit.ensureCursorVisible();
  base.Paint();
  double longest = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    base.edit.insertPlainText("x");
    base.Paint();
    longest = std::max(longest, Ms(std::chrono::steady_clock::now() - t0));
  }
  state.counters["max_ms"] = longest;
}
BENCHMARK(BM_Baseline_TypeInTheMiddleAndRepaint)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// --- page down through the whole text, painting every page ---

void BM_Ours_PageDownThroughTheText(benchmark::State& state) {
  Ours ours;
  ours.Load();
  ours.FinishLayout();
  int64_t pages = 0;
  for (auto _ : state) {
    ours.w.Memo().SetVScroll(0);
    pages = 0;
    for (int32_t last = -1; ours.w.Memo().VertScroll() != last; ++pages) {
      last = ours.w.Memo().VertScroll();
      ours.w.Memo().VScrollCommand(scrivlet::TScrivlet::TScrollCode::scPageDown);
      ours.Paint();
    }
  }
  state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_Ours_PageDownThroughTheText)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Baseline_PageDownThroughTheText(benchmark::State& state) {
  Baseline base;
  base.Load();
  int64_t pages = 0;
  QScrollBar* bar = base.edit.verticalScrollBar();
  for (auto _ : state) {
    bar->setValue(0);
    pages = 0;
    for (int last = -1; bar->value() != last; ++pages) {
      last = bar->value();
      bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
      base.Paint();
    }
  }
  state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_Baseline_PageDownThroughTheText)->Unit(benchmark::kMillisecond)->Iterations(1);

// --- a quote typed near the top, its string running on over the lines behind, then deleted ---
// Each keystroke is timed up to its repaint; the rescan that follows runs in the format
// slices (ours) before the next keystroke. The argument is the source's size in kB; its
// strings hold no ";", so the quote turns every string behind it inside out.
constexpr const char* kRunOnText = "text, not a comment";

void BM_Ours_UnmatchedQuoteOverLines(benchmark::State& state) {
  Ours ours(bench::Strings::RunOverLines);
  ours.Load(bench::AsmSource(static_cast<size_t>(state.range(0)) * 1000, kRunOnText));
  ours.FinishLayout();
  scrivlet::TScrivlet& m = ours.w.Memo();
  const int32_t at = m.ParagraphStart(1) + 1;  // behind the tab of the second line
  double longest = 0, longest_slice = 0;
  auto keystroke = [&](auto&& key) {
    const auto t0 = std::chrono::steady_clock::now();
    key();
    ours.Paint();
    const double ms = Ms(std::chrono::steady_clock::now() - t0);
    longest = std::max(longest, ms);
    return ms;
  };
  auto slices = [&] {
    for (bool more = true; more;) {
      const auto t0 = std::chrono::steady_clock::now();
      more = m.FormatStep();
      longest_slice = std::max(longest_slice, Ms(std::chrono::steady_clock::now() - t0));
    }
  };
  for (auto _ : state) {
    m.SetSelStart(at);
    double ms = keystroke([&] {
      ours.w.Input().KeyDown('2', scrivlet::ssShift);
      ours.w.Input().KeyPress('"');
    });
    state.PauseTiming();
    slices();
    state.ResumeTiming();
    ms += keystroke([&] {
      ours.w.Input().KeyDown(scrivlet::vk::kBack, 0);
      ours.w.Input().KeyPress('\b');
    });
    state.PauseTiming();
    slices();
    state.ResumeTiming();
    benchmark::DoNotOptimize(ms);
  }
  state.counters["max_ms"] = longest;
  state.counters["max_slice_ms"] = longest_slice;
}
BENCHMARK(BM_Ours_UnmatchedQuoteOverLines)
    ->Arg(4200)
    ->Arg(10900)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_Baseline_UnmatchedQuoteOverLines(benchmark::State& state) {
  Baseline base(bench::Strings::RunOverLines);
  base.Load(bench::AsmSource(static_cast<size_t>(state.range(0)) * 1000, kRunOnText));
  QTextDocument* doc = base.edit.document();
  const int at = doc->findBlockByNumber(1).position() + 1;
  base.Paint();
  double longest = 0;
  auto keystroke = [&](auto&& key) {
    const auto t0 = std::chrono::steady_clock::now();
    key();
    base.Paint();
    longest = std::max(longest, Ms(std::chrono::steady_clock::now() - t0));
  };
  for (auto _ : state) {
    QTextCursor c(doc);
    c.setPosition(at);
    base.edit.setTextCursor(c);
    keystroke([&] { base.edit.insertPlainText("\""); });
    keystroke([&] { base.edit.textCursor().deletePreviousChar(); });
  }
  state.counters["max_ms"] = longest;
}
BENCHMARK(BM_Baseline_UnmatchedQuoteOverLines)
    ->Arg(4200)
    ->Arg(10900)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(2)
    ->ReportAggregatesOnly(true);

// --- page down over the same number of pages in both, painting every page ---

constexpr int kPages = 5000;

void BM_Ours_PageDownSamePages(benchmark::State& state) {
  Ours ours;
  ours.Load();
  ours.FinishLayout();
  for (auto _ : state) {
    ours.w.Memo().SetVScroll(0);
    for (int i = 0; i < kPages; ++i) {
      ours.w.Memo().VScrollCommand(scrivlet::TScrivlet::TScrollCode::scPageDown);
      ours.Paint();
    }
  }
  state.counters["pages"] = kPages;
  state.counters["lines"] = ours.w.Memo().GetTopLine();
}
BENCHMARK(BM_Ours_PageDownSamePages)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(2);

void BM_Baseline_PageDownSamePages(benchmark::State& state) {
  Baseline base;
  base.Load();
  QScrollBar* bar = base.edit.verticalScrollBar();
  for (auto _ : state) {
    bar->setValue(0);
    for (int i = 0; i < kPages; ++i) {
      bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
      base.Paint();
    }
  }
  state.counters["pages"] = kPages;
  state.counters["lines"] = bar->value();
}
BENCHMARK(BM_Baseline_PageDownSamePages)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(2);

// --- a find that misses ---

void BM_Ours_FindThatMisses(benchmark::State& state) {
  Ours ours;
  ours.Load();
  for (auto _ : state)
    benchmark::DoNotOptimize(ours.w.Memo().FindText("not there", true, true, false, false));
}
BENCHMARK(BM_Ours_FindThatMisses)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Baseline_FindThatMisses(benchmark::State& state) {
  Baseline base;
  base.Load();
  for (auto _ : state) benchmark::DoNotOptimize(base.edit.document()->find("not there", 0));
}
BENCHMARK(BM_Baseline_FindThatMisses)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) { return bench::RunBenchmarks(argc, argv); }
