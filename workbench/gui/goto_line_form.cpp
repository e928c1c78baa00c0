#include "workbench/gui/goto_line_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "services/gui/localize_form.h"
#include "services/gui/text.h"
#include "workbench/gui/caption_width.h"
#include "workbench/small_dialogs.h"

namespace goto_line_dlg = widget_names::GotoLineNumDLG;

namespace gui {

TGotoLineNumDLG::TGotoLineNumDLG(workbench::Localizer& texts, platform::ModalDialogService& dialogs,
                                 QWidget* owner)
    : QDialog(owner), dialogs_(dialogs) {
  setObjectName(goto_line_dlg::GotoLineNumDLG);
  setWindowTitle("Go to Line Number...");
  LineNumLBL = new QLabel("Enter line number to go to:", this);
  LineNumLBL->setObjectName(goto_line_dlg::LineNumLBL);
  LineNumEDT = new QLineEdit(this);
  LineNumEDT->setObjectName(goto_line_dlg::LineNumEDT);
  OkBTN = new QPushButton("OK", this);
  OkBTN->setObjectName(goto_line_dlg::OkBTN);
  OkBTN->setDefault(true);
  CancelBTN = new QPushButton("Cancel", this);
  CancelBTN->setObjectName(goto_line_dlg::CancelBTN);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkBTN);
  buttons->addWidget(CancelBTN);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LineNumLBL);
  layout->addWidget(LineNumEDT);
  layout->addLayout(buttons);
  connect(OkBTN, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
  RegisterFormLanguageCallback(*this, texts);
  KeepCaptionWhole(*this);
}

bool TGotoLineNumDLG::Execute() {
  LineNumEDT->selectAll();
  if (dialogs_.Run(*this) != QDialog::Accepted) return false;
  return OkBTNClick();
}

bool TGotoLineNumDLG::OkBTNClick() {
  line_ = workbench::GotoLineNumber(FromQt(LineNumEDT->text()));
  return line_ >= 1;
}

void TGotoLineNumDLG::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  LineNumEDT->selectAll();
}

}  // namespace gui
