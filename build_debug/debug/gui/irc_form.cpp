#include "build_debug/debug/gui/irc_form.h"

#include <QGridLayout>
#include <QPushButton>
#include <QShowEvent>

#include "build_debug/debug/clock_control.h"
#include "resources/code_widget_names.h"
#include "services/gui/localize_form.h"
#include "services/localize.h"

namespace irc_frm = widget_names::IrcFRM;

namespace gui {

TIrcFRM::TIrcFRM(const build_debug::QvKeyUnit& key, workbench::Localizer& texts, QWidget* parent)
    : QDialog(parent), key_(key) {
  setObjectName(irc_frm::IrcFRM);
  setWindowTitle("IRC");
  auto* grid = new QGridLayout(this);
  for (int t = 0; t < 8; ++t) {
    auto* label = new QLabel(this);
    label->setObjectName(QString("FreqLBL%1").arg(t));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance("00.00 MHz"));
    grid->addWidget(new QLabel(QString("Trim %1").arg(t), this), t, 0);
    grid->addWidget(label, t, 1);
    labels_[static_cast<std::size_t>(t)] = label;
  }
  status_ = new QLabel(this);
  status_->setObjectName(irc_frm::StatusLBL);
  status_->setWordWrap(true);
  status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance("Calibration failed: no trim"));
  status_->hide();
  grid->addWidget(status_, 8, 0, 1, 2);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName(irc_frm::OkBTN);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  grid->addWidget(ok, 9, 0, 1, 2, Qt::AlignHCenter);
  LocalizeForm(*this, texts);
  RegisterFormLanguageCallback(*this, texts);
}

void TIrcFRM::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  auto labels = build_debug::IrcLabels(key_.Counts(), key_.GetTrim());
  for (int t = 0; t < 8; ++t) {
    const auto& shown = labels[static_cast<std::size_t>(t)];
    QLabel& label = FreqLabel(t);
    label.setText(QString::fromStdString(shown.text));
    QFont font = label.font();
    font.setBold(shown.highlighted);
    label.setFont(font);
  }
  const std::string note = build_debug::IrcCalibrationNote(key_.Counts(), key_.GetTrim());
  status_->setText(QString::fromStdString(note));
  status_->setVisible(!note.empty());
  // The note is several lines once wrapped: the window grows to show it whole.
  adjustSize();
}

}  // namespace gui
