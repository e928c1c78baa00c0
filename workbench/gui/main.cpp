#include <QApplication>

#include "workbench/gui/application.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  return gui::RunQVKey(app);
}
