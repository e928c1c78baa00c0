#include "workbench/gui/configuration_form.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QColorDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

#include "platform/message_box.h"
#include "resources/code_widget_names.h"
#include "services/globals.h"
#include "services/gui/form_placement.h"
#include "services/gui/guarded.h"
#include "services/gui/hint_time.h"
#include "services/gui/keyboard.h"
#include "services/gui/localize_form.h"
#include "services/gui/modal_dialogs.h"
#include "services/gui/text.h"
#include "services/localize.h"
#include "workbench/session/session.h"

namespace config_frm = widget_names::ConfigFRM;

namespace workbench {
namespace {

constexpr const char* kPlacementName = "ConfigureWindowVer3";
constexpr const char* kDebugCaption = "DEBUG - Config.FormCreate";
constexpr int kShownHintMilliseconds = 3500;
constexpr const char* kFirstRunNotice =
    "Since this is the first time the program has run, please\r"
    "take a moment to review the default configuration.\r"
    "In particular, check the COM port setting to make sure the\r"
    "QV-Key can be found.";
constexpr const char* kFirstRunCaption = "FIRST TIME RUNNING";

// The port counts of the hidden tester group's items; 0 keeps the machine's own list.
constexpr std::size_t kTesterPortCounts[] = {0, 4, 8, 16, 18};

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
Colour FromQColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

QCheckBox* CheckBox(const char* name, const char* caption) {
  auto* box = new QCheckBox(caption);
  box->setObjectName(name);
  return box;
}

QLabel* Label(const char* name, const char* caption) {
  auto* label = new QLabel(caption);
  label->setObjectName(name);
  return label;
}

QGroupBox* Group(const char* name, const char* caption) {
  auto* group = new QGroupBox(caption);
  group->setObjectName(name);
  return group;
}

QStringList ToQtList(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list.push_back(gui::ToQt(text));
  return list;
}

gui::RadioGroup* Radio(const char* name, const char* caption,
                       const std::vector<std::string>& items) {
  auto* group = new gui::RadioGroup;
  group->setObjectName(name);
  group->setTitle(caption);
  group->SetItems(ToQtList(items));
  return group;
}

// A column of widgets, the rest of the height left empty.
QVBoxLayout* Column(QWidget* parent, std::initializer_list<QWidget*> widgets) {
  auto* column = new QVBoxLayout(parent);
  for (QWidget* widget : widgets) column->addWidget(widget);
  column->addStretch(1);
  return column;
}

// Runs `pick` with the item's index when the user picks one.
template <typename F>
void OnPick(platform::MessageBoxService& boxes, gui::RadioGroup* group, F pick) {
  QObject::connect(&group->Buttons(), &QButtonGroup::idClicked, group, gui::Guard(boxes, pick));
}

std::optional<Colour> ChooseWithColourDialog(platform::ModalDialogService& dialogs, QWidget* parent,
                                             Colour initial,
                                             std::array<std::string, kCustomColorCount>& custom) {
  for (int i = 0; i < kCustomColorCount; ++i) {
    QColorDialog::setCustomColor(i, ToQColor(CustomColorValue(custom[i], 0x808080)));
  }
  QColorDialog dialog(ToQColor(initial), parent);
  dialog.setObjectName(config_frm::SyntaxColorDLG);
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

PortListShape PortListShapeFor(int port_count) {
  PortListShape shape;
  shape.combo = port_count > 16;
  shape.columns = port_count > 8 && !shape.combo ? 2 : 1;
  return shape;
}

// ---------------------------------------------------------------------------------------

ColourPanel::ColourPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  // A colour is chosen from the keyboard as well: Tab comes here, Space or Enter opens it.
  setFocusPolicy(Qt::StrongFocus);
}

QSize ColourPanel::sizeHint() const {
  const int line = fontMetrics().height();
  return QSize(3 * line, line + 4);
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

void ColourPanel::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (event->modifiers() == Qt::NoModifier &&
      (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
    if (on_click) on_click();
    return;
  }
  QFrame::keyPressEvent(event);
}

void ColourPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!hasFocus()) return;
  QStylePainter painter(this);
  QStyleOptionFocusRect option;
  option.initFrom(this);
  option.rect = contentsRect().adjusted(2, 2, -2, -2);
  painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
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

TConfigFRM::TConfigFRM(ConfigFormServices services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
  setObjectName(config_frm::ConfigFRM);
  setWindowTitle("Configuration");
  choose_colour_ = [this](Colour initial, std::array<std::string, kCustomColorCount>& custom) {
    return ChooseWithColourDialog(services_.dialogs, this, initial, custom);
  };

  ItemLSTBX = new QListWidget;
  ItemLSTBX->setObjectName(config_frm::ItemLSTBX);
  for (const char* item : {"IDE", "Editor", "Assembler", "QV/B Compiler", "Language"}) {
    ItemLSTBX->addItem(item);
  }
  // As wide as its longest item, in whatever font and language.
  ItemLSTBX->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  ItemLSTBX->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  ItemsPGCTRL = new QStackedWidget;
  ItemsPGCTRL->setObjectName(config_frm::ItemsPGCTRL);
  QWidget* pages[5];
  const char* page_names[] = {config_frm::IdeTAB, config_frm::EditorTAB, config_frm::AssemblerTAB,
                              config_frm::QvBasicTAB, config_frm::LanguageTAB};
  for (int i = 0; i < 5; ++i) {
    pages[i] = new QWidget;
    pages[i]->setObjectName(page_names[i]);
    ItemsPGCTRL->addWidget(pages[i]);
  }
  BuildIdePage(pages[0]);
  BuildEditorPage(pages[1]);
  BuildAssemblerPage(pages[2]);
  QvBasicOutputFilesCB =
      CheckBox(config_frm::QvBasicOutputFilesCB, "QV/B files to \"Output Files\" dir.");
  Column(pages[3], {QvBasicOutputFilesCB});
  LanguageRDGRP = Radio(config_frm::LanguageRDGRP, "Language", {"English"});
  Column(pages[4], {LanguageRDGRP});
  OnPick(services_.boxes, LanguageRDGRP,
         [texts = &services_.texts](int index) { texts->SelectLanguage(index); });

  OkBTN = new QPushButton("OK");
  OkBTN->setObjectName(config_frm::OkBTN);
  OkBTN->setDefault(true);
  CancelBTN = new QPushButton("Cancel");
  CancelBTN->setObjectName(config_frm::CancelBTN);

  auto* sections = new QHBoxLayout;
  sections->addWidget(ItemLSTBX);
  sections->addWidget(ItemsPGCTRL, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(OkBTN);
  buttons->addWidget(CancelBTN);
  auto* dialog = new QVBoxLayout(this);
  dialog->addLayout(sections, 1);
  dialog->addLayout(buttons);
  dialog->setSizeConstraint(QLayout::SetMinimumSize);

  WriteControls(ConfigurationControls{});  // the designed states, from one place
  OrderTabs();

  QObject::connect(OkBTN, &QPushButton::clicked, this,
                   gui::Guard(services_.boxes, [this] { accept(); }));
  QObject::connect(CancelBTN, &QPushButton::clicked, this,
                   gui::Guard(services_.boxes, [this] { reject(); }));
  QObject::connect(ItemLSTBX, &QListWidget::currentRowChanged, this,
                   gui::Guard(services_.boxes, [this](int row) {
                     if (row >= 0) ItemsPGCTRL->setCurrentIndex(row);
                   }));

  FormCreate();
}

TConfigFRM::~TConfigFRM() {
  services_.texts.UnregisterLanguageCallback(language_slot_);
  FormDestroy();
}

void TConfigFRM::BuildIdePage(QWidget* page) {
  CreateBackupCB = CheckBox(config_frm::CreateBackupCB, "Create backup (.bak) files");
  UseTemplatesCB = CheckBox(config_frm::UseTemplatesCB, "Use Templates If Available");
  RestoreWorkspaceCB = CheckBox(config_frm::RestoreWorkspaceCB, "Restore Workspace");

  IdeOptionsGRPBX = Group(config_frm::IdeOptionsGRPBX, "IDE Options");
  DefaultEditorTypeRDGRP =
      Radio(config_frm::DefaultEditorTypeRDGRP, "Default Editor Type", {"Assembly", "QV/B"});
  PortRDGRP = Radio(config_frm::PortRDGRP, "Serial Port", {});
  TooManyComPortsCBX = new QComboBox;
  TooManyComPortsCBX->setObjectName(config_frm::TooManyComPortsCBX);
  TooManyComPortsCBX->setPlaceholderText("Select COM Port");
  TooManyComPortsCBX->hide();
  SerialPortLBL = Label(config_frm::SerialPortLBL, "Serial Port");
  SerialPortLBL->hide();
  QObject::connect(
      TooManyComPortsCBX, &QComboBox::activated, this,
      gui::Guard(services_.boxes, [this](int index) { PortRDGRP->SetItemIndex(index); }));

  // The two groups side by side, the free width shared out evenly around them.
  auto* port_column = new QVBoxLayout;
  port_column->addWidget(SerialPortLBL);
  port_column->addWidget(TooManyComPortsCBX);
  port_column->addWidget(PortRDGRP);
  port_column->addStretch(1);
  auto* type_column = new QVBoxLayout;
  type_column->addWidget(DefaultEditorTypeRDGRP);
  type_column->addStretch(1);
  auto* options = new QHBoxLayout(IdeOptionsGRPBX);
  options->addStretch(1);
  options->addLayout(type_column);
  options->addStretch(1);
  options->addLayout(port_column);
  options->addStretch(1);

  DebugComGuiTesterRDGRP = Radio(config_frm::DebugComGuiTesterRDGRP, "# COM ports",
                                 {"Actual #", "4 ports", "8 ports", "16 ports", "18 ports"});
  DebugComGuiTesterRDGRP->hide();
  OnPick(services_.boxes, DebugComGuiTesterRDGRP,
         [this](int index) { DebugComGuiTesterRDGRPClick(index); });

  auto* checks = new QVBoxLayout;
  checks->addWidget(CreateBackupCB);
  checks->addWidget(UseTemplatesCB);
  checks->addWidget(RestoreWorkspaceCB);
  checks->addStretch(1);
  auto* top = new QHBoxLayout;
  top->addLayout(checks, 1);
  top->addWidget(DebugComGuiTesterRDGRP);
  auto* column = new QVBoxLayout(page);
  column->addLayout(top);
  column->addWidget(IdeOptionsGRPBX);
  column->addStretch(1);
}

void TConfigFRM::BuildEditorPage(QWidget* page) {
  EditorOptionsGRPBX = Group(config_frm::EditorOptionsGRPBX, "Editor Options");
  UseNewEditorCB = CheckBox(config_frm::UseNewEditorCB, "Use Enhanced Editor");
  UseNewEditorCB->setChecked(true);

  EditorOptionsPNL = new QFrame;
  EditorOptionsPNL->setObjectName(config_frm::EditorOptionsPNL);
  FontsizeLBL = Label(config_frm::FontsizeLBL, "Font size:");
  FontsizeUpDown = new QSpinBox;
  FontsizeUpDown->setObjectName(config_frm::FontsizeUpDown);
  FontsizeUpDown->setRange(kFontsizeMin, kFontsizeMax);
  FontsizeUpDown->setValue(8);
  TabsizeLBL = Label(config_frm::TabsizeLBL, "Tab size:");
  TabsizeUpDown = new QSpinBox;
  TabsizeUpDown->setObjectName(config_frm::TabsizeUpDown);
  TabsizeUpDown->setRange(kTabsizeMin, kTabsizeMax);
  TabsizeUpDown->setSingleStep(kTabsizeStep);
  TabsizeUpDown->setValue(8);
  SamplePNL = Label(config_frm::SamplePNL, "Sample");
  SamplePNL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  SamplePNL->setAlignment(Qt::AlignCenter);
  SamplePNL->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

  ColorCodeCB = CheckBox(config_frm::ColorCodeCB, "Colored Code Keywords");
  CodeColorPNL = new ColourPanel;
  CodeColorPNL->setObjectName(config_frm::CodeColorPNL);
  CodeBoldCB = CheckBox(config_frm::CodeBoldCB, "Boldface Code Keywords");
  CodeBoldCB->setChecked(true);
  ColorCommentsCB = CheckBox(config_frm::ColorCommentsCB, "Colored Comments");
  ColorCommentsCB->setChecked(true);
  CommentColorPNL = new ColourPanel;
  CommentColorPNL->setObjectName(config_frm::CommentColorPNL);
  ErrorBgColorPNL = new ColourPanel;
  ErrorBgColorPNL->setObjectName(config_frm::ErrorBgColorPNL);
  ErrorBgColorLBL = Label(config_frm::ErrorBgColorLBL, "Error Line &Background");
  ErrorBgColorLBL->setBuddy(ErrorBgColorPNL);
  CodeColorPNL->setAccessibleName("Colored Code Keywords");
  CommentColorPNL->setAccessibleName("Colored Comments");
  ErrorBgColorPNL->setAccessibleName("Error Line Background");
  CodeColorPNL->SetColour(clBlue);
  CommentColorPNL->SetColour(clGreen);
  ErrorBgColorPNL->SetColour(clYellow);

  // Sizes and the sample on top; each colour panel beside the option it colours.
  auto* grid = new QGridLayout(EditorOptionsPNL);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(FontsizeLBL, 0, 0);
  grid->addWidget(FontsizeUpDown, 0, 1);
  grid->addWidget(TabsizeLBL, 1, 0);
  grid->addWidget(TabsizeUpDown, 1, 1);
  grid->addWidget(SamplePNL, 0, 2, 2, 1);
  grid->addWidget(ColorCodeCB, 2, 0, 1, 2);
  grid->addWidget(CodeColorPNL, 2, 2);
  grid->addWidget(CodeBoldCB, 3, 0, 1, 2);
  grid->addWidget(ColorCommentsCB, 4, 0, 1, 2);
  grid->addWidget(CommentColorPNL, 4, 2);
  grid->addWidget(ErrorBgColorLBL, 5, 0, 1, 2);
  grid->addWidget(ErrorBgColorPNL, 5, 2);
  grid->setRowStretch(6, 1);
  auto* group = new QVBoxLayout(EditorOptionsGRPBX);
  group->addWidget(UseNewEditorCB);
  group->addWidget(EditorOptionsPNL);

  WarnLoadingKnownTopFileCB =
      CheckBox(config_frm::WarnLoadingKnownTopFileCB, "Warn - Loading Known \"Top\" File");
  WarnUsingTopFileCB = CheckBox(config_frm::WarnUsingTopFileCB, "Warn - Using Top File");
  JumpToErrorCB = CheckBox(config_frm::JumpToErrorCB, "Jump To Error Line");
  SmoothScrollCB = CheckBox(config_frm::SmoothScrollCB, "Smooth scroll");
  for (QCheckBox* box :
       {WarnLoadingKnownTopFileCB, WarnUsingTopFileCB, JumpToErrorCB, SmoothScrollCB}) {
    box->setChecked(true);
  }

  auto* left = new QVBoxLayout;
  left->addWidget(EditorOptionsGRPBX);
  left->addStretch(1);
  auto* right = new QVBoxLayout;
  for (QCheckBox* box :
       {WarnLoadingKnownTopFileCB, WarnUsingTopFileCB, JumpToErrorCB, SmoothScrollCB}) {
    right->addWidget(box);
  }
  right->addStretch(1);
  auto* row = new QHBoxLayout(page);
  row->addLayout(left);
  row->addLayout(right);

  QObject::connect(UseNewEditorCB, &QCheckBox::toggled, this,
                   gui::Guard(services_.boxes, [this] { UseNewEditorCBClick(); }));
  QObject::connect(FontsizeUpDown, &QSpinBox::valueChanged, this,
                   gui::Guard(services_.boxes, [this] { FontsizeUpDownClick(); }));
  QObject::connect(TabsizeUpDown, &QSpinBox::valueChanged, this,
                   gui::Guard(services_.boxes, [this] { TabsizeUpDownClick(); }));
  QObject::connect(ColorCodeCB, &QCheckBox::toggled, this,
                   gui::Guard(services_.boxes, [this] { ColourBoxesClick(); }));
  QObject::connect(ColorCommentsCB, &QCheckBox::toggled, this,
                   gui::Guard(services_.boxes, [this] { ColourBoxesClick(); }));
  for (ColourPanel* panel : {CodeColorPNL, CommentColorPNL, ErrorBgColorPNL}) {
    panel->on_click = [this, panel] {
      gui::RunGuarded(services_.boxes, [this, panel] { CommentColorPNLClick(panel); });
    };
  }
}

void TConfigFRM::BuildAssemblerPage(QWidget* page) {
  AssemblerOptionsGRPBX = Group(config_frm::AssemblerOptionsGRPBX, "Assembler Options");
  UseTarnCB = CheckBox(config_frm::UseTarnCB, "Use TARN");
  UseTarnCB->setChecked(true);
  TarnOutputFilesCB = CheckBox(config_frm::TarnOutputFilesCB, "TARN files to \"TARN Output\" dir.");
  TarnOutputFilesCB->setChecked(true);
  LocalLabelStartColCB =
      CheckBox(config_frm::LocalLabelStartColCB, "Local Labels Must Start In Col. 1");
  LocalLabelStartColCB->setChecked(true);
  StricterAssemblyParsingCB =
      CheckBox(config_frm::StricterAssemblyParsingCB, "Stricter Assembly Parsing");
  auto* options = new QVBoxLayout(AssemblerOptionsGRPBX);
  for (QCheckBox* box :
       {UseTarnCB, TarnOutputFilesCB, LocalLabelStartColCB, StricterAssemblyParsingCB}) {
    options->addWidget(box);
  }
  AssemblerInfoLBL = Label(
      config_frm::AssemblerInfoLBL,
      "TARN is the recommended assembler for existing and new projects.  The original Kestrian "
      "assembler is suggested only for maximum compatibility with existing projects.  In "
      "addition, TARN must be enabled in order to edit and compile QVBasic programs");
  AssemblerInfoLBL->setWordWrap(true);
  IrcRDGRP = Radio(config_frm::IrcRDGRP, "&IRC Calibration", {"Slowest", "4 MHz", "Fastest"});
  auto* irc_row = new QHBoxLayout;
  irc_row->addWidget(IrcRDGRP);
  irc_row->addStretch(1);
  auto* column = new QVBoxLayout(page);
  column->addWidget(AssemblerOptionsGRPBX);
  column->addWidget(AssemblerInfoLBL);
  column->addLayout(irc_row);
  column->addStretch(1);
  QObject::connect(UseTarnCB, &QCheckBox::toggled, this,
                   gui::Guard(services_.boxes, [this] { UseTarnCBClick(); }));
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
  // The dialog's size is known only when it is shown: it is centred then.
  centre_on_show_ = !services_.registry.RestoreFormPlacement(kPlacementName, placement);

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
  // The dialog's hints are long: they stay up longer while it is shown.
  if (services_.hint_time) services_.hint_time->SetMilliseconds(kShownHintMilliseconds);
  if (ItemLSTBX->currentRow() < 0) ItemLSTBX->setCurrentRow(0);
}

void TConfigFRM::FormHide() {
  if (services_.hint_time)
    services_.hint_time->SetMilliseconds(gui::HintDisplayTime::kDefaultMilliseconds);
}

void TConfigFRM::FormDestroy() {
  gui::WidgetPlacement placement(*this);
  services_.registry.SaveFormPlacement(kPlacementName, placement);
}

void TConfigFRM::showEvent(QShowEvent* event) {
  gui::RunGuarded(services_.boxes, [this] { FormShow(); });
  if (centre_on_show_) {
    centre_on_show_ = false;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      const QPoint corner = area.center() - rect().center();
      // A dialog larger than the screen keeps its top-left corner on it.
      move(std::max(corner.x(), area.left()), std::max(corner.y(), area.top()));
    }
  }
  QDialog::showEvent(event);
}

void TConfigFRM::hideEvent(QHideEvent* event) {
  FormHide();
  QDialog::hideEvent(event);
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
  OrderTabs();
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
  OrderTabs();
}

// Page by page, each top to bottom and left to right as it shows; the list of pages first,
// the buttons last. Radio items made again would otherwise come last.
void TConfigFRM::OrderTabs() {
  QList<QWidget*> order{ItemLSTBX, CreateBackupCB, UseTemplatesCB, RestoreWorkspaceCB};
  const auto add_group = [&order](const gui::RadioGroup* group) {
    for (QRadioButton* button : group->ItemButtons()) order.push_back(button);
  };
  add_group(DebugComGuiTesterRDGRP);
  add_group(DefaultEditorTypeRDGRP);
  order.push_back(TooManyComPortsCBX);
  add_group(PortRDGRP);
  order.append({UseNewEditorCB, FontsizeUpDown, TabsizeUpDown, ColorCodeCB, CodeColorPNL,
                CodeBoldCB, ColorCommentsCB, CommentColorPNL, ErrorBgColorPNL,
                WarnLoadingKnownTopFileCB, WarnUsingTopFileCB, JumpToErrorCB, SmoothScrollCB,
                UseTarnCB, TarnOutputFilesCB, LocalLabelStartColCB, StricterAssemblyParsingCB});
  add_group(IrcRDGRP);
  order.push_back(QvBasicOutputFilesCB);
  add_group(LanguageRDGRP);
  order.append({OkBTN, CancelBTN});
  gui::SetTabOrder(order);
}

void TConfigFRM::LayOutPorts() {
  const PortListShape shape = PortListShapeFor(static_cast<int>(port_names_.size()));
  PortRDGRP->SetColumns(shape.columns);
  PortRDGRP->setVisible(!shape.combo);
  TooManyComPortsCBX->setVisible(shape.combo);
  SerialPortLBL->setVisible(shape.combo);
  if (shape.combo) TooManyComPortsCBX->setCurrentIndex(PortRDGRP->ItemIndex());
}

void TConfigFRM::DebugComGuiTesterRDGRPClick(int index) {
  std::vector<std::string> names = services_.ports.PortNames();
  if (index > 0 && index < static_cast<int>(std::size(kTesterPortCounts))) {
    names = PadPortNames(std::move(names), kTesterPortCounts[index]);
  }
  SetPortNames(std::move(names));
}

// Without tarn its three options mean nothing and are hidden; the note on the original
// assembler and the calibration choice it needs take their place.
void TConfigFRM::UseTarnCBClick() {
  const bool checked = UseTarnCB->isChecked();
  for (QCheckBox* box : {TarnOutputFilesCB, LocalLabelStartColCB, StricterAssemblyParsingCB}) {
    box->setVisible(checked);
  }
  AssemblerInfoLBL->setVisible(!checked);
  IrcRDGRP->setVisible(!checked);
  FitToShown();
}

void TConfigFRM::UseNewEditorCBClick() {
  EditorOptionsPNL->setVisible(UseNewEditorCB->isChecked());
  FitToShown();
}

// The layout only ever grows the dialog; options hidden again give their room back.
void TConfigFRM::FitToShown() {
  // The inner layouts first, so that the dialog's own one sees their new sizes at once.
  const QList<QLayout*> layouts = findChildren<QLayout*>();
  for (auto inner = layouts.rbegin(); inner != layouts.rend(); ++inner) (*inner)->activate();
  layout()->activate();
  resize(width(), sizeHint().height());
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
  OrderTabs();
}

}  // namespace workbench
