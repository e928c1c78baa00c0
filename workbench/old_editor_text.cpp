// The legacy editor's files, clipboard, find and replace, and print lines.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/clipboard.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"
#include "workbench/old_editor.h"
#include "workbench/source_encoding.h"
#include "workbench/zero_bytes.h"

namespace workbench {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr char kTab = '\t';

namespace ids = string_ids::EditorUnit;

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string Insertable(std::string_view text) {
  std::string kept;
  for (char c : text)
    if (IsLegacyInsertable(c)) kept += c;
  return kept;
}

}  // namespace

std::string LegacyTextFromFile(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == kCr || c == kLf) {
      // One break for each of CR LF, LF CR, CR and LF.
      text += kCr;
      const char pair = c == kCr ? kLf : kCr;
      if (i + 1 < bytes.size() && bytes[i + 1] == pair) ++i;
    } else if (c == '\0') {
      text += kZeroByteStandIn;
    } else if (c == kTab || static_cast<unsigned char>(c) >= ' ') {
      text += c;
    }
  }
  return text;
}

void LegacyEditor::ShowBox(int text_id) const {
  const int caption =
      text_id == ids::SCU_TEXT_TOO_LARGE ? ids::SCU_TEXT_TOO_LARGE_CAPTION : ids::SCU_NULL_STRING;
  messages_.MsgBoxById(text_id, caption);
}

bool LegacyEditor::Holds(int count, int freed) const { return count <= buffer_.Room() + freed; }

bool LegacyEditor::Fits(int count, int freed) const {
  if (Holds(count, freed)) return true;
  ShowBox(ids::SCU_TEXT_TOO_LARGE);
  return false;
}

void LegacyEditor::InsertFiltered(std::string_view text) {
  for (char c : text)
    if (IsLegacyInsertable(c)) InsertChar(c);
}

// Files.

bool LegacyEditor::LoadText(std::string_view file_bytes) {
  const std::string text = LegacyTextFromFile(file_bytes);
  if (!Fits(static_cast<int>(std::min<std::size_t>(text.size(), buffer_.Capacity() + 1u)),
            Length()))
    return false;
  ClearBuffer();
  for (char c : text) InsertChar(c);
  cursor_ = 0;
  SetModified(false);
  AfterChange();
  return true;
}

std::string LegacyEditor::SaveText() const {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(Length()) + 1024);
  for (int pos = 0; pos < Length(); ++pos) {
    bytes += At(pos);
    if (At(pos) == kCr) bytes += kLf;
  }
  return bytes;
}

LegacyEditor::FileResult LegacyEditor::LoadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return FileResult::kCannotRead;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return FileResult::kCannotRead;
  const EditorSource source = SourceForEditor(bytes);
  if (!LoadText(source.text)) return FileResult::kTooLarge;
  encoding_ = source.encoding;
  if (const std::size_t zeros = CountZeroBytes(bytes); zeros > 0)
    messages_.Service().Show(ZeroBytesNotice(name, zeros));
  if (source.shown_as_bytes) messages_.Service().Show(ShownAsBytesNotice(name));
  return FileResult::kOk;
}

LegacyEditor::FileResult LegacyEditor::SaveFile(const std::string& name,
                                                const FileBytesWriter& writer) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(name, error);
  if (fs::exists(status) && (!fs::is_regular_file(status) ||
                             (status.permissions() & fs::perms::owner_write) == fs::perms::none))
    return FileResult::kCannotWrite;
  std::string reason;
  if (!ReplaceFileContents(name, SourceForFile(SaveText(), encoding_), reason, writer))
    return FileResult::kCannotWrite;
  SetModified(false);
  return FileResult::kOk;
}

// Clipboard.

void LegacyEditor::LegacyCopy(platform::Clipboard& clipboard) const {
  if (!HasSelection()) return;
  std::string bytes;
  for (int pos = SelectionStart(); pos < SelectionStop(); ++pos) {
    bytes += At(pos);
    if (At(pos) == kCr) bytes += kLf;
  }
  clipboard.SetFormats({{std::string(platform::kClipboardText), bytes}});
}

void LegacyEditor::LegacyCut(platform::Clipboard& clipboard) {
  LegacyCopy(clipboard);
  DeleteSelection();
}

void LegacyEditor::LegacyPaste(const platform::Clipboard& clipboard) {
  const std::string text = Insertable(clipboard.Format(platform::kClipboardText).value_or(""));
  if (!Fits(static_cast<int>(std::min<std::size_t>(text.size(), buffer_.Capacity() + 1u)),
            HasSelection() ? SelectionStop() - SelectionStart() : 0))
    return;
  DeleteSelection();
  InsertFiltered(text);
}

