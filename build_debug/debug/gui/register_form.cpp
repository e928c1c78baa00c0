#include "build_debug/debug/gui/register_form.h"

#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <array>

#include "build_debug/debug/gui/debug_trace.h"
#include "resources/code_widget_names.h"
#include "services/gui/form_placement.h"
#include "services/registry_settings.h"

namespace register_form = widget_names::RegisterForm;

namespace gui {

using namespace build_debug;

namespace {

// Character-cell places of the areas. Clicks are found through the same cells, so drawing and
// hit testing cannot disagree.
constexpr int kGlobalValueColumn = 7;
constexpr int kRowLabelColumn = 11;
constexpr int kBankColumn = 13;
constexpr int kBankStride = 3;
constexpr int kFlagRow = 18;
constexpr int kPanelRow = 20;
constexpr int kPanelWidth = 48;
constexpr int kRows = kPanelRow + kPanelLines + 1;
constexpr int kCursorBlinkMs = 500;

struct CellColours {
  QColor text;
  QColor back;
};
// By style number: changed (1) red, outside the FSR bank (2) on grey, FSR's target (4) framed,
// the editor's cursor (8) inverted.
const std::array<CellColours, 8> kStyles = {{
    {Qt::black, Qt::white},
    {Qt::red, Qt::white},
    {QColor(0x60, 0x60, 0x60), QColor(0xE0, 0xE0, 0xE0)},
    {Qt::red, QColor(0xE0, 0xE0, 0xE0)},
    {Qt::black, QColor(0xE8, 0xF0, 0xFF)},
    {Qt::red, QColor(0xE8, 0xF0, 0xFF)},
    {QColor(0x60, 0x60, 0x60), QColor(0xE8, 0xF0, 0xFF)},
    {Qt::red, QColor(0xE8, 0xF0, 0xFF)},
}};
const CellColours kBreakLine{Qt::white, Qt::red};
const CellColours kRunLine{Qt::white, Qt::blue};

}  // namespace

TRegisterForm::TRegisterForm(DebugProtocol& debug, const ObjectImage& image,
                             workbench::RegistrySettings& settings, int device_code, int banks,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      debug_(debug),
      image_(image),
      settings_(settings),
      control_(debug),
      layout_(control_.Layout(device_code, banks)),
      panel_bar_(new QScrollBar(Qt::Vertical, this)) {
  setObjectName(register_form::RegisterForm);
  setWindowTitle("Registers");
  setFocusPolicy(Qt::StrongFocus);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  cell_w_ = fontMetrics().horizontalAdvance('0');
  cell_h_ = fontMetrics().height() + 2;
  panel_bar_->setPageStep(kPanelPage);
  connect(panel_bar_, &QScrollBar::valueChanged, this, [this](int value) {
    debug_.Live().PanelPosition = value;
    update();
  });
  FitToLayout();
  cursor_timer_.setInterval(kCursorBlinkMs);
  connect(&cursor_timer_, &QTimer::timeout, this, [this] {
    cursor_on_ = !cursor_on_;
    update();
  });
  hint_timer_.setSingleShot(true);
  hint_timer_.setInterval(kHintMilliseconds);
  connect(&hint_timer_, &QTimer::timeout, this, [this] { update(); });
  std::ignore = RestoreFormPlacement(settings_, kPlacement, *this);
  before_ = debug_.Live();
  debug_.AddView(*this);
}

TRegisterForm::~TRegisterForm() {
  debug_.RemoveView(*this);
  // A failed save loses only where the window stood.
  std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
}

void TRegisterForm::SetDevice(int device_code, int banks) {
  layout_ = control_.Layout(device_code, banks);
  FitToLayout();
  update();
}

void TRegisterForm::FitToLayout() {
  const int bits_column = kBankColumn + kBankStride * layout_.BankColumns() + 2;
  const int columns = std::max(bits_column + 7 + 16, kPanelWidth + 3);
  const QRect bar = Cell(kPanelWidth + 1, kPanelRow, 2);
  panel_bar_->setGeometry(bar.x(), bar.y(), bar.width(), cell_h_ * kPanelLines);
  panel_bar_->setRange(0, std::max(0, debug_.MemoryWords() - kPanelLines));
  // The window is as large as what it draws: a chip with fewer banks gives a narrower one. On
  // a screen smaller than that (a large scale factor) it may be cut to the screen rather than
  // stand partly off it.
  const QSize drawn(columns * cell_w_ + 8, kRows * cell_h_ + 8);
  QSize least = drawn;
  if (const QScreen* on = screen()) {
    const QMargins frame = WindowFrame(*this);
    least = least.boundedTo(on->availableGeometry().size().shrunkBy(frame));
  }
  setMinimumSize(least);
  resize(drawn);
}

QRect TRegisterForm::Cell(int column, int row, int width) const {
  return QRect(4 + column * cell_w_, 4 + row * cell_h_, width * cell_w_, cell_h_);
}

QRect TRegisterForm::ValueRect(int slot) const {
  if (slot == kSlotM) return Cell(2, kFlagRow, 2);
  if (slot == kSlotW) return Cell(kGlobalValueColumn, kFlagRow, 2);
  if (slot < 16) return Cell(kGlobalValueColumn, 1 + slot, 2);
  for (int column = 0; column < layout_.BankColumns(); ++column)
    if ((layout_.BankRegister(column, 0) >> 4) == (slot >> 4))
      return Cell(kBankColumn + kBankStride * column, 1 + (slot & 0x0F), 2);
  return {};
}

QRect TRegisterForm::BitRect(int slot, int bit) const {
  const auto& rows = BitRowSlots();
  const auto at = std::find(rows.begin(), rows.end(), slot);
  if (at == rows.end()) return {};
  const int row = 1 + static_cast<int>(at - rows.begin());
  const int column = kBankColumn + kBankStride * layout_.BankColumns() + 2 + 7 + 2 * (7 - bit);
  return Cell(column, row, 1);
}

QRect TRegisterForm::FlagRect(bool pd) const { return Cell(pd ? 24 : 19, kFlagRow, 1); }

QRect TRegisterForm::PanelLineRect(int line) const {
  return Cell(0, kPanelRow + line, kPanelWidth);
}

void TRegisterForm::DrawCell(QPainter& painter, const QRect& rect, const QString& text,
                             int style) const {
  CellColours paint = kStyles[static_cast<std::size_t>(style & 7)];
  if (style & kStyleCursor) std::swap(paint.text, paint.back);
  painter.fillRect(rect, paint.back);
  painter.setPen(paint.text);
  painter.drawText(rect, Qt::AlignCenter, text);
  if (style & kStyleFsrTarget) {
    painter.setPen(Qt::blue);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

// The value being typed, with the digit the next key replaces marked: a bar under it that
// stays, and the digit inverted while the cursor blinks on.
void TRegisterForm::DrawEditedCell(QPainter& painter, const QRect& rect, const QString& text,
                                   int style, int digit) const {
  DrawCell(painter, rect, text, style);
  const int width = rect.width() / 2;
  const QRect cell(rect.x() + digit * width, rect.y(), width, rect.height());
  if (cursor_on_)
    DrawCell(painter, cell, text.mid(digit, 1), (style & ~kStyleFsrTarget) | kStyleCursor);
  painter.fillRect(QRect(cell.left(), cell.bottom() - 1, cell.width(), 2), Qt::black);
  if (style & kStyleFsrTarget) {
    painter.setPen(Qt::blue);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
  }
}

void TRegisterForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const DebugState& live = debug_.Live();
  const DebugState& before = before_;
  const auto& editing = control_.Editing();
  auto label = [&](int column, int row, int width, const QString& text) {
    painter.setPen(palette().windowText().color());
    painter.drawText(Cell(column, row, width), Qt::AlignLeft | Qt::AlignVCenter, text);
  };
  auto value = [&](int slot) {
    const int style = ValueStyle(layout_, live, before, slot);
    if (editing.active && editing.slot == slot)
      DrawEditedCell(painter, ValueRect(slot), QString::fromStdString(HexByte(editing.value)),
                     style, editing.nibbles);
    else
      DrawCell(painter, ValueRect(slot), QString::fromStdString(HexByte(live.Slot(slot))), style);
  };

  label(0, 0, 6, "Global");
  for (int reg = 0; reg < 16; ++reg) {
    label(0, 1 + reg, 6, QString::fromStdString(layout_.GlobalName(reg, live.RTW != 0)));
    value(reg);
  }
  const auto headers = layout_.BankHeaders();
  for (int row = 0; row < 16; ++row)
    label(kRowLabelColumn, 1 + row, 1, QString::number(row, 16).toUpper());
  for (int column = 0; column < layout_.BankColumns(); ++column) {
    label(kBankColumn + kBankStride * column, 0, 2,
          QString::fromStdString(headers[static_cast<std::size_t>(column)]));
    for (int row = 0; row < 16; ++row) value(layout_.BankRegister(column, row));
  }

  label(0, kFlagRow, 1, "M");
  value(kSlotM);
  label(5, kFlagRow, 1, "W");
  value(kSlotW);
  label(kRowLabelColumn, kFlagRow, 4,
        QString::fromStdString(layout_.FsrBankHeader(live.Registers[kRegFsr])));
  label(16, kFlagRow, 2, "TO");
  DrawCell(painter, FlagRect(false), QString::number(live.TO),
           live.TO != before.TO ? kStyleChanged : 0);
  label(21, kFlagRow, 2, "PD");
  DrawCell(painter, FlagRect(true), QString::number(live.PD),
           live.PD != before.PD ? kStyleChanged : 0);
  label(27, kFlagRow, 4, "SKIP");
  if (hint_timer_.isActive()) label(32, kFlagRow, 40, kMReadOnlyHint);

  const int bits_column = kBankColumn + kBankStride * layout_.BankColumns() + 2;
  label(bits_column + 7, 0, 16, "7 6 5 4 3 2 1 0");
  const auto& rows = BitRowSlots();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int slot = rows[i];
    label(bits_column, 1 + static_cast<int>(i), 6,
          slot == kSlotW
              ? "W"
              : QString::fromStdString(layout_.GlobalName(slot, live.RTW != 0)).trimmed());
    const auto row = BitRow(live, before, slot);
    for (int bit = 7; bit >= 0; --bit) {
      const BitCell& cell = row[static_cast<std::size_t>(7 - bit)];
      DrawCell(painter, BitRect(slot, bit), cell.set ? "1" : "0", cell.changed ? kStyleChanged : 0);
    }
  }

  for (const PanelLine& line : ProgramPanel(image_, live, debug_.MemoryWords())) {
    const QRect rect =
        PanelLineRect(line.address - ClampPanelPosition(live.PanelPosition, debug_.MemoryWords()));
    CellColours paint{palette().text().color(), palette().base().color()};
    if (line.mark == PanelMark::Break) paint = kBreakLine;
    if (line.mark == PanelMark::Run) paint = kRunLine;
    painter.fillRect(rect, paint.back);
    painter.setPen(paint.text);
    painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(line.text));
  }
}

void TRegisterForm::SetPanelPosition(int position) {
  position = ClampPanelPosition(position, debug_.MemoryWords());
  debug_.Live().PanelPosition = position;
  panel_bar_->setValue(position);
  update();
}

void TRegisterForm::FollowPc() {
  const DebugState& live = debug_.Live();
  const int run = live.PD ? live.PC + 1 : live.PC;
  const int first = ClampPanelPosition(live.PanelPosition, debug_.MemoryWords());
  if (run < first || run >= first + kPanelLines) SetPanelPosition(run - kPanelLines / 2);
}

void TRegisterForm::RedrawDebugState(bool) {
  before_ = debug_.Current();
  FollowPc();
  update();
}

std::vector<int> TRegisterForm::Order() const { return layout_.EditOrder(); }

int TRegisterForm::PanelAddressAt(const QPoint& point) const {
  for (int line = 0; line < kPanelLines; ++line)
    if (PanelLineRect(line).contains(point)) {
      const int address =
          ClampPanelPosition(debug_.Live().PanelPosition, debug_.MemoryWords()) + line;
      return address < debug_.MemoryWords() ? address : -1;
    }
  return -1;
}

void TRegisterForm::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  for (int slot : Order())
    if (ValueRect(slot).contains(point)) {
      control_.EndEdit();
      if (control_.StartEdit(slot)) hint_timer_.start();
      cursor_on_ = true;
      cursor_timer_.start();
      update();
      return;
    }
  control_.EndEdit();
  for (int slot : BitRowSlots())
    for (int bit = 0; bit < 8; ++bit)
      if (BitRect(slot, bit).contains(point)) return control_.ToggleBit(slot, bit);
  if (FlagRect(false).contains(point)) return control_.ToggleTO();
  if (FlagRect(true).contains(point)) return control_.TogglePD();
  if (const int address = PanelAddressAt(point); address >= 0) control_.PanelClick(address);
}

