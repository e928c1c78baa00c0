// The device window over its real services: the key protocol on the simulated key behind a
// pseudo-terminal, image files in a folder of the test's own, a settings file, the Windows
// menu. Controls are clicked as a user clicks them.

#include "build_debug/key/gui/device_form.h"

#include <QApplication>
#include <QFileDialog>
#include <QMainWindow>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include <gtest/gtest.h>

#include "build_debug/image/hex_image.h"
#include "build_debug/key/key_protocol.h"
#include "platform/settings_store.h"
#include "resources/code_widget_names.h"
#include "services/globals.h"
#include "services/gui/modal_dialogs.h"
#include "services/registry_settings.h"
#include "services/windows_menu.h"
#include "tests/build_debug/key/ignored_notifications.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"
#include "tests/services/full_disk.h"
#include "tests/services/gui/tab_walk.h"
#include "tests/services/temp_folder.h"

namespace device_frm = widget_names::DeviceFRM;

namespace gui {
namespace {

using namespace build_debug;

std::string FileText(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteFile(const std::string& name, const std::string& text) {
  std::ofstream file(name, std::ios::binary);
  file << text;
  ASSERT_TRUE(file.good());
}

class DeviceFormTest : public KeyFixture {
 protected:
  DeviceFormTest() {
    link_.ComInit();
    menu_.InitWindowsMenu({});
  }
  ~DeviceFormTest() override {
    key_.QVU_Cleanup();
    keys_.clear();  // before the chip the keys answer with
  }

  DeviceFormServices Services() {
    return {image_, key_, messages_, texts_, registry_, menu_, dialogs_, globals_};
  }

  // The window made for a small main window shown near the screen's top left.
  std::unique_ptr<TDeviceFRM> FormOwnedBy(QMainWindow& owner) {
    owner.setGeometry(10, 40, 200, 300);
    owner.show();
    QApplication::processEvents();
    return std::make_unique<TDeviceFRM>(Services(), &owner);
  }

  keysim::ChipModel& StartChip(keysim::ChipConfig config = {}, keysim::KeyConfig key = {}) {
    chip_ = std::make_unique<keysim::ChipModel>(std::move(config));
    chip_->Install(StartKey(std::move(key)));
    return *chip_;
  }

  void Click(RadioGroup& group, int item) {
    auto* button = qobject_cast<QRadioButton*>(group.Buttons().button(item));
    ASSERT_NE(button, nullptr);
    button->click();
  }
  // Sets a check box as a user would, by clicking it when it differs.
  void Check(const char* name, bool on) {
    QCheckBox& box = form_->CheckBox(name);
    ASSERT_TRUE(box.isEnabled()) << name;
    if (box.isChecked() != on) box.click();
  }
  // The next file dialog picks `name` and is accepted.
  void PickFile(const std::string& name) {
    dialogs_.Answer(QDialog::Accepted, [name](QDialog& dialog) {
      static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(name));
    });
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& box : boxes_.Boxes()) captions.push_back(box.caption);
    return captions;
  }
  int MenuEntries(int tag) const {
    int n = 0;
    for (const auto& item : menu_.Items()) n += item.Tag == tag;
    return n;
  }

