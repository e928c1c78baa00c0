#include "workbench/gui/about_form.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "services/globals.h"
#include "services/gui/form_placement.h"
#include "services/gui/localize_form.h"
#include "services/gui/text.h"

namespace about_frm = widget_names::AboutFRM;
namespace help_form = widget_names::HelpForm;

namespace gui {

void ClickLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && on_click) on_click();
}

TAboutFRM::TAboutFRM(workbench::Localizer& texts, platform::ModalDialogService& dialogs,
                     Versions versions, std::function<void(const std::string&)> open_url,
                     QWidget* owner)
    : QDialog(owner),
      dialogs_(dialogs),
      versions_(std::move(versions)),
      open_url_(std::move(open_url)) {
  setObjectName(about_frm::AboutFRM);
  setWindowTitle("About");
  ProductLBL = new QLabel("QV-Key", this);
  ProductLBL->setObjectName(about_frm::ProductLBL);
  QFont product = ProductLBL->font();
  product.setPointSize(product.pointSize() * 2);
  product.setBold(true);
  ProductLBL->setFont(product);
  VersionLBL = new ClickLabel(this);
  VersionLBL->setObjectName(about_frm::VersionLBL);
  VersionLBL->setCursor(Qt::PointingHandCursor);
  VersionLBL->on_click = [this] { VersionLBLClick(); };
  WebLBL = new ClickLabel(this);
  WebLBL->setObjectName(about_frm::WebLBL);
  WebLBL->setText(kMakerWebAddress);
  WebLBL->setCursor(Qt::PointingHandCursor);
  QPalette link = WebLBL->palette();
  link.setColor(QPalette::WindowText, link.color(QPalette::Link));
  WebLBL->setPalette(link);
  WebLBL->on_click = [this] { WebLBLClick(); };
  OkBTN = new QPushButton("OK", this);
  OkBTN->setObjectName(about_frm::OkBTN);
  OkBTN->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  for (QLabel* label :
       {ProductLBL, static_cast<QLabel*>(VersionLBL), static_cast<QLabel*>(WebLBL)}) {
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
  }
  layout->addSpacing(8);
  layout->addWidget(OkBTN, 0, Qt::AlignCenter);
  setMinimumWidth(300);
  connect(OkBTN, &QPushButton::clicked, this, &QDialog::accept);
  RegisterFormLanguageCallback(*this, texts);
  ShowVersionLine();
}

int TAboutFRM::Execute() { return dialogs_.Run(*this); }

void TAboutFRM::VersionLBLClick() {
  version_line_ = (version_line_ + 1) % 4;
  ShowVersionLine();
}

void TAboutFRM::ShowVersionLine() {
  const auto version = [](const std::function<std::string()>& of) {
    return of ? of() : std::string();
  };
  switch (version_line_) {
    case 0: VersionLBL->setText(ToQt("IDE Ver: " + workbench::IdeVersion())); break;
    case 1: VersionLBL->setText(ToQt("TARN DLL Ver: " + version(versions_.tarn))); break;
    case 2: VersionLBL->setText(ToQt("QVB Ver: " + version(versions_.basic))); break;
    default: VersionLBL->setText(ToQt("QVSim Ver: " + version(versions_.simulator))); break;
  }
}

void TAboutFRM::WebLBLClick() {
  if (open_url_) open_url_(FromQt(WebLBL->text()));
}

THelpForm::THelpForm(QWidget& owner) : QWidget(&owner, Qt::Window) {
  setObjectName(help_form::HelpForm);
  setWindowTitle("Help");
  HelpMemo = new QTextBrowser(this);
  HelpMemo->setObjectName(help_form::HelpMemo);
  HelpMemo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  HelpMemo->setPlainText(
      "Watch formats\n\n"
      "A WATCH directive names a variable for the watch window:\n"
      "    WATCH name[.bit], count, format\n\n"
      "count is the size in bits (1 to 32), or the number of characters for FSTR and ZSTR.\n\n"
      "UDEC  unsigned decimal\n"
      "SDEC  signed decimal\n"
      "UHEX  unsigned hexadecimal\n"
      "SHEX  signed hexadecimal\n"
      "UBIN  unsigned binary\n"
      "SBIN  signed binary\n"
      "FSTR  a string of fixed length\n"
      "ZSTR  a string ended by a zero byte\n");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(HelpMemo);
  resize(460, 360);
}

void THelpForm::showEvent(QShowEvent* event) {
  if (!placed_) {
    placed_ = true;
    // Left to the window system, it may open anywhere, its lower part beyond the screen.
    QRect wanted(QPoint(), size());
    wanted.moveCenter(parentWidget()->frameGeometry().center());
    WidgetPlacement(*this).SetBounds(wanted.left(), wanted.top(), wanted.width(), wanted.height());
  }
  QWidget::showEvent(event);
}

}  // namespace gui
