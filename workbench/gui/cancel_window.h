#pragma once
// The small window a long wait shows: a text, a Cancel button and, with a maximum above 0, a
// bar. It is modal over the whole program, so that nothing can edit or start a second wait
// behind it, and it stays up at its end until its owner drops it.

#include <QProgressDialog>

#include <memory>
#include <string>

#include "services/gui/text.h"

namespace gui {

inline std::unique_ptr<QProgressDialog> ShowCancelWindow(const std::string& text,
                                                         const std::string& title, int maximum,
                                                         QWidget* parent = nullptr) {
  auto window = std::make_unique<QProgressDialog>(ToQt(text), ToQt("Cancel"), 0, maximum, parent);
  window->setWindowTitle(ToQt(title));
  window->setWindowModality(Qt::ApplicationModal);
  window->setMinimumDuration(0);
  window->setAutoReset(false);
  window->setAutoClose(false);
  window->setMinimumWidth(360);
  window->show();
  return window;
}

}  // namespace gui
