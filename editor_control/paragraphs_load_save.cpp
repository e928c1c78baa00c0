// Loading a text into the table and writing it back out.

#include <array>
#include <chrono>
#include <cstring>
#include <limits>
#include <string>

#include "editor_control/paragraphs_list.h"

namespace scrivlet {
namespace {

constexpr int32_t kReadChunk = 65500;
// Complete paragraphs left in a refilled buffer below this size are moved into a tight copy,
// so a mostly empty buffer is not kept alive for them: seven eighths of a chunk.
constexpr int32_t kTightCopyLimit = 57313;

class ProgressClock {
 public:
  ProgressClock(int interval_ms, const TProgressCallback& cb)
      : interval_(interval_ms), cb_(cb), deadline_(Now() + interval_) {}
  void Tick(TParagraphsList& list) {
    if (!cb_ || Now() < deadline_) return;
    cb_(list);
    deadline_ = Now() + interval_;
  }
  void Final(TParagraphsList& list) const {
    if (cb_) cb_(list);
  }

 private:
  static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
  std::chrono::milliseconds interval_;
  const TProgressCallback& cb_;
  std::chrono::steady_clock::time_point deadline_;
};

// Runs the bookkeeping reset whether the load finished or an exception left it.
struct LoadGuard {
  std::function<void()> reset;
  ~LoadGuard() { reset(); }
};

}  // namespace

// Kept whole: one pass over a file's bytes: line ends, zero bytes and progress together.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
TScrivLineBreak TParagraphsList::LoadFromStream(std::istream& stream, char nul_replacement,
                                                int progress_interval,
                                                const TProgressCallback& progress,
                                                bool discard_trailing) {
  Clear();
  LoadGuard guard{[this] {
    if (Count() == 0) Add(TParagraph{});
    ResetAfterLoad();
  }};
  TScrivLineBreak detected = TScrivLineBreak::pbCRLF;

  stream.clear();
  const std::streamoff begin = stream.tellg();
  int64_t left = std::numeric_limits<int64_t>::max();
  if (begin >= 0) {
    stream.seekg(0, std::ios::end);
    left = static_cast<int64_t>(stream.tellg()) - begin;
    stream.seekg(begin);
  }

  int64_t read_total = 0;
  auto read_into = [&](char* at, int32_t room) -> int32_t {
    const auto want = static_cast<std::streamsize>(std::min<int64_t>(room, left));
    // The scan's stop behind the data: every buffer has a byte to spare for it.
    if (want <= 0) {
      at[0] = 0;
      return 0;
    }
    stream.read(at, want);
    const auto got = static_cast<int32_t>(stream.gcount());
    if (got < want) left = got;  // the stream was shorter than it said
    left -= got;
    read_total += got;
    if (nul_replacement != 0)
      for (int32_t k = 0; k < got; ++k)
        if (at[k] == 0) at[k] = nul_replacement;
    at[got] = 0;
    return got;
  };

  // The read fills the buffers, and nothing reads past what it filled: no zeroing first,
  // which on a large text costs a pass over every byte of it.
  TextBlocks.push_back({std::make_unique_for_overwrite<char[]>(kReadChunk + 1), kReadChunk + 1});
  char* buf = TextBlocks.back().Text.get();
  int32_t fill = read_into(buf, kReadChunk);
  int32_t i = 0;
  int32_t par_start = 0;
  int32_t first_in_block = 0;  // first paragraph whose text lies in buf
  uint8_t style = 0;           // running inline style
  uint8_t par_style = 0;       // inline style at the start of the unfinished paragraph
  char swallow = 0;            // the one character that would complete the break just ended
  bool stopped = false;
  ProgressClock clock(progress_interval, progress);

  // The characters the scan stops at; it passes over every other one in a loop of its own,
  // which is most of a text and so most of the load.
  std::array<bool, 256> stops{};
  if (StaticFormat)
    for (int c = 1; c < 256; ++c)
      stops[static_cast<size_t>(c)] = IsStyleChar(static_cast<uint8_t>(c));
  stops[0] = stops['\r'] = stops['\n'] = true;

  auto end_paragraph = [&](int32_t from, int32_t to) {
    int32_t len = to - from;
    if (discard_trailing)
      while (len > 0 && IsBlank(buf[from + len - 1])) --len;
    buf[from + len] = 0;
    if (static_cast<int64_t>(char_count_) + len + 2 > std::numeric_limits<int32_t>::max())
      throw EScrivletError(kTextTooLong);
    TParagraph p;
    p.Text = len > 0 ? buf + from : nullptr;
    p.StartOffset = char_count_;
    p.FirstLine = Count();
    para::SetLength(p, len);
    para::SetInlineStartStyle(p, par_style);
    Add(p);
    char_count_ += len;
    par_style = style;
  };

  for (;;) {
    for (; i < fill; ++i) {
      if (swallow == 0) {
        while (!stops[static_cast<uint8_t>(buf[i])]) ++i;
        if (i == fill) break;
      }
      const char c = buf[i];
      if (c == 0) {
        stopped = true;
        break;
      }
      if (swallow != 0) {
        const bool completes = c == swallow;
        swallow = 0;
        if (completes) {
          detected = c == '\n' ? TScrivLineBreak::pbCRLF : TScrivLineBreak::pbLFCR;
          buf[i] = 0;
          par_start = i + 1;
          continue;
        }
      }
      if (c == '\r' || c == '\n') {
        detected = c == '\r' ? TScrivLineBreak::pbCR : TScrivLineBreak::pbLF;
        swallow = c == '\r' ? '\n' : '\r';
        end_paragraph(par_start, i);
        char_count_ += 2;
        buf[i] = 0;
        par_start = i + 1;
        if ((Count() & 15) == 0) clock.Tick(*this);
      } else if (StaticFormat && IsStyleChar(static_cast<uint8_t>(c))) {
        style = ToggleStyle(style, static_cast<uint8_t>(c));
      }
    }
    if (stopped || left <= 0) break;

    // Refill: the unfinished paragraph moves to the start of a new buffer.
    const int32_t unfinished = fill - par_start;
    const int32_t new_size = unfinished + kReadChunk + 1;
    auto fresh = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(new_size));
    std::memcpy(fresh.get(), buf + par_start, static_cast<size_t>(unfinished));
    TTextBlock& old = TextBlocks.back();
    if (par_start > 0) {
      if (par_start < kTightCopyLimit) {
        auto tight = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(par_start) + 1);
        std::memcpy(tight.get(), buf, static_cast<size_t>(par_start));
        tight[par_start] = 0;
        for (int32_t k = first_in_block; k < Count(); ++k) {
          TParagraph& p = Slot(k);
          if (p.Text != nullptr) p.Text = tight.get() + (p.Text - buf);
        }
        // The copy takes the old buffer's place in the list, which frees the old buffer.
        old.Text = std::move(tight);
        old.Size = par_start + 1;
      }
      TextBlocks.push_back({std::move(fresh), new_size});
    } else {
      old.Text = std::move(fresh);
      old.Size = new_size;
    }
    buf = TextBlocks.back().Text.get();
    first_in_block = Count();
    i = unfinished;
    par_start = 0;
    const int32_t got = read_into(buf + unfinished, new_size - 1 - unfinished);
    fill = unfinished + got;
    if (got == 0) break;
  }

  end_paragraph(par_start, i);
  clock.Final(*this);
  const int64_t consumed = read_total - (fill - i);
  stream.clear();
  if (begin >= 0) stream.seekg(begin + static_cast<std::streamoff>(consumed));
  return detected;
}

