#include "workbench/gui/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <chrono>
#include <future>
#include <memory>

#include "services/gui/text.h"
#include "workbench/gui/caption_width.h"

namespace gui {
namespace {

struct ButtonAnswer {
  QMessageBox::StandardButton button;
  int answer;
};

// The answer of a box closed without a button: its last button.
int LastAnswer(platform::BoxButtons buttons) {
  switch (buttons) {
    case platform::BoxButtons::Ok: return platform::kAnswerOk;
    case platform::BoxButtons::Abort: return platform::kAnswerAbort;
    case platform::BoxButtons::YesNo: return platform::kAnswerNo;
    case platform::BoxButtons::OkCancel:
    case platform::BoxButtons::YesNoCancel: return platform::kAnswerCancel;
  }
  return platform::kAnswerCancel;
}

QMessageBox::Icon IconOf(platform::BoxKind kind) {
  switch (kind) {
    case platform::BoxKind::Plain: return QMessageBox::NoIcon;
    case platform::BoxKind::Information: return QMessageBox::Information;
    case platform::BoxKind::Warning: return QMessageBox::Warning;
    case platform::BoxKind::Error: return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtMessageBoxes::QtMessageBoxes() {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    QObject::connect(app, &QCoreApplication::aboutToQuit, &context_,
                     [this] { loop_ended_ = true; });
  }
}

int QtMessageBoxes::Show(const platform::BoxRequest& box) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() != app->thread()) return ShowFromOtherThread(box);
  return ShowHere(box);
}

int QtMessageBoxes::ShowFromOtherThread(const platform::BoxRequest& box) {
  if (loop_ended_) return LastAnswer(box.buttons);
  auto answer = std::make_shared<std::promise<int>>();
  std::future<int> answered = answer->get_future();
  // The service's context lives in the UI thread, so the box is shown there.
  QMetaObject::invokeMethod(
      &context_,
      [this, box, answer] {
        answer->set_value(loop_ended_ ? LastAnswer(box.buttons) : ShowHere(box));
      },
      Qt::QueuedConnection);
  // The user may read the box as long as they like; only the loop's end stops the wait.
  while (answered.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    if (loop_ended_) return LastAnswer(box.buttons);
  }
  return answered.get();
}

int QtMessageBoxes::ShowHere(const platform::BoxRequest& box) {
  QMessageBox dialog(QApplication::activeWindow());
  dialog.setIcon(IconOf(box.kind));
  dialog.setTextFormat(Qt::PlainText);
  dialog.setWindowTitle(ShownText(box.caption));
  dialog.setText(ShownText(box.text));

  std::vector<ButtonAnswer> buttons;
  switch (box.buttons) {
    case platform::BoxButtons::Ok: buttons = {{QMessageBox::Ok, platform::kAnswerOk}}; break;
    case platform::BoxButtons::Abort:
      buttons = {{QMessageBox::Abort, platform::kAnswerAbort}};
      break;
    case platform::BoxButtons::OkCancel:
      buttons = {{QMessageBox::Ok, platform::kAnswerOk},
                 {QMessageBox::Cancel, platform::kAnswerCancel}};
      break;
    case platform::BoxButtons::YesNo:
      buttons = {{QMessageBox::Yes, platform::kAnswerYes}, {QMessageBox::No, platform::kAnswerNo}};
      break;
    case platform::BoxButtons::YesNoCancel:
      buttons = {{QMessageBox::Yes, platform::kAnswerYes},
                 {QMessageBox::No, platform::kAnswerNo},
                 {QMessageBox::Cancel, platform::kAnswerCancel}};
      break;
  }
  QMessageBox::StandardButtons set;
  for (const ButtonAnswer& b : buttons) set |= b.button;
  dialog.setStandardButtons(set);
  dialog.setDefaultButton(buttons.front().button);
  // Closing the box by its frame or Esc counts as its last button, as a Cancel or No would.
  dialog.setEscapeButton(buttons.back().button);
  WidenToCaption(dialog);
  dialog.raise();
  dialog.activateWindow();
  dialog.exec();

  QAbstractButton* clicked = dialog.clickedButton();
  for (const ButtonAnswer& b : buttons)
    if (clicked && clicked == dialog.button(b.button)) return b.answer;
  return buttons.back().answer;
}

}  // namespace gui
