#include "workbench/gui/caption_width.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QWidget>
#include <algorithm>

namespace gui {
namespace {

// Title bars mostly draw their caption bold; measuring bold never comes out short.
QFont TitleFont() {
  QFont font = QApplication::font();
  font.setBold(true);
  return font;
}

class CaptionWidthKeeper : public QObject {
 public:
  explicit CaptionWidthKeeper(QWidget& window) : QObject(&window), window_(window) { Apply(); }

  bool eventFilter(QObject* watched, QEvent* event) override {
    // Shown, the window's layout knows the width its contents need as well.
    if (watched == &window_ &&
        (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show))
      Apply();
    return false;
  }

 private:
  // An explicit minimum width stands in for the layout's, so it covers the contents too.
  void Apply() {
    const QLayout* layout = window_.layout();
    const int contents = layout != nullptr ? layout->totalMinimumSize().width() : 0;
    window_.setMinimumWidth(std::max(contents, CaptionWidth(window_.windowTitle())));
  }

  QWidget& window_;
};

}  // namespace

int CaptionWidth(const QString& caption) {
  const QFontMetrics metrics(TitleFont());
  // The frame's icon and its three buttons are each about a title-bar height square.
  const int buttons = 4 * (metrics.height() + 8);
  return metrics.horizontalAdvance(caption) + buttons + 16;
}

void KeepCaptionWhole(QWidget& window) {
  window.installEventFilter(new CaptionWidthKeeper(window));
}

void WidenToCaption(QMessageBox& box) {
  // A box without a caption shows the program's name in its title bar.
  const QString caption =
      box.windowTitle().isEmpty() ? QGuiApplication::applicationDisplayName() : box.windowTitle();
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (grid == nullptr) {
    box.setMinimumWidth(CaptionWidth(caption));
    return;
  }
  // The box measures its layout's minimum width, so the caption's width goes in as a spacer
  // across the bottom row.
  grid->addItem(new QSpacerItem(CaptionWidth(caption), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace gui
