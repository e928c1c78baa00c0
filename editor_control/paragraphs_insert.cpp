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

// InsertText's steps. Everything that can fail is prepared before the table changes, so that a
// failure leaves the table as it was.
struct TParagraphsList::Replacement {
  TParagraphsList& List;
  // The replaced range: from position Pos1 of paragraph P1 to position Pos2 of P2.
  int32_t P1 = 0, P2 = 0, Pos1 = 0, Pos2 = 0;
  int32_t LineSpan = 0;  // the display line of the range's start in P1
  bool RunsRemoved = false;
  std::vector<std::string> Texts;  // the paragraphs that stand in the range's place
  size_t LastPieceEnd = 0;         // where the kept end of P2 starts in the last of them
  int64_t Delta = 0;               // the change of the character count
  std::vector<std::unique_ptr<char[]>> Buffers;  // one for each of Texts, null for an empty one
  std::vector<TStyleRun> Kept, Moved;            // the runs before the range; those behind it
  int32_t OldLines = 0, OldVisible = 0;          // the range's paragraphs' display lines
  uint8_t LevelBits = 0, ScanBits = 0;           // what new paragraphs take from P1

  Replacement(TParagraphsList& list, TScrivNavigator& from, TScrivNavigator& to);
  int32_t Count() const { return static_cast<int32_t>(Texts.size()); }

  std::string TextClosingToggles(std::string_view text, bool keep_styles);
  void BuildTexts(std::string_view full, bool discard_trailing);
  void CheckLength();
  void MakeBuffers();
  void SplitRuns();
  void CountOldLines();

  // From here on nothing throws.
  std::vector<TParagraph> ReplaceTexts();
  int32_t ResizeRange();
  void PlaceRecords(const std::vector<TParagraph>& behind);
  void ShiftTheRest();
  void FollowBookkeeping(int32_t added);

  void SetText(TParagraph& p, int32_t j);
  TParagraph Fresh() const;
};

TParagraphsList::Replacement::Replacement(TParagraphsList& list, TScrivNavigator& from,
                                          TScrivNavigator& to)
    : List(list),
      P1(from.GetParaIndex()),
      P2(to.GetParaIndex()),
      Pos1(std::clamp(from.GetPosInPara(), 0, para::Length(list.Slot(P1)))),
      Pos2(std::clamp(to.GetPosInPara(), 0, para::Length(list.Slot(P2)))),
      LineSpan(from.GetLineInPara()) {}

// The text with the inline toggles that the removed range leaves switched put back behind it;
// notes whether style runs lie inside the range.
std::string TParagraphsList::Replacement::TextClosingToggles(std::string_view text,
                                                             bool keep_styles) {
  uint8_t toggled = 0;
  for (int32_t i = P1; i <= P2; ++i) {
    const TParagraph& p = List.Slot(i);
    const int32_t a = i == P1 ? Pos1 : 0;
    const int32_t b = i == P2 ? Pos2 : para::Length(p);
    if (const auto* runs = para::Runs(p))
      for (const TStyleRun& run : *runs)
        if (run.Offset >= a && (run.Offset < b || (i < P2 && run.Offset <= b))) RunsRemoved = true;
    if (List.StaticFormat && keep_styles)
      toggled = StyleThrough(toggled, TextOf(p).substr(a, b - a));
  }
  std::string full(text);
  for (uint8_t c : kStyleCharOrder)
    if (toggled & ToggleBitOf(c)) full.push_back(static_cast<char>(c));
  return full;
}

