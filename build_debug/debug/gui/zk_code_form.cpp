#include "build_debug/debug/gui/zk_code_form.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "build_debug/debug/gui/debug_trace.h"
#include "code_page/windows_1252.h"
#include "editor_control/style_run.h"
#include "resources/code_widget_names.h"
#include "services/registry_settings.h"
#include "services/windows_menu.h"

namespace zk_code_frm = widget_names::ZK_CodeFRM;

namespace gui {

namespace {

using build_debug::ListToolbarMode;

struct ToolButton {
  const char* name;
  const char* caption;
  void (TZK_CodeFRM::*click)();
  bool view_mode;  // shown in the viewer's mode too
};

const ToolButton kToolButtons[] = {
    {zk_code_frm::GoToCodeTLBTN, "Go to Code", &TZK_CodeFRM::GoToCode, true},
    {zk_code_frm::GoToResetTLBTN, "Go to Reset", &TZK_CodeFRM::GoToReset, true},
    {zk_code_frm::GoToBreakpointTLBTN, "Go To Breakpoint", &TZK_CodeFRM::GoToBreakpoint, false},
    {zk_code_frm::GoToNextRunTLBTN, "Go To Next Run Line", &TZK_CodeFRM::GoToNextRun, false},
    {zk_code_frm::GoToMainTLBTN, "Jump to \"Main\"", &TZK_CodeFRM::JumpToMain, true},
};

// A mark at the bottom of the window is read with at least this many lines below it.
constexpr int kLinesBelowMark = 3;

std::vector<std::string> ReadListing(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

TZK_CodeFRM::TZK_CodeFRM(build_debug::DebugProtocol& debug, const build_debug::TarnUnit& tarn,
                         const workbench::MessageStrings& messages,
                         workbench::RegistrySettings& settings,
                         workbench::WindowsMenuUnit& windows_menu, QWidget* parent)
    : QWidget(parent, Qt::Window),
      debug_(debug),
      list_(debug, tarn, messages),
      settings_(settings),
      windows_menu_(windows_menu),
      toolbar_(new QWidget(this)),
      code_(new scrivlet::gui::TScrivlet(this)) {
  setObjectName(zk_code_frm::ZK_CodeFRM);
  setWindowTitle("Code - List File");
  toolbar_->setObjectName(zk_code_frm::CodeEditorTB);
  // Two rows: the window is only as wide as the register window above it, and the buttons of
  // a session (the second row) go in the viewer's mode as a whole.
  auto* rows = new QVBoxLayout(toolbar_);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->setSpacing(0);
  for (bool view_row : {true, false}) {
    auto* row = new QToolBar(toolbar_);
    row->setObjectName(view_row ? zk_code_frm::ViewRowTB : zk_code_frm::SessionRowTB);
    rows->addWidget(row);
    for (const ToolButton& button : kToolButtons) {
      if (button.view_mode != view_row) continue;
      QAction* action = row->addAction(button.caption);
      action->setObjectName(button.name);
      const auto click = button.click;
      connect(action, &QAction::triggered, this, [this, click] { (this->*click)(); });
    }
  }
  code_->setObjectName(zk_code_frm::CodeSCRVL);
  scrivlet::TScrivlet& memo = code_->Memo();
  memo.SetApplyKeyWords(false);
  memo.SetApplyStartStopKeys(false);
  memo.SetWordWrap(false);
  memo.SetScrollBars(scrivlet::TScrollStyle::ssBoth);
  memo.SetUndoMaxLevel(0);  // the marks rewrite lines; nothing here is ever undone
  memo.ReadOnly = true;
  memo.HideSelection = false;
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  code_->SetFonts(fixed, fixed);
  code_->viewport()->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolbar_);
  layout->addWidget(code_, 1);
  resize(560, 420);
  std::ignore = RestoreFormPlacement(settings_, kPlacement, *this);
  UpdateButtons();
  debug_.AddView(*this);
}

TZK_CodeFRM::~TZK_CodeFRM() { debug_.RemoveView(*this); }

QAction& TZK_CodeFRM::Button(const char* name) const {
  return *toolbar_->findChild<QAction*>(name);
}

bool TZK_CodeFRM::LoadListFile(const std::string& source) {
  const std::string file = list_.ListFileName(source);
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  listing_ = ReadListing(file);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The listing holds the source's lines in the source's encoding: a UTF-8 source's comments
  // are shown as their characters where the control's Windows-1252 has them.
  std::istringstream text(code_page::Windows1252FromUtf8(bytes).value_or(bytes));
  scrivlet::TScrivlet& memo = code_->Memo();
  memo.LoadFromStream(text);
  memo.SetModified(false);
  marked_.clear();
  list_.ListingLoaded();
  UpdateButtons();
  show();
  raise();
  return true;
}

int TZK_CodeFRM::WantedWidth() const {
  constexpr int kPageColumns = 132;
  const scrivlet::TScrivlet& memo = code_->Memo();
  std::size_t columns = 0;
  for (int i = 0; i < memo.ParagraphCount() && columns < kPageColumns; ++i)
    columns = std::max(columns, memo.GetParagraphText(i).size());
  const int text = static_cast<int>(std::min<std::size_t>(columns, kPageColumns)) *
                   QFontMetrics(code_->Font()).horizontalAdvance(QLatin1Char('0'));
  // The text's margins, the vertical scroll bar and the control's frame beside the text.
  const int scroll_bar = code_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  return text + memo.GetLeftMargin() + memo.GetRightMargin() + scroll_bar +
         2 * code_->frameWidth() + 8;
}

bool TZK_CodeFRM::ShowListFile(const std::string& source) {
  list_.SetHoldsDebugListing(false);
  SetToolbarMode(build_debug::kToolbarView);
  if (LoadListFile(source)) return true;
  SetToolbarMode(build_debug::kToolbarHidden);
  return false;
}

void TZK_CodeFRM::SetToolbarMode(ListToolbarMode mode) {
  mode_ = mode;
  toolbar_->setVisible(mode != build_debug::kToolbarHidden);
  for (const ToolButton& button : kToolButtons)
    Button(button.name).setVisible(mode == build_debug::kToolbarAll || button.view_mode);
  toolbar_->findChild<QToolBar*>(zk_code_frm::SessionRowTB)
      ->setVisible(mode == build_debug::kToolbarAll);
}

void TZK_CodeFRM::UpdateButtons() {
  Button(zk_code_frm::GoToBreakpointTLBTN).setEnabled(list_.BreakLine() >= 0);
  Button(zk_code_frm::GoToNextRunTLBTN).setEnabled(list_.NextRunLine() >= 0);
}

void TZK_CodeFRM::PrepareDebugView() {
  list_.SetHoldsDebugListing(true);
  SetToolbarMode(build_debug::kToolbarAll);
  list_.UpdateMarks();
  Mark();
  if (list_.NextRunLine() >= 0) Centre(list_.NextRunLine(), false);
}

void TZK_CodeFRM::LeaveDebug() {
  std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
  hide();
}

void TZK_CodeFRM::RedrawDebugState(bool) {
  if (!list_.HoldsDebugListing()) return;
  list_.UpdateMarks();
  Mark();
  if (list_.NextRunLine() >= 0) KeepInView(list_.NextRunLine());
}

void TZK_CodeFRM::RedrawBreakpoint() {
  if (!list_.HoldsDebugListing()) return;
  list_.UpdateMarks();
  Mark();
}

void TZK_CodeFRM::Unmark(int line) {
  scrivlet::TScrivlet& memo = code_->Memo();
  if (line < 0 || line >= memo.ParagraphCount()) return;
  const std::int32_t start = memo.ParagraphStart(line);
  const auto length = static_cast<std::int32_t>(memo.GetParagraphText(line).size());
  memo.ApplyStyleRange(start, start + length, 0, false, 0, 0, scrivlet::kNoColor,
                       scrivlet::kNoColor, true);
}

void TZK_CodeFRM::Colour(int line, int from_column, std::int32_t background) {
  scrivlet::TScrivlet& memo = code_->Memo();
  if (line < 0 || line >= memo.ParagraphCount()) return;
  const std::int32_t start = memo.ParagraphStart(line);
  const auto length = static_cast<std::int32_t>(memo.GetParagraphText(line).size());
  if (from_column >= length) return;
  memo.ApplyStyleRange(start + from_column, start + length, 0, true, 0, 0, background, kWhite,
                       true);
  marked_.insert(line);
}

void TZK_CodeFRM::Mark() {
  for (int line : std::set<int>(marked_)) Unmark(line);
  marked_.clear();
  const int break_line = list_.BreakLine();
  const int run_line = list_.NextRunLine();
  Colour(break_line, 0, kRed);
  // On a shared line the break colour stays readable at the line's start.
  Colour(run_line, run_line == break_line ? build_debug::kSharedMarkColumn : 0, kBlue);
  UpdateButtons();
  code_->viewport()->update();
}

void TZK_CodeFRM::Centre(int line, bool jump) {
  scrivlet::TScrivlet& memo = code_->Memo();
  if (line < 0 || line >= memo.ParagraphCount()) return;
  // A jump leaves the caret at the line's start with nothing selected, as every jump that is
  // no search does; following the PC only scrolls.
  if (jump) memo.SetSelPar(line);
  const int page = std::max(1, memo.VisibleLines() - 1);
  memo.SetTopLine(std::max(0, line - page / 2));
  code_->viewport()->update();
}

void TZK_CodeFRM::KeepInView(int line) {
  scrivlet::TScrivlet& memo = code_->Memo();
  const int page = std::max(1, memo.VisibleLines() - 1);
  const int top = memo.GetTopLine();
  if (line < top) {
    memo.SetTopLine(line);
  } else if (line > top + page - kLinesBelowMark) {
    memo.SetTopLine(std::max(0, line - page + kLinesBelowMark));
  }
  code_->viewport()->update();
}

void TZK_CodeFRM::GoToCode() {
  if (auto line = list_.CodeLine()) Centre(*line, true);
}

void TZK_CodeFRM::GoToReset() {
  auto line = list_.ResetLine(listing_);
  if (!line) return;
  Centre(*line, true);
  if (list_.HoldsDebugListing()) {
    // The chip starts there after a reset: that is the line that runs next.
    Colour(*line, 0, kBlue);
    code_->viewport()->update();
  }
}

void TZK_CodeFRM::GoToBreakpoint() {
  if (list_.BreakLine() >= 0) Centre(list_.BreakLine(), true);
}

void TZK_CodeFRM::GoToNextRun() {
  if (list_.NextRunLine() >= 0) Centre(list_.NextRunLine(), true);
}

void TZK_CodeFRM::JumpToMain() {
  if (auto line = list_.MainLine(listing_)) Centre(*line, true);
}

int TZK_CodeFRM::LineAt(const QPoint& point) const {
  scrivlet::TScrivNavigator at(code_->Memo());
  at.SetFromPoint(point.x(), point.y());
  return at.GetParaIndex();
}

bool TZK_CodeFRM::eventFilter(QObject* watched, QEvent* event) {
  if (watched != code_->viewport()) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      alt_left_ = mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton &&
                  mouse->modifiers() == Qt::AltModifier;
      double_click_ = false;
      break;
    }
    case QEvent::MouseButtonDblClick: {
      double_click_ = true;
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && list_.HoldsDebugListing()) {
        list_.DoubleClick(LineAt(mouse->position().toPoint()));
        Mark();
      }
      break;
    }
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && !double_click_ && list_.HoldsDebugListing()) {
        list_.Click(LineAt(mouse->position().toPoint()), alt_left_);
        Mark();
      }
      double_click_ = false;
      break;
    }
    default: break;
  }
  return false;  // the text control still moves its caret and selects
}

void TZK_CodeFRM::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  qCDebug(qvDebugOutput) << "ZK_Code Window - Show";
}

void TZK_CodeFRM::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) return;
  SetToolbarMode(build_debug::kToolbarAll);
  list_.SetHoldsDebugListing(false);
  windows_menu_.WindowsMenuRemove(workbench::kListWindowItem, 0);
}

void TZK_CodeFRM::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    qCDebug(qvDebugOutput) << "ZK_Code Window - Active";
}

}  // namespace gui
