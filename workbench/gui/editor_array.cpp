#include "workbench/gui/editor_array.h"

#include <QStackedWidget>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "editor_control/gui/scrivlet_widget.h"
#include "platform/text.h"
#include "workbench/zero_bytes.h"

namespace gui {

namespace {

bool HasExtension(const std::string& name, std::string_view ext) {
  const std::string e = std::filesystem::path(name).extension().string();
  return platform::SameText(e, ext);
}

// The run-time editor's properties, in the order the design-time editor had them set.
void SetUp(TScrivlet& widget, int index) {
  scrivlet::TScrivlet& e = widget.Memo();
  e.SetAlignment(scrivlet::TAlignment::taLeftJustify);
  e.SetApplyKeyWords(true);
  e.SetApplyStartStopKeys(true);
  widget.setEnabled(true);
  e.SetScrollBars(scrivlet::TScrollStyle::ssBoth);
  e.SetStaticFormat(true);
  e.SetTabStops(2);
  widget.setProperty("Tag", index);
  e.SetUndoMaxLevel(256);
  // Never less than the control's own: a smaller room drops the history of a large source
  // at its first big edit.
  e.SetUndoMaxSpace(scrivlet::TScrivlet::kDefaultUndoMaxSpace);
  e.NullReplacement = workbench::kZeroByteStandIn;
  e.WantTabs = true;
  e.SetWordWrap(false);
  e.HideSelection = false;
  e.ReadOnly = false;
  e.SetDisplayOnly(false);
}

}  // namespace

T_ZKEditorArray::T_ZKEditorArray(QStackedWidget& area) : area_(area) { AddEditor(); }

T_ZKEditorArray::~T_ZKEditorArray() {
  // The editors belong to the editor area and go with it.
  items_.clear();
}

int T_ZKEditorArray::AddEditor() {
  if (Count() == capacity_) capacity_ *= 2;
  auto* editor = new TScrivlet(&area_);
  area_.addWidget(editor);
  TEA entry;
  entry.Editor = editor;
  entry.FileName = kUntitled;
  items_.push_back(entry);
  SetUpEditor(Count() - 1);
  return Count() - 1;
}

void T_ZKEditorArray::SetUpEditor(int index) {
  if (TScrivlet* editor = GetEditor(index)) SetUp(*editor, index);
}

void T_ZKEditorArray::CloseEditor(int index) {
  TEA* entry = At(index);
  if (!entry) return;
  entry->FileType = 0;
  entry->Encoding = workbench::SourceEncoding::Windows1252;
  if (Count() == 1) {
    entry->Editor->Memo().ClearText();
    return;
  }
  // The keyword lists are copies the editor holds, so nothing shared goes with it.
  area_.removeWidget(entry->Editor);
  delete entry->Editor;
  items_.erase(items_.begin() + index);
  if (Count() * 2 == capacity_) capacity_ = Count();
  top_cache_ = -1;
}

TScrivlet* T_ZKEditorArray::GetEditor(int index) const {
  return InRange(index) ? items_[static_cast<std::size_t>(index)].Editor : nullptr;
}

std::string T_ZKEditorArray::GetFileName(int index) const {
  return InRange(index) ? items_[static_cast<std::size_t>(index)].FileName : std::string();
}

bool T_ZKEditorArray::GetWritable(int index) const {
  return InRange(index) ? items_[static_cast<std::size_t>(index)].Writable : true;
}

void T_ZKEditorArray::SetWritable(int index, bool writable) {
  if (TEA* entry = At(index)) entry->Writable = writable;
}

std::uint8_t T_ZKEditorArray::GetFileType(int index) const {
  return InRange(index) ? items_[static_cast<std::size_t>(index)].FileType : 0;
}

void T_ZKEditorArray::SetFileType(int index, std::uint8_t type) {
  if (TEA* entry = At(index)) entry->FileType = type;
}

int T_ZKEditorArray::IndexOfFile(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<std::size_t>(i)].Editor &&
        items_[static_cast<std::size_t>(i)].FileName == name)
      return i;
  }
  return -1;
}