  workbench::TempFolder folder_{"qv device form"};
  platform::SettingsStore store_{folder_.Path() + "settings.txt"};
  workbench::RegistrySettings registry_{store_};
  workbench::GlobalValues globals_;
  workbench::WindowsMenuUnit menu_{texts_};
  RecordingModalDialogs dialogs_;
  ProgramObjectImage program_image_;
  ObjectImage& image_ = program_image_.Image();
  IgnoredNotifications notes_;
  std::unique_ptr<keysim::ChipModel> chip_;
  QvKeyUnit key_{link_, image_, messages_, notes_};
  std::vector<std::string> status_lines_;
  std::unique_ptr<TDeviceFRM> form_ = std::make_unique<TDeviceFRM>(
      DeviceFormServices{image_, key_, messages_, texts_, registry_, menu_, dialogs_, globals_,
                         workbench::WriteAllBytes,
                         [this](const std::string& text) { status_lines_.push_back(text); }});
};

TEST_F(DeviceFormTest, ClickedControlsBuildTheFuseWords) {
  form_->show();
  // QV28, Crystal - HS3, watchdog on, protect off, sync on, turbo on, feedback on, carry and
  // Stack + OPTION on, brownout off.
  Click(form_->DeviceGroup(), 1);
  Click(form_->OscillatorGroup(), 0);
  Click(form_->BrownoutGroup(), 0);
  Check(device_frm::WatchdogCB, true);
  Check(device_frm::ProtectCB, false);
  Check(device_frm::SyncCB, true);
  Check(device_frm::TurboCB, true);
  Check(device_frm::FeedbackCB, true);
  Check(device_frm::CarryCB, true);
  Check(device_frm::StackOPTIONCB, true);
  EXPECT_EQ(image_.WorkingImage[kFuseIndex], 0x3FE);
  EXPECT_EQ(image_.WorkingImage[kFusexIndex], 0xF3F);
  EXPECT_FALSE(form_->CheckBox(device_frm::DriveCB).isEnabled());
  EXPECT_FALSE(form_->ResetGroup().isEnabled());

  // Feedback off on a crystal takes 0x40 away; under an RC oscillator the box is out of play.
  Check(device_frm::FeedbackCB, false);
  EXPECT_EQ(image_.WorkingImage[kFuseIndex], 0x3FE - 0x40);
  Click(form_->OscillatorGroup(), 7);
  EXPECT_FALSE(form_->CheckBox(device_frm::FeedbackCB).isEnabled());
  EXPECT_EQ(image_.WorkingImage[kFuseIndex], 0xE3 + 4 + 8 + 0x310);

  // QV48/52 checks and locks Turbo and Stack + OPTION; going back restores them.
  Check(device_frm::TurboCB, false);
  Click(form_->DeviceGroup(), 2);
  EXPECT_TRUE(image_.Device4K);
  EXPECT_TRUE(form_->CheckBox(device_frm::TurboCB).isChecked());
  EXPECT_FALSE(form_->CheckBox(device_frm::TurboCB).isEnabled());
  EXPECT_TRUE(form_->CheckBox(device_frm::StackOPTIONCB).isChecked());
  EXPECT_TRUE(form_->CheckBox(device_frm::SleepClockCB).isEnabled());
  EXPECT_TRUE(form_->ResetGroup().isEnabled());
  EXPECT_EQ(form_->EeScrollBar().maximum(), 504);
  Click(form_->DeviceGroup(), 1);
  EXPECT_FALSE(image_.Device4K);
  EXPECT_FALSE(form_->CheckBox(device_frm::TurboCB).isChecked());
  EXPECT_TRUE(form_->CheckBox(device_frm::StackOPTIONCB).isChecked());
}

TEST_F(DeviceFormTest, ShowingTheImageFillsTheIdAndTheFlashLines) {
  struct Case {
    const char* name;
    bool device4k;
    std::uint16_t fusex;
    int scroll_max;
  };
  const Case cases[] = {
      // The device items give a 2,048-word part's memory bits: 2,048 words.
      {"2,048 words", false, 0x0BFF, 2048 / 8 - 8},
      {"4,096 words", true, 0x0FFF, 504},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ResetWordArray(image_.WorkingImage, c.device4k);
    image_.Device4K = c.device4k;
    image_.WorkingImage[kFusexIndex] = c.fusex;
    for (int i = 0; i < kProgramWords; ++i)
      image_.WorkingImage[static_cast<std::size_t>(i)] = UsedWord(static_cast<std::uint16_t>(i));
    // "QV", then a character 0xFF that ends the string.
    const std::uint16_t id[] = {0x05, 0x01, 0x05, 0x06, 0x0F, 0x0F};
    for (int i = 0; i < 6; ++i)
      image_.WorkingImage[static_cast<std::size_t>(kIdWordsIndex + i)] = id[i];
    form_->ShowImage();
    EXPECT_EQ(form_->IdLabel().text(), "QV");
    EXPECT_EQ(form_->EeLabel(0).text(), "000- 000 001 002 003 004 005 006 007");
    EXPECT_EQ(form_->EeLabel(7).text(), "038- 038 039 03A 03B 03C 03D 03E 03F");
    EXPECT_EQ(form_->EeScrollBar().maximum(), c.scroll_max);
    form_->EeScrollBar().setValue(c.scroll_max);
    const int last = c.scroll_max + 7;
    EXPECT_EQ(form_->EeLabel(7).text().left(4),
              QString("%1-").arg(8 * last, 3, 16, QChar('0')).toUpper());
    EXPECT_EQ(form_->DeviceGroup().ItemIndex(), c.device4k ? 2 : 0);
  }
}

TEST_F(DeviceFormTest, ReadFillsTheWindowAndVerifyNamesThePartThatDiffers) {
  keysim::ChipConfig config;
  config.fusex = 0x0BFF;  // QV18 (2,048 words), brownout off, carry and Stack + OPTION off
  config.fuse = 0x0FFA;   // Crystal - HS3 with feedback, protect, sync and turbo off
  auto& chip = StartChip(config);
  std::vector<std::uint16_t> program(2048);
  for (int i = 0; i < 2048; ++i)
    program[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>((i * 5) & 0xFFF);
  chip.Load(program);
  form_->show();

  form_->Button(device_frm::ReadBTN).click();
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(status_lines_, std::vector<std::string>{"Device read: the window shows the chip"});
  EXPECT_EQ(image_.WorkingImage[kFusexIndex], 0x0BFF);
  EXPECT_EQ(image_.WorkingImage[kFuseIndex], 0x0FFA);
  EXPECT_EQ(form_->EeLabel(1).text(), "008- 028 02D 032 037 03C 041 046 04B");
  EXPECT_EQ(form_->DeviceGroup().ItemIndex(), 0);

  struct Case {
    const char* name;
    std::function<void()> change;
    const char* verdict;
    platform::BoxKind kind = platform::BoxKind::Warning;
  };
  const Case cases[] = {
      {"identical", [] {}, "Device verified OK", platform::BoxKind::Information},
      {"oscillator", [&] { Click(form_->OscillatorGroup(), 9); }, "Verify failed at Oscillator"},
      {"ID", [&] { image_.WorkingImage[kIdWordsIndex + 3] = 0x7; }, "Verify failed at ID"},
      {"a program word", [&] { image_.WorkingImage[2047] = UsedWord(0x123); },
       "Verify failed at E²Flash"},
      {"the part size", [&] { Click(form_->DeviceGroup(), 2); }, "Verify failed at Device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    form_->Button(device_frm::ReadBTN).click();  // the window holds the chip again
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    c.change();
    form_->Button(device_frm::VerifyBTN).click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, c.verdict);
    EXPECT_EQ(boxes_.Boxes()[0].kind, c.kind);
  }
}

TEST_F(DeviceFormTest, ProgramWritesTheWorkingImage) {
  auto& chip = StartChip();
  form_->show();
  Click(form_->DeviceGroup(), 0);
  for (int i = 0; i < 2048; ++i)
    image_.WorkingImage[static_cast<std::size_t>(i)] =
        UsedWord(static_cast<std::uint16_t>(0x800 - i));
  image_.ProgrammingImage.fill(0);
  form_->Button(device_frm::ProgramBTN).click();
  key_.QVU_Cleanup();  // the run is on the key protocol's worker
  EXPECT_TRUE(boxes_.Boxes().empty());
  const auto words = chip.Program();
  for (int i = 0; i < 2048; ++i)
    ASSERT_EQ(words[static_cast<std::size_t>(i)], (0x800 - i) & 0xFFF) << i;
}

TEST_F(DeviceFormTest, AnUnpluggedKeyGivesTheLinkReportAndNoVerdict) {
  keysim::KeyConfig silent;
  silent.silent = true;
  StartKey(silent);
  const WordArray before = image_.WorkingImage;
  for (const char* button : {device_frm::VerifyBTN, device_frm::ReadBTN}) {
    SCOPED_TRACE(button);
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    form_->Button(button).click();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"QV-Key not found on COM1"});
    EXPECT_EQ(Captions(), std::vector<std::string>{kLinkCaption});
    EXPECT_EQ(image_.WorkingImage, before);
  }
}

