// Paragraph layout: word wrap, tabs, alignment, and the drivers that lay out ranges.

#include "editor_control/layout.h"

#include <algorithm>
#include <climits>

#include "editor_control/scrivlet.h"
#include "editor_control/style_walker.h"

namespace scrivlet {

uint8_t CombinedStyle(uint8_t inline_style, uint8_t run_flags, uint8_t font_style) {
  if ((run_flags & kRunHasAttributes) == 0) return static_cast<uint8_t>(inline_style ^ font_style);
  // Strikeout and highlight together mark a run that keeps the bit 7 flag in the result.
  if ((run_flags & 0x18) == 0x18) return static_cast<uint8_t>(run_flags & 0xA7);
  return static_cast<uint8_t>(run_flags & 0x3F);
}

TScrivLayout::TScrivLayout(TScrivlet& memo) : memo_(memo) {}

void TScrivLayout::ForgetMetrics() {
  for (auto& m : metrics_) m.reset();
}

TScrivLayout::Metrics& TScrivLayout::MetricsOf(uint8_t style) {
  std::unique_ptr<Metrics>& slot = metrics_[style];
  if (slot) return *slot;
  slot = std::make_unique<Metrics>();
  TTextMeasurer& m = *memo_.Measurer();
  const int32_t one = m.Width(" ", style);
  const int32_t two = m.Width("  ", style);
  if (one >= 0 && two >= 0) {
    slot->Space = two - one;
    slot->Overhang = 2 * one - two;
  }
  // Widths add up because the measurer does not kern: one look-up per byte is enough.
  for (int c = 0; c < 256; ++c) {
    const char ch = static_cast<char>(c);
    slot->Width[static_cast<size_t>(c)] =
        std::max(0, m.Width(std::string_view(&ch, 1), style) - slot->Overhang);
  }
  return *slot;
}

int32_t TScrivLayout::CharWidth(uint8_t c, uint8_t style) { return MetricsOf(style).Width[c]; }
int32_t TScrivLayout::SpaceWidth(uint8_t style) { return MetricsOf(style).Space; }

int32_t TScrivLayout::NextTab(int32_t x, uint8_t style) {
  const int32_t tabs = memo_.GetTabStops();
  if (tabs == 0) return x;
  const int32_t step = tabs > 0 ? tabs * std::max(1, SpaceWidth(style)) : -tabs;
  return (x / step + 1) * step;
}

int32_t TScrivLayout::WrapWidth() const {
  if (!memo_.GetWordWrap() && memo_.GetAlignment() == TAlignment::taLeftJustify)
    return INT32_MAX - memo_.GetRightMargin();
  const int32_t col = memo_.GetColumnWrap();
  int32_t w = col > 0   ? col
              : col < 0 ? -col
                        : memo_.ClientWidth() - memo_.GetLeftMargin() - memo_.GetRightMargin();
  return std::max(1, w);
}

int32_t TScrivLayout::AlignWidth() const {
  const int32_t col = memo_.GetColumnWrap();
  return std::max(
      1, col < 0 ? -col : memo_.ClientWidth() - memo_.GetLeftMargin() - memo_.GetRightMargin());
}

// Kept whole: the word-wrap loop: break candidates and widths share its position.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void TScrivLayout::BreakIntoLines(const TParagraph& p, std::vector<TLineRecord>& lines) {
  const int32_t len = para::Length(p);
  const char* t = p.Text;
  const int32_t W = WrapWidth();
  const bool by_columns =
      memo_.GetColumnWrap() > 0 &&
      (memo_.GetWordWrap() || memo_.GetAlignment() != TAlignment::taLeftJustify);
  const auto& wrap_chars = memo_.WordWrapCharSet();
  StyleWalker walk(p, memo_.GetStaticFormat(), memo_.FontStyle(), 0, para::InlineStartStyle(p));

