#include "build_debug/key/gui/device_form.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <filesystem>

#include "build_debug/key/key_protocol.h"
#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/globals.h"
#include "services/gui/form_placement.h"
#include "services/gui/guarded.h"
#include "services/gui/keyboard.h"
#include "services/gui/localize_form.h"
#include "services/gui/text.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/registry_settings.h"
#include "services/windows_menu.h"

namespace device_frm = widget_names::DeviceFRM;

namespace gui {
namespace {

// What a Read that ended well says; the language tables have no line for it.
constexpr char kReadText[] = "Device read: the window shows the chip";

constexpr char kPlacementKey[] = "DeviceWindow";
constexpr char kReadOnlyCaption[] = "Device : EEPROM Image READ ONLY";
constexpr char kImageFilter[] = "Device Image (*.qvh *.hex);;All Files (*)";
constexpr int kHintMilliseconds = 3500;

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
  box->setObjectName(name);
  return box;
}

RadioGroup* NewRadioGroup(QWidget* parent, const char* name, const char* caption,
                          const QStringList& items, int columns = 1) {
  auto* group = new RadioGroup(parent);
  group->setObjectName(name);
  group->setTitle(QString::fromLatin1(caption));
  group->SetItems(items);
  group->SetColumns(columns);
  return group;
}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(name);
  return button;
}

// The file the user picked in a file dialog, or nothing when the dialog was cancelled.
std::optional<std::string> PickFile(platform::ModalDialogService& dialogs, QWidget* parent,
                                    QFileDialog::AcceptMode mode, const std::string& folder) {
  QFileDialog dialog(parent);
  dialog.setObjectName(mode == QFileDialog::AcceptOpen ? device_frm::LoadHexDLG
                                                       : device_frm::SaveHexDLG);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the window asks itself
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                     : QFileDialog::AnyFile);
  dialog.setNameFilter(kImageFilter);
  dialog.setDefaultSuffix("qvh");
  if (!folder.empty()) dialog.setDirectory(NameToQt(folder));
  if (dialogs.Run(dialog) != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  return NameFromQt(files.first());
}

// Shows its content whole where the screen has room for it: a plain scroll area offers no more
// than a third of a small screen, and the window would open cut where the content fits.
class WholeContentArea : public QScrollArea {
 public:
  explicit WholeContentArea(QWidget* parent) : QScrollArea(parent) {}
  QSize sizeHint() const override {
    if (!widget()) return QScrollArea::sizeHint();
    const int f = 2 * frameWidth();
    QSize hint = widget()->sizeHint() + QSize(f, f);
    // A scroll bar the screen makes needed on one side takes room from the content: the area
    // asks for it the other way, so that only the one bar shows.
    if (const QScreen* screen = this->screen()) {
      const QSize room = screen->availableGeometry().size().shrunkBy(WindowFrame(*window()));
      const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
      if (hint.height() > room.height()) hint.rwidth() += bar;
      if (hint.width() > room.width()) hint.rheight() += bar;
    }
    return hint;
  }
};

}  // namespace

TDeviceFRM::TDeviceFRM(const DeviceFormServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window), services_(services), settings_(services.image) {
  setObjectName(device_frm::DeviceFRM);
  setWindowTitle("Device");
  BuildWindow();
  FitToScreen();
  RestoreFormPlacement(services_.registry, kPlacementKey, *this);
  OpenByOwnerAndKeepPlace(*this);
  Localize();
  language_slot_ = services_.texts.RegisterLanguageCallback([this](int) { Localize(); });
}

TDeviceFRM::~TDeviceFRM() {
  services_.texts.UnregisterLanguageCallback(language_slot_);
  // The placement is kept only when the settings can be written; nothing to tell a user
  // who is closing the program.
  (void)SaveFormPlacement(services_.registry, kPlacementKey, *this);
}