TEST_F(DeviceFormTest, SaveAndLoadHexRoundTrip) {
  Click(form_->DeviceGroup(), 1);
  for (int i = 0; i < 2048; ++i)
    image_.WorkingImage[static_cast<std::size_t>(i)] = UsedWord(static_cast<std::uint16_t>(i * 3));
  image_.WorkingImage[kIdWordsIndex] = 0x4;
  const WordArray saved = image_.WorkingImage;
  const std::string name = folder_.Path() + "chip.qvh";
  PickFile(name);
  form_->Button(device_frm::SaveBTN).click();
  EXPECT_TRUE(boxes_.Boxes().empty());
  ASSERT_TRUE(std::filesystem::exists(name));
  EXPECT_EQ(FileText(name).substr(0, 17), ":2000000000000300");  // 16 words a record: 000, 003, ...

  ResetWordArray(image_.WorkingImage, false);
  PickFile(name);
  form_->Button(device_frm::LoadBTN).click();
  EXPECT_TRUE(boxes_.Boxes().empty());
  for (int i = 0; i < kImageWords; ++i)
    ASSERT_EQ(image_.WorkingImage[static_cast<std::size_t>(i)] & kInstructionBits,
              saved[static_cast<std::size_t>(i)] & kInstructionBits)
        << i;
  EXPECT_EQ(form_->DeviceGroup().ItemIndex(), 1);
  EXPECT_EQ(form_->windowTitle(), "Device");

  // Saving over it asks first; only Yes writes.
  const std::string before = FileText(name);
  image_.WorkingImage[0] = UsedWord(0x777);
  for (int answer : {platform::kAnswerNo, platform::kAnswerCancel, platform::kAnswerYes}) {
    boxes_.Clear();
    boxes_.Answer(answer);
    PickFile(name);
    form_->Button(device_frm::SaveBTN).click();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"OK to overwrite " + name});
    EXPECT_EQ(FileText(name) != before, answer == platform::kAnswerYes);
  }
}