// The kept start of P1, the new text's paragraphs, the kept end of P2.
void TParagraphsList::Replacement::BuildTexts(std::string_view full, bool discard_trailing) {
  std::vector<std::string_view> pieces = SplitAtBreaks(full);
  const auto k = static_cast<int32_t>(pieces.size());
  std::string_view prefix = TextOf(List.Slot(P1)).substr(0, static_cast<size_t>(Pos1));
  const std::string_view suffix = TextOf(List.Slot(P2)).substr(static_cast<size_t>(Pos2));
  if (discard_trailing && k > 1) {
    for (int32_t j = 0; j + 1 < k; ++j)
      pieces[static_cast<size_t>(j)] = TrimTrailingBlanks(pieces[static_cast<size_t>(j)]);
    if (pieces[0].empty()) prefix = TrimTrailingBlanks(prefix);
  }
  Texts.assign(static_cast<size_t>(k), std::string());
  Texts[0].append(prefix).append(pieces[0]);
  for (int32_t j = 1; j < k; ++j)
    Texts[static_cast<size_t>(j)].assign(pieces[static_cast<size_t>(j)]);
  LastPieceEnd = Texts.back().size();
  Texts.back().append(suffix);
}

void TParagraphsList::Replacement::CheckLength() {
  int64_t new_span = 2 * int64_t{Count() - 1};
  for (const std::string& t : Texts) new_span += static_cast<int64_t>(t.size());
  const TParagraph& last = List.Slot(P2);
  const int64_t old_span =
      int64_t{last.StartOffset} + para::Length(last) - List.Slot(P1).StartOffset;
  Delta = new_span - old_span;
  if (int64_t{List.CharCount()} + Delta > std::numeric_limits<int32_t>::max())
    throw EScrivletError(kTextTooLong);
}

void TParagraphsList::Replacement::MakeBuffers() {
  for (const std::string& t : Texts) {
    if (t.empty()) {
      Buffers.emplace_back();
      continue;
    }
    Buffers.emplace_back(
        new char[static_cast<size_t>(EditBufferSize(static_cast<int64_t>(t.size())))]);
    std::memcpy(Buffers.back().get(), t.data(), t.size());
    Buffers.back()[t.size()] = 0;
  }
}

// Runs before the range stay; runs behind it move with the kept end of P2.
void TParagraphsList::Replacement::SplitRuns() {
  if (const auto* runs = para::Runs(List.Slot(P1)))
    for (const TStyleRun& run : *runs)
      if (run.Offset < Pos1) Kept.push_back(run);
  if (const auto* runs = para::Runs(List.Slot(P2)))
    for (TStyleRun run : *runs)
      if (run.Offset >= Pos2 && (P1 != P2 || run.Offset >= Pos1)) {
        run.Offset = run.Offset - Pos2 + static_cast<int32_t>(LastPieceEnd);
        Moved.push_back(run);
      }
}

void TParagraphsList::Replacement::CountOldLines() {
  for (int32_t i = P1; i <= P2; ++i) {
    OldLines += para::LineCount(List.Slot(i));
    OldVisible += List.VisibleLines(i);
  }
}

void TParagraphsList::Replacement::SetText(TParagraph& p, int32_t j) {
  para::SetOwnedText(p, Buffers[static_cast<size_t>(j)].release(),
                     static_cast<int32_t>(Texts[static_cast<size_t>(j)].size()));
  p.Flags &= static_cast<uint8_t>(~(pfFormatted | pfCollapsed));
  para::ResetLines(p);
}

TParagraph TParagraphsList::Replacement::Fresh() const {
  TParagraph p;
  p.LevelFlags = LevelBits;
  p.Flags = static_cast<uint8_t>(pfOwnsText | ScanBits);
  return p;
}

namespace {

void SetRuns(TParagraph& p, std::vector<TStyleRun> runs) {
  if (runs.empty() && !p.HasExtension()) return;
  para::MutableRuns(p) = std::move(runs);
}

}  // namespace

