// The consistency self-test: walks the table with running totals, then the navigators and
// the undo list, and raises at the first mismatch.

#include <cstring>

#include "editor_control/scrivlet.h"

namespace scrivlet {

// Kept whole: a flat list of consistency checks, each failing at once.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void TScrivlet::SelfTest() {
  auto fail = [](const char* what) { throw EScrivletError(std::string(what) + kVersion); };
  const TParagraphsList& list = Table;
  if (list.Count() < 1) fail("Error 8 in ");

  int64_t chars = 0;
  int64_t visible = 0;
  int64_t all = 0;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TParagraph& p = list.Items(i);
    if (p.FirstLine != visible) fail("Error 1");
    if (p.StartOffset != chars) fail("Error 2 in ");
    if (i > 0 && para::EffectiveStartLevel(p) != para::EffectiveStopLevel(list.Items(i - 1)))
      fail("Error 7 in ");
    const int32_t len = para::Length(p);
    int32_t end = 0;
    for (int32_t k = 0; k < para::LineCount(p); ++k) {
      const TLineRecord r = para::LineRecord(p, k);
      if (r.Start != end) fail("Error 3 in ");
      end = r.End;
    }
    if (end != len) fail("Error 4 in ");

    // Beyond the running totals: the record itself.
    if (p.HasExtension() != (p.Ext != nullptr)) fail("Error 8 in ");
    if (!p.HasExtension() && len >= kShortLengthLimit) fail("Error 8 in ");
    if ((len == 0) != (p.Text == nullptr)) fail("Error 8 in ");
    if (len > 0 &&
        (p.Text[len] != 0 || std::memchr(p.Text, 0, static_cast<size_t>(len)) != nullptr ||
         std::memchr(p.Text, '\r', static_cast<size_t>(len)) != nullptr))
      fail("Error 8 in ");
    if (const auto* runs = para::Runs(p)) {
      int32_t last = 0;
      for (const TStyleRun& run : *runs) {
        if (run.Offset < last || run.Offset > len) fail("Error 8 in ");
        last = run.Offset;
      }
    }
    visible += list.VisibleLines(i);
    all += para::LineCount(p);
    chars += len + 2;
  }
  if (int64_t{list.CharCount()} + 2 != chars) fail("Error 5 in ");
  if (list.VisibleLineCount() != visible) fail("Error 6 in ");
  if (list.LineCount() != all) fail("Error 6.01 in ");

  // The navigators.
  for (TScrivNavigator* nav : navigators_) {
    const int32_t o = nav->Offset();
    if (o < 0 || o > list.CharCount()) fail("Error 9 in ");
    const int32_t index = nav->CachedParaIndex();
    if (index < 0) continue;
    if (index >= list.Count() || nav->CachedPara() != &list.Items(index)) fail("Error 9 in ");
    const TParagraph& p = list.Items(index);
    const int32_t pos = nav->CachedPosInPara();
    if (pos != o - p.StartOffset || pos < 0 || pos > para::Length(p) + 1) fail("Error 9 in ");
    if (const int32_t run = nav->CachedRunIndex(); run >= 0) {
      int32_t before = 0, at_or_before = 0;
      if (const auto* runs = para::Runs(p))
        for (const TStyleRun& r : *runs) {
          before += r.Offset < pos;
          at_or_before += r.Offset <= pos;
        }
      if (run < before || run > at_or_before) fail("Error 9 in ");
    }
    if (const int32_t line = nav->CachedLineInPara(); line >= 0) {
      if (line >= para::LineCount(p)) fail("Error 9 in ");
      const TLineRecord r = para::LineRecord(p, line);
      if (pos < r.Start || (pos > r.End && line + 1 < para::LineCount(p))) fail("Error 9 in ");
    }
  }
  if (SelLower() > SelUpper()) fail("Error 9 in ");

  // The undo list.
  int64_t bytes = 0;
  for (const TUndoRecord& r : undo_list_) bytes += r.Size();
  const auto records = static_cast<int32_t>(undo_list_.size());
  if (undo_level_ < 0 || undo_level_ > records || bytes != undo_bytes_ || save_point_ < -1 ||
      save_point_ > records)
    fail("Error 10 in ");

  // The backlog and the changed range name paragraphs that exist.
  if (list.LastToFormat >= list.Count() || list.FirstToFormat < 0) fail("Error 11 in ");
  if (list.LastChanged >= list.FirstChanged && list.LastChanged >= list.Count())
    fail("Error 11 in ");
}

}  // namespace scrivlet
