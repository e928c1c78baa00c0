#include "workbench/gui/configuration_form.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

#include "platform/message_box.h"
#include "workbench/gui/form_placement.h"
#include "workbench/gui/guarded.h"
#include "workbench/gui/localize_form.h"
#include "workbench/gui/modal_dialogs.h"
#include "workbench/gui/text.h"
#include "workbench/globals.h"
#include "workbench/localize.h"
#include "workbench/session/session.h"

namespace workbench {
namespace {

constexpr const char* kPlacementName = "ConfigureWindowVer3";
constexpr const char* kDebugCaption = "DEBUG - Config.FormCreate";
constexpr const char* kFirstRunNotice =
    "Since this is the first time the program has run, please\r"
    "take a moment to review the default configuration.\r"
    "In particular, check the COM port setting to make sure the\r"
    "QV-Key can be found.";
constexpr const char* kFirstRunCaption = "FIRST TIME RUNNING";

// The port counts of the hidden tester group's items; 0 keeps the machine's own list.
constexpr std::size_t kTesterPortCounts[] = {0, 4, 8, 16, 18};

// The designed geometry of the pages, in pixels.
constexpr int kPageWidth = 480;
constexpr int kPageHeight = 330;
constexpr int kCheckHeight = 17;
const Box kIdeGroupDesign{8, 80, 464, 120};
const Box kTypeGroupDesign{16, 24, 140, 84};

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
Colour FromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QCheckBox* CheckBox(QWidget* parent, const char* name, const char* caption, int left, int top,
                    int width) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(name);
  box->setGeometry(left, top, width, kCheckHeight);
  return box;
}

QLabel* Label(QWidget* parent, const char* name, const char* caption, Box box) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  label->setGeometry(box.left, box.top, box.width, box.height);
  return label;
}

void Place(QWidget* widget, const Box& box) {
  widget->setGeometry(box.left, box.top, box.width, box.height);
}

QStringList ToQtList(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list.push_back(gui::ToQt(text));
  return list;
}

gui::RadioGroup* Radio(QWidget* parent, const char* name, const char* caption,
                       const std::vector<std::string>& items, const Box& box) {
  auto* group = new gui::RadioGroup(parent);
  group->setObjectName(name);
  group->setTitle(caption);
  group->SetItems(ToQtList(items));
  Place(group, box);
  return group;
}

// Runs `pick` with the item's index when the user picks one.
template <typename F>
void OnPick(platform::MessageBoxService& boxes, gui::RadioGroup* group, F pick) {
  QObject::connect(&group->Buttons(), &QButtonGroup::idClicked, group, gui::Guard(boxes, pick));
}

int BottomOf(const QWidget* widget) { return widget->y() + widget->height(); }

std::optional<Colour> ChooseWithColourDialog(
    platform::ModalDialogService& dialogs, QWidget* parent, Colour initial,
    std::array<std::string, kCustomColorCount>& custom) {
  for (int i = 0; i < kCustomColorCount; ++i) {
    QColorDialog::setCustomColor(i, ToQColor(CustomColorValue(custom[i], 0x808080)));
  }
  QColorDialog dialog(ToQColor(initial), parent);
  dialog.setObjectName("SyntaxColorDLG");
  if (dialogs.Run(dialog) != QDialog::Accepted) return std::nullopt;
  for (int i = 0; i < kCustomColorCount; ++i) {
    custom[i] = CustomColorLine(i, FromQColor(QColorDialog::customColor(i)));
  }
  return FromQColor(dialog.selectedColor());
}

}  // namespace

std::string LabelWithValue(const std::string& caption, int value) {
  const std::size_t colon = caption.find(':');
  const std::string head = colon == std::string::npos ? caption : caption.substr(0, colon + 1);
  return head + " " + std::to_string(value);
}

