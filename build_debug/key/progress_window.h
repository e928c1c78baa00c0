#pragma once
// What the progress window ("Device Operation") shows for each progress code of the key
// protocol: the operation label, the bar, the Cancel button and the window's size. The Qt
// form (build_debug/key/gui) only copies this onto its widgets.
//
// The window's size follows the label and the Cancel button by pixel rules, so the geometry
// here is in pixels: the width fits the label's text (never below 224), and the height ends
// at the Cancel button's top while Cancel is hidden.
//
// Invariant: 0 <= Bar() <= kBarMaximum.

#include <functional>
#include <string>

namespace workbench {
class Localizer;
}

namespace build_debug {

struct ProgressGeometry {
  int bar_left = 8;
  int bar_top = 36;
  int cancel_top = 64;
  int cancel_width = 75;
  int cancel_height = 25;
  int min_client_width = 224;
};

class ProgressWindow {
 public:
  static constexpr int kBarMaximum = 512;
  static constexpr int kBarStep = 16;
  // The pixel width of a label text in the label's font.
  using MeasureText = std::function<int(const std::string& text)>;

  ProgressWindow(const workbench::Localizer& texts, MeasureText measure,
                 ProgressGeometry geometry = {});

  // Applies one progress code; parameter is the block index or the debug number.
  void Apply(int code, int parameter);
  // After a language change: the label's text of the current operation again.
  void Relocalize();

  const std::string& Label() const { return label_; }
  int Bar() const { return bar_; }
  bool CancelVisible() const { return cancel_visible_; }
  // Set by the codes that show the window, cleared when the window was closed: the reports
  // that follow the end of a run must not bring it back.
  bool Shown() const { return shown_; }
  void Closed() { shown_ = false; }
  const std::string& DebugLabel() const { return debug_label_; }
  int ClientWidth() const { return client_width_; }
  int ClientHeight() const { return client_height_; }
  int BarWidth() const { return client_width_ - 2 * geometry_.bar_left; }
  int LabelWidth() const { return client_width_; }
  int CancelLeft() const { return (client_width_ - geometry_.cancel_width) / 2; }
  const ProgressGeometry& Geometry() const { return geometry_; }

 private:
  void SetOperation(int text_id);
  void Refit();
  void Show();

  const workbench::Localizer& texts_;
  MeasureText measure_;
  ProgressGeometry geometry_;
  int text_id_ = -1;  // the operation label's string, -1 while it shows the form's own text
  std::string label_ = "Working...";
  int bar_ = 0;
  bool cancel_visible_ = true;
  bool shown_ = false;
  std::string debug_label_;
  int client_width_;
  int client_height_;
};

}  // namespace build_debug
