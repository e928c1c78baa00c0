#include "build_debug/debug/gui/clock_form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "resources/code_widget_names.h"
#include "services/registry_settings.h"

namespace clock_form = widget_names::ClockForm;

namespace gui {

namespace {
constexpr char kPlacement[] = "ClockWindow";
}  // namespace

TClockForm::TClockForm(build_debug::ClockControl& control, workbench::RegistrySettings& settings,
                       QWidget* parent)
    : QDialog(parent),
      control_(control),
      settings_(settings),
      edit_(new QLineEdit(this)),
      track_(new QSlider(Qt::Vertical, this)),
      on_(new QCheckBox("&On", this)),
      reset_(new QPushButton("&Reset", this)),
      okay_(new QPushButton("O&kay", this)) {
  setObjectName(clock_form::ClockForm);
  setWindowTitle("Clock");
  edit_->setObjectName(clock_form::Edit);
  edit_->setMaxLength(7);
  edit_->setToolTip("Set the clock frequency");
  edit_->installEventFilter(this);
  track_->setObjectName(clock_form::TrackBar);
  track_->setRange(0, build_debug::kClockTrackMax);
  // Position 0 is the highest frequency, at the top.
  track_->setInvertedAppearance(true);
  track_->setToolTip("Adjust the clock frequency");
  on_->setObjectName(clock_form::CheckBox);
  on_->setToolTip("Enable the clock output");
  reset_->setObjectName(clock_form::ResetButton);
  okay_->setObjectName(clock_form::OkayButton);
  okay_->setToolTip("Hide the clock window");
  okay_->setAutoDefault(false);
  reset_->setAutoDefault(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Freq (MHz)", this), 0, 0);
  grid->addWidget(edit_, 1, 0);
  grid->addWidget(on_, 2, 0);
  grid->addWidget(reset_, 3, 0);
  grid->addWidget(okay_, 4, 0);
  grid->addWidget(new QLabel("110 MHz", this), 0, 1);
  grid->addWidget(track_, 1, 1, 3, 1, Qt::AlignHCenter);
  grid->addWidget(new QLabel("400 KHz", this), 4, 1);

  connect(track_, &QSlider::valueChanged, this,
          [this](int position) { control_.TrackBarChange(position); });
  connect(on_, &QCheckBox::clicked, this,
          [this](bool checked) { control_.CheckBoxClick(checked); });
  connect(reset_, &QPushButton::clicked, this, [this] { control_.ResetButtonClick(); });
  connect(okay_, &QPushButton::clicked, this, [this] { hide(); });
  timer_.setInterval(build_debug::kClockTimerMs);
  connect(&timer_, &QTimer::timeout, this, [this] { control_.TimerTick(); });
  control_.Attach([this] { Sync(); },
                  // The window's modal result is Cancel.
                  [this] {
                    QMetaObject::invokeMethod(
                        this, [this] { reject(); }, Qt::QueuedConnection);
                  },
                  [this] { okay_->click(); });
  std::ignore = settings_.RestoreFormPlacement(kPlacement, placement_);
  KeepPlaceOnReopen(*this);
}

TClockForm::~TClockForm() {
  std::ignore = settings_.SaveFormPlacement(kPlacement, placement_);
  control_.Attach({}, {}, {});
}

void TClockForm::Sync() {
  const auto& panel = control_.Panel();
  // The control set these: showing them must not come back to it as changes.
  QSignalBlocker block_track(track_);
  QSignalBlocker block_on(on_);
  edit_->setText(QString::fromStdString(panel.edit));
  edit_->selectAll();
  track_->setValue(panel.track);
  on_->setChecked(panel.on);
  if (panel.timer_on && !timer_.isActive()) timer_.start();
  if (!panel.timer_on && timer_.isActive()) timer_.stop();
}

void TClockForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  control_.FormShow();
  edit_->setFocus();
}

void TClockForm::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!event->spontaneous()) control_.FormHide();
}

bool TClockForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit_ && event->type() == QEvent::FocusOut) {
    control_.EditExit(edit_->text().toStdString());
  } else if (watched == edit_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Esc is no character of the frequency: it closes the window, as in any dialog.
    if (key->key() == Qt::Key_Escape) return false;
    // Keys that make no character (arrows, Delete) move and edit as usual.
    char c = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
      c = '\r';
    else if (key->key() == Qt::Key_Backspace)
      c = '\b';
    else if (key->text().size() == 1 && key->text()[0].unicode() < 0x80)
      c = static_cast<char>(key->text()[0].unicode());
    else if (!key->text().isEmpty())
      return true;  // dropped
    if (c == 0) return false;
    return !control_.EditKeyPress(c, edit_->text().toStdString());
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace gui
