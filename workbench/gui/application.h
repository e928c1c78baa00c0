#pragma once
// A QVKey run: the program binds the Qt services, makes the session over them and shows the
// program's window until it closes.

#include <QMainWindow>
#include <string>
#include <vector>

class QApplication;

namespace workbench {
class IdeSession;
}

namespace gui {

// The program's window until the main window of the editor takes its place: named as the
// main form, localized from its table, placed as "EditorWindow".
class ProgramWindow : public QMainWindow {
 public:
  explicit ProgramWindow(workbench::IdeSession& session);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  workbench::IdeSession& session_;
};

// Runs QVKey in app until its window closes; returns the event loop's result. `parameters`
// are the program's own, taken before Qt removed the switches it knows.
int RunQVKey(QApplication& app, const std::vector<std::string>& parameters);

}  // namespace gui