PortGroupLayout LayOutPortGroup(int port_count, const PortGroupDesign& design) {
  PortGroupLayout out;
  out.type_group = design.type_group;
  out.ide_group = design.ide_group;
  out.port_group = Box{0, design.type_group.top, design.type_group.width,
                       design.type_group.height};
  const int margin = design.type_group.left;

  if (port_count <= 16) {
    if (port_count > 4) out.port_group.height = (out.port_group.height / 4) * port_count;
    if (port_count > 8) {
      out.port_group.height /= 2;
      out.port_columns = 2;
      out.port_group.width += 24;
    }
    if (out.port_group.Bottom() > out.ide_group.height) {
      out.ide_group.height = out.port_group.Bottom() + margin;
      if (out.ide_group.Bottom() > design.page_client_height - 8) {
        out.ide_group.height = design.page_client_height - 4 - out.ide_group.top;
      }
    }
  } else {
    out.combo_visible = true;
  }

  out.type_group.top =
      out.port_group.top + (out.port_group.height - out.type_group.height) / 2;
  const int gap = (out.ide_group.width - out.type_group.width - out.port_group.width) / 3;
  out.type_group.left = gap;
  out.port_group.left = out.ide_group.width - gap - out.port_group.width;

  if (out.combo_visible) {
    constexpr int kComboHeight = 22, kLabelHeight = 15;
    out.combo = Box{out.port_group.left, out.port_group.top, out.port_group.width, kComboHeight};
    out.combo_label = Box{out.combo.left, out.combo.top - 4 - kLabelHeight, out.combo.width,
                          kLabelHeight};
  }
  return out;
}

// ---------------------------------------------------------------------------------------

ColourPanel::ColourPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
}

void ColourPanel::SetColour(Colour colour) {
  colour_ = colour;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(colour));
  setPalette(p);
}

void ColourPanel::mousePressEvent(QMouseEvent* event) {
  QFrame::mousePressEvent(event);
  if (on_click) on_click();
}

// ---------------------------------------------------------------------------------------

ConfigFormServices ProgramServices(IdeSession& session, KeyLinkChoices& link, ComPortList& ports) {
  GlobalValues& globals = session.Globals();
  return ConfigFormServices{session.Registry(),
                            link,
                            ports,
                            globals.EditorOptions,
                            globals.IdeOptions,
                            session.Texts(),
                            session.Boxes(),
                            session.Dialogs(),
                            [&globals] { return globals.WrenfieldMode; },
                            [&globals] { return globals.DebugMode; }};
}

PortGroupDesign TConfigFRM::PortDesign() {
  return PortGroupDesign{kTypeGroupDesign, kIdeGroupDesign, kPageHeight};
}

