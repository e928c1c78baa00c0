#include "build_debug/debug/gui/debug_form.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMetaObject>
#include <QVBoxLayout>

#include <functional>

#include "resources/code_widget_names.h"
#include "services/gui/localize_form.h"
#include "services/localize.h"

namespace debug = widget_names::DebugFRM;

namespace gui {

namespace {

using build_debug::DebugControl;

struct ButtonRow {
  const char* name;
  const char* caption;
  void (DebugControl::*click)();
  int mask_bit;  // -1: not under the mask
};

// The buttons in the window's order, four to a row.
const ButtonRow kButtons[] = {
    {debug::HopBTN, "&Hop", &DebugControl::HopBTNClick, build_debug::kButtonHop},
    {debug::JogBTN, "&Jog", &DebugControl::JogBTNClick, build_debug::kButtonJog},
    {debug::StepBTN, "&Step", &DebugControl::StepBTNClick, build_debug::kButtonStep},
    {debug::WalkBTN, "&Walk", &DebugControl::WalkBTNClick, build_debug::kButtonWalk},
    {debug::RunBTN, "&Run", &DebugControl::RunBTNClick, build_debug::kButtonRun},
    {debug::PollBTN, "Pol&l", &DebugControl::PollBTNClick, build_debug::kButtonPoll},
    {debug::StopBTN, "Sto&p", &DebugControl::StopBTNClick, build_debug::kButtonStop},
    {debug::ResetBTN, "Rese&t", &DebugControl::ResetBTNClick, -1},
    {debug::RegistersBTN, "R&egisters", &DebugControl::RegistersBTNClick, -1},
    {debug::CodeBTN, "Co&de", &DebugControl::CodeBTNClick, -1},
    {debug::WatchBTN, "Wat&ch", &DebugControl::WatchBTNClick, -1},
    {debug::ResetPosBTN, "Reset Pos.", &DebugControl::ResetPosBTNClick, -1},
};

}  // namespace

TDebugFRM::TDebugFRM(DebugControl& control, workbench::Localizer& texts, QWidget* parent)
    : QWidget(parent, Qt::Window),
      control_(control),
      speed_label_(new QLabel(this)),
      status_panel_(new QLabel(this)),
      slower_(new QPushButton("-", this)),
      faster_(new QPushButton("+", this)),
      texts_(texts) {
  setObjectName(debug::DebugFRM);
  setWindowTitle("Debug");
  auto* grid = new QGridLayout;
  int index = 0;
  for (const auto& row : kButtons) {
    grid->addWidget(AddButton(row.name, row.caption, row.click), index / 4, index % 4);
    ++index;
  }
  slower_->setObjectName(debug::WalkSlowerBTN);
  faster_->setObjectName(debug::WalkFasterBTN);
  speed_label_->setObjectName(debug::WalkSpeedLBL);
  speed_label_->setAlignment(Qt::AlignCenter);
  speed_label_->setMinimumWidth(36);
  connect(slower_, &QPushButton::clicked, this, [this] { control_.WalkSpeedClick(1); });
  connect(faster_, &QPushButton::clicked, this, [this] { control_.WalkSpeedClick(-1); });
  auto* speed = new QHBoxLayout;
  for (auto* button : {slower_, faster_})
    button->setFixedWidth(button->fontMetrics().horizontalAdvance("+") + 24);
  speed->addWidget(slower_);
  speed->addWidget(speed_label_);
  speed->addWidget(faster_);
  speed->addStretch();
  speed->addWidget(AddButton(debug::QuitBTN, "&Quit", &DebugControl::QuitBTNClick));
  status_panel_->setObjectName(debug::StatusPanel);
  status_panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  status_panel_->setMinimumHeight(status_panel_->fontMetrics().height() + 6);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(speed);
  layout->addWidget(status_panel_);

  timer_.setInterval(40);
  connect(&timer_, &QTimer::timeout, this, [this] { control_.TimerTick(); });
  LocalizeForm(*this, texts_);
  language_slot_ = RegisterFormLanguageCallback(*this, texts_);

  control_.Attach(
      // Hidden from the event loop: a hide may come from deep inside a poll or a show.
      [this] {
        QMetaObject::invokeMethod(
            this, [this] { hide(); }, Qt::QueuedConnection);
      },
      [this] { Sync(); }, &placement_);
  control_.FormCreate();
  Sync();
}

TDebugFRM::~TDebugFRM() {
  control_.FormDestroy();
  control_.Attach({}, {}, nullptr);
}

QPushButton* TDebugFRM::AddButton(const char* name, const char* caption,
                                  void (DebugControl::*click)()) {
  auto* button = new QPushButton(caption, this);
  button->setObjectName(name);
  // Through std::function: a member pointer captured by the lambda trips a false warning of
  // the sanitizer build's optimiser.
  std::function<void(DebugControl&)> call = std::mem_fn(click);
  connect(button, &QPushButton::clicked, this, [this, call] { call(control_); });
  return button;
}

QPushButton& TDebugFRM::Button(const char* name) const { return *findChild<QPushButton*>(name); }

void TDebugFRM::Sync() {
  const auto& panel = control_.Panel();
  for (const auto& row : kButtons)
    if (row.mask_bit >= 0) Button(row.name).setEnabled((panel.mask & row.mask_bit) != 0);
  Button(debug::HopBTN).setVisible(panel.hop_jog_visible);
  Button(debug::JogBTN).setVisible(panel.hop_jog_visible);
  Button(debug::WatchBTN).setEnabled(panel.watch_enabled);
  speed_label_->setText(QString::fromStdString(panel.speed_text));
  status_panel_->setText(QString::fromStdString(panel.status));
  if (timer_.interval() != panel.interval) timer_.setInterval(panel.interval);
  if (panel.timer_on && !timer_.isActive()) timer_.start();
  if (!panel.timer_on && timer_.isActive()) timer_.stop();
}

void TDebugFRM::DebugProgrammed() {
  control_.DebugProgrammed([this] { show(); });
}

void TDebugFRM::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) control_.FormShow();
}

void TDebugFRM::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (!event->spontaneous()) control_.FormHide();
}

void TDebugFRM::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Minus) {
      slower_->click();
      return;
    }
    if (event->key() == Qt::Key_Plus) {
      faster_->click();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void TDebugFRM::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) control_.FormActivate();
}

}  // namespace gui
