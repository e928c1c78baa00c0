#include "workbench/gui/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include "workbench/gui/text.h"

namespace gui {
namespace {

struct ButtonAnswer {
  QMessageBox::StandardButton button;
  int answer;
};

}  // namespace

int QtMessageBoxes::Show(const platform::BoxRequest& box) {
  QMessageBox dialog(QApplication::activeWindow());
  dialog.setIcon(QMessageBox::NoIcon);
  dialog.setTextFormat(Qt::PlainText);
  dialog.setWindowTitle(ShownText(box.caption));
  dialog.setText(ShownText(box.text));

  std::vector<ButtonAnswer> buttons;
  switch (box.buttons) {
    case platform::BoxButtons::Ok:
      buttons = {{QMessageBox::Ok, platform::kAnswerOk}};
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
  dialog.raise();
  dialog.activateWindow();
  dialog.exec();

  QAbstractButton* clicked = dialog.clickedButton();
  for (const ButtonAnswer& b : buttons)
    if (clicked && clicked == dialog.button(b.button)) return b.answer;
  return buttons.back().answer;
}

}  // namespace gui