TConfigFRM::TConfigFRM(ConfigFormServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
  setObjectName("ConfigFRM");
  setWindowTitle("Configuration");
  choose_colour_ = [this](Colour initial, std::array<std::string, kCustomColorCount>& custom) {
    return ChooseWithColourDialog(services_.dialogs, this, initial, custom);
  };

  ItemLSTBX = new QListWidget(this);
  ItemLSTBX->setObjectName("ItemLSTBX");
  ItemLSTBX->setGeometry(8, 8, 110, kPageHeight);
  for (const char* item : {"IDE", "Editor", "Assembler", "QV/B Compiler", "Language"}) {
    ItemLSTBX->addItem(item);
  }
  ItemsPGCTRL = new QStackedWidget(this);
  ItemsPGCTRL->setObjectName("ItemsPGCTRL");
  ItemsPGCTRL->setGeometry(126, 8, kPageWidth, kPageHeight);
  QWidget* pages[5];
  const char* page_names[] = {"IdeTAB", "EditorTAB", "AssemblerTAB", "QvBasicTAB", "LanguageTAB"};
  for (int i = 0; i < 5; ++i) {
    pages[i] = new QWidget;
    pages[i]->setObjectName(page_names[i]);
    ItemsPGCTRL->addWidget(pages[i]);
  }
  BuildIdePage(pages[0]);
  BuildEditorPage(pages[1]);
  BuildAssemblerPage(pages[2]);
  QvBasicOutputFilesCB = CheckBox(pages[3], "QvBasicOutputFilesCB",
                                  "QV/B files to \"Output Files\" dir.", 8, 8, 300);
  LanguageRDGRP = Radio(pages[4], "LanguageRDGRP", "Language", {"English"}, Box{8, 8, 160, 60});
  OnPick(services_.boxes, LanguageRDGRP,
         [texts = &services_.texts](int index) { texts->SelectLanguage(index); });

  OkBTN = new QPushButton("OK", this);
  OkBTN->setObjectName("OkBTN");
  OkBTN->setGeometry(420, kPageHeight + 16, 88, 26);
  OkBTN->setDefault(true);
  CancelBTN = new QPushButton("Cancel", this);
  CancelBTN->setObjectName("CancelBTN");
  CancelBTN->setGeometry(516, kPageHeight + 16, 88, 26);
  setFixedSize(126 + kPageWidth + 8, kPageHeight + 16 + 26 + 8);

  WriteControls(ConfigurationControls{});  // the designed states, from one place

  QObject::connect(OkBTN, &QPushButton::clicked, this, gui::Guard(services_.boxes, [this] { accept(); }));
  QObject::connect(CancelBTN, &QPushButton::clicked, this, gui::Guard(services_.boxes, [this] { reject(); }));
  QObject::connect(ItemLSTBX, &QListWidget::currentRowChanged, this, gui::Guard(services_.boxes, [this](int row) {
    if (row >= 0) ItemsPGCTRL->setCurrentIndex(row);
  }));

  FormCreate();
}

TConfigFRM::~TConfigFRM() {
  services_.texts.UnregisterLanguageCallback(language_slot_);
  FormDestroy();
}

void TConfigFRM::BuildIdePage(QWidget* page) {
  CreateBackupCB = CheckBox(page, "CreateBackupCB", "Create backup (.bak) files", 8, 8, 300);
  UseTemplatesCB = CheckBox(page, "UseTemplatesCB", "Use Templates If Available", 8, 30, 300);
  RestoreWorkspaceCB = CheckBox(page, "RestoreWorkspaceCB", "Restore Workspace", 8, 52, 300);

  IdeOptionsGRPBX = new QGroupBox("IDE Options", page);
  IdeOptionsGRPBX->setObjectName("IdeOptionsGRPBX");
  Place(IdeOptionsGRPBX, kIdeGroupDesign);
  DefaultEditorTypeRDGRP = Radio(IdeOptionsGRPBX, "DefaultEditorTypeRDGRP", "Default Editor Type",
                                 {"Assembly", "QV/B"}, kTypeGroupDesign);
  PortRDGRP = Radio(IdeOptionsGRPBX, "PortRDGRP", "Serial Port", {}, kTypeGroupDesign);
  TooManyComPortsCBX = new QComboBox(IdeOptionsGRPBX);
  TooManyComPortsCBX->setObjectName("TooManyComPortsCBX");
  TooManyComPortsCBX->setPlaceholderText("Select COM Port");
  TooManyComPortsCBX->hide();
  SerialPortLBL = Label(IdeOptionsGRPBX, "SerialPortLBL", "Serial Port", Box{});
  SerialPortLBL->hide();
  QObject::connect(TooManyComPortsCBX, &QComboBox::activated, this,
                   gui::Guard(services_.boxes, [this](int index) { PortRDGRP->SetItemIndex(index); }));

  DebugComGuiTesterRDGRP =
      Radio(page, "DebugComGuiTesterRDGRP", "# COM ports",
            {"Actual #", "4 ports", "8 ports", "16 ports", "18 ports"}, Box{330, 8, 140, 66});
  DebugComGuiTesterRDGRP->hide();
  OnPick(services_.boxes, DebugComGuiTesterRDGRP, [this](int index) { DebugComGuiTesterRDGRPClick(index); });
}