  lines.clear();
  TLineRecord cur;
  cur.StartStyle = walk.Inline();
  cur.FirstRun = 0;
  int64_t x = 0;      // 64 bits: an unwrapped line may be wider than the 32-bit range
  int32_t chars = 0;  // characters from the line start, for a positive ColumnWrap
  bool has_word = false;
  int32_t spaces = 0;  // spaces since the line start
  cur.Spaces = 0;
  cur.TrailingStart = 0;
  auto clamp32 = [](int64_t v) { return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX)); };
  auto close = [&](int32_t end) {
    cur.End = end;
    cur.FullWidth = clamp32(x);
    if (!has_word) {
      cur.TrailingStart = cur.Start;
      cur.WordWidth = 0;
      cur.Spaces = 0;
    }
    lines.push_back(cur);
  };
  auto finish = [&](int32_t end, uint8_t next_style, size_t runs_passed) {
    close(end);
    cur = TLineRecord{};
    cur.Start = cur.TrailingStart = end;
    cur.StartStyle = next_style;
    cur.FirstRun = static_cast<int32_t>(runs_passed);
    x = 0;
    chars = 0;
    spaces = 0;
    has_word = false;
  };

  int32_t pos = 0;
  while (pos < len) {
    const auto c = static_cast<uint8_t>(t[pos]);
    if (c == ' ' || c == '\t') {
      const uint8_t style = walk.At(pos);
      x = c == ' ' ? x + SpaceWidth(style) : NextTab(clamp32(x), style);
      spaces += c == ' ';
      ++chars;
      ++pos;
      continue;
    }
    // A word: up to the next blank, or right behind a word-wrap character.
    const int32_t word_start = pos;
    const uint8_t inline_at_word = walk.Inline();
    const size_t runs_at_word = walk.RunsPassed();
    scratch_widths_.clear();
    int64_t ww = 0;
    int32_t wc = 0;
    while (pos < len) {
      const auto d = static_cast<uint8_t>(t[pos]);
      if (d == ' ' || d == '\t') break;
      const uint8_t style = walk.At(pos);
      int32_t w = 0;
      if (!walk.Toggle(d)) {
        w = CharWidth(d, style);
        ++wc;
      }
      ww += w;
      scratch_widths_.push_back(w);
      ++pos;
      if (wrap_chars.test(d)) break;
    }
    auto fits = [&](int64_t width, int32_t count) {
      return by_columns ? chars + count <= W : x + width <= W;
    };
    if (!fits(ww, wc) && has_word) {
      finish(word_start, inline_at_word, runs_at_word);
    }
    if (fits(ww, wc)) {
      x += ww;
      chars += wc;
      has_word = true;
      cur.TrailingStart = pos;
      cur.WordWidth = clamp32(x);
      cur.Spaces = spaces;
      continue;
    }
    // The word alone does not fit: break it at the last character that still fits, with at
    // least one character on each line.
    int32_t k = word_start;
    while (k < pos) {
      bool first = true;
      while (k < pos) {
        const int32_t w = scratch_widths_[static_cast<size_t>(k - word_start)];
        const int32_t counted =
            w > 0 || !memo_.GetStaticFormat() || !IsStyleChar(static_cast<uint8_t>(t[k]));
        if (!first && !fits(w, counted)) break;
        x += w;
        chars += counted;
        first = false;
        ++k;
      }
      has_word = true;
      cur.TrailingStart = k;
      cur.WordWidth = clamp32(x);
      cur.Spaces = spaces;
      if (k < pos) {
        // The inline style at k: replay the toggles of the piece placed.
        uint8_t style = cur.StartStyle;
        if (memo_.GetStaticFormat())
          for (int32_t q = cur.Start; q < k; ++q)
            style = ToggleStyle(style, static_cast<uint8_t>(t[q]));
        size_t runs = 0;
        if (const auto* r = para::Runs(p))
          while (runs < r->size() && (*r)[runs].Offset <= k) ++runs;
        finish(k, style, runs);
      }
    }
  }
  close(len);
}

int32_t TScrivLayout::LayoutParagraph(int32_t i) {
  TParagraph& p = memo_.Table.Items(i);
  const int32_t old_count = para::LineCount(p);
  if ((p.Flags & pfKeywordsScanned) == 0 || (p.Flags & pfKeysScanned) == 0) {
    EnsureScanned(i);
    if ((memo_.Table.Items(i).Flags & pfKeywordsScanned) == 0) RescanParagraph(i);
  }
  TParagraph& q = memo_.Table.Items(i);
  if (memo_.Measurer() == nullptr) {
    para::SetLineCount(q, 1);
    para::ResetLines(q);
    q.Flags |= pfFormatted;
    return 1 - old_count;
  }
  std::vector<TLineRecord>& lines = scratch_lines_;
  BreakIntoLines(q, lines);
  const auto n = static_cast<int32_t>(lines.size());
  para::SetLineCount(q, n);
  int32_t widest = 0;
  for (int32_t k = 0; k < n; ++k) {
    para::SetLineRecord(q, k, lines[static_cast<size_t>(k)]);
    widest = std::max(widest, lines[static_cast<size_t>(k)].FullWidth);
  }
  q.Flags |= pfFormatted;
  if (widest > LongestLineWidth) {
    LongestLineWidth = widest;
    if (!memo_.GetWordWrap() || memo_.GetColumnWrap() > 0) LongestLinePara = i;
  }
  return n - old_count;
}

