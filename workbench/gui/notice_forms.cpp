#include "workbench/gui/notice_forms.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "services/gui/text.h"

namespace notice_form = widget_names::NoticeForm;

namespace gui {

NoticeForm::NoticeForm(workbench::RegistrySettings& registry, const char* setting,
                       platform::ModalDialogService& dialogs, platform::MessageBoxService& boxes,
                       const char* check_caption, bool with_cancel, QWidget* owner)
    : QDialog(owner), dont_show_(registry, setting), dialogs_(dialogs), boxes_(boxes) {
  MessageLBL = new QLabel(this);
  MessageLBL->setObjectName(notice_form::MessageLBL);
  MessageLBL->setMinimumWidth(320);
  DontShowCB = new QCheckBox(check_caption, this);
  DontShowCB->setObjectName(notice_form::DontShowCB);
  DontShowCB->setChecked(dont_show_.Checked());
  OkBTN = new QPushButton("OK", this);
  OkBTN->setObjectName(notice_form::OkBTN);
  OkBTN->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(DontShowCB);
  buttons->addStretch();
  buttons->addWidget(OkBTN);
  if (with_cancel) {
    CancelBTN = new QPushButton("Cancel", this);
    CancelBTN->setObjectName(notice_form::CancelBTN);
    buttons->addWidget(CancelBTN);
    connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MessageLBL);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  connect(OkBTN, &QPushButton::clicked, this, &QDialog::accept);
}

int NoticeForm::Ask(const std::string& text) {
  if (dont_show_.Checked()) return QDialog::Accepted;
  MessageLBL->setText(ShownText(text));
  const int result = dialogs_.Run(*this);
  if (result == QDialog::Accepted) OkBTNClick();
  return result;
}

void NoticeForm::OkBTNClick() {
  if (dont_show_.Confirm(DontShowCB->isChecked())) return;
  // The choice holds for this run; the user learns that the next run will ask again.
  boxes_.Show(
      {"The choice \"" + FromQt(DontShowCB->text()) + "\" could not be saved in the settings file.",
       FromQt(windowTitle()), platform::BoxButtons::Ok});
}

void NoticeForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  OkBTN->setFocus();
}

TClockGenInfoFRM::TClockGenInfoFRM(workbench::RegistrySettings& registry,
                                   platform::ModalDialogService& dialogs,
                                   platform::MessageBoxService& boxes, QWidget* owner)
    : NoticeForm(registry, workbench::kHideClockGenInfo, dialogs, boxes,
                 "Don't Show This Dialog Again", false, owner) {
  setObjectName(notice_form::ClockGenInfoFRM);
  setWindowTitle("Clock Generation Info");
}

int TClockGenInfoFRM::ShowClockInfo(std::int64_t hz) {
  return Ask("Download Successful.\r" + workbench::ClockSignalText(hz));
}

TFileSaveNotificationDLG::TFileSaveNotificationDLG(workbench::RegistrySettings& registry,
                                                   platform::ModalDialogService& dialogs,
                                                   platform::MessageBoxService& boxes,
                                                   QWidget* owner)
    : NoticeForm(registry, workbench::kHideAssemblyFileSave, dialogs, boxes,
                 "Don't show this dialog again", true, owner) {
  setObjectName(notice_form::FileSaveNotificationDLG);
  setWindowTitle("File Save Notification");
}

int TFileSaveNotificationDLG::AskSaveBeforeAssembly(const std::string& file_name) {
  return Ask(workbench::SaveBeforeAssemblyText(file_name));
}

}  // namespace gui
