// Highlighting: start/stop sections, keywords, and style ranges a program applies.
//
// A paragraph's key-made runs (bit 6 of RunFlags) are always rebuilt whole from the section
// state it starts in (its style record), so a rescan can never leave a colour that an
// earlier scan made behind; runs that a program applied (bit 6 clear) stay.

#include <algorithm>
#include <cstring>

#include "editor_control/layout.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

bool InSection(const TStyleRun& s) { return s.Depth >= 0 && s.Levels[s.Depth] < -1; }

bool SameRun(const TStyleRun& a, const TStyleRun& b) {
  return a.Offset == b.Offset && a.RunFlags == b.RunFlags && a.Depth == b.Depth &&
         a.Backgnd == b.Backgnd && a.Foregnd == b.Foregnd && a.Context == b.Context &&
         a.Cursor == b.Cursor && a.KeyLength == b.KeyLength && a.StopLength == b.StopLength &&
         std::equal(std::begin(a.Levels), std::end(a.Levels), std::begin(b.Levels));
}

bool SameRuns(const std::vector<TStyleRun>* a, const std::vector<TStyleRun>& b) {
  if (a == nullptr) return b.empty();
  return std::equal(a->begin(), a->end(), b.begin(), b.end(), SameRun);
}

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

// The run in force at pos among sorted runs, or the paragraph's own style.
const TStyleRun& InForce(const std::vector<TStyleRun>& runs, const TStyleRun& start, int32_t pos) {
  const TStyleRun* r = &start;
  for (const TStyleRun& run : runs) {
    if (run.Offset > pos) break;
    r = &run;
  }
  return *r;
}

// Masks the text under runs with attributes and a context: no keyword is found there.
constexpr char kMask = 5;

}  // namespace

bool SameScanState(const TStyleRun& a, const TStyleRun& b) {
  if (InSection(a) != InSection(b)) return false;
  if (!InSection(a)) return true;
  return a.Depth == b.Depth && a.Context == b.Context &&
         std::equal(a.Levels, a.Levels + a.Depth + 1, b.Levels);
}

TStyleRun TScrivLayout::SectionState(int32_t pair_index, const TStyleRun& outer) const {
  const StartStopInfo& pair = memo_.StartStopKeys.Items(pair_index);
  TStyleRun s;
  s.RunFlags = static_cast<uint8_t>(pair.Attributes.Style | kRunByKey | kRunHasAttributes);
  s.Depth = static_cast<int8_t>(std::min(15, outer.Depth + 1));
  std::copy(std::begin(outer.Levels), std::end(outer.Levels), std::begin(s.Levels));
  s.Levels[s.Depth] = static_cast<int16_t>(pair_index - 32768);
  s.Backgnd = pair.Attributes.Backgnd;
  s.Foregnd = pair.Attributes.Foregnd;
  s.Context = pair.Attributes.Context;
  s.Cursor = pair.Attributes.Cursor;
  s.KeyLength = static_cast<uint16_t>(pair.StartLength + (pair.StartNeedsSepAfter ? 1 : 0));
  s.StopLength = static_cast<uint16_t>(pair.StopLength + (pair.StopNeedsSepBefore ? 1 : 0));
  return s;
}

// The state behind a section: no key open, the text's own look (bit 7 clear, so the inline
// styles show again).
TStyleRun TScrivLayout::BaseState(const TStyleRun&) const {
  TStyleRun s;
  s.RunFlags = kRunByKey;
  return s;
}

