#include "build_debug/key/gui/progress_form.h"

#include <QFontMetrics>
#include <QScreen>

#include "resources/widget_names.h"
#include "services/gui/localize_form.h"
#include "services/gui/text.h"
#include "services/localize.h"

namespace progress_frm = widget_names::ProgressFRM;

namespace gui {

namespace {
constexpr int kLabelTop = 8;
constexpr int kLabelHeight = 20;
constexpr int kBarHeight = 18;
}  // namespace

TProgressFRM::TProgressFRM(workbench::Localizer& texts, std::function<void()> on_cancel,
                           QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      texts_(texts),
      on_cancel_(std::move(on_cancel)),
      operation_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      cancel_(new QPushButton(this)),
      debug_label1_(new QLabel(this)),
      debug_label2_(new QLabel(this)),
      state_(texts, [this](const std::string& text) {
        return QFontMetrics(operation_->font()).horizontalAdvance(ShownText(text));
      }) {
  setObjectName(progress_frm::ProgressFRM);
  operation_->setObjectName(progress_frm::OperationLBL);
  cancel_->setObjectName(progress_frm::CancelBTN);
  setWindowTitle("Device Operation");
  operation_->setText("Working...");
  cancel_->setText("Cancel");
  QFont bold = operation_->font();
  bold.setBold(true);
  operation_->setFont(bold);
  operation_->setAlignment(Qt::AlignCenter);
  bar_->setRange(0, build_debug::ProgressWindow::kBarMaximum);
  bar_->setTextVisible(false);
  debug_label1_->hide();
  debug_label2_->hide();
  LocalizeForm(*this, texts_);
  language_slot_ = texts_.RegisterLanguageCallback([this](int) {
    LocalizeForm(*this, texts_);
    state_.Relocalize();
    Present();
  });
  connect(cancel_, &QPushButton::clicked, this, [this] {
    if (on_cancel_) on_cancel_();
  });
  Present();
}

TProgressFRM::~TProgressFRM() { texts_.UnregisterLanguageCallback(language_slot_); }

void TProgressFRM::DeviceProgress(int code, int parameter) {
  bool was_shown = state_.Shown();
  state_.Apply(code, parameter);
  Present();
  if (state_.Shown() && (!was_shown || !isVisible())) {
    // Centred on the screen, as the window first appears.
    if (auto* screen = this->screen()) {
      QRect area = screen->availableGeometry();
      move(area.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
  }
  if (state_.Shown()) repaint();
}

void TProgressFRM::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  state_.Closed();
}

void TProgressFRM::Present() {
  const auto& g = state_.Geometry();
  operation_->setText(ShownText(state_.Label()));
  operation_->setGeometry(0, kLabelTop, state_.LabelWidth(), kLabelHeight);
  bar_->setGeometry(g.bar_left, g.bar_top, state_.BarWidth(), kBarHeight);
  bar_->setValue(state_.Bar());
  cancel_->setGeometry(state_.CancelLeft(), g.cancel_top, g.cancel_width, g.cancel_height);
  cancel_->setVisible(state_.CancelVisible());
  debug_label2_->setText(ToQt(state_.DebugLabel()));
  setFixedSize(state_.ClientWidth(), state_.ClientHeight());
}

}  // namespace gui