void TScrivLayout::FinishLayoutRange(int32_t first, int32_t last, int32_t visible_delta,
                                     int32_t line_delta) {
  TParagraphsList& table = memo_.Table;
  table.LinesChanged(last, line_delta, visible_delta);
  TParagraphsList::ForgetNavigatorCaches(memo_.Navigators(), table.Items(first).StartOffset, last);
  memo_.UpdateScrollBars();
}

void TScrivLayout::FormatRange(int32_t first, int32_t last, bool with_progress, bool only_backlog,
                               int64_t deadline) {
  TParagraphsList& table = memo_.Table;
  last = std::min(last, table.Count() - 1);
  if (only_backlog) first = std::max(first, table.FirstToFormat);
  if (first > last || first < 0) return;
  TTickClock& clock = memo_.Clock();
  int32_t line = table.Items(first).FirstLine;
  int32_t line_delta = 0, visible_delta = 0;
  int32_t i = first;
  // Asked for the whole backlog, the range follows it as rescans hand changed section
  // states on to the paragraphs behind.
  const bool follow_backlog = only_backlog && last >= table.LastToFormat;
  while (i <= (follow_backlog ? std::min(table.LastToFormat, table.Count() - 1) : last)) {
    TParagraph& p = table.Items(i);
    p.FirstLine = line;
    if (!(only_backlog && (p.Flags & pfFormatted))) {
      const int32_t old_visible = table.VisibleLines(i);
      line_delta += LayoutParagraph(i);
      visible_delta += table.VisibleLines(i) - old_visible;
    }
    line += table.VisibleLines(i);
    ++i;
    if (with_progress && memo_.OnProgress &&
        clock.Milliseconds() - last_progress_ > memo_.ProgressInterval) {
      last_progress_ = clock.Milliseconds();
      memo_.OnProgress(table);
    }
    // A rescan put an earlier paragraph back into the backlog: the next round starts there.
    if (only_backlog && table.FirstToFormat < i - 1) break;
    if (table.FirstToFormat < i) table.FirstToFormat = i;
    if (clock.Milliseconds() >= deadline) break;
  }
  FinishLayoutRange(first, i - 1, visible_delta, line_delta);
  if (table.FirstToFormat > table.LastToFormat) {
    table.FirstToFormat = table.Count();
    table.LastToFormat = -1;
    table.AllFormatted = true;
  }
}

bool TScrivLayout::BacklogPending() const {
  const TParagraphsList& table = memo_.Table;
  return table.LastToFormat >= table.FirstToFormat && table.LastToFormat >= 0;
}

void TScrivLayout::FormatBacklog() {
  if (!BacklogPending()) return;
  while (BacklogPending())
    FormatRange(memo_.Table.FirstToFormat, memo_.Table.LastToFormat, true, true);
  if (memo_.OnProgress) memo_.OnProgress(memo_.Table);
}

bool TScrivLayout::FormatSlice(int64_t deadline) {
  if (BacklogPending())
    FormatRange(memo_.Table.FirstToFormat, memo_.Table.LastToFormat, true, true, deadline);
  if (BacklogPending()) return true;
  memo_.Table.FirstToFormat = memo_.Table.Count();
  memo_.Table.LastToFormat = -1;
  if (memo_.OnProgress) memo_.OnProgress(memo_.Table);
  return false;
}

void TScrivLayout::FormatUpTo(int32_t para) {
  while (BacklogPending() && para >= memo_.Table.FirstToFormat)
    FormatRange(memo_.Table.FirstToFormat, std::min(para, memo_.Table.LastToFormat), false, true);
}

void TScrivLayout::AddToBacklog(int32_t first, int32_t last) {
  TParagraphsList& table = memo_.Table;
  last = std::min(last, table.Count() - 1);
  if (first > last) return;
  for (int32_t i = first; i <= last; ++i)
    table.Items(i).Flags &= static_cast<uint8_t>(~pfFormatted);
  if (!BacklogPending()) {
    table.FirstToFormat = first;
    table.LastToFormat = last;
  } else {
    table.FirstToFormat = std::min(table.FirstToFormat, first);
    table.LastToFormat = std::max(table.LastToFormat, last);
  }
  table.AllFormatted = false;
}