TEST_F(DeviceFormTest, ImageFilesThatCannotBeLoadedAreRefusedWithABox) {
  const std::string last_word_used = folder_.Path() + "big.qvh";
  std::string text;
  const std::uint16_t word[] = {0x5A5};
  AppendHexRecord(text, 4095, word);
  WriteFile(last_word_used, text + ":00000001FF\r\n");
  EXPECT_TRUE(form_->LoadImageFile(last_word_used, false));
  EXPECT_TRUE(image_.Device4K);
  EXPECT_EQ(form_->DeviceGroup().ItemIndex(), 2);
  EXPECT_EQ(form_->EeScrollBar().maximum(), 504);

  const WordArray loaded = image_.WorkingImage;
  const std::string broken = folder_.Path() + "broken.qvh";
  WriteFile(broken, ":10000000ZZ\r\n");
  const std::string huge = folder_.Path() + "huge.qvh";
  WriteFile(huge, "");
  std::filesystem::resize_file(huge, static_cast<std::uintmax_t>(kFileBufferSize));
  struct Case {
    std::string name;
    std::string box;
  };
  const Case cases[] = {
      {broken, kHexViolation},
      {huge, huge + " is too large to be a device image."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    EXPECT_FALSE(form_->LoadImageFile(c.name, false));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.box});
    // A file that is no image is an error the user can only abort.
    EXPECT_EQ(boxes_.Boxes()[0].kind, platform::BoxKind::Error);
    EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::Abort);
    EXPECT_EQ(image_.WorkingImage, loaded);
  }
  boxes_.Clear();
  EXPECT_FALSE(form_->LoadImageFile(folder_.Path() + "missing.qvh", false));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceFormTest, AReadOnlyImageIsShownLockedAndSavedOnlyUnderAnotherName) {
  const std::string name = folder_.Path() + "Image.qvh";
  WriteHexText(image_);
  WriteFile(name,
            std::string(image_.FileBuffer, static_cast<std::size_t>(image_.FileBufferLength)));
  const std::string original = FileText(name);
  form_->show();
  ASSERT_TRUE(form_->LoadImageFile(name, true));
  EXPECT_EQ(form_->windowTitle(), "Device : EEPROM Image READ ONLY");
  // The scroll area the controls sit in stays, to reach them on a small screen.
  const auto* scroll = form_->findChild<QScrollArea*>(device_frm::DeviceSCROLL);
  ASSERT_NE(scroll, nullptr);
  for (QWidget* control : scroll->widget()->findChildren<QWidget*>()) {
    const QString n = control->objectName();
    if (n == device_frm::ProgramBTN || n == device_frm::VerifyBTN || n == device_frm::SaveBTN ||
        n == device_frm::CancelBTN || n == device_frm::EeGRP || n == device_frm::EEScrollBar)
      continue;
    EXPECT_FALSE(control->isEnabled()) << n.toStdString();
  }
  for (const char* button :
       {device_frm::ProgramBTN, device_frm::VerifyBTN, device_frm::SaveBTN, device_frm::CancelBTN})
    EXPECT_TRUE(form_->Button(button).isEnabled()) << button;
  // The dump is still read through.
  EXPECT_TRUE(form_->EeScrollBar().isEnabled());
  form_->EeScrollBar().setValue(8);
  EXPECT_EQ(form_->EeLabel(0).text().left(4), "040-");

  // The same name (letter case aside) is refused; the dialog starts in the image's folder.
  boxes_.AnswerWithFirstButton();
  PickFile(folder_.Path() + "IMAGE.QVH");
  form_->Button(device_frm::SaveBTN).click();
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{
                "This is a READ ONLY EEPROM image and must be saved under a different name.",
                "Choose a different name to save the READ ONLY file:"}));
  EXPECT_EQ(FileText(name), original);

  boxes_.Clear();
  boxes_.AnswerWithFirstButton();
  PickFile(folder_.Path() + "copy.qvh");
  form_->Button(device_frm::SaveBTN).click();
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{
                "This is a READ ONLY EEPROM image and must be saved under a different name."});
  EXPECT_EQ(FileText(folder_.Path() + "copy.qvh"), original);

  // A load for editing ends the read-only mode.
  ASSERT_TRUE(form_->LoadImageFile(name, false));
  EXPECT_EQ(form_->windowTitle(), "Device");
  EXPECT_TRUE(form_->DeviceGroup().isEnabled());
  EXPECT_TRUE(form_->Button(device_frm::SaveBTN).isEnabled());
}

