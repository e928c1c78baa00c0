#include "build_debug/tools/gui/qvc_debug_form.h"
#include "resources/code_widget_names.h"

#include <QApplication>
#include <QScrollBar>

#include <cstdlib>

#include <gtest/gtest.h>

namespace qvc_debug_frm = widget_names::QvCDebugFRM;

namespace gui {
namespace {

TEST(QvCDebugForm, ColumnOneFillsTheWidthBesideColumnZeroAtEverySize) {
  TQvCDebugFRM form;
  EXPECT_EQ(form.windowTitle(), "QvC Debug");
  EXPECT_EQ(form.Grid().objectName(), qvc_debug_frm::DebugGRD);
  form.show();
  for (int width : {300, 700, 120}) {
    SCOPED_TRACE(width);
    form.resize(width, 200);
    QApplication::processEvents();
    EXPECT_EQ(form.Grid().columnWidth(0), TQvCDebugFRM::kColumn0Width);
    EXPECT_EQ(form.Grid().columnWidth(0) + form.Grid().columnWidth(1),
              form.Grid().viewport()->width());
  }
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
    form.resize(TQvCDebugFRM::kColumn0Width + TQvCDebugFRM::kColumn1Width, 200);
    QApplication::processEvents();
    form.grab().save(QString(folder) + "/qvc_debug_form.png");
  }
}

}  // namespace
}  // namespace gui
