#include "workbench/gui/grid_debug_form.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "resources/code_widget_names.h"

namespace grid_debug_frm = widget_names::GridDebugFRM;

namespace gui {
namespace {

constexpr int kColumns = 5;

}  // namespace

TGridDebugFRM::TGridDebugFRM(QWidget& owner) : QWidget(&owner, Qt::Window) {
  setObjectName(grid_debug_frm::GridDebugFRM);
  setWindowTitle("Grid Debug");
  DebugGRD = new QTableWidget(2, kColumns, this);
  DebugGRD->setObjectName(grid_debug_frm::DebugGRD);
  DebugGRD->horizontalHeader()->setDefaultSectionSize(72);
  ClearBTN = new QPushButton("Clear", this);
  ClearBTN->setObjectName(grid_debug_frm::ClearBTN);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(DebugGRD);
  layout->addWidget(ClearBTN, 0, Qt::AlignLeft);
  connect(ClearBTN, &QPushButton::clicked, this, [this] { ClearBTNClick(); });
  resize(420, 300);
  ClearBTNClick();
}

void TGridDebugFRM::ClearBTNClick() {
  // Row 0 is the grid's fixed row; writing starts in row 1.
  DebugGRD->setRowCount(2);
  write_row_ = 1;
  write_column_ = 1;
  for (int column = 0; column < DebugGRD->columnCount(); ++column)
    DebugGRD->setItem(1, column, new QTableWidgetItem("    "));
}

}  // namespace gui
