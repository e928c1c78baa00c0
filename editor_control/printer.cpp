// Printing: the hidden copy at printer resolution, pagination with forced page breaks and
// columns, and the page loop with header, footer and line or paragraph numbers.

#include "editor_control/printer.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace scrivlet {
namespace {

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

int32_t Px(float inches, int32_t dpi) {
  return static_cast<int32_t>(std::lround(double{inches} * dpi));
}

}  // namespace

TScrivletPrinter::TScrivletPrinter() : self_(std::make_shared<TScrivletPrinter*>(this)) {}

TScrivletPrinter::~TScrivletPrinter() {
  *self_ = nullptr;
  DropCopy();
}

void TScrivletPrinter::SetMemoToPrint(TScrivlet* memo) {
  DropCopy();
  memo_ = memo;
  if (memo == nullptr) return;
  // Any change of the text drops the copy; a printer gone or printing another editor
  // leaves the listener idle.
  std::weak_ptr<TScrivletPrinter*> self = self_;
  memo->ChangeListeners.push_back([self](TScrivlet& sender, int code) {
    if (!(code & kChangeAfter)) return;
    if (auto p = self.lock(); p && *p != nullptr && (*p)->memo_ == &sender) (*p)->DropCopy();
  });
}

void TScrivletPrinter::SetColumns(int32_t n) { Stale(columns_, std::max(1, n)); }

void TScrivletPrinter::SetWordWrap(bool on) { Stale(word_wrap_, on); }

void TScrivletPrinter::SetPlainText(bool on) {
  plain_text_ = on;
  DropCopy();
}

void TScrivletPrinter::DropCopy() {
  copy_.reset();
  paginated_ = false;
  forced_break_paras_.clear();
}

