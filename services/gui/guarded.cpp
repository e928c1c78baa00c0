#include "services/gui/guarded.h"

#include <QCoreApplication>
#include <exception>

#include "platform/message_box.h"
#include "services/gui/text.h"
#include "services/silent_abort.h"

namespace gui {

bool RunGuarded(platform::MessageBoxService& boxes, const std::function<void()>& body) {
  const std::string caption = FromQt(QCoreApplication::applicationName());
  try {
    body();
    return true;
  } catch (const workbench::SilentAbort&) {
    return false;
  } catch (const std::exception& e) {
    boxes.Show({e.what(), caption, platform::BoxButtons::Ok});
  } catch (...) {
    boxes.Show({"Unexpected failure", caption, platform::BoxButtons::Ok});
  }
  return false;
}

}  // namespace gui
