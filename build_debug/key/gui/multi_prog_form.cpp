#include "build_debug/key/gui/multi_prog_form.h"

#include <QHBoxLayout>

#include "platform/message_box.h"
#include "workbench/gui/guarded.h"

namespace gui {

TMultiProgFRM::TMultiProgFRM(platform::MessageBoxService& boxes, QWidget* parent)
    : QWidget(parent, Qt::Window), boxes_(boxes) {
  setObjectName("MultiProgFRM");
  setWindowTitle("Multiple Programming");
  auto* layout = new QHBoxLayout(this);
  const auto button = [&](const char* name, const char* caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    layout->addWidget(b);
    connect(b, &QPushButton::clicked, this, Guard(boxes_, [this, caption] {
              (void)boxes_.Show({caption, "Click", platform::BoxButtons::Ok});
            }));
    return b;
  };
  StartBTN = button("StartBTN", "Start");
  FileBTN = button("FileBTN", "File");
  EndBTN = button("EndBTN", "End");
}

}  // namespace gui
