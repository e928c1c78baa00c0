#include "workbench/gui/error_list.h"

#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <filesystem>

#include "editor_control/gui/scrivlet_widget.h"
#include "resources/string_ids.h"
#include "services/gui/text.h"
#include "workbench/session/session.h"

namespace gui {
namespace fs = std::filesystem;
namespace {

// The item data role that holds a row's line as its bytes.
constexpr int kLineBytes = Qt::UserRole;

}  // namespace

TErrorList::TErrorList(QListWidget& list, QSplitter& splitter, workbench::IdeSession& session,
                       ErrorListEditors& editors)
    : list_(list),
      splitter_(splitter),
      session_(session),
      editors_(editors),
      marking_(session.Globals().EditorOptions) {
  // A taller window gives its height to the editor, not to the list.
  if (const int at = splitter_.indexOf(&list_); at >= 0) {
    for (int i = 0; i < splitter_.count(); ++i) splitter_.setStretchFactor(i, i == at ? 0 : 1);
  }
  double_click_ = QObject::connect(&list_, &QListWidget::itemDoubleClicked, &list_,
                                   [this](QListWidgetItem*) { ErrorLBDblClick(); });
}

TErrorList::~TErrorList() { QObject::disconnect(double_click_); }

void TErrorList::LoadErrorList() {
  list_.clear();
  widest_ = 0;
  build_debug::TarnUnit& tarn = session_.Tarn();
  // The assembler's lines are read from its ".err" file of the last run, as it left it.
  std::vector<std::string> unread_lines;
  if (!tarn.OutputBase().empty() && !tarn.LoadTarnErrors())
    unread_lines.push_back(tarn.OutputBase() + ".err: the assembler's error file cannot be read");
  const std::vector<std::string>& unread = unread_lines;
  const QFontMetrics metrics = list_.fontMetrics();
  for (const std::vector<std::string>* lines :
       {&session_.QvBasic().LoadQvBasicErrors(), &tarn.Errors(), &unread}) {
    for (const std::string& line : *lines) {
      const QString text = ToQt(line);
      auto* item = new QListWidgetItem(text, &list_);
      // The names in a line are the file system's bytes, which the shown text need not give
      // back: the row keeps the line as the tool wrote it.
      item->setData(kLineBytes, QByteArray(line.data(), static_cast<qsizetype>(line.size())));
      widest_ = std::max(widest_, metrics.horizontalAdvance(text));
    }
  }
  if (list_.count() == 0) {
    list_.hide();
    splitter_.setHandleWidth(0);
    return;
  }
  if (list_.isHidden()) {
    // The list comes up below the editor with room for a few lines; the editor keeps the rest.
    const int rows = std::min(list_.count(), 6);
    const int height = rows * list_.sizeHintForRow(0) + 2 * list_.frameWidth() +
                       list_.horizontalScrollBar()->sizeHint().height();
    const int total = splitter_.height();
    if (total > 2 * height) splitter_.setSizes({total - height, height});
  }
  list_.show();
  splitter_.setHandleWidth(3);
  // A long path pushes the message out of sight: one page to the right brings it in.
  if (widest_ > list_.viewport()->width())
    list_.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
}

void TErrorList::ErrorLBDblClick() {
  if (!editors_.UsesEnhancedEditor() || !session_.Globals().IdeOptions.UseTarn) {
    session_.Messages().MsgBoxById(string_ids::EditorUnit::SCU_JUMP_OLD_EDITOR,
                                   string_ids::EditorUnit::SCU_JUMP_OLD_EDITOR_CAPTION);
    return;
  }
  // Jumping opens files and styles lines; neither is an edit of the file in front.
  scrivlet::gui::TScrivlet* before = editors_.CurrentScrivlet();
  const bool modified = before != nullptr && before->Memo().Modified();
  JumpToError(list_.currentRow());
  if (before != nullptr && before == editors_.CurrentScrivlet())
    before->Memo().SetModified(modified);
}

std::vector<std::string> TErrorList::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(list_.count()));
  for (int i = 0; i < list_.count(); ++i) {
    const QVariant bytes = list_.item(i)->data(kLineBytes);
    lines.push_back(bytes.isValid() ? bytes.toByteArray().toStdString()
                                    : FromQt(list_.item(i)->text()));
  }
  return lines;
}