int T_ZKEditorArray::IndexOfEditor(const TScrivlet* editor) const {
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<std::size_t>(i)].Editor == editor) return i;
  }
  return -1;
}

std::uint8_t T_ZKEditorArray::FileTypeOf(const std::string& file_name) {
  if (HasExtension(file_name, ".src")) return 1;
  if (HasExtension(file_name, ".qvb")) return 2;
  return 0;
}

bool T_ZKEditorArray::LoadFile(const std::string& file_name, int index) {
  TEA* entry = At(index);
  std::error_code error;
  if (!entry || !std::filesystem::is_regular_file(file_name, error)) return false;
  std::ifstream file(file_name, std::ios::binary);
  if (!file) return false;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) return false;
  const auto time = std::filesystem::last_write_time(file_name, error);
  scrivlet::TScrivlet& memo = entry->Editor->Memo();
  workbench::EditorSource source = workbench::SourceForEditor(bytes);
  std::istringstream in(std::move(source.text));
  memo.LoadFromStream(in);
  entry->ZeroBytes = workbench::CountZeroBytes(bytes);
  entry->Encoding = source.encoding;
  entry->ShownAsBytes = source.shown_as_bytes;
  memo.SetModified(false);
  entry->FileName = file_name;
  entry->FileTime = time;
  entry->HasFileTime = !error;
  memo.ClearUndo();
  if (const std::uint8_t type = FileTypeOf(file_name); type != 0) entry->FileType = type;
  return true;
}

bool T_ZKEditorArray::LoadTemplate(const std::string& file_name, int index) {
  if (!LoadFile(file_name, index)) return false;
  TEA& entry = *At(index);
  entry.FileName.clear();
  entry.HasFileTime = false;
  return true;
}

bool T_ZKEditorArray::SaveFile(const std::string& file_name, int index, std::string& reason) {
  TEA* entry = At(index);
  if (!entry) {
    reason = "no such editor";
    return false;
  }
  scrivlet::TScrivlet& memo = entry->Editor->Memo();
  std::ostringstream text;
  memo.SaveToStream(text);
  if (!workbench::ReplaceFileContents(
          file_name, workbench::SourceForFile(text.str(), entry->Encoding), reason, writer_))
    return false;
  std::error_code error;
  entry->FileTime = std::filesystem::last_write_time(file_name, error);
  entry->HasFileTime = !error;
  entry->FileName = file_name;
  memo.SetModified(false);
  if (entry->FileType == 0) entry->FileType = FileTypeOf(file_name);
  return true;
}

int T_ZKEditorArray::TopIndex() const {
  if (InRange(top_cache_) && items_[static_cast<std::size_t>(top_cache_)].IsTop) return top_cache_;
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<std::size_t>(i)].IsTop) return top_cache_ = i;
  }
  return -1;
}

void T_ZKEditorArray::SetTop(int index) {
  if (!InRange(index)) return;
  for (TEA& entry : items_) entry.IsTop = false;
  items_[static_cast<std::size_t>(index)].IsTop = true;
  top_cache_ = index;
}

void T_ZKEditorArray::ClearTop(int index) {
  if (TEA* entry = At(index)) entry->IsTop = false;
}

std::string T_ZKEditorArray::TopFileName() const { return GetFileName(TopIndex()); }

bool T_ZKEditorArray::NewerOnDisk(int index) {
  TEA* entry = At(index);
  if (!entry || !entry->HasFileTime) return false;
  std::error_code error;
  const auto time = std::filesystem::last_write_time(entry->FileName, error);
  if (error) {
    entry->HasFileTime = false;
    return false;
  }
  return time - entry->FileTime >= std::chrono::milliseconds(1);
}

bool T_ZKEditorArray::FileIsGone(int index) const {
  if (!InRange(index)) return false;
  const TEA& entry = Item(index);
  std::error_code error;
  return entry.HasFileTime && std::filesystem::status(entry.FileName, error).type() ==
                                  std::filesystem::file_type::not_found;
}

bool T_ZKEditorArray::GoneFromDisk(int index) {
  if (!FileIsGone(index)) return false;
  At(index)->HasFileTime = false;
  return true;
}

}  // namespace gui