void TScrivLayout::MarkAllForLayout() {
  LongestLineWidth = 0;
  LongestLinePara = -1;
  memo_.Table.MarkAllForLayout();
  memo_.Table.AllFormatted = false;
}

void TScrivLayout::RefreshChanged() {
  TParagraphsList& table = memo_.Table;
  if (table.LastChanged < table.FirstChanged) return;
  const int32_t first = std::max(0, table.FirstChanged);
  const int32_t last = std::min(table.LastChanged, table.Count() - 1);
  // The changed paragraphs that show are laid out now, down to the bottom of the window.
  const int32_t h = std::max(1, memo_.LineHeight());
  const int32_t bottom_line = (memo_.VertScroll() + memo_.ClientHeight()) / h + 1;
  int32_t i = first;
  int32_t line = table.Items(first).FirstLine;
  int32_t line_delta = 0, visible_delta = 0;
  for (; i < table.Count() && line <= bottom_line; ++i) {
    TParagraph& p = table.Items(i);
    p.FirstLine = line;
    if (!(p.Flags & pfFormatted)) {
      const int32_t old_visible = table.VisibleLines(i);
      line_delta += LayoutParagraph(i);
      visible_delta += table.VisibleLines(i) - old_visible;
    }
    line += table.VisibleLines(i);
  }
  if (i > first) FinishLayoutRange(first, i - 1, visible_delta, line_delta);
  // What does not show yet joins the backlog.
  if (i <= last) AddToBacklog(i, last);
  memo_.Invalidate();
  if (memo_.GetUpdateMode() == TzkUpdateMode::umImmediate)
    FormatBacklog();
  else if (memo_.GetUpdateMode() == TzkUpdateMode::umBackground)
    memo_.ResumeFormatting();
}

TLineGeometry TScrivLayout::MeasureLine(const TParagraph& p, int32_t line) {
  const TLineRecord rec = para::LineRecord(p, line);
  TLineGeometry g;
  g.Start = rec.Start;
  g.X.reserve(static_cast<size_t>(rec.End - rec.Start) + 1);
  StyleWalker walk(p, memo_.GetStaticFormat(), memo_.FontStyle(), rec.Start, rec.StartStyle);
  std::vector<int32_t> stretch;  // the spaces in front of the last word
  int32_t x = 0;
  for (int32_t pos = rec.Start; pos < rec.End; ++pos) {
    g.X.push_back(x);
    const auto c = static_cast<uint8_t>(p.Text[pos]);
    const uint8_t style = walk.At(pos);
    if (walk.Toggle(c)) continue;
    if (c == '\t') {
      x = NextTab(x, style);
    } else if (c == ' ') {
      x += SpaceWidth(style);
      if (pos < rec.TrailingStart) stretch.push_back(pos - rec.Start);
    } else {
      x += CharWidth(c, style);
    }
  }
  g.X.push_back(x);
  // The width up to the last word, measured here so that a line not laid out yet aligns too.
  const auto trailing =
      static_cast<size_t>(std::clamp(rec.TrailingStart - rec.Start, 0, rec.End - rec.Start));
  const int32_t word_width = g.X[trailing];
  const int32_t free = std::max(0, AlignWidth() - word_width);
  const bool last = line + 1 == para::LineCount(p);
  const bool justify = memo_.GetJustified() && !last && !stretch.empty();
  int32_t left = memo_.GetLeftMargin();
  if (!justify && memo_.GetAlignment() == TAlignment::taRightJustify) left += free;
  if (!justify && memo_.GetAlignment() == TAlignment::taCenter) left += free / 2;
  // Justification spreads the free room over the stretch points, the first ones one more.
  const auto n = static_cast<int32_t>(stretch.size());
  int32_t extra = 0;
  size_t next = 0;
  for (size_t k = 0; k < g.X.size(); ++k) {
    g.X[k] += left + extra;
    if (justify && next < stretch.size() && static_cast<int32_t>(k) == stretch[next]) {
      const auto s = static_cast<int32_t>(next);
      extra += free / n + (s < free % n ? 1 : 0);
      ++next;
    }
  }
  return g;
}

}  // namespace scrivlet
