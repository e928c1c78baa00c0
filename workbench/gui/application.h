#pragma once
// A QVKey run: the program binds the services, makes the session over them, creates the forms
// in their order, carries out the command line and runs the message loop until the main window
// closes.

#include <string>
#include <vector>

class QApplication;

namespace platform {
class MessageBoxService;
class ModalDialogService;
}  // namespace platform

namespace gui {

struct RunOptions {
  // Close the main window through its normal close once the command line is carried out.
  bool quit_after_start = false;
};

// Runs QVKey in app until its main window closes; returns the event loop's result.
// `parameters` are the program's own, taken before Qt removed the switches it knows.
int RunQVKey(QApplication& app, const std::vector<std::string>& parameters,
             platform::MessageBoxService& boxes, platform::ModalDialogService& dialogs,
             RunOptions options);

}  // namespace gui
