#pragma once
// TQvCDebugFRM, "QvC Debug": the small grid window of the C-output unit. Column 0 is narrow,
// column 1 takes the rest of the width, whatever the window's size.

#include <QTableWidget>
#include <QWidget>

namespace gui {

class TQvCDebugFRM : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumn0Width = 25;
  static constexpr int kColumn1Width = 400;

  explicit TQvCDebugFRM(QWidget* parent = nullptr);

  QTableWidget& Grid() { return *DebugGRD; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormResize();

  QTableWidget* DebugGRD;
};

}  // namespace gui
