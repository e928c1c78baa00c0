// Replace All in one pass: the hits are found as FindText finds them one after another and
// the new text of the stretch from the first hit to the last is built as the scan goes, then
// put in by one change. Replacing hit by hit would copy the hit's paragraph and shift every
// paragraph behind it each time, which on a long line or a long text grows with the square.

#include <algorithm>

#include "editor_control/flag_scope.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

// The replacement as the edit primitive takes it: up to a zero byte, and every break (CR LF
// or a lone CR) as CR LF, so that no break of it can join the text beside it to another one.
std::string AsInserted(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out.push_back(text[i]);
      continue;
    }
    out.append("\r\n");
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

constexpr int32_t kProgressStep = 1 << 16;  // characters scanned between two reports
constexpr int kLineStart = -1;              // no character before: a paragraph's start

}  // namespace

// Kept whole: one pass: matching, word bounds and progress share the loop's position.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
int32_t TScrivlet::ReplaceAll(std::string_view text, std::string_view replacement, bool whole_word,
                              bool match_case, const TReplaceProgress& progress) {
  if (text.empty()) return 0;
  const TzkUpperCase upper = Keywords.UpperCaseType();
  const TUpperCaseProc user = Keywords.UserUpperCaseProc;
  auto fold = [&](std::string_view s, std::string& out) {
    if (match_case)
      out.assign(s);
    else
      UpperCaseInto(s, upper, user, out);
  };
  std::string key;
  fold(text, key);
  const std::string put = AsInserted(replacement);
  std::string scratch;
  // The character before whatever follows a replacement, as the next search sees it:
  // kLineStart behind a break, or none of its own (then the one before the hit holds).
  auto last_of = [&](std::string_view s, int before) {
    if (s.empty()) return before;
    if (s.back() == '\n' && s.size() >= 2 && s[s.size() - 2] == '\r') return kLineStart;
    const char last = s.back();
    if (match_case) return static_cast<int>(static_cast<uint8_t>(last));
    UpperCaseInto(std::string_view(&last, 1), upper, user, scratch);
    return static_cast<int>(static_cast<uint8_t>(scratch[0]));
  };

  const int64_t edits_at_start = edit_count_;
  const int32_t total = CharCount();
  int32_t next_report = kProgressStep;
  std::string out;
  std::string hay;
  std::string with_toggles;
  int32_t count = 0;
  int32_t first = -1, last_end = -1;
  int32_t emit_para = 0;  // the new text holds the old one up to here
  size_t emit_pos = 0;
  auto emit_to = [&](int32_t para, size_t pos) {
    for (; emit_para < para; ++emit_para, emit_pos = 0)
      out.append(TextOf(Table.Items(emit_para)).substr(emit_pos)).append("\r\n");
    out.append(TextOf(Table.Items(para)).substr(emit_pos, pos - emit_pos));
    emit_pos = pos;
  };

  // False once the report cancels; whatever changes the text meanwhile makes the hits found
  // so far stale.
  auto go_on = [&](int32_t at) {
    if (!progress || at < next_report) return true;
    next_report = at + kProgressStep;
    return progress(at, total) && edit_count_ == edits_at_start;
  };

  for (int32_t i = 0; i < Table.Count(); ++i) {
    const TParagraph& p = Table.Items(i);
    const std::string_view raw = TextOf(p);
    if (!go_on(p.StartOffset)) return -1;
    fold(raw, hay);
    // The character before a position once the hits in front of it are replaced.
    size_t state_at = std::string::npos;
    int state = kLineStart;
    auto before = [&](size_t q) {
      if (q == state_at) return state;
      return q == 0 ? kLineStart : static_cast<int>(static_cast<uint8_t>(hay[q - 1]));
    };
    auto is_whole = [&](size_t q) {
      const int b = before(q);
      const size_t end = q + key.size();
      return (b == kLineStart || separators_.test(static_cast<uint8_t>(b))) &&
             (end >= hay.size() || separators_.test(static_cast<uint8_t>(hay[end])));
    };
    for (size_t q = hay.find(key); q != std::string::npos;) {
      if (whole_word && !is_whole(q)) {
        q = hay.find(key, q + 1);
        continue;
      }
      const int32_t at = p.StartOffset + static_cast<int32_t>(q);
      if (!go_on(at)) return -1;
      if (first < 0) {
        first = at;
        emit_para = i;
        emit_pos = q;
      }
      emit_to(i, q);
      // A hit that switches a style on or off leaves the switch behind the text put in,
      // as a change of the selection does.
      std::string_view inserted = put;
      if (GetStaticFormat()) {
        uint8_t toggled = 0;
        for (char c : raw.substr(q, key.size()))
          toggled = scrivlet::ToggleStyle(toggled, static_cast<uint8_t>(c));
        if (toggled != 0) {
          with_toggles = put;
          for (uint8_t c : kStyleCharOrder)
            if (toggled & ToggleBitOf(c)) with_toggles.push_back(static_cast<char>(c));
          inserted = with_toggles;
        }
      }
      out.append(inserted);
      state = last_of(inserted, before(q));
      q += key.size();
      state_at = q;
      emit_pos = q;
      last_end = at + static_cast<int32_t>(key.size());
      ++count;
      // The search goes on behind the text put in: the hits never overlap.
      q = hay.find(key, q);
    }
  }
  if (count == 0) return 0;
  Select(last_end, first);
  // The text goes in as built, each hit's style switches kept above: the edits a typed change
  // brings along are not made over the text between the hits, which stays as it was.
  FlagScope verbatim(verbatim_, true);
  InsertTextBuf(out);
  return count;
}

}  // namespace scrivlet
