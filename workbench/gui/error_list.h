#pragma once
// TErrorList: the error list `ErrorLB` below the editors. It shows the BASIC compiler's and
// the assembler's error lines of the last build, jumps from a line to its file and line, and
// keeps the error mark of the editor it jumped into.

#include <QMetaObject>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "workbench/error_marking.h"

class QListWidget;
class QSplitter;

namespace scrivlet {
class TScrivlet;
}
namespace scrivlet::gui {
class TScrivlet;
}
namespace workbench {
class IdeSession;
}

namespace gui {

// What the error list needs of the main window's editors.
class ErrorListEditors {
 public:
  virtual ~ErrorListEditors() = default;
  virtual bool UsesEnhancedEditor() const = 0;
  // The full name of the file in front; empty or unnamed when it has none.
  virtual std::string CurrentFileName() const = 0;
  // The editor holding the file (names compared without regard to case); -1 when none.
  virtual int FindEditorByName(const std::string& name) const = 0;
  // Opens the file in an editor of its own and brings the run buttons up to date.
  virtual void OpenSourceFile(const std::string& name) = 0;
  virtual void SelectEditor(int index) = 0;
  // Null when there is no editor.
  virtual scrivlet::gui::TScrivlet* CurrentScrivlet() const = 0;
};

class TErrorList {
 public:
  TErrorList(QListWidget& list, QSplitter& splitter, workbench::IdeSession& session,
             ErrorListEditors& editors);
  ~TErrorList();
  TErrorList(const TErrorList&) = delete;
  TErrorList& operator=(const TErrorList&) = delete;

  // The BASIC compiler's lines, then the assembler's (read again from its ".err" file; a file
  // that cannot be read is told in the list). The list shows only with lines in it.
  void LoadErrorList();
  // The double click: the selected line's error, keeping the editor's Modified.
  void ErrorLBDblClick();
  // Goes to the file and line of the error in row (nothing for a row outside the list). A
  // line that names no file is an error of the file in front.
  void JumpToError(int row);

  // The mark lives in one editor at a time: a new mark takes the old one off first.
  void MarkErrorLine(int line);
  void MarkErrorRange(int line, int start, int stop);
  void ClearErrorMarking();
  void ClearErrorStyles();
  void ScrollToLine(int line);
  // A new editor: its caret moves may take a marked token's mark off, and a click on a mark
  // takes it off.
  void WatchEditor(scrivlet::gui::TScrivlet& editor);

  int WidestLine() const { return widest_; }
  const workbench::ErrorMarking& Marking() const { return marking_; }

 private:
  std::vector<std::string> Lines() const;
  // The file an error line names, as a full name: relative names are taken from the folder
  // of the source that was assembled (where the assembler read them), else the file in front.
  std::string FullErrorFileName(const std::string& file) const;

  QListWidget& list_;
  QSplitter& splitter_;
  workbench::IdeSession& session_;
  ErrorListEditors& editors_;
  workbench::ErrorMarking marking_;
  QPointer<scrivlet::gui::TScrivlet> marked_editor_;
  int widest_ = 0;
  QMetaObject::Connection double_click_;
  // The editors' caret listeners outlive nothing they point to: they check this first.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace gui