// Kept whole: the section scanner's state machine over one paragraph, in one loop.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void TScrivLayout::ScanParagraphSections(int32_t i, TStyleRun& state, std::vector<TStyleRun>& out,
                                         ScanBuffers& buf) {
  TStartStopKeyList& keys = memo_.StartStopKeys;
  if (!memo_.GetApplyStartStopKeys() || keys.Count() == 0) {
    // Without sections nothing is open at any paragraph start.
    state = TStyleRun{};
    return;
  }
  if (!keys.Prepared) keys.Prepare(memo_.SeparatorSet());
  const TParagraph& p = memo_.Table.Items(i);
  const std::string_view t = TextOf(p);
  const auto len = static_cast<int32_t>(t.size());
  bool any_folded = false;
  std::bitset<256> first_case, first_fold;
  for (int32_t k = 0; k < keys.Count(); ++k) {
    const StartStopInfo& e = keys.Items(k);
    if (e.StartText.empty()) continue;
    const auto c = static_cast<uint8_t>(e.StartText[0]);
    if (e.Attributes.Options & kMatchCase) {
      first_case.set(c);
    } else {
      first_fold.set(c);
      any_folded = true;
    }
  }
  std::string& folded = buf.Folded;
  if (any_folded)
    UpperCaseInto(t, keys.UpperCaseType(), keys.UserUpperCaseProc, folded);
  else
    folded.clear();
  const TSeparators& seps = memo_.SeparatorSet();
  auto sep_at = [&](int32_t q) {
    return q < 0 || q >= len || seps.test(static_cast<uint8_t>(t[static_cast<size_t>(q)]));
  };
  auto text_for = [&](const StartStopInfo& e) -> std::string_view {
    return (e.Attributes.Options & kMatchCase) ? t : std::string_view(folded);
  };

  int32_t pos = 0;
  while (pos <= len) {
    if (InSection(state)) {
      const int32_t k = state.Levels[state.Depth] + 32768;
      const StartStopInfo& e = keys.Items(k);
      int32_t end = -1;
      if (!e.StopText.empty()) {
        const std::string_view hay = text_for(e);
        for (size_t q = hay.find(e.StopText, static_cast<size_t>(pos)); q != std::string_view::npos;
             q = hay.find(e.StopText, q + 1)) {
          const auto qi = static_cast<int32_t>(q);
          const int32_t after = qi + static_cast<int32_t>(e.StopText.size());
          if (e.StopNeedsSepBefore && !sep_at(qi - 1)) continue;
          if (e.StopNeedsSepAfter && !sep_at(after)) continue;
          end = after;
          break;
        }
      }
      if (end < 0) {
        if (e.EndsAtLineEnd()) state = BaseState(state);
        return;
      }
      // Pairs that share a start key run one after the other.
      int32_t next = -1;
      for (int32_t j = k + 1; j < keys.Count(); ++j)
        if (keys.Items(j).FirstSameStart == k) {
          next = j;
          break;
        }
      TStyleRun outer = state;
      outer.Depth = static_cast<int8_t>(state.Depth - 1);
      state = next >= 0 ? SectionState(next, outer) : BaseState(outer);
      state.Offset = end;
      out.push_back(state);
      pos = end;
      continue;
    }
    // The earliest start key from pos; at one position the first pair of the list wins.
    int32_t found = -1, found_pair = -1;
    for (int32_t q = pos; q < len && found < 0; ++q) {
      const auto c = static_cast<uint8_t>(t[static_cast<size_t>(q)]);
      const bool maybe_case = first_case.test(c);
      const bool maybe_fold =
          any_folded && first_fold.test(static_cast<uint8_t>(folded[static_cast<size_t>(q)]));
      if (!maybe_case && !maybe_fold) continue;
      for (int32_t k = 0; k < keys.Count(); ++k) {
        const StartStopInfo& e = keys.Items(k);
        if (e.StartText.empty()) continue;
        const std::string_view hay = text_for(e);
        if (hay.compare(static_cast<size_t>(q), e.StartText.size(), e.StartText) != 0) continue;
        if (e.StartNeedsSepBefore && !sep_at(q - 1)) continue;
        if (e.StartNeedsSepAfter && !sep_at(q + static_cast<int32_t>(e.StartText.size()))) continue;
        found = q;
        found_pair = k;
        break;
      }
    }
    if (found < 0) {
      if (TScrivHighlighter* h = memo_.GetHighlighter()) {
        TScrivNavigator from(memo_.Table), to(memo_.Table);
        from.SetOffset(p.StartOffset + pos);
        to.SetOffset(p.StartOffset + len);
        (void)h->FindStart(from, to, keys.Count());
      }
      return;
    }
    state = SectionState(found_pair, state);
    state.Offset = found;
    out.push_back(state);
    pos = found + keys.Items(found_pair).StartLength;
  }
}