void TConfigFRM::BuildEditorPage(QWidget* page) {
  EditorOptionsGRPBX = new QGroupBox("Editor Options", page);
  EditorOptionsGRPBX->setObjectName("EditorOptionsGRPBX");
  Place(EditorOptionsGRPBX, Box{8, 8, 260, 248});
  UseNewEditorCB = CheckBox(EditorOptionsGRPBX, "UseNewEditorCB", "Use Enhanced Editor", 8, 20, 240);
  UseNewEditorCB->setChecked(true);

  EditorOptionsPNL = new QFrame(EditorOptionsGRPBX);
  EditorOptionsPNL->setObjectName("EditorOptionsPNL");
  Place(EditorOptionsPNL, Box{4, 42, 252, 200});
  FontsizeLBL = Label(EditorOptionsPNL, "FontsizeLBL", "Font size:", Box{4, 6, 90, 17});
  FontsizeUpDown = new QSpinBox(EditorOptionsPNL);
  FontsizeUpDown->setObjectName("FontsizeUpDown");
  FontsizeUpDown->setRange(kFontsizeMin, kFontsizeMax);
  FontsizeUpDown->setValue(8);
  Place(FontsizeUpDown, Box{100, 4, 50, 22});
  TabsizeLBL = Label(EditorOptionsPNL, "TabsizeLBL", "Tab size:", Box{4, 32, 90, 17});
  TabsizeUpDown = new QSpinBox(EditorOptionsPNL);
  TabsizeUpDown->setObjectName("TabsizeUpDown");
  TabsizeUpDown->setRange(kTabsizeMin, kTabsizeMax);
  TabsizeUpDown->setSingleStep(kTabsizeStep);
  TabsizeUpDown->setValue(8);
  Place(TabsizeUpDown, Box{100, 30, 50, 22});
  SamplePNL = Label(EditorOptionsPNL, "SamplePNL", "Sample", Box{160, 4, 84, 48});
  SamplePNL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  SamplePNL->setAlignment(Qt::AlignCenter);

  ColorCodeCB = CheckBox(EditorOptionsPNL, "ColorCodeCB", "Colored Code Keywords", 4, 62, 190);
  CodeColorPNL = new ColourPanel(EditorOptionsPNL);
  CodeColorPNL->setObjectName("CodeColorPNL");
  Place(CodeColorPNL, Box{200, 60, 40, 20});
  CodeBoldCB = CheckBox(EditorOptionsPNL, "CodeBoldCB", "Boldface Code Keywords", 4, 86, 190);
  CodeBoldCB->setChecked(true);
  ColorCommentsCB = CheckBox(EditorOptionsPNL, "ColorCommentsCB", "Colored Comments", 4, 110, 190);
  ColorCommentsCB->setChecked(true);
  CommentColorPNL = new ColourPanel(EditorOptionsPNL);
  CommentColorPNL->setObjectName("CommentColorPNL");
  Place(CommentColorPNL, Box{200, 108, 40, 20});
  ErrorBgColorPNL = new ColourPanel(EditorOptionsPNL);
  ErrorBgColorPNL->setObjectName("ErrorBgColorPNL");
  Place(ErrorBgColorPNL, Box{200, 134, 40, 20});
  CodeColorPNL->SetColour(clBlue);
  CommentColorPNL->SetColour(clGreen);
  ErrorBgColorPNL->SetColour(clYellow);

  WarnLoadingKnownTopFileCB = CheckBox(page, "WarnLoadingKnownTopFileCB",
                                       "Warn - Loading Known \"Top\" File", 276, 16, 200);
  WarnUsingTopFileCB = CheckBox(page, "WarnUsingTopFileCB", "Warn - Using Top File", 276, 38, 200);
  JumpToErrorCB = CheckBox(page, "JumpToErrorCB", "Jump To Error Line", 276, 60, 200);
  SmoothScrollCB = CheckBox(page, "SmoothScrollCB", "Smooth scroll", 276, 82, 200);
  for (QCheckBox* box : {WarnLoadingKnownTopFileCB, WarnUsingTopFileCB, JumpToErrorCB,
                         SmoothScrollCB}) {
    box->setChecked(true);
  }

  QObject::connect(UseNewEditorCB, &QCheckBox::toggled, this, gui::Guard(services_.boxes, [this] { UseNewEditorCBClick(); }));
  QObject::connect(FontsizeUpDown, &QSpinBox::valueChanged, this, gui::Guard(services_.boxes, [this] { FontsizeUpDownClick(); }));
  QObject::connect(TabsizeUpDown, &QSpinBox::valueChanged, this, gui::Guard(services_.boxes, [this] { TabsizeUpDownClick(); }));
  QObject::connect(ColorCodeCB, &QCheckBox::toggled, this, gui::Guard(services_.boxes, [this] { ColourBoxesClick(); }));
  QObject::connect(ColorCommentsCB, &QCheckBox::toggled, this, gui::Guard(services_.boxes, [this] { ColourBoxesClick(); }));
  for (ColourPanel* panel : {CodeColorPNL, CommentColorPNL, ErrorBgColorPNL}) {
    panel->on_click = [this, panel] {
      gui::RunGuarded(services_.boxes, [this, panel] { CommentColorPNLClick(panel); });
    };
  }
}

