#pragma once
// TDeviceFRM, "Device": the chip's fuses FUSE and FUSEX of the working image as radio groups
// and check boxes, the ID string, the program words as a scrollable hex dump ("E²Flash"),
// and Program, Verify, Read, Load Hex and Save Hex. It also shows an image file opened
// read-only. What the controls mean is build_debug::DeviceSettings'; this window shows it.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "build_debug/key/device_settings.h"
#include "platform/message_box.h"
#include "services/gui/radio_group.h"

namespace build_debug {
class QvKeyUnit;
}
namespace platform {
class ModalDialogService;
}
namespace workbench {
class Localizer;
class MessageStrings;
class RegistrySettings;
class WindowsMenuUnit;
struct GlobalValues;
}  // namespace workbench

namespace gui {

// What the window works with; all of it outlives the window.
struct DeviceFormServices {
  build_debug::ObjectImage& image;
  build_debug::QvKeyUnit& key;
  const workbench::MessageStrings& messages;
  workbench::Localizer& texts;
  workbench::RegistrySettings& registry;
  workbench::WindowsMenuUnit& windows_menu;
  platform::ModalDialogService& dialogs;
  const workbench::GlobalValues& globals;  // which assembler is in use, for the hints
  // Writes the bytes of a saved image; tests put a failing one in its place.
  workbench::FileBytesWriter file_writer = workbench::WriteAllBytes;
  // The main window's status line, told what a key command did when it ended well.
  std::function<void(const std::string&)> status_line = {};
};

class TDeviceFRM : public QWidget {
  Q_OBJECT

 public:
  explicit TDeviceFRM(const DeviceFormServices& services, QWidget* parent = nullptr);
  ~TDeviceFRM() override;

  // The working image into the controls, the ID string and the E²Flash lines.
  void ShowImage();
  // Loads an image file (Load Hex, or a ".qvh" file given at start). False when nothing was
  // loaded; a file that was found but not loaded has been reported in a box.
  bool LoadImageFile(const std::string& name, bool read_only);
  void ClearReadOnlyImage();
  void SetReadOnlyMode(bool read_only);
  void InitHints();

  // Program, Verify and Read: off while a programming run holds the link (the run's start and
  // end call this), and while the IDE's own debug session or clock window holds it.
  void EnableKeyButtons(bool enabled);
  void SessionHoldsKey(bool held);
  void ProgramBTNClick();
  void VerifyBTNClick();
  void ReadBTNClick();
  void LoadBTNClick();
  void SaveBTNClick();
  void CancelBTNClick();

  const build_debug::DeviceSettings& Settings() const { return settings_; }
  RadioGroup& DeviceGroup() { return *DeviceRDGRP; }
  RadioGroup& OscillatorGroup() { return *OscRDGRP; }
  RadioGroup& BrownoutGroup() { return *BrownoutRDGRP; }
  RadioGroup& ResetGroup() { return *ResetRDGRP; }
  QCheckBox& CheckBox(const char* name) const;
  QLabel& IdLabel() { return *IDStringLBL; }
  QLabel& EeLabel(int i) { return *ee_labels_[static_cast<std::size_t>(i)]; }
  QScrollBar& EeScrollBar() { return *EEScrollBar; }
  QPushButton& Button(const char* name) const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Each check box with the control it stands for.
  struct CheckBoxControl {
    QCheckBox* TDeviceFRM::*box;
    bool build_debug::DeviceControls::*checked;
  };
  static const std::array<CheckBoxControl, 9>& CheckBoxControls();

  void BuildWindow();
  void FitToScreen();
  void Localize();
  // "Device" as the tables name it, or the read-only image's caption.
  void PresentCaption();
  void OrderTabs();
  // Widgets -> the settings, then the settings' FUSE/FUSEX, enables and checks back.
  void ControlClicked();
  void PresentControls();
  void PresentEeLines();
  void ApplyEnables();
  // No run, no debug session and no clock window holds the key.
  bool KeyFree() const;
  void PresentKeyButtons();
  void FormClose();
  int Box(const std::string& text, platform::BoxButtons buttons = platform::BoxButtons::Ok,
          platform::BoxKind kind = platform::BoxKind::Plain) const;
  // A file that is no device image: the user can only abort the load.
  void ImageErrorBox(const std::string& text) const;

  DeviceFormServices services_;
  build_debug::DeviceSettings settings_;
  int language_slot_ = -1;
  QString caption_;
  bool read_only_mode_ = false;
  bool run_holds_key_ = false;
  bool session_holds_key_ = false;

  RadioGroup* DeviceRDGRP;
  RadioGroup* OscRDGRP;
  RadioGroup* BrownoutRDGRP;
  RadioGroup* ResetRDGRP;
  QGroupBox* OptionsGRP;
  QCheckBox* TurboCB;
  QCheckBox* StackOPTIONCB;
  QCheckBox* CarryCB;
  QCheckBox* SyncCB;
  QCheckBox* WatchdogCB;
  QCheckBox* ProtectCB;
  QCheckBox* SleepClockCB;
  QGroupBox* BufferFeedbackPNL;
  QCheckBox* DriveCB;
  QCheckBox* FeedbackCB;
  QGroupBox* IdGRP;
  QLabel* IDStringLBL;
  QGroupBox* EeGRP;
  std::array<QLabel*, build_debug::kEeVisibleLines> ee_labels_{};
  QScrollBar* EEScrollBar;
  QWidget* content_;  // every control, inside the window's scroll area
  QPushButton* ProgramBTN;
  QPushButton* VerifyBTN;
  QPushButton* ReadBTN;
  QPushButton* LoadBTN;
  QPushButton* SaveBTN;
  QPushButton* CancelBTN;
};

}  // namespace gui
