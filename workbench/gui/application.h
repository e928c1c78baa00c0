#pragma once
// The services of a QVKey run, set up in the order the program needs them and taken down in
// reverse: the Qt message boxes, the settings store under its root, the message strings and
// the localized texts.

#include <QMainWindow>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/settings_store.h"
#include "workbench/gui/qt_message_boxes.h"

class QApplication;

namespace gui {

class ApplicationSession {
 public:
  explicit ApplicationSession(
      const std::filesystem::path& settings_file = platform::SettingsStore::DefaultPath());
  ~ApplicationSession();
  ApplicationSession(const ApplicationSession&) = delete;
  ApplicationSession& operator=(const ApplicationSession&) = delete;

 private:
  QtMessageBoxes boxes_;
};

// The program's window until the main window of the editor takes its place: named as the
// main form, localized from its table, placed as "EditorWindow".
class ProgramWindow : public QMainWindow {
 public:
  ProgramWindow();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

// Runs QVKey in app until its window closes; returns the event loop's result. `parameters`
// are the program's own, taken before Qt removed the switches it knows.
int RunQVKey(QApplication& app, const std::vector<std::string>& parameters);

}  // namespace gui
