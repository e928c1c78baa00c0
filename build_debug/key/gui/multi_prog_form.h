#pragma once
// TMultiProgFRM, "Multiple Programming": a form of the device window's unit that the IDE never
// shows. Each of its three buttons only names itself in a box.

#include <QPushButton>
#include <QWidget>

namespace platform {
class MessageBoxService;
}

namespace gui {

class TMultiProgFRM : public QWidget {
  Q_OBJECT

 public:
  explicit TMultiProgFRM(platform::MessageBoxService& boxes, QWidget* parent = nullptr);

  QPushButton& StartButton() { return *StartBTN; }
  QPushButton& FileButton() { return *FileBTN; }
  QPushButton& EndButton() { return *EndBTN; }

 private:
  platform::MessageBoxService& boxes_;
  QPushButton* StartBTN;
  QPushButton* FileBTN;
  QPushButton* EndBTN;
};

}  // namespace gui