void TConfigFRM::BuildAssemblerPage(QWidget* page) {
  AssemblerOptionsGRPBX = new QGroupBox("Assembler Options", page);
  AssemblerOptionsGRPBX->setObjectName("AssemblerOptionsGRPBX");
  Place(AssemblerOptionsGRPBX, Box{8, 8, 300, 111});
  UseTarnCB = CheckBox(AssemblerOptionsGRPBX, "UseTarnCB", "Use TARN", 8, 20, 280);
  UseTarnCB->setChecked(true);
  TarnOutputFilesCB = CheckBox(AssemblerOptionsGRPBX, "TarnOutputFilesCB",
                               "TARN files to \"TARN Output\" dir.", 8, 42, 280);
  TarnOutputFilesCB->setChecked(true);
  LocalLabelStartColCB = CheckBox(AssemblerOptionsGRPBX, "LocalLabelStartColCB",
                                  "Local Labels Must Start In Col. 1", 8, 64, 280);
  LocalLabelStartColCB->setChecked(true);
  StricterAssemblyParsingCB = CheckBox(AssemblerOptionsGRPBX, "StricterAssemblyParsingCB",
                                       "Stricter Assembly Parsing", 8, 86, 280);
  AssemblerInfoLBL = Label(
      page, "AssemblerInfoLBL",
      "TARN is the recommended assembler for existing and new projects.  The original Kestrian "
      "assembler is suggested only for maximum compatibility with existing projects.  In "
      "addition, TARN must be enabled in order to edit and compile QVBasic programs",
      Box{8, 56, 460, 64});
  AssemblerInfoLBL->setWordWrap(true);
  IrcRDGRP = Radio(page, "IrcRDGRP", "&IRC Calibration", {"Slowest", "4 MHz", "Fastest"},
                   Box{8, 128, 160, 90});
  QObject::connect(UseTarnCB, &QCheckBox::toggled, this, gui::Guard(services_.boxes, [this] { UseTarnCBClick(); }));
}

// ---------------------------------------------------------------------------------------

void TConfigFRM::DebugBox(const char* text) {
  if (services_.debug_mode()) services_.boxes.Show({text, kDebugCaption, platform::BoxButtons::Ok});
}

