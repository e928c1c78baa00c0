#pragma once
// TZK_CodeFRM, "Code - List File": the listing that tarn wrote for the source, read-only in a
// TScrivlet, with the break line and the line that runs next coloured while debugging. It is
// also the plain listing viewer of the Run menu. What a mark, a click or a tool button means
// is build_debug::ListWindow's; this window loads, colours, scrolls and forwards.

#include <QAction>
#include <QToolBar>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/debug/zk_code_unit.h"
#include "build_debug/tools/tarn_bridge.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "services/gui/form_placement.h"

namespace workbench {
class MessageStrings;
class RegistrySettings;
class WindowsMenuUnit;
}  // namespace workbench

namespace gui {

class TZK_CodeFRM : public QWidget, public build_debug::DebugView {
  Q_OBJECT

 public:
  static constexpr char kPlacement[] = "HQR_CodeWindow";
  // Delphi-ordered colours (blue in the high byte), as the text control takes them.
  static constexpr std::int32_t kWhite = 0xFFFFFF;
  static constexpr std::int32_t kRed = 0x0000FF;
  static constexpr std::int32_t kBlue = 0xFF0000;

  TZK_CodeFRM(build_debug::DebugProtocol& debug, const build_debug::TarnUnit& tarn,
              const workbench::MessageStrings& messages, workbench::RegistrySettings& settings,
              workbench::WindowsMenuUnit& windows_menu, QWidget* parent = nullptr);
  ~TZK_CodeFRM() override;

  // The source's ".lst" in the assembler's output folder into the window, without marks, and
  // the window shown; false when there is no such file.
  bool LoadListFile(const std::string& source);
  // The Run menu's viewer: the three view-mode buttons; no tool bar when the file is missing.
  bool ShowListFile(const std::string& source);
  // The client width that shows the loaded listing's lines whole, up to a page of 132
  // columns (the header line with the assembler's name, version and date among them).
  int WantedWidth() const;
  // The debugger's listing: the marks of the live state, the next-run line centred.
  void PrepareDebugView();
  // The session is over: where the window stood is kept, and it hides.
  void LeaveDebug();

  // DebugView.
  bool IsShowing() const override { return isVisible(); }
  void RedrawDebugState(bool first_refresh) override;
  void RedrawBreakpoint() override;

  void GoToCode();
  void GoToReset();
  void GoToBreakpoint();
  void GoToNextRun();
  void JumpToMain();

  void SetToolbarMode(build_debug::ListToolbarMode mode);
  build_debug::ListToolbarMode ToolbarMode() const { return mode_; }
  // The tool bar `CodeEditorTB`, in two rows.
  QWidget& ToolBar() const { return *toolbar_; }
  QAction& Button(const char* name) const;
  scrivlet::gui::TScrivlet& Scrivlet() const { return *code_; }
  build_debug::ListWindow& List() { return list_; }
  // The lines coloured now (listing lines from 0).
  const std::set<int>& MarkedLines() const { return marked_; }
  // Where a listing line is on the screen, in the text control's viewport (for clicks).

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Mark();
  void Unmark(int line);
  void Colour(int line, int from_column, std::int32_t background);
  // The line in the middle of the window; a jump puts the caret at its start, nothing
  // selected.
  void Centre(int line, bool jump);
  // The line scrolled up until at least three lines stand below it.
  void KeepInView(int line);
  int LineAt(const QPoint& point) const;
  void UpdateButtons();

  build_debug::DebugProtocol& debug_;
  build_debug::ListWindow list_;
  workbench::RegistrySettings& settings_;
  workbench::WindowsMenuUnit& windows_menu_;
  WidgetPlacement placement_{*this};
  QWidget* toolbar_;
  scrivlet::gui::TScrivlet* code_;
  build_debug::ListToolbarMode mode_ = build_debug::kToolbarAll;
  std::vector<std::string> listing_;
  std::set<int> marked_;
  // The last press was exactly Alt and the left button; a double click's own release is no
  // second click.
  bool alt_left_ = false;
  bool double_click_ = false;
};

}  // namespace gui
