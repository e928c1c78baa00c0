#include <QApplication>
#include <cstdlib>
#include <memory>

#include "build_debug/key/gui/qt_event_poster.h"
#include "services/gui/modal_dialogs.h"
#include "workbench/box_log.h"
#include "workbench/command_line.h"
#include "workbench/gui/accepting_dialogs.h"
#include "workbench/gui/application.h"
#include "workbench/gui/program_parts.h"
#include "workbench/gui/qt_message_boxes.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

int main(int argc, char** argv) {
  // Qt removes the switches it knows from argv: ours are taken first.
  const std::vector<std::string> parameters = workbench::ProgramParameters(argc, argv);
  QApplication app(argc, argv);
  gui::QtEventPoster events;

  // QVKEY_BOX_LOG runs the program without a user: boxes go to the log and are answered from
  // QVKEY_BOX_ANSWERS, dialogs are accepted.
  const std::string box_log = Environment("QVKEY_BOX_LOG");
  gui::RunOptions options;
  options.quit_after_start = Environment("QVKEY_QUIT_AFTER_START") == "1";
  if (!box_log.empty()) {
    workbench::LoggedMessageBoxes boxes(box_log, Environment("QVKEY_BOX_ANSWERS"));
    gui::AcceptingModalDialogs dialogs;
    return gui::RunQVKey(app, parameters, boxes, dialogs, options, gui::BuildDebugParts(events));
  }
  gui::QtMessageBoxes boxes;
  gui::QtModalDialogs dialogs;
  return gui::RunQVKey(app, parameters, boxes, dialogs, options, gui::BuildDebugParts(events));
}