void TDeviceFRM::BuildWindow() {
  DeviceRDGRP =
      NewRadioGroup(this, device_frm::DeviceRDGRP, "&Device", {"QV18", "QV28", "QV48/52"});
  OscRDGRP = NewRadioGroup(this, device_frm::OscRDGRP, "&Oscillator",
                           {"Crystal - HS3", "Crystal - HS2", "Crystal - HS1", "Crystal - XT2",
                            "Crystal - XT1", "Crystal - LP2", "Crystal - LP1", "External RC",
                            "Internal 4MHz", "Internal 1MHz", "Internal 128KHz", "Internal 32KHz"},
                           2);
  BrownoutRDGRP =
      NewRadioGroup(this, device_frm::BrownoutRDGRP, "&Brownout", {"Off", "4.2V", "2.6V", "2.2V"});
  ResetRDGRP = NewRadioGroup(this, device_frm::ResetRDGRP, "Reset &Timer",
                             {"18 ms", "960 ms", "60 ms", "60 us"});

  OptionsGRP = new QGroupBox(this);
  OptionsGRP->setObjectName(device_frm::OptionsGRP);
  TurboCB = NewCheckBox(OptionsGRP, device_frm::TurboCB, "Turbo Mode");
  StackOPTIONCB = NewCheckBox(OptionsGRP, device_frm::StackOPTIONCB, "Stack + OPTION");
  CarryCB = NewCheckBox(OptionsGRP, device_frm::CarryCB, "ADD/SUB with C");
  SyncCB = NewCheckBox(OptionsGRP, device_frm::SyncCB, "Input Syncing");
  WatchdogCB = NewCheckBox(OptionsGRP, device_frm::WatchdogCB, "Watchdog Timer");
  ProtectCB = NewCheckBox(OptionsGRP, device_frm::ProtectCB, "Code Protect");
  SleepClockCB = NewCheckBox(OptionsGRP, device_frm::SleepClockCB, "Sleep Clock");
  auto* options = new QVBoxLayout(OptionsGRP);
  for (QCheckBox* box :
       {TurboCB, StackOPTIONCB, CarryCB, SyncCB, WatchdogCB, ProtectCB, SleepClockCB})
    options->addWidget(box);

  BufferFeedbackPNL = new QGroupBox(this);
  BufferFeedbackPNL->setObjectName(device_frm::BufferFeedbackPNL);
  DriveCB = NewCheckBox(BufferFeedbackPNL, device_frm::DriveCB, "Crystal Drive");
  FeedbackCB = NewCheckBox(BufferFeedbackPNL, device_frm::FeedbackCB, "Crystal Feedback");
  auto* buffer = new QVBoxLayout(BufferFeedbackPNL);
  buffer->addWidget(DriveCB);
  buffer->addWidget(FeedbackCB);

  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  IdGRP = new QGroupBox("ID", this);
  IdGRP->setObjectName(device_frm::IdGRP);
  IDStringLBL = new QLabel(IdGRP);
  IDStringLBL->setObjectName(device_frm::IDStringLBL);
  IDStringLBL->setFont(fixed);
  IDStringLBL->setTextFormat(Qt::PlainText);
  IDStringLBL->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(8, QChar('W'))));
  // The ID and the dump are read from the keyboard too: the ID can be selected, the dump
  // scrolled by its bar.
  IDStringLBL->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  IDStringLBL->setFocusPolicy(Qt::StrongFocus);
  (new QHBoxLayout(IdGRP))->addWidget(IDStringLBL);

  EeGRP = new QGroupBox(QString::fromUtf8("E²Flash"), this);
  EeGRP->setObjectName(device_frm::EeGRP);
  auto* ee = new QGridLayout(EeGRP);
  ee->setVerticalSpacing(0);
  for (int i = 0; i < build_debug::kEeVisibleLines; ++i) {
    auto* label = new QLabel(EeGRP);
    label->setObjectName(QString("EeLBL%1").arg(i));
    label->setFont(fixed);
    label->setTextFormat(Qt::PlainText);
    ee_labels_[static_cast<std::size_t>(i)] = label;
    ee->addWidget(label, i, 0);
  }
  EEScrollBar = new QScrollBar(Qt::Vertical, EeGRP);
  EEScrollBar->setObjectName(device_frm::EEScrollBar);
  EEScrollBar->setPageStep(build_debug::kEeVisibleLines);
  EEScrollBar->setFocusPolicy(Qt::StrongFocus);
  ee->addWidget(EEScrollBar, 0, 1, build_debug::kEeVisibleLines, 1);

  ProgramBTN = NewButton(this, device_frm::ProgramBTN, "Program");
  VerifyBTN = NewButton(this, device_frm::VerifyBTN, "Verify");
  ReadBTN = NewButton(this, device_frm::ReadBTN, "Read");
  LoadBTN = NewButton(this, device_frm::LoadBTN, "&Load Hex");
  SaveBTN = NewButton(this, device_frm::SaveBTN, "&Save Hex");
  CancelBTN = NewButton(this, device_frm::CancelBTN, "&Cancel");

  auto* right = new QVBoxLayout;
  right->addWidget(BrownoutRDGRP);
  right->addWidget(ResetRDGRP);
  right->addStretch();
  auto* groups = new QGridLayout;
  groups->addWidget(DeviceRDGRP, 0, 0);
  groups->addWidget(OscRDGRP, 1, 0, 2, 1);
  groups->addWidget(OptionsGRP, 0, 1, 2, 1);
  groups->addWidget(BufferFeedbackPNL, 2, 1);
  groups->addLayout(right, 0, 2, 3, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(IdGRP, 0, Qt::AlignTop);
  bottom->addWidget(EeGRP, 1);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* button : {ProgramBTN, VerifyBTN, ReadBTN, LoadBTN, SaveBTN})
    buttons->addWidget(button);
  buttons->addStretch();
  buttons->addWidget(CancelBTN);
  // On a screen smaller than the window (a scale factor makes a large one small) the controls
  // scroll rather than the window running off the screen; where it fits nothing shows of it.
  auto* content = content_ = new QWidget;
  auto* scroll = new WholeContentArea(this);
  scroll->setObjectName(device_frm::DeviceSCROLL);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setFocusPolicy(Qt::NoFocus);
  scroll->setWidgetResizable(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(scroll);
  auto* layout = new QVBoxLayout(content);
  layout->addLayout(groups);
  layout->addLayout(bottom);
  layout->addStretch(1);  // a taller window shows no more lines: the dump stays together
  layout->addLayout(buttons);
  EeGRP->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
  scroll->setWidget(content);

  platform::MessageBoxService& boxes = services_.messages.Service();
  for (RadioGroup* group : {DeviceRDGRP, OscRDGRP, BrownoutRDGRP, ResetRDGRP})
    connect(&group->Buttons(), &QButtonGroup::idClicked, this,
            Guard(boxes, [this] { ControlClicked(); }));
  for (const CheckBoxControl& control : CheckBoxControls())
    connect(this->*control.box, &QCheckBox::clicked, this,
            Guard(boxes, [this] { ControlClicked(); }));
  connect(EEScrollBar, &QScrollBar::valueChanged, this, [this] { PresentEeLines(); });
  connect(ProgramBTN, &QPushButton::clicked, this, Guard(boxes, [this] { ProgramBTNClick(); }));
  connect(VerifyBTN, &QPushButton::clicked, this, Guard(boxes, [this] { VerifyBTNClick(); }));
  connect(ReadBTN, &QPushButton::clicked, this, Guard(boxes, [this] { ReadBTNClick(); }));
  connect(LoadBTN, &QPushButton::clicked, this, Guard(boxes, [this] { LoadBTNClick(); }));
  connect(SaveBTN, &QPushButton::clicked, this, Guard(boxes, [this] { SaveBTNClick(); }));
  connect(CancelBTN, &QPushButton::clicked, this, Guard(boxes, [this] { CancelBTNClick(); }));
}

