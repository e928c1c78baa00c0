#include "build_debug/key/progress_window.h"

#include <algorithm>

#include "build_debug/key/key_protocol.h"
#include "resources/string_ids.h"
#include "services/localize.h"

namespace build_debug {

namespace {
namespace ids = string_ids::ProgressUnit;
// Room beside the label's text when the text sets the width.
constexpr int kTextMargin = 8;
}  // namespace

ProgressWindow::ProgressWindow(const workbench::Localizer& texts, MeasureText measure,
                               ProgressGeometry geometry)
    : texts_(texts),
      measure_(std::move(measure)),
      geometry_(geometry),
      client_width_(geometry.min_client_width),
      client_height_(geometry.cancel_top + geometry.cancel_height + geometry.bar_top) {}

void ProgressWindow::Apply(int code, int parameter) {
  switch (code) {
    case kProgressStart:
      cancel_visible_ = false;
      client_height_ = geometry_.cancel_top;
      bar_ = 0;
      Show();
      break;
    case kProgressErasing:
      SetOperation(ids::SCU_ERASING);
      Refit();
      break;
    case kProgressProgramming:
      SetOperation(ids::SCU_PROGRAMMING);
      Show();
      break;
    case kProgressDebugProgramming:
      SetOperation(ids::SCU_PROGRAMMING_DEBUG);
      Refit();
      break;
    case kProgressReading: SetOperation(ids::SCU_READING); break;
    case kProgressCalibrating: SetOperation(ids::SCU_CALIBRATING); break;
    case kProgressHideMessage: debug_label_ = "Hide Message"; break;
    case kProgressStep: bar_ = std::min(bar_ + kBarStep, kBarMaximum); break;
    case kProgressShowCancel:
      cancel_visible_ = true;
      client_height_ = geometry_.cancel_top + geometry_.cancel_height + geometry_.bar_top;
      Show();
      break;
    case kProgressTxFailed: debug_label_ = "!Tx data"; break;
    case kProgressSentClose: debug_label_ = "Sent close " + std::to_string(parameter); break;
    default: break;
  }
}

void ProgressWindow::Relocalize() {
  if (text_id_ >= 0) label_ = texts_.LU_GetString(text_id_);
  Refit();
}

void ProgressWindow::SetOperation(int text_id) {
  text_id_ = text_id;
  label_ = texts_.LU_GetString(text_id);
  bar_ = 0;
}

void ProgressWindow::Refit() {
  int needed = measure_(label_) + kTextMargin;
  client_width_ = std::max(needed, geometry_.min_client_width);
}

void ProgressWindow::Show() {
  Refit();
  shown_ = true;
}

}  // namespace build_debug
