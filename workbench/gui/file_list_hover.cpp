#include "workbench/gui/file_list_hover.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>

#include "resources/code_widget_names.h"

namespace editor_frm = widget_names::EditorFRM;

namespace gui {

FileListHoverPanel::FileListHoverPanel(QListWidget& list, QWidget& owner,
                                       std::function<std::string(int row)> row_text)
    : QLabel(&owner), list_(list), owner_(owner), row_text_(std::move(row_text)) {
  setObjectName(editor_frm::CurrFilePNL);
  setAutoFillBackground(true);
  setFrameShape(QFrame::Box);
  setIndent(0);
  setMargin(0);
  setFont(list.font());
  hide();
  list.setMouseTracking(true);
  viewport_ = list.viewport();
  viewport_->installEventFilter(this);
  connect(&list, &QListWidget::currentRowChanged, this, [this] { hide(); });
}

void FileListHoverPanel::ListMouseMoved(QPoint at) {
  mouse_at_ = at;
  const QModelIndex index = list_.indexAt(at);
  const int row = index.isValid() ? index.row() : -1;
  if (row < 0 || row == list_.currentRow()) {
    hide();
    return;
  }
  const QString text = QString::fromStdString(row_text_(row));
  const int text_width = fontMetrics().horizontalAdvance(text);
  // Only a row the list cuts off needs the panel.
  if (list_.viewport()->width() >= text_width) {
    hide();
    return;
  }
  const QRect row_rect = list_.visualRect(index);
  const QPoint top_left = list_.viewport()->mapTo(&owner_, row_rect.topLeft() + QPoint(2, 2));
  setText(text);
  // Our border comes on top of the text's room.
  setGeometry(top_left.x(), top_left.y(), text_width + 3 + 2 * frameWidth(), row_rect.height() + 2);
  raise();
  show();
}

bool FileListHoverPanel::eventFilter(QObject* watched, QEvent* event) {
  // The viewport kept from the start: while the window is torn down the list may already be
  // gone as a list when its viewport's last events arrive.
  if (watched == viewport_) {
    switch (event->type()) {
      case QEvent::MouseMove:
        ListMouseMoved(static_cast<QMouseEvent*>(event)->position().toPoint());
        break;
      case QEvent::MouseButtonPress: hide(); break;
      case QEvent::Leave:
        // The mouse went onto the panel itself: it stays until the mouse leaves that too.
        if (!geometry().contains(owner_.mapFromGlobal(QCursor::pos()))) hide();
        break;
      default: break;
    }
  }
  return QLabel::eventFilter(watched, event);
}

void FileListHoverPanel::mousePressEvent(QMouseEvent* event) {
  hide();
  QWidget* viewport = list_.viewport();
  const QPointF at(mouse_at_);
  const QPointF global = viewport->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  QApplication::sendEvent(viewport, &release);
  event->accept();
}

void FileListHoverPanel::leaveEvent(QEvent* event) {
  hide();
  QLabel::leaveEvent(event);
}

}  // namespace gui