// The window's own size where the screen's available area holds it with its frame, else as
// much of it as the area holds; the placement then puts it whole on the area.
void TDeviceFRM::FitToScreen() {
  const QScreen* screen = this->screen();
  if (!screen) return;
  const QSize room = screen->availableGeometry().size().shrunkBy(WindowFrame(*this));
  resize(sizeHint().boundedTo(room));
}

void TDeviceFRM::Localize() {
  LocalizeForm(*this, services_.texts);
  // A radio group takes its items from the table only while it is enabled: put the choices
  // back that the new items lost.
  caption_ = windowTitle();
  PresentControls();
  PresentCaption();
  InitHints();
  OrderTabs();
}

// Column by column as the window shows them, then the views below and the buttons; the
// table's new radio items would otherwise come last.
void TDeviceFRM::OrderTabs() {
  QList<QWidget*> order;
  const auto add_group = [&order](const RadioGroup* group) {
    for (QRadioButton* button : group->ItemButtons()) order.push_back(button);
  };
  add_group(DeviceRDGRP);
  add_group(OscRDGRP);
  for (QCheckBox* box : {TurboCB, StackOPTIONCB, CarryCB, SyncCB, WatchdogCB, ProtectCB,
                         SleepClockCB, DriveCB, FeedbackCB})
    order.push_back(box);
  add_group(BrownoutRDGRP);
  add_group(ResetRDGRP);
  order.push_back(IDStringLBL);
  order.push_back(EEScrollBar);
  for (QPushButton* button : {ProgramBTN, VerifyBTN, ReadBTN, LoadBTN, SaveBTN, CancelBTN})
    order.push_back(button);
  SetTabOrder(order);
}

