#include "build_debug/key/gui/multi_prog_form.h"

#include <QHBoxLayout>

#include "platform/message_box.h"
#include "resources/code_widget_names.h"
#include "services/gui/guarded.h"

namespace multi_prog_frm = widget_names::MultiProgFRM;

namespace gui {

TMultiProgFRM::TMultiProgFRM(platform::MessageBoxService& boxes, QWidget* parent)
    : QWidget(parent, Qt::Window), boxes_(boxes) {
  setObjectName(multi_prog_frm::MultiProgFRM);
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
  StartBTN = button(multi_prog_frm::StartBTN, "Start");
  FileBTN = button(multi_prog_frm::FileBTN, "File");
  EndBTN = button(multi_prog_frm::EndBTN, "End");
}

}  // namespace gui