bool LegacyEditor::ReplaceAllText(std::string_view text) {
  const std::string kept = Insertable(LegacyTextFromFile(text));
  if (!Holds(static_cast<int>(std::min<std::size_t>(kept.size(), buffer_.Capacity() + 1u)),
             Length()))
    return false;
  ClearBuffer();
  InsertFiltered(kept);
  return true;
}

// Find and replace.

bool LegacyEditor::LegacyFind(const LegacyFindChoice& choice) {
  const std::string pattern = Insertable(choice.find_text);
  const int was_cursor = cursor_;
  const int was_anchor = anchor_;
  const auto size = static_cast<int>(pattern.size());
  if (size == 0) return false;
  const bool whole_word = choice.word_only && choice.word_only_enabled;
  for (int start = cursor_; start + size <= Length(); ++start) {
    int i = 0;
    while (i < size && FoldAscii(At(start + i)) == FoldAscii(pattern[static_cast<std::size_t>(i)]))
      ++i;
    if (i < size) continue;
    if (whole_word) {
      cursor_ = start;
      if (!SelectWord() || anchor_ != start || cursor_ != start + size) continue;
    }
    anchor_ = start;
    cursor_ = start + size;
    selection_mode_ = 1;
    return true;
  }
  cursor_ = was_cursor;
  anchor_ = was_anchor;
  return false;
}

bool LegacyEditor::LegacyReplace(const LegacyFindChoice& choice) {
  if (!HasSelection()) return false;
  const std::string text = Insertable(choice.replace_text);
  if (!Fits(static_cast<int>(text.size()), SelectionStop() - SelectionStart())) return false;
  DeleteSelection();
  InsertFiltered(text);
  return true;
}

void LegacyEditor::EditFind(const LegacyFindChoice& choice) {
  HideLegacyCaret();
  if (choice.find_text.empty())
    ShowBox(ids::SCU_NOTHING_TO_FIND);
  else if (!LegacyFind(choice))
    ShowBox(ids::SCU_NOTHING_FOUND);
  LegacyPaint();
}

void LegacyEditor::EditReplace(const LegacyFindChoice& choice) {
  HideLegacyCaret();
  if (!HasSelection())
    ShowBox(ids::SCU_NOTHING_SELECTED);
  else
    (void)LegacyReplace(choice);
  LegacyPaint();
}

void LegacyEditor::EditFindReplace(const LegacyFindChoice& choice) {
  switch (choice.result) {
    case LegacyFindChoice::kCancel: return;
    case LegacyFindChoice::kFind:
      if (choice.from_start) cursor_ = 0;
      EditFind(choice);
      return;
    case LegacyFindChoice::kReplace: EditReplace(choice); return;
    case LegacyFindChoice::kReplaceAll:
      HideLegacyCaret();
      if (choice.from_start) cursor_ = 0;
      if (LegacyFind(choice)) {
        // A replacement that does not fit stops the run (its box has said so).
        while (LegacyReplace(choice) && LegacyFind(choice)) {
        }
        horizontal_scroll_ = 0;
      } else {
        ShowBox(ids::SCU_NOTHING_FOUND);
      }
      LegacyPaint();
      return;
  }
}

// Printing.

LegacyPrintCounts LegacyEditor::PrintCounts() const {
  LegacyPrintCounts counts;
  const auto lines = [this](int start, int end) {
    if (end <= start) return 0;
    int n = 1;
    for (int pos = start; pos < end; ++pos)
      if (At(pos) == kCr) ++n;
    return n;
  };
  counts.text_lines = lines(0, Length());
  counts.has_selection = HasSelection();
  if (counts.has_selection) {
    int start = 0;
    int end = 0;
    PrintRange(true, start, end);
    // A selection that takes a line's CR ends on that line.
    counts.selection_lines = lines(start, end) - (end > start && At(end - 1) == kCr ? 1 : 0);
  }
  return counts;
}

void LegacyEditor::PrintRange(bool selection, int& start, int& end) const {
  if (!selection || !HasSelection()) {
    start = 0;
    end = Length();
    return;
  }
  start = LineStartOf(SelectionStart());
  const int last = LineEndOf(SelectionStop() - 1);
  end = last < Length() ? last + 1 : last;
}

std::string LegacyEditor::PrintLine(int& pos, int end, int columns) const {
  std::string line;
  int column = 0;
  for (; pos < end && At(pos) != kCr; ++pos) {
    if (At(pos) == kTab) {
      const int stop = (column / 8 + 1) * 8;
      for (; column < stop; ++column) line += ' ';
    } else {
      line += At(pos);
      ++column;
    }
  }
  if (pos < end) ++pos;
  if (static_cast<int>(line.size()) > columns)
    line.resize(static_cast<std::size_t>(std::max(0, columns)));
  return line;
}

}  // namespace workbench