void TScrivLayout::PrepareKeywordBuckets() {
  const TKeywordList& list = memo_.Keywords;
  if (bucket_revision_ == list.Revision && bucket_count_ == list.Count()) return;
  for (auto& b : case_buckets_) b.clear();
  for (auto& b : fold_buckets_) b.clear();
  for (int32_t k = 0; k < list.Count(); ++k) {
    const TKeyInfoLen& e = list.Items(k);
    if (e.MatchKey.empty() || e.Attributes.Context == 0) continue;
    auto& buckets = (e.Attributes.Options & kMatchCase) ? case_buckets_ : fold_buckets_;
    buckets[static_cast<uint8_t>(e.MatchKey[0])].push_back(k);
  }
  bucket_revision_ = list.Revision;
  bucket_count_ = list.Count();
}

// Kept whole: the keyword scanner's state machine over one paragraph, in one loop.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void TScrivLayout::ScanParagraphKeywords(int32_t i, std::vector<TStyleRun>& runs,
                                         ScanBuffers& buf) {
  const TKeywordList& list = memo_.Keywords;
  TParagraph& p = memo_.Table.Items(i);
  if (TScrivHighlighter* h = memo_.GetHighlighter()) {
    TScrivNavigator from(memo_.Table), to(memo_.Table);
    from.SetOffset(p.StartOffset);
    to.SetOffset(p.StartOffset + para::Length(p));
    h->BeforeKeywords(from, to, list.Count());
  }
  if (!memo_.GetApplyKeyWords() || list.Count() == 0) return;
  PrepareKeywordBuckets();
  const TParagraph& q = memo_.Table.Items(i);
  std::string& text = buf.Masked;
  text.assign(TextOf(q));
  if (text.empty()) return;
  std::string& folded = buf.Folded;
  if (list.AllMatchCase)
    folded.clear();
  else
    UpperCaseInto(text, list.UpperCaseType(), list.UserUpperCaseProc, folded);
  const TStyleRun& start = para::Style(q);
  // Sections and keyword hits with a context keep their text from every keyword.
  {
    const TStyleRun* cur = &start;
    size_t r = 0;
    for (size_t k = 0; k < text.size(); ++k) {
      while (r < runs.size() && runs[r].Offset <= static_cast<int32_t>(k)) cur = &runs[r++];
      if ((cur->RunFlags & kRunHasAttributes) && cur->Context != 0) {
        text[k] = kMask;
        if (!folded.empty()) folded[k] = kMask;
      }
    }
  }
  const TSeparators& seps = memo_.SeparatorSet();
  const auto len = static_cast<int32_t>(text.size());
  auto sep_at = [&](int32_t k) {
    return k < 0 || k >= len || seps.test(static_cast<uint8_t>(text[static_cast<size_t>(k)]));
  };
  auto matches = [&](const TKeyInfoLen& e, int32_t at) {
    const std::string& hay = (e.Attributes.Options & kMatchCase) ? text : folded;
    if (hay.compare(static_cast<size_t>(at), e.MatchKey.size(), e.MatchKey) != 0) return false;
    if ((e.Attributes.Options & kWholeWord) == 0) return true;
    return sep_at(at - 1) && sep_at(at + e.KeyLength);
  };
  // Every candidate position once, then the keywords in list order: the first keyword of
  // the list wins text that two of them would cover.
  std::vector<Hit>& candidates = buf.Candidates;
  candidates.clear();
  for (int32_t k = 0; k < len; ++k) {
    for (int32_t idx : case_buckets_[static_cast<uint8_t>(text[static_cast<size_t>(k)])])
      if (matches(list.Items(idx), k)) candidates.push_back({idx, k, list.Items(idx).KeyLength});
    if (!folded.empty())
      for (int32_t idx : fold_buckets_[static_cast<uint8_t>(folded[static_cast<size_t>(k)])])
        if (matches(list.Items(idx), k)) candidates.push_back({idx, k, list.Items(idx).KeyLength});
  }
  if (candidates.empty()) return;
  // A keyword is a candidate at an offset at most once, so the order is total and the sort
  // needs no stable (allocating) merge.
  std::sort(candidates.begin(), candidates.end(), [](const Hit& a, const Hit& b) {
    return a.Keyword < b.Keyword || (a.Keyword == b.Keyword && a.Offset < b.Offset);
  });
  std::vector<Hit>& hits = buf.Hits;
  hits.clear();
  for (const Hit& c : candidates) {
    const bool masked = std::any_of(text.begin() + c.Offset, text.begin() + c.Offset + c.Length,
                                    [](char ch) { return ch == kMask; });
    if (masked || !matches(list.Items(c.Keyword), c.Offset)) continue;
    hits.push_back(c);
    std::fill(text.begin() + c.Offset, text.begin() + c.Offset + c.Length, kMask);
    if (!folded.empty())
      std::fill(folded.begin() + c.Offset, folded.begin() + c.Offset + c.Length, kMask);
  }
  std::sort(hits.begin(), hits.end(),
            [](const Hit& a, const Hit& b) { return a.Offset < b.Offset; });

  // Each hit becomes a run; behind it the look in force there comes back.
  std::vector<TStyleRun>& merged = buf.Merged;
  merged.clear();
  merged.reserve(runs.size() + 2 * hits.size());
  size_t r = 0;
  TStyleRun in_force = start;
  for (const Hit& h : hits) {
    while (r < runs.size() && runs[r].Offset <= h.Offset) {
      in_force = runs[r];
      merged.push_back(runs[r++]);
    }
    const TKeywordAttributes& a = list.Items(h.Keyword).Attributes;
    TStyleRun kr;
    kr.Offset = h.Offset;
    kr.RunFlags = static_cast<uint8_t>(a.Style | kRunByKey | kRunHasAttributes);
    kr.Depth = static_cast<int8_t>(std::min(15, in_force.Depth + 1));
    std::copy(std::begin(in_force.Levels), std::end(in_force.Levels), std::begin(kr.Levels));
    kr.Levels[kr.Depth] = static_cast<int16_t>(h.Keyword);
    kr.Backgnd = a.Backgnd;
    kr.Foregnd = a.Foregnd;
    kr.Context = a.Context;
    kr.Cursor = a.Cursor;
    kr.KeyLength = kr.StopLength = static_cast<uint16_t>(h.Length);
    merged.push_back(kr);
    const int32_t end = h.Offset + h.Length;
    while (r < runs.size() && runs[r].Offset < end) {
      in_force = runs[r];
      merged.push_back(runs[r++]);
    }
    if (end < len && !(r < runs.size() && runs[r].Offset == end)) {
      TStyleRun back = in_force;
      back.Offset = end;
      back.RunFlags |= kRunByKey;
      merged.push_back(back);
    }
  }
  merged.insert(merged.end(), runs.begin() + static_cast<std::ptrdiff_t>(r), runs.end());
  runs.swap(merged);
}

