#pragma once
// Answers the next modal window that opens, from the event loop it runs: a real QMessageBox
// or dialog is shown offscreen and closed as a user would close it.

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <utility>

namespace testing_gui {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons;
  bool seen = false;
  int width = 0;
};

// Clicks `button` on the next message box and notes what it showed.
inline void AnswerNextBox(QMessageBox::StandardButton button, SeenBox* seen) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(1);
  QObject::connect(timer, &QTimer::timeout, [timer, button, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    timer->stop();
    timer->deleteLater();
    if (seen) *seen = {box->windowTitle(), box->text(), box->standardButtons(), true, box->width()};
    if (QAbstractButton* b = box->button(button)) {
      b->click();
    } else {
      box->reject();
    }
  });
  timer->start();
}

// Runs `act` on the next modal dialog (which must close it).
inline void ActOnNextDialog(std::function<void(QDialog&)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(1);
  QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    act(*dialog);
  });
  timer->start();
}

}  // namespace testing_gui