void TConfigFRM::FormCreate() {
  DebugBox("About to create configuration dialog");
  ItemsPGCTRL->setCurrentIndex(0);
  ItemLSTBX->setCurrentRow(0);

  DebugBox("About set COM ports for display");
  SetPortNames(services_.ports.PortNames());

  DebugBox("About to update controls");
  const bool first_run = ReadKeyLinkSettings(services_.registry, services_.link);

  DebugBox("About to set configuration window position");
  gui::WidgetPlacement placement(*this);
  if (!services_.registry.RestoreFormPlacement(kPlacementName, placement)) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }

  services_.editor_options.SaveBeforeBuild = true;
  if (kLanguageItems < 2) delete ItemLSTBX->takeItem(ItemLSTBX->count() - 1);

  ReadSettings();
  ControlsToRecords();
  ColourBoxesClick();
  services_.apply_options();

  if (first_run) {
    services_.boxes.Show({kFirstRunNotice, kFirstRunCaption, platform::BoxButtons::Ok});
    services_.dialogs.Run(*this);
  }

  language_slot_ = services_.texts.RegisterLanguageCallback([this](int) { LanguageChanged(); });
}

void TConfigFRM::FormShow() {
  const int mode = services_.link.GetIrcCalMode();
  IrcRDGRP->SetItemIndex(mode < IrcRDGRP->Items().size() ? mode : -1);
  const int port = FindPortItem(port_names_, services_.link.GetComPortName());
  PortRDGRP->SetItemIndex(port);
  TooManyComPortsCBX->setCurrentIndex(port);
  RecordsToControls();
  if (ItemLSTBX->currentRow() < 0) ItemLSTBX->setCurrentRow(0);
}

void TConfigFRM::FormDestroy() {
  gui::WidgetPlacement placement(*this);
  services_.registry.SaveFormPlacement(kPlacementName, placement);
}

void TConfigFRM::showEvent(QShowEvent* event) {
  gui::RunGuarded(services_.boxes, [this] { FormShow(); });
  QDialog::showEvent(event);
}

void TConfigFRM::accept() {
  SaveSettings();
  services_.apply_options();
  QDialog::accept();
}

// ---------------------------------------------------------------------------------------

ConfigurationControls TConfigFRM::ReadControls() const {
  ConfigurationControls c;
  c.CreateBackupCB = CreateBackupCB->isChecked();
  c.UseTemplatesCB = UseTemplatesCB->isChecked();
  c.RestoreWorkspaceCB = RestoreWorkspaceCB->isChecked();
  c.DefaultEditorTypeRDGRP = DefaultEditorTypeRDGRP->ItemIndex();
  const int port = PortRDGRP->ItemIndex();
  c.PortRDGRP = port >= 0 ? port_names_[static_cast<std::size_t>(port)] : std::string();
  c.UseNewEditorCB = UseNewEditorCB->isChecked();
  c.FontsizeUpDown = FontsizeUpDown->value();
  c.TabsizeUpDown = TabsizeUpDown->value();
  c.ColorCodeCB = ColorCodeCB->isChecked();
  c.CodeColorPNL = CodeColorPNL->GetColour();
  c.CodeBoldCB = CodeBoldCB->isChecked();
  c.ColorCommentsCB = ColorCommentsCB->isChecked();
  c.CommentColorPNL = CommentColorPNL->GetColour();
  c.ErrorBgColorPNL = ErrorBgColorPNL->GetColour();
  c.WarnLoadingKnownTopFileCB = WarnLoadingKnownTopFileCB->isChecked();
  c.WarnUsingTopFileCB = WarnUsingTopFileCB->isChecked();
  c.JumpToErrorCB = JumpToErrorCB->isChecked();
  c.SmoothScrollCB = SmoothScrollCB->isChecked();
  c.UseTarnCB = UseTarnCB->isChecked();
  c.TarnOutputFilesCB = TarnOutputFilesCB->isChecked();
  c.LocalLabelStartColCB = LocalLabelStartColCB->isChecked();
  c.StricterAssemblyParsingCB = StricterAssemblyParsingCB->isChecked();
  c.IrcRDGRP = IrcRDGRP->ItemIndex();
  c.QvBasicOutputFilesCB = QvBasicOutputFilesCB->isChecked();
  c.LanguageRDGRP = LanguageRDGRP->ItemIndex();
  c.CustomColors = custom_colors_;
  return c;
}

