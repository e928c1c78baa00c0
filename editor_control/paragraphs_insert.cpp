// Replacing a range of the table by new text: the one structural change that every edit
// makes.

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "editor_control/navigator.h"
#include "editor_control/paragraphs_list.h"

namespace scrivlet {
namespace {

// Splits at CR; CR LF is one break, a lone LF is an ordinary character.
std::vector<std::string_view> SplitAtBreaks(std::string_view text) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    pieces.push_back(text.substr(start, i - start));
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::string_view TrimTrailingBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

uint8_t StyleThrough(uint8_t style, std::string_view s) {
  for (char c : s) style = ToggleStyle(style, static_cast<uint8_t>(c));
  return style;
}

}  // namespace

TInsertResult TParagraphsList::InsertText(std::string_view text, TScrivNavigator& from,
                                          bool keep_styles, bool discard_trailing,
                                          TScrivNavigator& to) {
  text = text.substr(0, text.find('\0'));
  const int32_t p1 = from.GetParaIndex();
  const int32_t p2 = to.GetParaIndex();
  const int32_t pos1 = std::clamp(from.GetPosInPara(), 0, para::Length(Slot(p1)));
  const int32_t pos2 = std::clamp(to.GetPosInPara(), 0, para::Length(Slot(p2)));
  const int32_t line_span = from.GetLineInPara();
  TInsertResult result;

  // Style runs inside the removed range, and the toggles it leaves switched.
  uint8_t toggled = 0;
  for (int32_t i = p1; i <= p2; ++i) {
    const TParagraph& p = Slot(i);
    const int32_t a = i == p1 ? pos1 : 0;
    const int32_t b = i == p2 ? pos2 : para::Length(p);
    if (const auto* runs = para::Runs(p))
      for (const TStyleRun& run : *runs)
        if (run.Offset >= a && (run.Offset < b || (i < p2 && run.Offset <= b)))
          result.RunsRemoved = true;
    if (StaticFormat && keep_styles) toggled = StyleThrough(toggled, TextOf(p).substr(a, b - a));
  }
  std::string full(text);
  for (uint8_t c : kStyleCharOrder)
    if (toggled & ToggleBitOf(c)) full.push_back(static_cast<char>(c));

  std::vector<std::string_view> pieces = SplitAtBreaks(full);
  const auto k = static_cast<int32_t>(pieces.size());
  std::string_view prefix = TextOf(Slot(p1)).substr(0, static_cast<size_t>(pos1));
  const std::string_view suffix = TextOf(Slot(p2)).substr(static_cast<size_t>(pos2));
  if (discard_trailing && k > 1) {
    for (int32_t j = 0; j + 1 < k; ++j)
      pieces[static_cast<size_t>(j)] = TrimTrailingBlanks(pieces[static_cast<size_t>(j)]);
    if (pieces[0].empty()) prefix = TrimTrailingBlanks(prefix);
  }

  // Every text is built before anything changes, so a failure leaves the table as it was.
  std::vector<std::string> texts(static_cast<size_t>(k));
  texts[0].append(prefix).append(pieces[0]);
  for (int32_t j = 1; j < k; ++j)
    texts[static_cast<size_t>(j)].assign(pieces[static_cast<size_t>(j)]);
  const size_t last_piece_end = texts.back().size();
  texts.back().append(suffix);
  int64_t new_span = 2 * int64_t{k - 1};
  for (const std::string& t : texts) new_span += static_cast<int64_t>(t.size());
  const TParagraph& last2 = Slot(p2);
  const int64_t old_span = int64_t{last2.StartOffset} + para::Length(last2) - Slot(p1).StartOffset;
  const int64_t delta = new_span - old_span;
  if (int64_t{CharCount} + delta > std::numeric_limits<int32_t>::max())
    throw EScrivletError(kTextTooLong);
  std::vector<std::unique_ptr<char[]>> buffers;
  for (const std::string& t : texts) {
    if (t.empty()) {
      buffers.emplace_back();
      continue;
    }
    buffers.emplace_back(
        new char[static_cast<size_t>(EditBufferSize(static_cast<int64_t>(t.size())))]);
    std::memcpy(buffers.back().get(), t.data(), t.size());
    buffers.back()[t.size()] = 0;
  }

  // Runs before the range stay; runs behind it move with the suffix.
  std::vector<TStyleRun> kept, moved;
  if (const auto* runs = para::Runs(Slot(p1)))
    for (const TStyleRun& run : *runs)
      if (run.Offset < pos1) kept.push_back(run);
  if (const auto* runs = para::Runs(Slot(p2)))
    for (TStyleRun run : *runs)
      if (run.Offset >= pos2 && (p1 != p2 || run.Offset >= pos1)) {
        run.Offset = run.Offset - pos2 + static_cast<int32_t>(last_piece_end);
        moved.push_back(run);
      }

  int32_t old_lines = 0, old_visible = 0;
  for (int32_t i = p1; i <= p2; ++i) {
    old_lines += para::LineCount(Slot(i));
    old_visible += VisibleLines(i);
  }

  // From here on nothing throws.
  TParagraph& first = Slot(p1);
  const uint8_t level_bits = first.LevelFlags & kLevelMask;
  const uint8_t scan_bits = first.Flags & kScanFlags;
  auto set_text = [&](TParagraph& p, int32_t j) {
    para::SetOwnedText(p, buffers[static_cast<size_t>(j)].release(),
                       static_cast<int32_t>(texts[static_cast<size_t>(j)].size()));
    p.Flags &= static_cast<uint8_t>(~(pfFormatted | pfCollapsed));
    para::ResetLines(p);
  };
  auto set_runs = [](TParagraph& p, std::vector<TStyleRun> runs) {
    if (runs.empty() && !p.HasExtension()) return;
    para::MutableRuns(p) = std::move(runs);
  };
  auto fresh = [&]() {
    TParagraph p;
    p.LevelFlags = level_bits;
    p.Flags = static_cast<uint8_t>(pfOwnsText | scan_bits);
    return p;
  };

  std::vector<TParagraph> behind;  // the records p1 + 1 .. p1 + k - 1
  TParagraph last_record = p2 != p1 ? Slot(p2) : fresh();
  for (int32_t i = p1 + 1; i < p2; ++i) para::Release(Slot(i));
  if (k == 1) {
    if (p2 != p1) para::Release(Slot(p2));
    set_text(first, 0);
    kept.insert(kept.end(), moved.begin(), moved.end());
    set_runs(first, std::move(kept));
  } else {
    set_text(first, 0);
    set_runs(first, std::move(kept));
    for (int32_t j = 1; j + 1 < k; ++j) {
      behind.push_back(fresh());
      set_text(behind.back(), j);
    }
    behind.push_back(last_record);
    set_text(behind.back(), k - 1);
    set_runs(behind.back(), std::move(moved));
  }

  const int32_t old_count = p2 - p1 + 1;
  const int32_t added = k - old_count;
  if (added > 0) InsertSlots(p2 + 1, added);
  if (added < 0) DeleteSlots(p1 + k, -added);
  uint8_t style = para::InlineStartStyle(first);
  for (int32_t j = 1; j < k; ++j) {
    TParagraph& prev = Slot(p1 + j - 1);
    TParagraph& p = Slot(p1 + j);
    p = behind[static_cast<size_t>(j - 1)];
    p.StartOffset = prev.StartOffset + para::Length(prev) + 2;
    p.FirstLine = prev.FirstLine + VisibleLines(p1 + j - 1);
    if (StaticFormat) style = StyleThrough(style, TextOf(prev));
    para::SetInlineStartStyle(p, StaticFormat ? style : 0);
    para::ResetLines(p);
  }

  const auto offset_delta = static_cast<int32_t>(delta);
  const int32_t line_delta = k - old_visible;
  ShiftBoth(p1 + k, offset_delta, line_delta);
  CharCount += offset_delta;
  LineCount += k - old_lines;
  VisibleLineCount += line_delta;

  // Bookkeeping that names paragraphs behind the range follows them.
  auto follow = [&](int32_t& index) {
    if (index > p2)
      index += added;
    else if (index >= p1 + k)
      index = p1 + k - 1;
  };
  if (LastChanged >= FirstChanged) follow(LastChanged);
  follow(LastToFormat);
  follow(FirstToFormat);
  if (FirstChanged > p2) FirstChanged += added;
  ChangePending = true;
  MarkStale(p1, line_span, p1 + k - 1);

  result.ParagraphsAdded = added;
  result.OffsetDelta = offset_delta;
  return result;
}

}  // namespace scrivlet
