#pragma once
// CurrFilePNL: a panel over a file-list row the list is too narrow to show whole. It carries
// the row's full text (the file with its folder) and lies over the row, out past the list's
// edge; a click on it is a click on the row beneath.

#include <QLabel>
#include <QPoint>
#include <functional>
#include <string>

class QListWidget;

namespace gui {

class FileListHoverPanel : public QLabel {
 public:
  // row_text(row) answers the row's full text with "*" first when its editor is modified.
  // The panel is a child of `owner` so that it can stand out past the list.
  FileListHoverPanel(QListWidget& list, QWidget& owner,
                     std::function<std::string(int row)> row_text);

  // The list's mouse moved to `at` (viewport coordinates).
  void ListMouseMoved(QPoint at);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QListWidget& list_;
  QWidget* viewport_ = nullptr;
  QWidget& owner_;
  std::function<std::string(int row)> row_text_;
  QPoint mouse_at_;
};

}  // namespace gui