// Save Hex replaces the image whole: a disk that fills up part way leaves the old image and
// says so; through a symbolic link the image it names is written and the link stays.
TEST_F(DeviceFormTest, SaveHexReplacesTheImageWholeAndKeepsALink) {
  const std::string real = folder_.Path() + "real.qvh";
  const std::string link = folder_.Path() + "link.qvh";
  WriteFile(real, ":00000001FF\r\n");
  std::filesystem::create_symlink("real.qvh", link);
  image_.WorkingImage[0] = 0x8123;
  WriteHexText(image_);
  const std::string expected(image_.FileBuffer, static_cast<std::size_t>(image_.FileBufferLength));

  form_ = std::make_unique<TDeviceFRM>(DeviceFormServices{image_, key_, messages_, texts_,
                                                          registry_, menu_, dialogs_, globals_,
                                                          workbench::FullHalfWay()});
  form_->show();
  boxes_.AnswerWithFirstButton();
  boxes_.AnswerWithFirstButton();
  PickFile(link);
  form_->Button(device_frm::SaveBTN).click();
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"OK to overwrite " + link, "Unable to write to " + link}));
  EXPECT_EQ(FileText(real), ":00000001FF\r\n");

  form_ = std::make_unique<TDeviceFRM>(Services());
  form_->show();
  boxes_.Clear();
  boxes_.AnswerWithFirstButton();
  PickFile(link);
  form_->Button(device_frm::SaveBTN).click();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"OK to overwrite " + link});
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(FileText(real), expected);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                          std::filesystem::directory_iterator()),
            3)
      << "the settings file, the image and its link";
}

TEST_F(DeviceFormTest, TheKeyboardGoesThroughTheWindowAsItShowsAndEscCancels) {
  ASSERT_TRUE(testing_gui::InFront(*form_));
  // A 4096-word part on a crystal: every option but the two of the small parts takes a key.
  Click(form_->DeviceGroup(), 2);
  Click(form_->OscillatorGroup(), 1);
  Click(form_->BrownoutGroup(), 2);
  Click(form_->ResetGroup(), 3);
  form_->DeviceGroup().ItemButtons()[2]->setFocus();
  const QStringList walk = {"Crystal - HS2",
                            device_frm::CarryCB,
                            device_frm::SyncCB,
                            device_frm::WatchdogCB,
                            device_frm::ProtectCB,
                            device_frm::SleepClockCB,
                            device_frm::DriveCB,
                            device_frm::FeedbackCB,
                            "2.6V",
                            "60 us",
                            device_frm::IDStringLBL,
                            device_frm::EEScrollBar,
                            device_frm::ProgramBTN,
                            device_frm::VerifyBTN,
                            device_frm::ReadBTN,
                            device_frm::LoadBTN,
                            device_frm::SaveBTN,
                            device_frm::CancelBTN,
                            "QV48/52"};
  EXPECT_EQ(testing_gui::TabWalk(static_cast<int>(walk.size())), walk);

  // Esc is Cancel: the window goes and leaves the Windows menu. Cancel has its letter.
  EXPECT_EQ(MenuEntries(workbench::kDeviceWindowItem), 1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(MenuEntries(workbench::kDeviceWindowItem), 0);
  EXPECT_EQ(form_->Button(device_frm::CancelBTN).text(), "&Cancel");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceFormTest, TheWindowsMenuAndThePlacementFollowTheWindow) {
  form_->show();
  EXPECT_EQ(MenuEntries(workbench::kDeviceWindowItem), 1);
  form_->Button(device_frm::CancelBTN).click();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_EQ(MenuEntries(workbench::kDeviceWindowItem), 0);
  form_->show();
  form_->close();
  EXPECT_EQ(MenuEntries(workbench::kDeviceWindowItem), 0);

  // A size other than the window's own that still stands whole on the 800x800 test screen.
  form_->setGeometry(5, 50, 790, 700);
  form_.reset();
  workbench::FormBounds bounds{.visible = true};
  ASSERT_TRUE(registry_.ReadFormBounds("DeviceWindow", bounds));
  EXPECT_EQ(bounds.width, 790);
  EXPECT_EQ(bounds.height, 700);
  EXPECT_FALSE(bounds.visible);
  form_ = std::make_unique<TDeviceFRM>(Services());
  EXPECT_EQ(form_->size(), QSize(790, 700));

  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
    form_->show();
    QApplication::processEvents();
    form_->grab().save(QString(folder) + "/device_form.png");
  }
}

