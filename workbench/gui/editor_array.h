#pragma once
// T_ZKEditorArray: the source editors of the main window, one TScrivlet per open file, with
// what is known of each file. The array is never empty: closing the only editor empties it.
// The editors are children of the editor area and are shown one at a time there.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "services/replace_file.h"
#include "workbench/source_encoding.h"

class QStackedWidget;

namespace scrivlet::gui {
class TScrivlet;
}

namespace gui {

using scrivlet::gui::TScrivlet;

// One open file.
struct TEA {
  TScrivlet* Editor = nullptr;
  std::string FileName;  // the full path, or "Untitled.src" for a new editor
  bool Writable = true;
  // The file's last-write time when it was last loaded or saved; none for a new editor.
  std::filesystem::file_time_type FileTime{};
  bool HasFileTime = false;
  bool IsTop = false;
  std::uint8_t FileType = 0;  // 0 none, 1 assembly (".src"), 2 BASIC (".qvb")
  // Zero bytes the last load found: the editor shows and saves a stand-in for each.
  std::size_t ZeroBytes = 0;
  // The encoding the file came in, which a save writes again.
  workbench::SourceEncoding Encoding = workbench::SourceEncoding::Windows1252;
  // The last load found UTF-8 that the editor shows as its bytes.
  bool ShownAsBytes = false;
};

class T_ZKEditorArray {
 public:
  static constexpr const char* kUntitled = "Untitled.src";

  // Makes the first editor.
  explicit T_ZKEditorArray(QStackedWidget& area);
  ~T_ZKEditorArray();
  T_ZKEditorArray(const T_ZKEditorArray&) = delete;
  T_ZKEditorArray& operator=(const T_ZKEditorArray&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  int Capacity() const { return capacity_; }

  // The index of a new editor, set up and named "Untitled.src".
  int AddEditor();
  void SetUpEditor(int index);
  // Out of range: nothing. The only editor is emptied and stays.
  void CloseEditor(int index);

  // Out of range: null, "", true and 0.
  TScrivlet* GetEditor(int index) const;
  std::string GetFileName(int index) const;
  bool GetWritable(int index) const;
  void SetWritable(int index, bool writable);
  std::uint8_t GetFileType(int index) const;
  void SetFileType(int index, std::uint8_t type);
  // The entry of the file, names compared exactly; -1.
  int IndexOfFile(const std::string& name) const;
  int IndexOfEditor(const TScrivlet* editor) const;
  const TEA& Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

  // 1 for ".src", 2 for ".qvb" (without regard to case), else 0.
  static std::uint8_t FileTypeOf(const std::string& file_name);

  // False when the file does not exist or cannot be read.
  bool LoadFile(const std::string& file_name, int index);
  // Loads the text; the editor stays without a file.
  bool LoadTemplate(const std::string& file_name, int index);
  // Writes the whole text so that the old file stays whole when the write fails. On failure
  // the editor stays modified under its old name and reason says why.
  [[nodiscard]] bool SaveFile(const std::string& file_name, int index, std::string& reason);
  // Tests put a failing writer in place of the real one.
  void SetBytesWriter(workbench::FileBytesWriter writer) { writer_ = std::move(writer); }
  // What every file of the editors is written through: their saves and backups.
  const workbench::FileBytesWriter& BytesWriter() const { return writer_; }

  int TopIndex() const;
  void SetTop(int index);
  void ClearTop(int index);
  std::string TopFileName() const;

  // Whether the file was written by someone else since it was loaded or saved. A file gone
  // from disk forgets its time.
  bool NewerOnDisk(int index);
  // Whether the file the editor was loaded from or saved to has gone from disk since (another
  // program deleted, moved or renamed it). GoneFromDisk is true once: the file's time is
  // forgotten with it.
  bool FileIsGone(int index) const;
  bool GoneFromDisk(int index);

 private:
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  TEA* At(int index) { return InRange(index) ? &items_[static_cast<std::size_t>(index)] : nullptr; }

  QStackedWidget& area_;
  std::vector<TEA> items_;
  int capacity_ = 1;
  mutable int top_cache_ = -1;
  workbench::FileBytesWriter writer_ = workbench::WriteAllBytes;
};

}  // namespace gui
