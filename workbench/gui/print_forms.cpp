#include "workbench/gui/print_forms.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "services/gui/radio_group.h"
#include "services/gui/text.h"

namespace print_form = widget_names::PrintForm;
namespace print_status_form = widget_names::PrintStatusForm;

namespace gui {

QtPrintTarget::QtPrintTarget() : printer_(QPrinter::HighResolution) {
  // Without a printer on the machine Qt prints to a file, which each job asks for; the job
  // still has a page to lay out.
  if (QPrinterInfo::availablePrinterNames().isEmpty())
    printer_.setOutputFormat(QPrinter::PdfFormat);
}

std::vector<std::string> QtPrintTarget::PrinterNames() const {
  std::vector<std::string> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) names.push_back(FromQt(name));
  // The file is where the job goes then, as the system's print dialog lists it.
  if (names.empty()) names.push_back(kPrintToFile);
  return names;
}

int QtPrintTarget::CurrentPrinter() const {
  const QStringList names = QPrinterInfo::availablePrinterNames();
  if (names.isEmpty()) return 0;
  const qsizetype at = names.indexOf(printer_.printerName());
  if (at >= 0) return static_cast<int>(at);
  return static_cast<int>(names.indexOf(QPrinterInfo::defaultPrinterName()));
}

bool QtPrintTarget::Landscape() const {
  return printer_.pageLayout().orientation() == QPageLayout::Landscape;
}