void TParagraphsList::SaveToStream(std::ostream& stream, bool strip_empty_runs,
                                   int progress_interval, const TProgressCallback& progress,
                                   TScrivLineBreak line_break, bool discard_trailing) const {
  static constexpr std::string_view kBreaks[] = {"\r\n", "\n\r", "\r", "\n"};
  const std::string_view brk = kBreaks[static_cast<int>(line_break)];
  auto last = std::chrono::steady_clock::now();
  const auto interval = std::chrono::milliseconds(progress_interval);
  auto& self = const_cast<TParagraphsList&>(*this);  // the callback gets the list, as on load
  std::string copy;
  for (int32_t k = 0; k < Count(); ++k) {
    const TParagraph& p = Slot(k);
    std::string_view text(p.Text ? p.Text : "", static_cast<size_t>(para::Length(p)));
    if (strip_empty_runs && StaticFormat) {
      copy.assign(text);
      for (;;) {
        const auto [a, b] = FindEmptyRun(copy);
        if (a == std::string::npos) break;
        copy.erase(b, 1);
        copy.erase(a, 1);
      }
      text = copy;
    }
    if (discard_trailing)
      while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (k + 1 < Count()) stream.write(brk.data(), static_cast<std::streamsize>(brk.size()));
    if (progress && std::chrono::steady_clock::now() - last > interval) {
      progress(self);
      last = std::chrono::steady_clock::now();
    }
  }
  if (progress) progress(self);
}

}  // namespace scrivlet
