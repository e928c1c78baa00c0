// Copy, cut and paste, plain and as rectangular column blocks.

#include <algorithm>
#include <vector>

#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

// Text from another program may end its lines with LF or CR alone: every break becomes
// the control's CR LF.
std::string WithCrLfBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out.append("\r\n");
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// The lines of a column text; a final break ends the last line and starts no new one.
std::vector<std::string> ColumnLines(std::string_view text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back().push_back(c);
    }
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

void TScrivlet::CopyToClipboard() {
  if (clipboard_ == nullptr || SelLower() == SelUpper()) return;
  std::string text;
  if (block_mode_) {
    text = GetColumnText();
  } else {
    text = GetSelText();
    if (options_ & zkoPlainClipboard)
      std::erase_if(text, [](char c) { return IsStyleChar(static_cast<uint8_t>(c)); });
  }
  clipboard_->Put(text, block_mode_);
}

void TScrivlet::CutToClipboard() {
  if (clipboard_ == nullptr || SelLower() == SelUpper()) return;
  CopyToClipboard();
  ClearSelection();
}

// What a paste or a column insertion keeps of the selection when it must not overwrite it:
// the two ends (and a column block's columns), restored around the caret where the paste
// ended.
struct TScrivlet::KeptSelection {
  TScrivNavigator low, high;
  bool block;
  int32_t start_col, end_col;
  KeptSelection(TScrivlet& s)
      : low(s),
        high(s),
        block(s.block_mode_),
        start_col(s.block_start_col_),
        end_col(s.block_end_col_) {
    low.SetOffset(s.SelLower());
    high.SetOffset(s.SelUpper());
    // Text pasted at either end goes outside the block.
    low.StickToEnd = true;
  }
};

std::unique_ptr<TScrivlet::KeptSelection> TScrivlet::KeepSelectionForPaste(TUpdateGuard& update) {
  if ((options_ & zkoNoOverwriteBlocks) == 0) return nullptr;
  std::unique_ptr<KeptSelection> kept;
  if (options_ & zkoPersistentBlocks) {
    kept = std::make_unique<KeptSelection>(*this);
    update.Open();
  }
  const std::string pending = pending_spaces_;
  SetSelStart(caret_->Offset());
  pending_spaces_ = pending;
  return kept;
}

bool TScrivlet::RestoreSelectionAfterPaste(std::unique_ptr<KeptSelection> kept) {
  if (!kept) return false;
  // The caret stays where the paste ended, as a navigator of its own.
  paste_caret_nav_->SetOffset(caret_->Offset());
  sel_start_nav_->SetOffset(kept->low.Offset());
  sel_end_nav_->SetOffset(kept->high.Offset());
  caret_ = paste_caret_nav_;
  sel_length_ = kept->high.Offset() - kept->low.Offset();
  block_mode_ = kept->block;
  block_start_col_ = kept->start_col;
  block_end_col_ = kept->end_col;
  return true;
}

void TScrivlet::PasteFromClipboard() {
  if (clipboard_ == nullptr) return;
  bool restored = false;
  {
    TUpdateGuard kept_update(*this, TUpdateGuard::Deferred{});
    std::unique_ptr<KeptSelection> kept = KeepSelectionForPaste(kept_update);
    const bool column = (options_ & zkoBlockSelection) && clipboard_->IsColumnBlock();
    std::optional<std::string> pasted;
    if (clipboard_->HasText()) pasted = clipboard_->TextToPaste();
    if (pasted) {
      UndoBreak = true;
      const std::string text = WithCrLfBreaks(*pasted);
      if (column)
        InsertColumnText(text);
      else
        SetSelText(text);
      UndoBreak = true;
    }
    restored = RestoreSelectionAfterPaste(std::move(kept));
  }
  if (restored) ScrollInView();
}

void TScrivlet::InsertColumnText(std::string_view text) {
  bool restored = false;
  {
    TUpdateGuard kept_update(*this, TUpdateGuard::Deferred{});
    std::unique_ptr<KeptSelection> kept = KeepSelectionForPaste(kept_update);
    {
      TUpdateGuard update(*this);
      int32_t first_para = caret_->GetParaIndex();
      int32_t column = ColumnOf(first_para, caret_->GetPosInPara()) +
                       static_cast<int32_t>(pending_spaces_.size());
      if (block_mode_) {
        // The block is replaced: the insertion starts at its top left corner.
        first_para = sel_start_nav_->GetParaIndex();
        column = std::min(block_start_col_, block_end_col_);
        ClearSelection();
      }
      const std::vector<std::string> lines = ColumnLines(text);
      for (size_t i = 0; i < lines.size(); ++i) {
        const int32_t par = first_para + static_cast<int32_t>(i);
        if (par >= Table.Count()) {
          SetSelStart(CharCount());
          InsertTextBuf("\r\n");
        }
        const int32_t pos = ColumnToPos(par, column);
        SetSelStart(Table.Items(par).StartOffset + pos);
        const int32_t missing = column - ColumnOf(par, pos);
        std::string line(static_cast<size_t>(std::max(0, missing)), ' ');
        line += lines[i];
        InsertTextBuf(line);
      }
    }
    restored = RestoreSelectionAfterPaste(std::move(kept));
  }
  if (restored) ScrollInView();
}

}  // namespace scrivlet
