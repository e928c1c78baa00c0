#pragma once
// TIrcFRM, "IRC": the eight oscillator measurements of the last calibration as frequencies,
// trim 0 to 7, the chosen trim highlighted, and a line that says when calibration failed.

#include <QDialog>
#include <QLabel>

#include <array>

#include "build_debug/key/key_protocol.h"

namespace workbench {
class Localizer;
}

namespace gui {

class TIrcFRM : public QDialog {
  Q_OBJECT

 public:
  TIrcFRM(const build_debug::QvKeyUnit& key, workbench::Localizer& texts,
          QWidget* parent = nullptr);

  QLabel& FreqLabel(int trim) const { return *labels_[static_cast<std::size_t>(trim)]; }
  // Says when the calibration measured nothing; hidden otherwise.
  QLabel& StatusLabel() const { return *status_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const build_debug::QvKeyUnit& key_;
  std::array<QLabel*, 8> labels_{};
  QLabel* status_ = nullptr;
};

}  // namespace gui