void TDeviceFRM::keyPressEvent(QKeyEvent* event) {
  // Esc is the Cancel button, as in a dialog.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (CancelBTN->isEnabled()) CancelBTN->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TDeviceFRM::PresentCaption() {
  setWindowTitle(settings_.ReadOnly() ? QString(kReadOnlyCaption) : caption_);
}

QCheckBox& TDeviceFRM::CheckBox(const char* name) const { return *findChild<QCheckBox*>(name); }
QPushButton& TDeviceFRM::Button(const char* name) const { return *findChild<QPushButton*>(name); }

const std::array<TDeviceFRM::CheckBoxControl, 9>& TDeviceFRM::CheckBoxControls() {
  using C = build_debug::DeviceControls;
  static constexpr std::array<CheckBoxControl, 9> kControls = {{
      {&TDeviceFRM::TurboCB, &C::turbo},
      {&TDeviceFRM::StackOPTIONCB, &C::stack_option},
      {&TDeviceFRM::CarryCB, &C::carry},
      {&TDeviceFRM::SyncCB, &C::sync},
      {&TDeviceFRM::WatchdogCB, &C::watchdog},
      {&TDeviceFRM::ProtectCB, &C::protect},
      {&TDeviceFRM::SleepClockCB, &C::sleep_clock},
      {&TDeviceFRM::DriveCB, &C::drive},
      {&TDeviceFRM::FeedbackCB, &C::feedback},
  }};
  return kControls;
}

void TDeviceFRM::ControlClicked() {
  build_debug::DeviceControls& c = settings_.Controls();
  c.device = DeviceRDGRP->ItemIndex();
  c.oscillator = OscRDGRP->ItemIndex();
  c.brownout = BrownoutRDGRP->ItemIndex();
  c.reset_timer = ResetRDGRP->ItemIndex();
  for (const CheckBoxControl& control : CheckBoxControls())
    c.*control.checked = (this->*control.box)->isChecked();
  settings_.UpdateSettings();
  PresentControls();
}

void TDeviceFRM::PresentControls() {
  const build_debug::DeviceControls& c = settings_.Controls();
  DeviceRDGRP->SetItemIndex(c.device);
  OscRDGRP->SetItemIndex(c.oscillator);
  BrownoutRDGRP->SetItemIndex(c.brownout);
  ResetRDGRP->SetItemIndex(c.reset_timer);
  for (const CheckBoxControl& control : CheckBoxControls())
    (this->*control.box)->setChecked(c.*control.checked);
  IDStringLBL->setText(ToQt(settings_.IdString()));
  EEScrollBar->setRange(0, settings_.ScrollMax());
  PresentEeLines();
  SetReadOnlyMode(settings_.ReadOnly());
}

void TDeviceFRM::PresentEeLines() {
  const auto& lines = settings_.EeLines();
  const int top = EEScrollBar->value();
  for (int i = 0; i < build_debug::kEeVisibleLines; ++i) {
    const auto line = static_cast<std::size_t>(top + i);
    ee_labels_[static_cast<std::size_t>(i)]->setText(line < lines.size() ? ToQt(lines[line])
                                                                         : QString());
  }
}

void TDeviceFRM::ApplyEnables() {
  const build_debug::DeviceControls& c = settings_.Controls();
  DriveCB->setEnabled(c.drive_enabled);
  FeedbackCB->setEnabled(c.feedback_enabled);
  TurboCB->setEnabled(c.turbo_enabled);
  StackOPTIONCB->setEnabled(c.stack_option_enabled);
  SleepClockCB->setEnabled(c.sleep_clock_enabled);
  ResetRDGRP->setEnabled(c.reset_timer_enabled);
}

void TDeviceFRM::ShowImage() {
  EEScrollBar->setValue(0);
  settings_.ShowImage();
  PresentControls();
}