void TRegisterForm::mouseDoubleClickEvent(QMouseEvent* event) {
  if (const int address = PanelAddressAt(event->position().toPoint()); address >= 0)
    control_.PanelDoubleClick(address);
  else
    mousePressEvent(event);
}

void TRegisterForm::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  SetPanelPosition(debug_.Live().PanelPosition - notches * kPanelWheelSteps);
}

void TRegisterForm::keyPressEvent(QKeyEvent* event) {
  if (!control_.Editing().active) return QWidget::keyPressEvent(event);
  const auto order = Order();
  const int key = event->key();
  // Numeric-pad digits arrive as the same keys with the keypad modifier.
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    control_.TypeDigit(key - Qt::Key_0, order);
  else if (key >= Qt::Key_A && key <= Qt::Key_F)
    control_.TypeDigit(key - Qt::Key_A + 10, order);
  else if (key == Qt::Key_Return || key == Qt::Key_Enter)
    control_.Commit();
  else if (key == Qt::Key_Escape)
    control_.Cancel();
  else if (key == Qt::Key_Backspace || key == Qt::Key_Up)
    control_.Move(-1, order);
  else if (key == Qt::Key_Space || key == Qt::Key_Down)
    control_.Move(1, order);
  else if (key == Qt::Key_Left)
    control_.Move(-16, order);
  else if (key == Qt::Key_Right)
    control_.Move(16, order);
  else
    return QWidget::keyPressEvent(event);
  if (!control_.Editing().active) cursor_timer_.stop();
  cursor_on_ = true;
  update();
}

void TRegisterForm::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  control_.EndEdit();
  cursor_timer_.stop();
  update();
}

void TRegisterForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  qCDebug(qvDebugOutput) << "Register Window - Show";
  panel_bar_->setRange(0, std::max(0, debug_.MemoryWords() - kPanelLines));
  FollowPc();
}

void TRegisterForm::hideEvent(QHideEvent* event) {
  control_.EndEdit();
  cursor_timer_.stop();
  std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
  QWidget::hideEvent(event);
}

void TRegisterForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    qCDebug(qvDebugOutput) << "Register Window - Active";
  } else {
    control_.EndEdit();
    cursor_timer_.stop();
    update();
  }
}

}  // namespace gui