// Kept whole: one pass copying the paragraphs, the selection's bounds and forced breaks.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void TScrivletPrinter::BuildCopy(bool selection) {
  DropCopy();
  TScrivlet& src = *memo_;
  copy_of_selection_ = selection;
  int32_t first = 0, last = src.ParagraphCount() - 1;
  int32_t start_pos = 0, end_pos = -1;  // in the first and the last paragraph
  uint8_t start_inline = 0;
  if (selection) {
    TScrivNavigator a(src), b(src);
    a.SetOffset(src.SelLower());
    b.SetOffset(src.SelUpper());
    first = a.GetParaIndex();
    last = b.GetParaIndex();
    start_pos = std::min(a.GetPosInPara(), para::Length(*a.GetPara()));
    end_pos = std::min(b.GetPosInPara(), para::Length(*b.GetPara()));
    start_inline = a.InlineStyle();
  }
  first_source_para_ = first;
  // The source's colours must stand before they are copied: paragraphs that background
  // formatting has not reached yet are scanned now.
  for (int32_t i = first; i <= last; ++i) {
    if ((src.Table.Items(i).Flags & kScanFlags) == kScanFlags) continue;
    src.Layout().EnsureScanned(i);
    if (!(src.Table.Items(i).Flags & pfKeywordsScanned)) src.Layout().RescanParagraph(i);
  }

  // Private copies of the paragraphs' texts: the editor's own text is never written to, not
  // even to cut the first and last paragraphs of a selection.
  std::vector<std::string> texts;
  std::vector<int32_t> shifts;  // characters dropped at the front of each copied paragraph
  for (int32_t i = first; i <= last; ++i) {
    std::string_view t = TextOf(src.Table.Items(i));
    int32_t shift = 0;
    if (i == last && end_pos >= 0) t = t.substr(0, static_cast<size_t>(end_pos));
    if (i == first) {
      t.remove_prefix(
          static_cast<size_t>(std::min<int32_t>(start_pos, static_cast<int32_t>(t.size()))));
      shift = start_pos;
    }
    // A paragraph that begins with a form feed begins a new page; the form feed is not printed.
    if (!t.empty() && t.front() == '\f') {
      t.remove_prefix(1);
      ++shift;
      forced_break_paras_.push_back(i - first);
    }
    texts.emplace_back(t);
    shifts.push_back(shift);
  }
  std::string all;
  for (size_t k = 0; k < texts.size(); ++k) {
    if (k > 0) all += "\r\n";
    all += texts[k];
  }

  copy_ = std::make_unique<TScrivlet>();
  TScrivlet& c = *copy_;
  c.SetUpdateMode(TzkUpdateMode::umOnNeed);
  c.SetApplyKeyWords(false);
  c.SetApplyStartStopKeys(false);
  c.SetAlignment(src.GetAlignment());
  c.SetSeparatorSet(src.SeparatorSet());
  c.SetJustified(src.GetJustified());
  c.SetTabStops(src.GetTabStops());
  c.SetStaticFormat(src.GetStaticFormat());
  c.SetFontStyle(src.FontStyle());
  c.FontColor = src.FontColor;
  c.HighlightColor = src.HighlightColor;
  c.HighlightBackgnd = src.HighlightBackgnd;
  c.SpecUnderline = src.SpecUnderline;
  c.SetLeftMargin(0);
  c.SetRightMargin(0);
  c.SetUndoMaxLevel(0);
  {
    std::istringstream in(all);
    c.LoadFromStream(in);
  }
  // Each copy keeps its source's look: the section state it starts in, its inline style and,
  // unless plain text is asked for, its style runs; no scan runs on it again.
  for (int32_t k = 0; k < c.ParagraphCount() && first + k <= last; ++k) {
    const TParagraph& s = src.Table.Items(first + k);
    TParagraph& p = c.Table.Items(k);
    const int32_t shift = shifts[static_cast<size_t>(k)];
    const int32_t length = para::Length(p);
    if (!plain_text_) {
      para::SetStyle(p, para::StyleRecord(s), true);
      uint8_t inline_style = k == 0 && selection ? start_inline : para::InlineStartStyle(s);
      if (shift > 0 && !(k == 0 && selection)) {
        for (int32_t q = 0; q < shift; ++q)
          inline_style = ToggleStyle(inline_style, static_cast<uint8_t>(s.Text[q]));
      }
      if (c.GetStaticFormat()) para::SetInlineStartStyle(p, inline_style);
      if (const auto* runs = para::Runs(s)) {
        std::vector<TStyleRun> kept;
        for (const TStyleRun& r : *runs) {
          TStyleRun moved = r;
          moved.Offset = std::max(0, r.Offset - shift);
          if (moved.Offset >= length && moved.Offset > 0) continue;
          // A run that began before the copied text still rules its start.
          if (!kept.empty() && kept.back().Offset == moved.Offset)
            kept.back() = moved;
          else
            kept.push_back(moved);
        }
        if (!kept.empty()) para::MutableRuns(p) = std::move(kept);
      }
    }
    p.Flags |= kScanFlags;
  }
  c.Table.LastScanned = c.ParagraphCount() - 1;
}