void TDeviceFRM::SetReadOnlyMode(bool read_only) {
  read_only_mode_ = read_only;
  // The scroll area round the controls stays: they are read through it.
  for (QWidget* child : content_->findChildren<QWidget*>()) {
    if (child->isWindow()) continue;
    child->setEnabled(!read_only);
  }
  // Enabling every control would also enable the ones the chosen part or oscillator rules
  // out (the crystal boxes under an RC oscillator, Turbo on a 4,096-word part): those keep
  // the enables the settings gave them.
  if (!read_only) ApplyEnables();
  // A read-only image may be saved under another name, and its dump is there to be read
  // through: Save and the dump's scroll bar stay too.
  SaveBTN->setEnabled(true);
  EeGRP->setEnabled(true);
  for (QLabel* label : ee_labels_) label->setEnabled(!read_only);
  EEScrollBar->setEnabled(true);
  CancelBTN->setEnabled(true);
  // Program and Verify stay, unless a build during a run or a debug session came here: the
  // key's buttons then wait for its end.
  PresentKeyButtons();
}

void TDeviceFRM::ClearReadOnlyImage() {
  settings_.ClearReadOnlyImage();
  PresentCaption();
  SetReadOnlyMode(false);
}

bool TDeviceFRM::LoadImageFile(const std::string& name, bool read_only) {
  const build_debug::ImageFileStatus status = settings_.LoadImageFile(name, read_only);
  using build_debug::ImageFileStatus;
  if (status != ImageFileStatus::Missing) PresentCaption();
  switch (status) {
    case ImageFileStatus::Loaded:
      EEScrollBar->setValue(0);
      PresentControls();
      return true;
    case ImageFileStatus::Missing: return false;
    case ImageFileStatus::TooLarge:
      ImageErrorBox(name + " is too large to be a device image.");
      return false;
    case ImageFileStatus::Unreadable:
      ImageErrorBox(workbench::FormatText(
          services_.texts.LU_GetString(string_ids::ComUnit::SCU_CANNOT_READ), {name}));
      return false;
    case ImageFileStatus::HexError:
      ImageErrorBox(services_.image.ErrorText ? services_.image.ErrorText : "");
      return false;
  }
  return false;
}

void TDeviceFRM::InitHints() {
  const workbench::FormTable table = services_.texts.LoadFormTable(device_frm::DeviceFRM);
  const bool external = services_.globals.IdeOptions.UseTarn;
  const auto hint_of = [&](QWidget& widget) {
    const workbench::ComponentTexts texts =
        workbench::TextsForComponent(table, device_frm::DeviceFRM, FromQt(widget.objectName()),
                                     KindOf(widget), widget.isEnabled());
    return texts.hint.value_or("");
  };
  for (QCheckBox* box : {SleepClockCB, StackOPTIONCB, DriveCB, FeedbackCB})
    box->setToolTip(ToQt(build_debug::HintVariant(hint_of(*box), external)));
  for (RadioGroup* group : {DeviceRDGRP, OscRDGRP, BrownoutRDGRP, ResetRDGRP}) {
    const std::vector<std::string> pieces = build_debug::ItemHints(hint_of(*group));
    const QList<QAbstractButton*> items = group->Buttons().buttons();
    for (int i = 0; i < items.size(); ++i) {
      const auto piece = static_cast<std::size_t>(i);
      items[i]->setToolTip(piece < pieces.size() ? ToQt(pieces[piece]) : QString());
      items[i]->setToolTipDuration(kHintMilliseconds);
    }
    group->setToolTip(QString());
  }
  for (QWidget* child : findChildren<QWidget*>()) child->setToolTipDuration(kHintMilliseconds);
}

void TDeviceFRM::EnableKeyButtons(bool enabled) {
  run_holds_key_ = !enabled;
  PresentKeyButtons();
}

void TDeviceFRM::SessionHoldsKey(bool held) {
  session_holds_key_ = held;
  PresentKeyButtons();
}

bool TDeviceFRM::KeyFree() const {
  return !run_holds_key_ && !session_holds_key_ && !services_.key.RunHoldsLink();
}

void TDeviceFRM::PresentKeyButtons() {
  const bool free = KeyFree();
  ProgramBTN->setEnabled(free);
  VerifyBTN->setEnabled(free);
  // A read would replace the read-only image.
  ReadBTN->setEnabled(free && !read_only_mode_);
}

