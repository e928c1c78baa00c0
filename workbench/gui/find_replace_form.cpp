#include "workbench/gui/find_replace_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor_control/gui/editor_text.h"
#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "services/gui/text.h"
#include "workbench/gui/caption_width.h"
#include "workbench/small_dialogs.h"

namespace find_replace_form = widget_names::FindReplaceForm;

namespace gui {
namespace {

std::string MemoText(const QPlainTextEdit& memo) {
  QString text = memo.toPlainText();
  text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  // The editor's text: one it cannot hold can be neither found nor put in.
  return scrivlet::gui::EditorTextFromQt(text).value_or(std::string());
}

QPushButton* Button(QDialog& form, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, &form);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TFindReplaceForm::TFindReplaceForm(platform::ModalDialogService& dialogs, QWidget* owner)
    : QDialog(owner), dialogs_(dialogs) {
  setObjectName(find_replace_form::FindReplaceForm);
  setWindowTitle("Find/Replace");

  FindMemo = new QPlainTextEdit(this);
  FindMemo->setObjectName(find_replace_form::FindMemo);
  ReplaceMemo = new QPlainTextEdit(this);
  ReplaceMemo->setObjectName(find_replace_form::ReplaceMemo);
  for (QPlainTextEdit* memo : {FindMemo, ReplaceMemo}) {
    memo->setTabChangesFocus(true);
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 3 + 12);
  }
  FromStartCB = new QCheckBox("From &Start", this);
  FromStartCB->setObjectName(find_replace_form::FromStartCB);
  WordOnlyCB = new QCheckBox("&Word Only", this);
  WordOnlyCB->setObjectName(find_replace_form::WordOnlyCB);
  FindBTN = Button(*this, find_replace_form::FindBTN, "&Find");
  FindBTN->setDefault(true);
  ReplaceBTN = Button(*this, find_replace_form::ReplaceBTN, "&Replace");
  AllBTN = Button(*this, find_replace_form::AllBTN, "&All");
  CancelBTN = Button(*this, find_replace_form::CancelBTN, "&Cancel");

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel("Find:", this), 0, 0, Qt::AlignTop);
  fields->addWidget(FindMemo, 0, 1);
  fields->addWidget(new QLabel("Replace:", this), 1, 0, Qt::AlignTop);
  fields->addWidget(ReplaceMemo, 1, 1);
  auto* boxes = new QHBoxLayout;
  boxes->addWidget(FromStartCB);
  boxes->addWidget(WordOnlyCB);
  boxes->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* button : {FindBTN, ReplaceBTN, AllBTN, CancelBTN}) buttons->addWidget(button);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addLayout(boxes);
  layout->addLayout(buttons);
  resize(420, sizeHint().height());
  KeepCaptionWhole(*this);

  connect(FindMemo, &QPlainTextEdit::textChanged, this, [this] { UpdateControls(); });
  connect(FindBTN, &QPushButton::clicked, this, [this] { done(kFind); });
  connect(ReplaceBTN, &QPushButton::clicked, this, [this] { done(kReplace); });
  connect(AllBTN, &QPushButton::clicked, this, [this] { done(kReplaceAll); });
  connect(CancelBTN, &QPushButton::clicked, this, &QDialog::reject);
  UpdateControls();
}

TFindReplaceForm::Answer TFindReplaceForm::Execute(bool replace_enabled) {
  ReplaceBTN->setEnabled(replace_enabled);
  FormActivate();
  const int result = dialogs_.Run(*this);
  Answer answer = Held();
  answer.result = result;
  return answer;
}

TFindReplaceForm::Answer TFindReplaceForm::Held() {
  // The answer may have typed into the memos: the buttons follow the text it left.
  UpdateControls();
  Answer answer;
  answer.result = kFind;
  answer.find_text = MemoText(*FindMemo);
  answer.replace_text = MemoText(*ReplaceMemo);
  answer.from_start = FromStartCB->isChecked();
  answer.word_only = WordOnlyCB->isEnabled() && WordOnlyCB->isChecked();
  return answer;
}

void TFindReplaceForm::FormActivate() {
  UpdateControls();
  FindMemo->selectAll();
  ReplaceMemo->selectAll();
  FindMemo->setFocus();
}

void TFindReplaceForm::UpdateControls() {
  const std::string find =
      scrivlet::gui::EditorTextFromQt(FindMemo->toPlainText()).value_or(std::string());
  FindBTN->setEnabled(!find.empty());
  AllBTN->setEnabled(!find.empty());
  WordOnlyCB->setEnabled(workbench::WordOnlyEnabled(find));
}

}  // namespace gui
