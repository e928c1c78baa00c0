#include <QApplication>

#include "workbench/command_line.h"
#include "workbench/gui/application.h"

int main(int argc, char** argv) {
  // Qt removes the switches it knows from argv: ours are taken first.
  const std::vector<std::string> parameters = workbench::ProgramParameters(argc, argv);
  QApplication app(argc, argv);
  return gui::RunQVKey(app, parameters);
}
