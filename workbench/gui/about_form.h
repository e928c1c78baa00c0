#pragma once
// TAboutFRM, the about box, and THelpForm, the help on watch formats.
//   about.Execute();   // modal, through the dialog seam
//   help.show();

#include <QDialog>
#include <QLabel>
#include <functional>
#include <string>

class QPushButton;
class QTextBrowser;

namespace platform {
class ModalDialogService;
}
namespace workbench {
class Localizer;
}

namespace gui {

// A label that reports a click.
class ClickLabel : public QLabel {
 public:
  explicit ClickLabel(QWidget* parent) : QLabel(parent) {}
  std::function<void()> on_click;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// The maker's address that the about box shows and opens.
inline constexpr char kMakerWebAddress[] = "https://www.kestrian.example/";

class TAboutFRM : public QDialog {
 public:
  // Each tool's version text, asked for when its line is shown ("1.51.07"; empty when the tool
  // does not run).
  struct Versions {
    std::function<std::string()> tarn;
    std::function<std::string()> basic;
    std::function<std::string()> simulator;
  };
  // `open_url` opens an address with the shell's "open" verb.
  TAboutFRM(workbench::Localizer& texts, platform::ModalDialogService& dialogs, Versions versions,
            std::function<void(const std::string&)> open_url, QWidget* owner = nullptr);

  int Execute();
  // Shows the next of the four version lines.
  void VersionLBLClick();
  void WebLBLClick();

  QLabel* ProductLBL;
  ClickLabel* VersionLBL;
  ClickLabel* WebLBL;
  QPushButton* OkBTN;

 private:
  void ShowVersionLine();

  platform::ModalDialogService& dialogs_;
  Versions versions_;
  std::function<void(const std::string&)> open_url_;
  int version_line_ = 0;
};

class THelpForm : public QWidget {
 public:
  explicit THelpForm(QWidget& owner);
  QTextBrowser* HelpMemo;

 protected:
  // The first show centres the window over its owner, whole on the screen.
  void showEvent(QShowEvent* event) override;

 private:
  bool placed_ = false;
};

}  // namespace gui