bool TScrivLayout::RescanParagraph(int32_t i) {
  TParagraphsList& table = memo_.Table;
  TParagraph& p = table.Items(i);
  ScanBuffers nested;
  ScanBuffers& buf = rescanning_ ? nested : scan_;
  const bool outermost = !rescanning_;
  rescanning_ = true;
  struct Leave {
    bool& flag;
    bool outermost;
    ~Leave() {
      if (outermost) flag = false;
    }
  } leave{rescanning_, outermost};
  std::vector<TStyleRun>& program = buf.Program;
  program.clear();
  if (const auto* old = para::Runs(p))
    for (const TStyleRun& run : *old)
      if ((run.RunFlags & kRunByKey) == 0) program.push_back(run);

  TStyleRun state = para::Style(p);
  std::vector<TStyleRun>& sections = buf.Sections;
  sections.clear();
  ScanParagraphSections(i, state, sections, buf);
  // Key runs first at one offset, so that a program's run there keeps the last word.
  std::vector<TStyleRun>& runs = buf.Runs;
  runs.clear();
  runs.reserve(sections.size() + program.size());
  std::merge(sections.begin(), sections.end(), program.begin(), program.end(),
             std::back_inserter(runs),
             [](const TStyleRun& a, const TStyleRun& b) { return a.Offset < b.Offset; });
  ScanParagraphKeywords(i, runs, buf);

  TParagraph& q = table.Items(i);
  if (!SameRuns(para::Runs(q), runs)) {
    // Copied into the paragraph's own vector, whose buffer then serves again.
    if (!runs.empty() || q.HasExtension()) para::MutableRuns(q).assign(runs.begin(), runs.end());
    if (q.Flags & pfFormatted) AddToBacklog(i, i);
    TParagraphsList::ForgetNavigatorCaches(memo_.Navigators(), q.StartOffset, i);
    memo_.Invalidate();
  }
  q.Flags |= pfKeysScanned | pfKeywordsScanned;

  // The next paragraph starts in the state this one ends in.
  if (i + 1 >= table.Count()) return false;
  TParagraph& next = table.Items(i + 1);
  if (SameScanState(state, para::Style(next))) return false;
  if (InSection(state)) {
    TStyleRun s = state;
    s.Offset = 0;
    // A string left open runs on over every paragraph behind it, all starting in one state:
    // they share one record instead of each allocating (and an undo freeing) its own.
    if (!handed_style_ || !SameRun(*handed_style_, s))
      handed_style_ = std::make_shared<const TStyleRun>(s);
    para::SetStyle(next, handed_style_, true);
  } else {
    para::SetStyle(next, nullptr, false);
  }
  next.Flags &= static_cast<uint8_t>(~(pfKeysScanned | pfKeywordsScanned));
  AddToBacklog(i + 1, i + 1);
  if (table.LastChanged >= table.FirstChanged && table.LastChanged < i + 1)
    table.LastChanged = i + 1;
  return true;
}

