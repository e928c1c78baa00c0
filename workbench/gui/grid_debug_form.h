#pragma once
// TGridDebugFRM: a grid that debugging code can write into, and "Clear" to start it over.

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace gui {

class TGridDebugFRM : public QWidget {
 public:
  explicit TGridDebugFRM(QWidget& owner);

  void ClearBTNClick();
  // Where the next text goes.
  int WriteRow() const { return write_row_; }
  int WriteColumn() const { return write_column_; }

  QTableWidget* DebugGRD;
  QPushButton* ClearBTN;

 private:
  int write_row_ = 1;
  int write_column_ = 1;
};

}  // namespace gui