std::string TErrorList::FullErrorFileName(const std::string& file) const {
  fs::path path(file);
  if (path.is_absolute()) return path.lexically_normal().string();
  // The assembler takes an INCLUDE name from the folder of the source it assembles; that is
  // not the folder of the file in front once an include file has been jumped into.
  std::string base = session_.Tarn().LastAssembledSource();
  if (base.empty()) base = editors_.CurrentFileName();
  const fs::path folder = fs::path(base).parent_path();
  if (!folder.empty()) path = folder / path;
  std::error_code ec;
  const fs::path full = fs::absolute(path, ec);
  return (ec ? path : full).lexically_normal().string();
}

void TErrorList::JumpToError(int row) {
  if (row < 0 || row >= list_.count()) return;
  const std::vector<std::string> lines = Lines();
  build_debug::AssembleCompileUnit& parser = session_.AssembleCompile();
  const std::string file = parser.ErrorLineFile(row, lines);
  // A line that names no file (a message about the whole run) belongs to the file in front;
  // opening an empty name would only report a file that cannot be found.
  if (!file.empty()) {
    const std::string name = FullErrorFileName(file);
    int index = editors_.FindEditorByName(name);
    if (index < 0) {
      editors_.OpenSourceFile(name);
      index = editors_.FindEditorByName(name);
    }
    if (index < 0) return;
    editors_.SelectEditor(index);
  }
  const int line = parser.ErrorLineNumber(row, lines);
  if (line != -1) MarkErrorLine(line);
}

void TErrorList::MarkErrorLine(int line) {
  ClearErrorMarking();
  scrivlet::gui::TScrivlet* editor = editors_.CurrentScrivlet();
  if (editor == nullptr) return;
  marking_.MarkErrorLine(editor->Memo(), line);
  marked_editor_ = editor;
}

void TErrorList::MarkErrorRange(int line, int start, int stop) {
  if (!editors_.UsesEnhancedEditor()) return;
  ClearErrorMarking();
  scrivlet::gui::TScrivlet* editor = editors_.CurrentScrivlet();
  if (editor == nullptr) return;
  marking_.MarkErrorRange(editor->Memo(), line, start, stop);
  marked_editor_ = editor;
}

void TErrorList::ClearErrorMarking() {
  if (marked_editor_)
    marking_.ClearErrorMarking(marked_editor_->Memo());
  else
    marking_.Forget();
  marked_editor_.clear();
}

void TErrorList::ClearErrorStyles() {
  ClearErrorMarking();
  if (scrivlet::gui::TScrivlet* editor = editors_.CurrentScrivlet())
    marking_.ClearErrorStyles(editor->Memo());
}

void TErrorList::ScrollToLine(int line) {
  if (scrivlet::gui::TScrivlet* editor = editors_.CurrentScrivlet())
    workbench::ScrollToLine(editor->Memo(), line);
}

void TErrorList::WatchEditor(scrivlet::gui::TScrivlet& editor) {
  scrivlet::gui::TScrivlet* watched = &editor;
  std::weak_ptr<int> alive = alive_;
  // A click on a marked run: the mark has done its work and goes.
  editor.Memo().OnContext = [this, watched, alive](scrivlet::TScrivlet& memo, std::int32_t context,
                                                   std::int32_t start, std::int32_t) {
    if (context != workbench::kErrorMarkContext || alive.expired()) return;
    if (marked_editor_ == watched) {
      ClearErrorMarking();
    } else {
      const bool modified = memo.Modified();
      workbench::RehighlightParagraph(memo, memo.Table.ParagraphAt(start));
      memo.SetModified(modified);
    }
  };
  editor.Memo().ChangeListeners.push_back(
      [this, watched, alive](scrivlet::TScrivlet& memo, int code) {
        if (code != scrivlet::kCaretMoved || alive.expired() || marked_editor_ != watched) return;
        marking_.CaretMoved(memo);
        if (marking_.Line() < 0) marked_editor_.clear();
      });
}

}  // namespace gui