void TScrivletPrinter::Paginate(TScrivPrintTarget& target) {
  const TPrinterMetrics m = target.Metrics();
  const bool size_changed =
      m.PhysWidth != metrics_.PhysWidth || m.PhysHeight != metrics_.PhysHeight;
  if (paginated_ && !size_changed) return;
  metrics_ = m;
  TScrivlet& c = *copy_;
  if (OnFormatPrint) OnFormatPrint(c);
  height_of_a_ = target.HeightOfA();
  c.SetMeasurer(&target.Measurer());
  const int32_t usable = m.PhysWidth - Px(margin_left_, m.DpiX) - Px(margin_right_, m.DpiX) -
                         (columns_ - 1) * Px(gutter_, m.DpiX);
  c.SetWordWrap(word_wrap_);
  c.SetBounds(std::max(1, usable / columns_), m.PhysHeight);
  // The measurer's change above marked every paragraph; they are laid out at the column's width.
  c.Layout().FormatBacklog();

  // A pitch that rounds to nothing would stack every line on one: at least one pixel.
  const double raw =
      line_spacing_ >= 0 ? double{line_spacing_} * m.DpiY : -double{line_spacing_} * height_of_a_;
  pitch_ = std::max(1.0, raw);
  const int32_t rounded = std::max<int32_t>(1, static_cast<int32_t>(std::lround(raw)));
  const int32_t height = m.PhysHeight - Px(margin_top_ + margin_bottom_, m.DpiY);
  lines_per_page_ = std::max(1, height / rounded);

  break_lines_.clear();
  break_blanks_.clear();
  total_blanks_ = 0;
  for (int32_t para : forced_break_paras_) {
    const int32_t line = c.Table.Items(para).FirstLine;
    // Blank lines fill the page up to the break; a break that already starts a page adds
    // none, so that no empty sheet comes out.
    const int32_t on_page = (line + total_blanks_) % lines_per_page_;
    const int32_t blanks = on_page == 0 ? 0 : lines_per_page_ - on_page;
    break_lines_.push_back(line);
    break_blanks_.push_back(blanks);
    total_blanks_ += blanks;
  }
  paginated_ = true;
}

int32_t TScrivletPrinter::DisplayLineAt(int32_t q) const {
  int32_t blanks = 0;
  for (size_t k = 0; k < break_lines_.size(); ++k) {
    const int32_t at = break_lines_[k] + blanks;  // where the blanks of this break begin
    if (q < at) break;
    if (q < at + break_blanks_[k]) return -1;
    blanks += break_blanks_[k];
  }
  const int32_t line = q - blanks;
  return copy_ && line < copy_->LineCount() ? line : -1;
}

int32_t TScrivletPrinter::PageCount(TScrivPrintTarget& target) {
  if (memo_ == nullptr) return 0;
  if (!copy_) BuildCopy(false);
  Paginate(target);
  // A text that fills its last page exactly needs no further sheet.
  const int64_t lines = int64_t{copy_->LineCount()} + total_blanks_;
  const int64_t per_sheet = int64_t{lines_per_page_} * columns_;
  return static_cast<int32_t>(std::max<int64_t>(1, (lines + per_sheet - 1) / per_sheet));
}

void TScrivletPrinter::Print(TScrivPrintTarget& target) {
  if (memo_ == nullptr) return;
  if (copy_ && copy_of_selection_) DropCopy();
  PrintPages(target, 0, -1, false);
}

void TScrivletPrinter::PrintSelection(TScrivPrintTarget& target) {
  if (memo_ == nullptr) return;
  BuildCopy(true);
  try {
    PrintPages(target, 0, -1, true);
  } catch (...) {
    DropCopy();
    throw;
  }
  DropCopy();
}

void TScrivletPrinter::PrintRange(TScrivPrintTarget& target, int32_t from_page, int32_t to_page) {
  if (memo_ == nullptr) return;
  if (copy_ && copy_of_selection_) DropCopy();
  PrintPages(target, from_page, to_page, false);
}

void TScrivletPrinter::PrintWithDialog(TScrivPrintTarget& target, TPrintRange range,
                                       int32_t from_page, int32_t to_page) {
  switch (range) {
    case TPrintRange::prAllPages: Print(target); break;
    case TPrintRange::prSelection: PrintSelection(target); break;
    case TPrintRange::prPageNums: PrintRange(target, from_page - 1, to_page - 1); break;
  }
}