void TScrivLayout::EnsureScanned(int32_t i) {
  TParagraphsList& table = memo_.Table;
  i = std::min(i, table.Count() - 1);
  for (int32_t j = std::max(0, table.LastScanned + 1); j <= i; ++j) {
    const uint8_t f = table.Items(j).Flags;
    if (!(f & pfKeysScanned) || !(f & pfKeywordsScanned)) RescanParagraph(j);
  }
  table.LastScanned = std::max(table.LastScanned, i);
}

void TScrivLayout::ScanSections(TScrivNavigator& from, TScrivNavigator& to) {
  TParagraphsList& table = memo_.Table;
  const int32_t first = std::min(from.GetParaIndex(), to.GetParaIndex());
  int32_t last = std::max(from.GetParaIndex(), to.GetParaIndex());
  // Only a paragraph that starts in a valid state can be scanned now; the rest waits for
  // the layout, which scans in order.
  if (first > table.LastScanned + 1) {
    for (int32_t i = first; i <= last; ++i)
      table.Items(i).Flags &= static_cast<uint8_t>(~(pfKeysScanned | pfKeywordsScanned));
    return;
  }
  // A section state that changes behind the edit is followed now only as far as the window
  // shows when the format slices can take the rest: each rescanned paragraph hands a changed
  // state to the next one and puts that one into the backlog, so an unmatched quote at the
  // top of a long text costs a keystroke no more than the window's worth of paragraphs.
  const bool sliced = memo_.FormatsInBackground() && memo_.HandleAllocated();
  const int32_t bottom_line =
      (memo_.VertScroll() + memo_.ClientHeight()) / std::max(1, memo_.LineHeight()) + 1;
  const int32_t edited = last;
  bool changed = false;
  for (int32_t i = first; i < table.Count(); ++i) {
    changed = RescanParagraph(i);
    if (i >= last && !changed) {
      last = i;
      break;
    }
    last = i;
    if (sliced && i >= edited && i + 1 < table.Count() &&
        table.Items(i + 1).FirstLine > bottom_line)
      break;
  }
  const bool contiguous = table.LastScanned >= first - 1;
  if (contiguous) table.LastScanned = std::max(table.LastScanned, last);
  last_scan_from_ = from.Offset();
  last_scan_to_ = to.Offset();
  last_scan_chars_ = table.CharCount();
}

