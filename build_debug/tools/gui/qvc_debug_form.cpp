#include "build_debug/tools/gui/qvc_debug_form.h"

#include <QEvent>
#include <QHeaderView>
#include <QVBoxLayout>

#include "resources/code_widget_names.h"

namespace qvc_debug_frm = widget_names::QvCDebugFRM;

namespace gui {

TQvCDebugFRM::TQvCDebugFRM(QWidget* parent)
    : QWidget(parent, Qt::Window), DebugGRD(new QTableWidget(1, 2, this)) {
  setObjectName(qvc_debug_frm::QvCDebugFRM);
  setWindowTitle("QvC Debug");
  DebugGRD->setObjectName(qvc_debug_frm::DebugGRD);
  DebugGRD->horizontalHeader()->hide();
  DebugGRD->verticalHeader()->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(DebugGRD);
  DebugGRD->horizontalHeader()->setMinimumSectionSize(1);  // column 0 is narrower than Qt's least
  DebugGRD->setColumnWidth(0, kColumn0Width);
  DebugGRD->setColumnWidth(1, kColumn1Width);
  DebugGRD->viewport()->installEventFilter(this);
  resize(kColumn0Width + kColumn1Width + 2 * DebugGRD->frameWidth(), 200);
}

bool TQvCDebugFRM::eventFilter(QObject* watched, QEvent* event) {
  if (watched == DebugGRD->viewport() && event->type() == QEvent::Resize) FormResize();
  return QWidget::eventFilter(watched, event);
}

// Column 1 fills the width beside column 0 at every size of the window.
void TQvCDebugFRM::FormResize() {
  const int beside = DebugGRD->viewport()->width() - DebugGRD->columnWidth(0);
  if (beside > 0) DebugGRD->setColumnWidth(1, beside);
}

}  // namespace gui
