#include "build_debug/debug/gui/watch_form.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>

#include "build_debug/debug/gui/debug_trace.h"
#include "editor_control/gui/editor_text.h"
#include "resources/code_widget_names.h"
#include "services/registry_settings.h"

namespace watch_form = widget_names::WatchForm;

namespace gui {

using namespace build_debug;

namespace {
constexpr int kMargin = 4;
}

TWatchForm::TWatchForm(DebugProtocol& debug, const ObjectImage& image,
                       const workbench::MessageStrings& messages,
                       workbench::RegistrySettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window),
      debug_(debug),
      image_(image),
      messages_(messages),
      settings_(settings) {
  setObjectName(watch_form::WatchForm);
  setWindowTitle("Watch");
  setFocusPolicy(Qt::StrongFocus);
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  cell_w_ = fontMetrics().horizontalAdvance('0');
  cell_h_ = fontMetrics().height() + 2;
  FitToEntries();
  resize(minimumSize());
  std::ignore = RestoreFormPlacement(settings_, kPlacement, *this);
  debug_.AddView(*this);
}

TWatchForm::~TWatchForm() {
  debug_.RemoveView(*this);
  std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
}

int TWatchForm::Count() const { return std::clamp(image_.WatchCount, 0, kMaxWatches); }

void TWatchForm::FitToEntries() {
  name_columns_ = 8;
  // Room for a typed text of a fair length beside the values.
  value_columns_ = 20;
  for (int i = 0; i < Count(); ++i) {
    const WatchEntry& entry = image_.Watches[static_cast<std::size_t>(i)];
    name_columns_ =
        std::max<int>(name_columns_, static_cast<int>(strnlen(entry.Name, kWatchNameLength)) + 2);
    value_columns_ =
        std::max<int>(value_columns_, static_cast<int>(WatchTemplate(entry).size()) + 1);
  }
  editor_.SetCount(Count());
  setMinimumSize(kMargin * 2 + (name_columns_ + value_columns_) * cell_w_,
                 kMargin * 2 + std::max(1, Count()) * cell_h_);
  if (width() < minimumWidth() || height() < minimumHeight()) resize(minimumSize());
}

QRect TWatchForm::ValueRect(int index) const {
  return QRect(kMargin + name_columns_ * cell_w_, kMargin + index * cell_h_,
               std::max(value_columns_ * cell_w_, width() - 2 * kMargin - name_columns_ * cell_w_),
               cell_h_);
}

QString TWatchForm::ValueText(int index) const {
  if (editor_.Active() && editor_.Index() == index) return QString::fromStdString(editor_.Text());
  return QString::fromStdString(FormatWatch(image_.Watches[static_cast<std::size_t>(index)],
                                            debug_.Live(), debug_.Device4K()));
}

void TWatchForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  for (int i = 0; i < Count(); ++i) {
    const WatchEntry& entry = image_.Watches[static_cast<std::size_t>(i)];
    const QRect name(kMargin, kMargin + i * cell_h_, name_columns_ * cell_w_, cell_h_);
    painter.setPen(palette().text().color());
    painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                     scrivlet::gui::EditorTextToQt(
                         std::string_view(entry.Name, strnlen(entry.Name, kWatchNameLength))));
    const QRect value = ValueRect(i);
    const bool editing = editor_.Active() && editor_.Index() == i;
    if (editing) painter.fillRect(value, palette().highlight());
    painter.setPen(editing ? palette().highlightedText().color() : palette().text().color());
    painter.drawText(value, Qt::AlignLeft | Qt::AlignVCenter, ValueText(i));
  }
}

void TWatchForm::RedrawDebugState(bool) { update(); }

void TWatchForm::EndEdit(bool write) {
  if (!editor_.Active()) return;
  const int index = editor_.Index();
  const std::string text = editor_.Text();
  const bool touched = editor_.Touched();
  editor_.Stop();
  update();
  // A rejected text is told and the old value shows again.
  if (write && touched)
    std::ignore =
        CommitWatch(debug_, messages_, image_.Watches[static_cast<std::size_t>(index)], text);
}

void TWatchForm::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  EndEdit(true);
  if (debug_.LastStatus() != kStatusStopped || !debug_.FreshData()) return;
  for (int i = 0; i < Count(); ++i)
    if (ValueRect(i).contains(point)) {
      editor_.Start(i, ValueText(i).toStdString());
      update();
      return;
    }
}

void TWatchForm::keyPressEvent(QKeyEvent* event) {
  if (!editor_.Active()) return QWidget::keyPressEvent(event);
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    EndEdit(true);
  } else if (key == Qt::Key_Escape) {
    EndEdit(false);
  } else if (key == Qt::Key_Backspace) {
    editor_.Backspace();
  } else if (key == Qt::Key_Up || key == Qt::Key_Down) {
    const int next = editor_.Neighbour(key == Qt::Key_Up ? -1 : 1);
    EndEdit(true);
    if (debug_.LastStatus() == kStatusStopped && debug_.FreshData())
      editor_.Start(next, ValueText(next).toStdString());
  } else if (const QString text = event->text(); text.size() == 1 && text[0].unicode() < 0x80) {
    editor_.Key(static_cast<char>(text[0].unicode()));
  } else {
    return QWidget::keyPressEvent(event);
  }
  update();
}

void TWatchForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  qCDebug(qvDebugOutput) << "Watch Window - Show";
  FitToEntries();
}

void TWatchForm::hideEvent(QHideEvent* event) {
  EndEdit(false);
  std::ignore = SaveFormPlacement(settings_, kPlacement, *this);
  QWidget::hideEvent(event);
}

void TWatchForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow())
    qCDebug(qvDebugOutput) << "Watch Window - Active";
  else
    EndEdit(true);
}

}  // namespace gui
