#pragma once
// The two notices with a "don't show again" box: TClockGenInfoFRM after the key starts its
// clock generator, and TFileSaveNotificationDLG before a modified file is assembled. Once the
// box was ticked and OK pressed, the notice answers OK without showing, in later runs too.
//
//   if (clock_info.ShowClockInfo(hz) ...)            // the modal result, or 1 when not shown
//   if (save_notice.AskSaveBeforeAssembly(file) == QDialog::Accepted) save the file;

#include <QDialog>
#include <cstdint>
#include <string>

#include "workbench/small_dialogs.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace platform {
class MessageBoxService;
class ModalDialogService;
}  // namespace platform

namespace gui {

// The frame both notices share: a text, the check box and the buttons.
class NoticeForm : public QDialog {
 public:
  QLabel* MessageLBL;
  QCheckBox* DontShowCB;
  QPushButton* OkBTN;
  QPushButton* CancelBTN = nullptr;

 protected:
  NoticeForm(workbench::RegistrySettings& registry, const char* setting,
             platform::ModalDialogService& dialogs, platform::MessageBoxService& boxes,
             const char* check_caption, bool with_cancel, QWidget* owner);
  // The form's answer to `text`: its modal result, or 1 (OK) while the notice is switched off.
  int Ask(const std::string& text);
  void showEvent(QShowEvent* event) override;

 private:
  void OkBTNClick();

  workbench::DontShowAgain dont_show_;
  platform::ModalDialogService& dialogs_;
  platform::MessageBoxService& boxes_;
};

class TClockGenInfoFRM : public NoticeForm {
 public:
  TClockGenInfoFRM(workbench::RegistrySettings& registry, platform::ModalDialogService& dialogs,
                   platform::MessageBoxService& boxes, QWidget* owner = nullptr);
  int ShowClockInfo(std::int64_t hz);
};

class TFileSaveNotificationDLG : public NoticeForm {
 public:
  TFileSaveNotificationDLG(workbench::RegistrySettings& registry,
                           platform::ModalDialogService& dialogs,
                           platform::MessageBoxService& boxes, QWidget* owner = nullptr);
  int AskSaveBeforeAssembly(const std::string& file_name);
};

}  // namespace gui
