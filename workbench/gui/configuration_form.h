#pragma once
// The configuration dialog: a list of sections on the left selects the pages of settings.
// The widgets only show the values; reading and writing the settings, and copying them into
// EditorOptions and IdeOptions, is workbench/configuration's.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "services/gui/radio_group.h"
#include "services/options.h"
#include "services/registry_settings.h"
#include "workbench/com_ports.h"
#include "workbench/configuration.h"

namespace platform {
class MessageBoxService;
class ModalDialogService;
}  // namespace platform
namespace gui {
class HintDisplayTime;
}

namespace workbench {

class IdeSession;
class Localizer;

// The caption up to and including its ":", a blank and the number ("Font size: 12").
std::string LabelWithValue(const std::string& caption, int value);

// The port list's shape follows its length: up to 8 ports in one column of radio buttons, up
// to 16 in two, and more in a combo box, where a radio group would no longer fit the page.
struct PortListShape {
  int columns = 1;
  bool combo = false;
  bool operator==(const PortListShape&) const = default;
};
PortListShape PortListShapeFor(int port_count);

// A panel that shows a colour and reports clicks.
class ColourPanel : public QFrame {
 public:
  explicit ColourPanel(QWidget* parent = nullptr);
  void SetColour(Colour colour);
  Colour GetColour() const { return colour_; }
  // A swatch about as tall as a line of text and three times as wide.
  QSize sizeHint() const override;
  std::function<void()> on_click;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Colour colour_ = 0;
};

// What the dialog works with; all of it outlives the dialog.  ProgramServices() gives the
// session's own.
struct ConfigFormServices {
  RegistrySettings& registry;
  KeyLinkChoices& link;
  ComPortList& ports;
  EditorOptions& editor_options;
  IdeOptions& ide_options;
  Localizer& texts;
  platform::MessageBoxService& boxes;
  platform::ModalDialogService& dialogs;
  std::function<bool()> wrenfield_mode = [] { return false; };
  std::function<bool()> debug_mode = [] { return false; };
  // The main window applies both records to its editors and menus.
  std::function<void()> apply_options = [] {};
  // The application's hint display time, longer while the dialog is up; null: none.
  gui::HintDisplayTime* hint_time = nullptr;
};

// The session's settings store, option records, texts, services and modes.
ConfigFormServices ProgramServices(IdeSession& session, KeyLinkChoices& link, ComPortList& ports);

class TConfigFRM : public QDialog {
 public:
  // Builds the dialog and runs its start-up: reads every setting into the controls and the
  // records and, on the first run, shows the notice and then the dialog itself.
  explicit TConfigFRM(ConfigFormServices services, QWidget* parent = nullptr);
  ~TConfigFRM() override;

  // Opens the colour dialog on a colour; nothing when it is cancelled.  Tests replace it.
  // It reads and updates the 16 custom colour lines.
  using ColourChooser = std::function<std::optional<Colour>(
      Colour initial, std::array<std::string, kCustomColorCount>& custom_colors)>;
  void SetColourChooser(ColourChooser chooser) { choose_colour_ = std::move(chooser); }

  // The controls as a plain picture, and back.
  ConfigurationControls ReadControls() const;
  void WriteControls(const ConfigurationControls& controls);

  void ReadSettings();
  void ControlsToRecords();
  void RecordsToControls();
  void SaveSettings();

  // Replaces the listed ports and lays the group out again.
  void SetPortNames(std::vector<std::string> names);
  const std::vector<std::string>& PortNames() const { return port_names_; }

  void accept() override;  // OK

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildIdePage(QWidget* page);
  void BuildEditorPage(QWidget* page);
  void BuildAssemblerPage(QWidget* page);
  void FormCreate();
  void FormShow();
  void FormHide();
  void FormDestroy();
  void LayOutPorts();
  void OrderTabs();
  void UseTarnCBClick();
  void FitToShown();
  void UseNewEditorCBClick();
  void FontsizeUpDownClick();
  void TabsizeUpDownClick();
  void ColourBoxesClick();
  void CommentColorPNLClick(ColourPanel* panel);
  void DebugComGuiTesterRDGRPClick(int index);
  void LanguageChanged();
  int language_slot_ = -1;
  bool centre_on_show_ = false;
  void DebugBox(const char* text);

  ConfigFormServices services_;
  ColourChooser choose_colour_;
  std::vector<std::string> port_names_;
  std::array<std::string, kCustomColorCount> custom_colors_ =
      ConfigurationControls::DefaultCustomColors();
  std::string fontsize_caption_ = "Font size:";
  std::string tabsize_caption_ = "Tab size:";

 public:
  // The controls, named as the settings name them.
  QListWidget* ItemLSTBX;
  QStackedWidget* ItemsPGCTRL;
  QPushButton* OkBTN;
  QPushButton* CancelBTN;
  // "IDE"
  QCheckBox* CreateBackupCB;
  QCheckBox* UseTemplatesCB;
  QCheckBox* RestoreWorkspaceCB;
  QGroupBox* IdeOptionsGRPBX;
  gui::RadioGroup* DefaultEditorTypeRDGRP;
  gui::RadioGroup* PortRDGRP;
  QComboBox* TooManyComPortsCBX;
  QLabel* SerialPortLBL;
  gui::RadioGroup* DebugComGuiTesterRDGRP;
  // "Editor"
  QGroupBox* EditorOptionsGRPBX;
  QCheckBox* UseNewEditorCB;
  QFrame* EditorOptionsPNL;
  QLabel* FontsizeLBL;
  QSpinBox* FontsizeUpDown;
  QLabel* TabsizeLBL;
  QSpinBox* TabsizeUpDown;
  QLabel* SamplePNL;
  QCheckBox* ColorCodeCB;
  ColourPanel* CodeColorPNL;
  QCheckBox* CodeBoldCB;
  QCheckBox* ColorCommentsCB;
  ColourPanel* CommentColorPNL;
  ColourPanel* ErrorBgColorPNL;
  QLabel* ErrorBgColorLBL;
  QCheckBox* WarnLoadingKnownTopFileCB;
  QCheckBox* WarnUsingTopFileCB;
  QCheckBox* JumpToErrorCB;
  QCheckBox* SmoothScrollCB;
  // "Assembler"
  QGroupBox* AssemblerOptionsGRPBX;
  QCheckBox* UseTarnCB;
  QCheckBox* TarnOutputFilesCB;
  QCheckBox* LocalLabelStartColCB;
  QCheckBox* StricterAssemblyParsingCB;
  QLabel* AssemblerInfoLBL;
  gui::RadioGroup* IrcRDGRP;
  // "QV/B Compiler"
  QCheckBox* QvBasicOutputFilesCB;
  // "Language"
  gui::RadioGroup* LanguageRDGRP;
};

}  // namespace workbench