void TScrivLayout::ScanKeywords(TScrivNavigator& from, TScrivNavigator& to) {
  // Sections and keywords are rescanned together: nothing left to do for the same range.
  if (from.Offset() == last_scan_from_ && to.Offset() == last_scan_to_ &&
      memo_.Table.CharCount() == last_scan_chars_)
    return;
  ScanSections(from, to);
}

void TScrivLayout::RepairRuns(TScrivNavigator&, TScrivNavigator&, bool) {}

void TScrivLayout::StyleRange(int32_t from, int32_t to, bool remove, bool apply,
                              const TStyleRun& run) {
  TParagraphsList& table = memo_.Table;
  if (from > to) std::swap(from, to);
  from = std::clamp(from, 0, table.CharCount());
  to = std::clamp(to, 0, table.CharCount());
  const int32_t first = table.ParagraphAt(from);
  const int32_t last = table.ParagraphAt(to);
  for (int32_t i = first; i <= last; ++i) {
    TParagraph& p = table.Items(i);
    const int32_t len = para::Length(p);
    const int32_t a = i == first ? std::min(from - p.StartOffset, len) : 0;
    const int32_t b = i == last ? std::min(to - p.StartOffset, len) : len;
    std::vector<TStyleRun> runs;
    if (const auto* old = para::Runs(p)) runs = *old;
    TStyleRun back = InForce(runs, para::Style(p), b);
    back.Offset = b;
    back.RunFlags &= static_cast<uint8_t>(~kRunByKey);
    if (remove)
      std::erase_if(runs, [&](const TStyleRun& r) { return r.Offset >= a && r.Offset < b; });
    TStyleRun mine = run;
    mine.Offset = a;
    mine.RunFlags = static_cast<uint8_t>((mine.RunFlags & 0x3F) | (apply ? kRunHasAttributes : 0));
    auto at = std::upper_bound(runs.begin(), runs.end(), a,
                               [](int32_t o, const TStyleRun& r) { return o < r.Offset; });
    at = runs.insert(at, mine);
    if (b < len) {
      const bool standing =
          std::any_of(runs.begin(), runs.end(), [&](const TStyleRun& r) { return r.Offset == b; });
      if (!standing) {
        auto e = std::upper_bound(runs.begin(), runs.end(), b,
                                  [](int32_t o, const TStyleRun& r) { return o < r.Offset; });
        runs.insert(e, back);
      }
    }
    para::MutableRuns(p) = std::move(runs);
    AddToBacklog(i, i);
  }
  TParagraphsList::ForgetNavigatorCaches(memo_.Navigators(), table.Items(first).StartOffset, last);
}

void TScrivLayout::ReapplyHighlighting() {
  TParagraphsList& table = memo_.Table;
  table.ForEachFrom(0, [](TParagraph& p) {
    p.Flags &= static_cast<uint8_t>(~(pfFormatted | pfKeysScanned | pfKeywordsScanned));
    if (p.HasExtension()) p.Ext->Runs.clear();
    para::SetStyle(p, nullptr, false);
  });
  for (TScrivNavigator* nav : memo_.Navigators()) nav->DropLineAndRunCaches();
  table.LastScanned = -1;
  memo_.StartStopKeys.Prepared = false;
}

}  // namespace scrivlet