void TConfigFRM::WriteControls(const ConfigurationControls& c) {
  CreateBackupCB->setChecked(c.CreateBackupCB);
  UseTemplatesCB->setChecked(c.UseTemplatesCB);
  RestoreWorkspaceCB->setChecked(c.RestoreWorkspaceCB);
  DefaultEditorTypeRDGRP->SetItemIndex(c.DefaultEditorTypeRDGRP);
  const int port = FindPortItem(port_names_, c.PortRDGRP);
  PortRDGRP->SetItemIndex(c.PortRDGRP.empty() ? -1 : port);
  UseNewEditorCB->setChecked(c.UseNewEditorCB);
  FontsizeUpDown->setValue(c.FontsizeUpDown);
  TabsizeUpDown->setValue(c.TabsizeUpDown);
  ColorCodeCB->setChecked(c.ColorCodeCB);
  CodeColorPNL->SetColour(c.CodeColorPNL);
  CodeBoldCB->setChecked(c.CodeBoldCB);
  ColorCommentsCB->setChecked(c.ColorCommentsCB);
  CommentColorPNL->SetColour(c.CommentColorPNL);
  ErrorBgColorPNL->SetColour(c.ErrorBgColorPNL);
  WarnLoadingKnownTopFileCB->setChecked(c.WarnLoadingKnownTopFileCB);
  WarnUsingTopFileCB->setChecked(c.WarnUsingTopFileCB);
  JumpToErrorCB->setChecked(c.JumpToErrorCB);
  SmoothScrollCB->setChecked(c.SmoothScrollCB);
  UseTarnCB->setChecked(c.UseTarnCB);
  TarnOutputFilesCB->setChecked(c.TarnOutputFilesCB);
  LocalLabelStartColCB->setChecked(c.LocalLabelStartColCB);
  StricterAssemblyParsingCB->setChecked(c.StricterAssemblyParsingCB);
  IrcRDGRP->SetItemIndex(c.IrcRDGRP);
  QvBasicOutputFilesCB->setChecked(c.QvBasicOutputFilesCB);
  LanguageRDGRP->SetItemIndex(c.LanguageRDGRP);
  custom_colors_ = c.CustomColors;
  // The dependent views follow even where a value did not change.
  UseTarnCBClick();
  UseNewEditorCBClick();
  FontsizeUpDownClick();
  TabsizeUpDownClick();
}

void TConfigFRM::ReadSettings() {
  ConfigurationControls controls = ReadControls();
  workbench::ReadSettings(services_.registry, controls, services_.wrenfield_mode());
  WriteControls(controls);
}

void TConfigFRM::ControlsToRecords() {
  workbench::ControlsToRecords(ReadControls(), services_.editor_options, services_.ide_options,
                               services_.wrenfield_mode());
}

void TConfigFRM::RecordsToControls() {
  ConfigurationControls controls = ReadControls();
  workbench::RecordsToControls(services_.editor_options, services_.ide_options, controls);
  WriteControls(controls);
}

void TConfigFRM::SaveSettings() {
  workbench::SaveSettings(services_.registry, services_.link, ReadControls(),
                          services_.editor_options, services_.ide_options,
                          services_.wrenfield_mode());
}

// ---------------------------------------------------------------------------------------

void TConfigFRM::SetPortNames(std::vector<std::string> names) {
  const int selected = PortRDGRP->ItemIndex();
  const std::string selected_name =
      selected >= 0 ? port_names_[static_cast<std::size_t>(selected)] : std::string();
  port_names_ = std::move(names);
  PortRDGRP->SetItems(ToQtList(port_names_));
  TooManyComPortsCBX->clear();
  for (const std::string& name : port_names_) TooManyComPortsCBX->addItem(gui::ToQt(name));
  const int again = selected_name.empty() ? -1 : FindPortItem(port_names_, selected_name);
  PortRDGRP->SetItemIndex(again);
  LayOutPorts();
}