// P1 takes the first text; the records that follow it (P2's record last, holding the moved
// runs) are returned to be placed behind it. The paragraphs in between are released.
std::vector<TParagraph> TParagraphsList::Replacement::ReplaceTexts() {
  TParagraph& first = List.Slot(P1);
  LevelBits = first.LevelFlags & kLevelMask;
  ScanBits = first.Flags & kScanFlags;
  const int32_t k = Count();
  std::vector<TParagraph> behind;  // the records P1 + 1 .. P1 + k - 1
  TParagraph last_record = P2 != P1 ? List.Slot(P2) : Fresh();
  for (int32_t i = P1 + 1; i < P2; ++i) para::Release(List.Slot(i));
  if (k == 1) {
    if (P2 != P1) para::Release(List.Slot(P2));
    SetText(first, 0);
    Kept.insert(Kept.end(), Moved.begin(), Moved.end());
    SetRuns(first, std::move(Kept));
    return behind;
  }
  SetText(first, 0);
  SetRuns(first, std::move(Kept));
  for (int32_t j = 1; j + 1 < k; ++j) {
    behind.push_back(Fresh());
    SetText(behind.back(), j);
  }
  behind.push_back(last_record);
  SetText(behind.back(), k - 1);
  SetRuns(behind.back(), std::move(Moved));
  return behind;
}

// Makes room for the new paragraphs or closes the gap of the ones that went; returns how many
// came (negative: went).
int32_t TParagraphsList::Replacement::ResizeRange() {
  const int32_t added = Count() - (P2 - P1 + 1);
  if (added > 0) List.InsertSlots(P2 + 1, added);
  if (added < 0) List.DeleteSlots(P1 + Count(), -added);
  return added;
}

// The records behind P1, each starting where the one before it ends.
void TParagraphsList::Replacement::PlaceRecords(const std::vector<TParagraph>& behind) {
  uint8_t style = para::InlineStartStyle(List.Slot(P1));
  for (int32_t j = 1; j < Count(); ++j) {
    TParagraph& prev = List.Slot(P1 + j - 1);
    TParagraph& p = List.Slot(P1 + j);
    p = behind[static_cast<size_t>(j - 1)];
    p.StartOffset = prev.StartOffset + para::Length(prev) + 2;
    p.FirstLine = prev.FirstLine + List.VisibleLines(P1 + j - 1);
    if (List.StaticFormat) style = StyleThrough(style, TextOf(prev));
    para::SetInlineStartStyle(p, List.StaticFormat ? style : 0);
    para::ResetLines(p);
  }
}

// The paragraphs behind the new ones, and the counts.
void TParagraphsList::Replacement::ShiftTheRest() {
  const auto offset_delta = static_cast<int32_t>(Delta);
  const int32_t line_delta = Count() - OldVisible;
  List.ShiftBoth(P1 + Count(), offset_delta, line_delta);
  List.char_count_ += offset_delta;
  List.line_count_ += Count() - OldLines;
  List.visible_line_count_ += line_delta;
}

// Bookkeeping that names paragraphs behind the range follows them.
void TParagraphsList::Replacement::FollowBookkeeping(int32_t added) {
  const int32_t k = Count();
  auto follow = [&](int32_t& index) {
    if (index > P2)
      index += added;
    else if (index >= P1 + k)
      index = P1 + k - 1;
  };
  if (List.LastChanged >= List.FirstChanged) follow(List.LastChanged);
  follow(List.LastToFormat);
  follow(List.FirstToFormat);
  if (List.FirstChanged > P2) List.FirstChanged += added;
  List.ChangePending = true;
  List.MarkStale(P1, LineSpan, P1 + k - 1);
}

TInsertResult TParagraphsList::InsertText(std::string_view text, TScrivNavigator& from,
                                          bool keep_styles, bool discard_trailing,
                                          TScrivNavigator& to) {
  Replacement r(*this, from, to);
  r.BuildTexts(r.TextClosingToggles(text.substr(0, text.find('\0')), keep_styles),
               discard_trailing);
  r.CheckLength();
  r.MakeBuffers();
  r.SplitRuns();
  r.CountOldLines();

  // From here on nothing throws.
  const std::vector<TParagraph> behind = r.ReplaceTexts();
  const int32_t added = r.ResizeRange();
  r.PlaceRecords(behind);
  r.ShiftTheRest();
  r.FollowBookkeeping(added);
  return {r.RunsRemoved, added, static_cast<int32_t>(r.Delta)};
}

}  // namespace scrivlet
