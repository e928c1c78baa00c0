#include "workbench/gui/find_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "editor_control/gui/editor_text.h"
#include "resources/code_widget_names.h"
#include "services/gui/form_placement.h"
#include "services/gui/keyboard.h"
#include "services/gui/text.h"
#include "workbench/gui/caption_width.h"

namespace find_dialog = widget_names::FindDialog;

namespace gui {
namespace {

// A label whose "&" letter takes the focus to its field.
QLabel* Label(QDialog& owner, const char* caption, QWidget* field) {
  auto* label = new QLabel(caption, &owner);
  label->setBuddy(field);
  return label;
}

QPushButton* Button(QDialog& owner, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, &owner);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TFindDialogBase::TFindDialogBase(QWidget* owner, const char* name, const char* caption)
    : QDialog(owner) {
  setObjectName(name);
  setWindowTitle(caption);
  setModal(false);
  KeepPlaceOnReopen(*this);
  FindEdit = new QLineEdit(this);
  FindEdit->setValidator(new scrivlet::gui::EditorTextValidator(FindEdit));
  FindEdit->setObjectName(find_dialog::FindEdit);
  MatchCaseCB = new QCheckBox("Match &case", this);
  MatchCaseCB->setObjectName(find_dialog::MatchCaseCB);
  WholeWordCB = new QCheckBox("Match &whole word only", this);
  WholeWordCB->setObjectName(find_dialog::WholeWordCB);
  FindNextBTN = Button(*this, find_dialog::FindNextBTN, "&Find Next");
  FindNextBTN->setDefault(true);
  CancelBTN = Button(*this, find_dialog::CancelBTN, "Cancel");
  connect(FindEdit, &QLineEdit::textChanged, this, [this] { UpdateButtons(); });
  connect(CancelBTN, &QPushButton::clicked, this, &QDialog::hide);
  KeepCaptionWhole(*this);
}

workbench::FindOptions TFindDialogBase::Options() const {
  workbench::FindOptions options;
  options.text = scrivlet::gui::EditorTextFromQt(FindEdit->text()).value_or(std::string());
  options.down = SearchesDown();
  options.match_case = MatchCaseCB->isChecked();
  options.whole_word = WholeWordCB->isChecked();
  return options;
}

void TFindDialogBase::SetFindText(const std::string& text) {
  FindEdit->setText(scrivlet::gui::EditorTextToQt(text));
}

void TFindDialogBase::UpdateButtons() { FindNextBTN->setEnabled(!FindEdit->text().isEmpty()); }

void TFindDialogBase::KeepClearOf(const QRect& line) {
  const QRect frame = frameGeometry();
  if (!isVisible() || !frame.intersects(line)) return;
  const QScreen* screen = this->screen();
  const QRect area = screen ? screen->availableGeometry() : QRect(frame.topLeft(), frame.size());
  const int above = line.top() - frame.height();
  const int below = line.bottom() + 1;
  const bool fits_above = above >= area.top();
  const bool fits_below = below + frame.height() <= area.bottom() + 1;
  if (!fits_above && !fits_below) return;
  const bool go_above = SearchesDown() ? fits_above : !fits_below;
  move(frame.left(), go_above ? above : below);
}

void TFindDialogBase::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  UpdateButtons();
  FindEdit->selectAll();
  FindEdit->setFocus();
  if (OnOpenChanged) OnOpenChanged(true);
}

void TFindDialogBase::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (OnOpenChanged) OnOpenChanged(false);
}

TEditFindDialog::TEditFindDialog(QWidget* owner)
    : TFindDialogBase(owner, find_dialog::Edit_FindDialog, "Find") {
  UpRB = new QRadioButton("&Up", this);
  UpRB->setObjectName(find_dialog::UpRB);
  DownRB = new QRadioButton("&Down", this);
  DownRB->setObjectName(find_dialog::DownRB);
  DownRB->setChecked(true);
  auto* direction = new QGroupBox("Direction", this);
  auto* directions = new QHBoxLayout(direction);
  directions->addWidget(UpRB);
  directions->addWidget(DownRB);

  auto* what = new QHBoxLayout;
  what->addWidget(Label(*this, "Fi&nd what:", FindEdit));
  what->addWidget(FindEdit, 1);
  auto* boxes = new QVBoxLayout;
  boxes->addWidget(WholeWordCB);
  boxes->addWidget(MatchCaseCB);
  auto* options = new QHBoxLayout;
  options->addLayout(boxes);
  options->addWidget(direction);
  auto* left = new QVBoxLayout;
  left->addLayout(what);
  left->addLayout(options);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(FindNextBTN);
  buttons->addWidget(CancelBTN);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  connect(FindNextBTN, &QPushButton::clicked, this, [this] {
    if (OnFind && !FindEdit->text().isEmpty()) OnFind();
  });
  TabEntersAtChecked({UpRB, DownRB});
  SetTabOrder({FindEdit, WholeWordCB, MatchCaseCB, UpRB, DownRB, FindNextBTN, CancelBTN});
  UpdateButtons();
}

bool TEditFindDialog::SearchesDown() const { return DownRB->isChecked(); }

TEditReplaceDialog::TEditReplaceDialog(QWidget* owner)
    : TFindDialogBase(owner, find_dialog::Edit_ReplaceDialog, "Replace") {
  ReplaceEdit = new QLineEdit(this);
  ReplaceEdit->setValidator(new scrivlet::gui::EditorTextValidator(ReplaceEdit));
  ReplaceEdit->setObjectName(find_dialog::ReplaceEdit);
  ReplaceBTN = Button(*this, find_dialog::ReplaceBTN, "&Replace");
  ReplaceAllBTN = Button(*this, find_dialog::ReplaceAllBTN, "Replace &All");

  auto* fields = new QGridLayout;
  fields->addWidget(Label(*this, "Fi&nd what:", FindEdit), 0, 0);
  fields->addWidget(FindEdit, 0, 1);
  fields->addWidget(Label(*this, "Re&place with:", ReplaceEdit), 1, 0);
  fields->addWidget(ReplaceEdit, 1, 1);
  auto* left = new QVBoxLayout;
  left->addLayout(fields);
  left->addWidget(WholeWordCB);
  left->addWidget(MatchCaseCB);
  left->addStretch();
  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {FindNextBTN, ReplaceBTN, ReplaceAllBTN, CancelBTN})
    buttons->addWidget(button);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left, 1);
  layout->addLayout(buttons);
  const std::pair<QPushButton*, std::function<void()>*> actions[] = {
      {FindNextBTN, &OnFind}, {ReplaceBTN, &OnReplace}, {ReplaceAllBTN, &OnReplaceAll}};
  for (const auto& [button, handler] : actions)
    // An init-capture: clang 14 cannot capture a structured binding itself.
    connect(button, &QPushButton::clicked, this, [this, handler = handler] {
      if (*handler && !FindEdit->text().isEmpty()) (*handler)();
    });
  SetTabOrder({FindEdit, ReplaceEdit, WholeWordCB, MatchCaseCB, FindNextBTN, ReplaceBTN,
               ReplaceAllBTN, CancelBTN});
  UpdateButtons();
}

std::string TEditReplaceDialog::ReplaceText() const {
  return scrivlet::gui::EditorTextFromQt(ReplaceEdit->text()).value_or(std::string());
}

void TEditReplaceDialog::UpdateButtons() {
  TFindDialogBase::UpdateButtons();
  const bool any = !FindEdit->text().isEmpty();
  ReplaceBTN->setEnabled(any);
  ReplaceAllBTN->setEnabled(any);
}

}  // namespace gui