void TScrivletPrinter::PrintPages(TScrivPrintTarget& target, int32_t from_page, int32_t to_page,
                                  bool selection) {
  Aborted = false;
  if (!copy_) BuildCopy(selection);
  Paginate(target);
  const int32_t count = PageCount(target);
  if (to_page < 0) to_page = count - 1;  // all pages
  bool printed = false;
  auto finish = [&] {
    target.EndDoc();
    CurrentPage = -1;
    if (OnProgress) OnProgress(*this);
  };
  try {
    target.BeginDoc(Title);
    for (int32_t i = from_page; i <= to_page; ++i) {
      CurrentPage = i;
      if (OnProgress) OnProgress(*this);
      if (Aborted) break;
      if (i >= count) continue;  // nothing, and no sheet
      if (printed) target.NewPage();
      printed = true;
      if (!Header.empty()) PrintBand(target, i, false);
      if (!Footer.empty()) PrintBand(target, i, true);
      for (int32_t k = 0; k < columns_; ++k) PrintColumn(target, i, k);
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TScrivletPrinter::PrintColumn(TScrivPrintTarget& target, int32_t page, int32_t column) {
  TScrivlet& c = *copy_;
  const TPrinterMetrics& m = metrics_;
  const int32_t left = Px(margin_left_, m.DpiX) - m.OffsetX;
  const int32_t span =
      (m.PhysWidth - Px(margin_left_, m.DpiX) - Px(margin_right_, m.DpiX)) / columns_;
  const int32_t x0 = left + column * span;
  const double top = Px(margin_top_, m.DpiY) - m.OffsetY;
  TScrivCanvas& canvas = target.Canvas();
  TScrivPainter painter(c, canvas);
  painter.Printing = true;
  c.ApplyScroll(-x0, c.VertScroll());  // the painter places the line at the copy's margin less this
  TScrivNavigator nav(c.Table);
  const int64_t first_padded = (int64_t{page} * columns_ + column) * lines_per_page_;
  for (int32_t j = 0; j < lines_per_page_; ++j) {
    const int32_t line = DisplayLineAt(static_cast<int32_t>(first_padded + j));
    if (line < 0) continue;
    const auto y = static_cast<int32_t>(std::lround(top + j * pitch_));
    nav.SetVisibleLine(line);
    const int32_t para = nav.GetParaIndex();
    const int32_t in_para = nav.GetLineInPara();
    painter.PaintLine(para, in_para, y);
    int32_t number = -1;
    if (ParagraphNumbers) {
      if (in_para == 0) number = StartingLineNumber + first_source_para_ + para;
    } else if (LineNumbers) {
      number = StartingLineNumber + line;
    }
    if (number >= 0) {
      // The number ends at the column's left edge.
      const std::string text = std::to_string(number) + ": ";
      TTextMeasurer& measurer = target.Measurer();
      const int32_t width = measurer.Width(text, c.FontStyle());
      std::vector<int32_t> xs;
      for (int32_t x = x0 - width; char ch : text) {
        xs.push_back(x);
        x += measurer.Width(std::string_view(&ch, 1), c.FontStyle());
      }
      canvas.DrawText(xs, painter.Baseline(y), text, c.FontStyle(), c.FontColor);
    }
  }
}

void TScrivletPrinter::PrintBand(TScrivPrintTarget& target, int32_t page, bool footer) {
  const TPrinterMetrics& m = metrics_;
  TScrivRect band;
  band.Left = Px(margin_left_, m.DpiX) - m.OffsetX;
  band.Right = m.PhysWidth - Px(margin_right_, m.DpiX) - m.OffsetX;
  if (footer) {
    band.Top = m.PhysHeight - Px(FooterYPos, m.DpiY) - m.OffsetY;
    band.Bottom = m.PhysHeight - m.OffsetY;
  } else {
    band.Top = Px(HeaderYPos, m.DpiY) - m.OffsetY;
    band.Bottom = Px(margin_top_, m.DpiY) - m.OffsetY;
  }
  std::string text = footer ? Footer : Header;
  // Only the first "{p}" is the page number.
  if (const size_t at = text.find("{p}"); at != std::string::npos)
    text.replace(at, 3, std::to_string(page + StartingPageNumber));
  target.DrawBandText(band, text, footer ? FooterAlign : HeaderAlign,
                      footer ? FooterFont : HeaderFont);
}

}  // namespace scrivlet