// Program, Read and Verify are refused while a programming run holds the link: a read would
// send on the run's link, and the copy would change the image it is programming. A debug
// session or the clock window holds the link on this thread: a command's failure to open the
// port would close theirs and end the session without a word to the chip.

void TDeviceFRM::ProgramBTNClick() {
  if (!KeyFree()) return;
  build_debug::CopyWorkingToProgramming(services_.image);
  // A refused start has nothing to tell: the run that holds the link tells its own end.
  std::ignore = services_.key.StartProgramQV(false);
}

void TDeviceFRM::ReadBTNClick() {
  if (!KeyFree()) return;
  // A failed read has been reported by the key protocol.
  if (!services_.key.ReadQV()) return;
  build_debug::CopyProgrammingToWorking(services_.image);
  ShowImage();
  if (services_.status_line) services_.status_line(kReadText);
}

void TDeviceFRM::VerifyBTNClick() {
  if (!KeyFree()) return;
  // The read leaves the chip's size in the image; the window's part stays what it shows.
  const std::uint8_t window_4k = services_.image.Device4K;
  const bool read = services_.key.ReadQV();
  const bool chip_4k = services_.image.Device4K != 0;
  services_.image.Device4K = window_4k;
  // Nothing was compared when the read failed: the key protocol's report is the answer.
  if (!read) return;
  const auto failure =
      build_debug::VerifyFailure(services_.image.WorkingImage, services_.image.ProgrammingImage,
                                 chip_4k, DeviceRDGRP->ItemIndex() == 2);
  if (failure)
    (void)Box("Verify failed at " + *failure, platform::BoxButtons::Ok, platform::BoxKind::Warning);
  else
    (void)Box("Device verified OK", platform::BoxButtons::Ok, platform::BoxKind::Information);
}

void TDeviceFRM::LoadBTNClick() {
  const auto name = PickFile(services_.dialogs, this, QFileDialog::AcceptOpen, "");
  if (name) (void)LoadImageFile(*name, false);
}

void TDeviceFRM::SaveBTNClick() {
  const bool read_only = settings_.ReadOnly();
  if (read_only)
    (void)Box("This is a READ ONLY EEPROM image and must be saved under a different name.",
              platform::BoxButtons::Ok, platform::BoxKind::Information);
  const std::string& image_name = settings_.ImageName();
  const std::string folder =
      image_name.empty() ? "" : std::filesystem::path(image_name).parent_path().string();
  const auto name = PickFile(services_.dialogs, this, QFileDialog::AcceptSave, folder);
  if (!name) return;
  if (read_only && build_debug::SameImageName(*name, image_name)) {
    (void)Box("Choose a different name to save the READ ONLY file:", platform::BoxButtons::Ok,
              platform::BoxKind::Warning);
    return;
  }
  std::error_code error;
  if (std::filesystem::exists(*name, error) &&
      Box(workbench::FormatText("OK to overwrite %s", {*name}),
          platform::BoxButtons::YesNoCancel) != platform::kAnswerYes)
    return;
  if (!build_debug::WriteImageFile(services_.image, *name, services_.file_writer))
    Box(workbench::FormatText(services_.texts.LU_GetString(string_ids::ComUnit::SCU_CANNOT_WRITE),
                              {*name}));
}

void TDeviceFRM::CancelBTNClick() {
  FormClose();
  hide();
}

void TDeviceFRM::FormClose() {
  services_.windows_menu.WindowsMenuRemove(workbench::kDeviceWindowItem, 0);
}

void TDeviceFRM::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;
  RunGuarded(services_.messages.Service(), [this] {
    services_.windows_menu.WindowsMenuAdd("", workbench::kDeviceWindowItem);
    Localize();
    ShowImage();
  });
}

void TDeviceFRM::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

int TDeviceFRM::Box(const std::string& text, platform::BoxButtons buttons,
                    platform::BoxKind kind) const {
  platform::BoxRequest request{text, "Device", buttons};
  request.kind = kind;
  return services_.messages.Service().Show(request);
}

void TDeviceFRM::ImageErrorBox(const std::string& text) const {
  (void)Box(text, platform::BoxButtons::Abort, platform::BoxKind::Error);
}

}  // namespace gui
