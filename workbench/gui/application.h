#pragma once
// A QVKey run: the program binds the services, makes the session over them, creates the forms
// in their order, carries out the command line and runs the message loop until the main window
// closes.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "workbench/gui/ide_forms.h"

class QApplication;

namespace platform {
class EventPoster;
class MessageBoxService;
class ModalDialogService;
}  // namespace platform

namespace gui {

struct RunOptions {
  // Close the main window through its normal close once the command line is carried out.
  bool quit_after_start = false;
};

// The parts of the program that live in libraries above this one: their forms, and what
// binds them to the main window and the session once every form exists.
struct ProgramParts {
  std::map<std::string, FormMaker, std::less<>> makers;
  // Delivers the serial-port component's events on the UI thread; null: no component.
  platform::EventPoster* events = nullptr;
  // Runs before the command line is carried out; what it returns lives until the message loop
  // has ended and the key's reports are no longer delivered.
  std::function<std::shared_ptr<void>(TEditorFRM&, IdeForms&, workbench::IdeSession&)> bind;
};

// Runs QVKey in app until its main window closes; returns the event loop's result.
// `parameters` are the program's own, taken before Qt removed the switches it knows.
int RunQVKey(QApplication& app, const std::vector<std::string>& parameters,
             platform::MessageBoxService& boxes, platform::ModalDialogService& dialogs,
             RunOptions options, ProgramParts parts = {});

}  // namespace gui
