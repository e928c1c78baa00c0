// The main window's switch between the enhanced editors and the legacy editor. The option is
// read by the configuration dialog when it is created at start-up and changed by its OK; both
// times the dialog asks the main window to apply it.

#include <QAction>
#include <QKeySequence>
#include <QListWidget>
#include <QStackedWidget>
#include <QToolBar>
#include <tuple>

#include "workbench/gui/editor_form.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/session/session.h"

namespace gui {

void TEditorFRM::ApplyEditorMode() {
  const workbench::GlobalValues& globals = session_.Globals();
  const bool enhanced = globals.EditorOptions.UseNewEditor;
  QWidget& legacy = legacy_editor_->Widget();
  QToolBar* tools = findChild<QToolBar*>("ToolBar");

  if (enhanced) {
    if (editor_area_->currentWidget() == &legacy && enhanced_editor_)
      editor_area_->setCurrentWidget(enhanced_editor_);
    if (!(globals.DebugFlags & workbench::kDebugHideFileList)) file_list_->show();
    if (tools) tools->show();
  } else {
    if (editor_area_->currentWidget() != &legacy) enhanced_editor_ = editor_area_->currentWidget();
    editor_area_->setCurrentWidget(&legacy);
    file_list_->hide();
    error_list_->hide();
    if (tools) tools->hide();
    // The error list belongs to the enhanced editors; what the last build listed is dropped.
    // A ".err" file that stays is replaced by the next build.
    std::ignore = session_.Tarn().ClearTarnErrors();
  }

  for (const char* item : {"EditUndoMenuMENUITM", "EditRedoMenuMENUITM", "EditGoToLineMENUITM",
                           "RunViewDebugCodeMENUITM"})
    MenuItem(item)->setVisible(enhanced);
  MenuItem("EditClearErrorsMENUITM")->setVisible(enhanced || globals.IdeOptions.UseTarn);
  for (const char* item : {"FileListToggleMENUITM", "EditTextBiggerMENUITM",
                           "EditTextSmallerMENUITM"})
    MenuItem(item)->setVisible(!enhanced);
  // One of the two list commands holds Ctrl+L at a time.
  const QKeySequence list_key("Ctrl+L");
  MenuItem("FileListToggleMENUITM")->setShortcut(enhanced ? QKeySequence() : list_key);
  MenuItem("RunViewDebugCodeMENUITM")->setShortcut(enhanced ? list_key : QKeySequence());

  // The legacy editor takes the keys while it is shown.
  if (!enhanced) legacy.setFocus();
}

}  // namespace gui