// Without a place of its own the window opens beside the main window, whole on the screen,
// and then comes back wherever it was closed.
TEST_F(DeviceFormTest, OpensByTheMainWindowAndComesBackWhereItWasClosed) {
  QMainWindow owner;
  const std::unique_ptr<TDeviceFRM> owned = FormOwnedBy(owner);
  TDeviceFRM& form = *owned;
  form.show();
  QApplication::processEvents();
  const QRect area = form.screen()->availableGeometry();
  const QRect frame = form.frameGeometry();
  EXPECT_TRUE(area.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
  if (owner.frameGeometry().right() + frame.width() < area.right()) {
    EXPECT_EQ(frame.left(), owner.frameGeometry().right() + 1);
    EXPECT_EQ(frame.top(), owner.frameGeometry().top());
  }

  form.windowHandle()->setFramePosition(QPoint(20, 30));  // dragged by its title bar
  QApplication::processEvents();
  const QRect closed = form.geometry();
  for (int reopen = 1; reopen <= 2; ++reopen) {
    form.hide();
    form.show();
    EXPECT_EQ(form.geometry(), closed) << "reopen " << reopen;
  }
}

// Whole on a screen smaller than the window, its frame included (the test program runs once on
// a small offscreen screen for this), every control scrolled into view as the keyboard reaches
// it; where the window fits, it shows its controls whole and no scroll bar.
TEST_F(DeviceFormTest, StandsWholeOnTheScreenAndScrollsWhereTheScreenIsSmaller) {
  QMainWindow owner;
  const std::unique_ptr<TDeviceFRM> owned = FormOwnedBy(owner);
  TDeviceFRM& form = *owned;
  ASSERT_TRUE(testing_gui::InFront(form));
  const QRect area = form.screen()->availableGeometry();
  const QRect frame = form.frameGeometry();
  EXPECT_TRUE(area.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height() << " on "
      << area.width() << "x" << area.height();

  auto* scroll = form.findChild<QScrollArea*>(device_frm::DeviceSCROLL);
  ASSERT_NE(scroll, nullptr);
  const QSize content = scroll->widget()->sizeHint();
  const bool fits = content.width() <= area.width() && content.height() <= area.height();
  RecordProperty("content_fits", fits ? "yes" : "no");
  if (fits) {
    EXPECT_EQ(form.size(), content);
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  } else if (content.width() + scroll->verticalScrollBar()->sizeHint().width() <= area.width()) {
    // Too low only: the window is widened by the one scroll bar it needs.
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  }
  // Round the window by Tab: each control the focus lands on is in view.
  form.DeviceGroup().ItemButtons()[0]->setFocus();
  const QRect view = scroll->viewport()->rect();
  int controls = 0;
  for (QWidget* focus = QApplication::focusWidget(); controls < 40; ++controls) {
    ASSERT_NE(focus, nullptr);
    const QRect shown(focus->mapTo(scroll->viewport(), QPoint(0, 0)), focus->size());
    EXPECT_TRUE(view.contains(shown)) << testing_gui::ControlName(focus).toStdString();
    QTest::keyClick(focus, Qt::Key_Tab);
    focus = QApplication::focusWidget();
    if (focus == form.DeviceGroup().ItemButtons()[0]) break;
  }
  EXPECT_LT(controls, 40) << "the Tab round comes back to the first control";
}

}  // namespace
}  // namespace gui