void TConfigFRM::LayOutPorts() {
  const PortGroupLayout layout = LayOutPortGroup(static_cast<int>(port_names_.size()), PortDesign());
  Place(IdeOptionsGRPBX, layout.ide_group);
  Place(DefaultEditorTypeRDGRP, layout.type_group);
  Place(PortRDGRP, layout.port_group);
  PortRDGRP->SetColumns(layout.port_columns);
  PortRDGRP->setVisible(!layout.combo_visible);
  TooManyComPortsCBX->setVisible(layout.combo_visible);
  SerialPortLBL->setVisible(layout.combo_visible);
  if (layout.combo_visible) {
    Place(TooManyComPortsCBX, layout.combo);
    Place(SerialPortLBL, layout.combo_label);
    TooManyComPortsCBX->setCurrentIndex(PortRDGRP->ItemIndex());
  }
}

void TConfigFRM::DebugComGuiTesterRDGRPClick(int index) {
  std::vector<std::string> names = services_.ports.PortNames();
  if (index > 0 && index < static_cast<int>(std::size(kTesterPortCounts))) {
    names = PadPortNames(std::move(names), kTesterPortCounts[index]);
  }
  SetPortNames(std::move(names));
}

void TConfigFRM::UseTarnCBClick() {
  const bool checked = UseTarnCB->isChecked();
  const int height = checked ? BottomOf(StricterAssemblyParsingCB) + 8 : BottomOf(UseTarnCB) - 4 + 8;
  AssemblerOptionsGRPBX->resize(AssemblerOptionsGRPBX->width(), height);
  AssemblerInfoLBL->setVisible(!checked);
  IrcRDGRP->setVisible(!checked);
}

void TConfigFRM::UseNewEditorCBClick() {
  const bool checked = UseNewEditorCB->isChecked();
  const int height = checked ? BottomOf(EditorOptionsPNL) + 6 : BottomOf(UseNewEditorCB) + 6;
  EditorOptionsGRPBX->resize(EditorOptionsGRPBX->width(), height);
  EditorOptionsPNL->setVisible(checked);
}

void TConfigFRM::FontsizeUpDownClick() {
  const int size = FontsizeUpDown->value();
  FontsizeLBL->setText(gui::ToQt(LabelWithValue(fontsize_caption_, size)));
  QFont font = SamplePNL->font();
  font.setPointSize(size);
  SamplePNL->setFont(font);
}

void TConfigFRM::TabsizeUpDownClick() {
  TabsizeLBL->setText(gui::ToQt(LabelWithValue(tabsize_caption_, TabsizeUpDown->value())));
}

void TConfigFRM::ColourBoxesClick() {
  CodeColorPNL->setVisible(ColorCodeCB->isChecked());
  CodeColorPNL->setEnabled(ColorCodeCB->isChecked());
  CommentColorPNL->setVisible(ColorCommentsCB->isChecked());
  CommentColorPNL->setEnabled(ColorCommentsCB->isChecked());
}

// The three colour panels share this handler, and all of them wait for "Colored Comments".
void TConfigFRM::CommentColorPNLClick(ColourPanel* panel) {
  if (!ColorCommentsCB->isChecked()) return;
  if (const std::optional<Colour> colour = choose_colour_(panel->GetColour(), custom_colors_)) {
    panel->SetColour(*colour);
  }
}

// The port items are the machine's and the language items the list of languages: the form's
// table must leave both alone.
void TConfigFRM::LanguageChanged() {
  const std::vector<gui::RadioGroup*> held = {LanguageRDGRP, PortRDGRP};
  for (gui::RadioGroup* group : held) group->setEnabled(false);
  gui::LocalizeForm(*this, services_.texts);
  for (gui::RadioGroup* group : held) group->setEnabled(true);
  fontsize_caption_ = gui::FromQt(FontsizeLBL->text());
  tabsize_caption_ = gui::FromQt(TabsizeLBL->text());
  FontsizeUpDownClick();
  TabsizeUpDownClick();
}

}  // namespace workbench