void QtPrintTarget::Apply(int printer, bool landscape) {
  const QStringList names = QPrinterInfo::availablePrinterNames();
  if (printer >= 0 && printer < names.size()) printer_.setPrinterName(names[printer]);
  printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

PrintTarget::Metrics QtPrintTarget::Measure(const std::string& font_name, int font_size) const {
  QFont font(ToQt(font_name), font_size);
  const QFontMetrics metrics(font, &printer_);
  const QRect page = printer_.pageLayout().paintRectPixels(printer_.resolution());
  return {page.width(), page.height(), metrics.horizontalAdvance(QLatin1Char('X')),
          metrics.height()};
}

TPrintForm::TPrintForm(PrintTarget& printer, const std::string& font_name,
                       platform::ModalDialogService& dialogs, QWidget* owner)
    : QDialog(owner), printer_(printer), font_name_(font_name), dialogs_(dialogs) {
  setObjectName(print_form::PrintForm);
  setWindowTitle("Print");

  PrinterComboBox = new QComboBox(this);
  PrinterComboBox->setObjectName(print_form::PrinterComboBox);
  RangeGroup = new RadioGroup(this);
  RangeGroup->setObjectName(print_form::RangeGroup);
  RangeGroup->setTitle("Range");
  RangeGroup->SetItems({"All", "Selection"});
  OrientationGroup = new RadioGroup(this);
  OrientationGroup->setObjectName(print_form::OrientationGroup);
  OrientationGroup->setTitle("Orientation");
  OrientationGroup->SetItems({"Portrait", "Landscape"});
  FontSizeSpinEdit = new QSpinBox(this);
  FontSizeSpinEdit->setObjectName(print_form::FontSizeSpinEdit);
  FontSizeSpinEdit->setRange(1, 72);
  SectionsSpinEdit = new QSpinBox(this);
  SectionsSpinEdit->setObjectName(print_form::SectionsSpinEdit);
  SectionsSpinEdit->setRange(1, 24);
  SizeLabel = new QLabel(this);
  SizeLabel->setObjectName(print_form::SizeLabel);
  CharacterLabel = new QLabel(this);
  CharacterLabel->setObjectName(print_form::CharacterLabel);
  PagesLabel = new QLabel(this);
  PagesLabel->setObjectName(print_form::PagesLabel);
  OkayButton = new QPushButton("Okay", this);
  OkayButton->setObjectName(print_form::OkayButton);
  OkayButton->setDefault(true);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName(print_form::CancelButton);

  auto* groups = new QHBoxLayout;
  groups->addWidget(RangeGroup);
  groups->addWidget(OrientationGroup);
  auto* sizes = new QFormLayout;
  sizes->addRow("Printer", PrinterComboBox);
  sizes->addRow("Font size", FontSizeSpinEdit);
  sizes->addRow("Sections", SectionsSpinEdit);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkayButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(sizes);
  layout->addLayout(groups);
  layout->addWidget(SizeLabel);
  layout->addWidget(CharacterLabel);
  layout->addWidget(PagesLabel);
  layout->addLayout(buttons);

  const auto changed = [this] {
    if (!filling_) UpdateSettings();
  };
  connect(PrinterComboBox, &QComboBox::currentIndexChanged, this, changed);
  connect(&RangeGroup->Buttons(), &QButtonGroup::idClicked, this, changed);
  connect(&OrientationGroup->Buttons(), &QButtonGroup::idClicked, this, changed);
  connect(FontSizeSpinEdit, &QSpinBox::valueChanged, this, changed);
  connect(SectionsSpinEdit, &QSpinBox::valueChanged, this, changed);
  connect(OkayButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<TPrintForm::Choice> TPrintForm::Execute(const Job& job) {
  job_ = job;
  FormActivate();
  if (dialogs_.Run(*this) != QDialog::Accepted) return std::nullopt;
  // The answer may have changed the controls: the layout is the one they show now.
  UpdateSettings();
  if (!layout_.okay_enabled) return std::nullopt;
  return Choice{RangeGroup->ItemIndex() == 1, FontSizeSpinEdit->value(), SectionsSpinEdit->value(),
                layout_};
}

void TPrintForm::FormActivate() {
  filling_ = true;
  PrinterComboBox->clear();
  for (const std::string& name : printer_.PrinterNames()) PrinterComboBox->addItem(ToQt(name));
  PrinterComboBox->setCurrentIndex(printer_.CurrentPrinter());
  RangeGroup->SetItemIndex(job_.has_selection ? 1 : 0);
  OrientationGroup->SetItemIndex(printer_.Landscape() ? 1 : 0);
  FontSizeSpinEdit->setValue(job_.font_size);
  SectionsSpinEdit->setValue(job_.sections);
  filling_ = false;
  UpdateSettings();
}

void TPrintForm::UpdateSettings() {
  printer_.Apply(PrinterComboBox->currentIndex(), OrientationGroup->ItemIndex() == 1);
  const PrintTarget::Metrics m = printer_.Measure(font_name_, FontSizeSpinEdit->value());
  const int lines = RangeGroup->ItemIndex() == 1 ? job_.selection_line_count : job_.line_count;
  layout_ = workbench::ComputePrintLayout(m.page_width, m.page_height, m.char_width, m.char_height,
                                          SectionsSpinEdit->value(), lines);
  SizeLabel->setText(ToQt(layout_.size_label));
  CharacterLabel->setText(ToQt(layout_.character_label));
  PagesLabel->setText(ToQt(layout_.pages_label));
  OkayButton->setEnabled(layout_.okay_enabled);
}

TPrintStatusForm::TPrintStatusForm(QWidget* owner) : QDialog(owner) {
  setObjectName(print_status_form::PrintStatusForm);
  setWindowTitle("Print");
  PagesLabel = new QLabel(this);
  PagesLabel->setObjectName(print_status_form::PagesLabel);
  PagesLabel->setAlignment(Qt::AlignCenter);
  PagesLabel->setMinimumWidth(200);
  CancelButton = new QPushButton("Cancel", this);
  CancelButton->setObjectName(print_status_form::CancelButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PagesLabel);
  layout->addWidget(CancelButton, 0, Qt::AlignCenter);
  connect(CancelButton, &QPushButton::clicked, this, [this] { cancelled_ = true; });
}

void TPrintStatusForm::Start(int pages) {
  pages_ = pages;
  page_ = 0;
  cancelled_ = false;
  ShowPage();
  show();
}

void TPrintStatusForm::NextPage() {
  // The page that begins is the one shown: the first page reads "1 of P", not "0 of P".
  ++page_;
  ShowPage();
}

void TPrintStatusForm::ShowPage() {
  PagesLabel->setText(QString::number(page_) + " of " + QString::number(pages_));
}

}  // namespace gui
