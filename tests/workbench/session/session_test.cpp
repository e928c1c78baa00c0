#include "workbench/session/session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "platform/message_box.h"
#include "platform/modal_dialogs.h"
#include "platform/process_runner.h"
#include "resources/string_ids.h"
#include "tests/keysim/chip_model.h"
#include "tests/keysim/simulated_key.h"

namespace workbench {
namespace {

namespace fs = std::filesystem;
namespace ids = string_ids;

class NoDialogs : public platform::ModalDialogService {
 public:
  int Run(QDialog&) override { throw std::logic_error("No dialog expected"); }
};

// A second language: the same ids, other texts, read from a table of the test's own.
std::optional<std::string> GermanTexts(std::string_view name) {
  static const std::map<std::string, std::string, std::less<>> kTables = {
      {"StringResourceNames", "DebugUnit_Strings\r\n"},
      {"DebugUnit_Strings",
       "SCU_LST_LOAD_FAILED\t.LST-Datei nicht geladen\r\n"
       "SCU_LST_LOAD_CAPTION\tCODEFENSTER - LADEFEHLER\r\n"
       "SCU_RESET_POSITIONS\tFenster zuruecksetzen?\r\n"
       "SCU_RESET_POSITIONS_CAPTION\tFENSTERPOSITION\r\n"},
  };
  auto it = kTables.find(name);
  if (it == kTables.end()) return std::nullopt;
  return it->second;
}

class TwoSessions : public ::testing::Test {
 protected:
  fs::path File(const std::string& tag) const {
    return fs::temp_directory_path() /
           ("qv_session_" + std::to_string(::getpid()) + "_" + tag + ".txt");
  }
  void SetUp() override {
    fs::remove(File("a"));
    fs::remove(File("b"));
  }
  void TearDown() override {
    fs::remove(File("a"));
    fs::remove(File("b"));
  }

  platform::RecordingMessageBoxes boxes_a_, boxes_b_;
  NoDialogs dialogs_;
  platform::SystemProcessRunner processes_;
};

TEST_F(TwoSessions, KeepTheirSettingsTextsBoxesAndImagesApart) {
  IdeSession a({boxes_a_, dialogs_, processes_}, {File("a"), "/opt/a/", EmbeddedTextResource});
  IdeSession b({boxes_b_, dialogs_, processes_}, {File("b"), "/opt/b/", GermanTexts});

  ASSERT_TRUE(a.Registry().WriteRegInt("FileListWidth", 120));
  ASSERT_TRUE(b.Registry().WriteRegInt("FileListWidth", 200));
  std::int32_t width = 0;
  ASSERT_TRUE(a.Registry().ReadRegInt("FileListWidth", width));
  EXPECT_EQ(width, 120);
  ASSERT_TRUE(b.Registry().ReadRegInt("FileListWidth", width));
  EXPECT_EQ(width, 200);
  EXPECT_EQ(a.Store().File(), File("a"));

  boxes_a_.Answer(platform::kAnswerNo);
  boxes_b_.Answer(platform::kAnswerYes);
  EXPECT_EQ(a.Messages().YesNoBoxById(ids::DebugUnit::SCU_RESET_POSITIONS,
                                      ids::DebugUnit::SCU_RESET_POSITIONS_CAPTION),
            platform::kAnswerNo);
  EXPECT_EQ(b.Messages().YesNoBoxById(ids::DebugUnit::SCU_RESET_POSITIONS,
                                      ids::DebugUnit::SCU_RESET_POSITIONS_CAPTION),
            platform::kAnswerYes);
  ASSERT_EQ(boxes_a_.Boxes().size(), 1u);
  ASSERT_EQ(boxes_b_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_a_.Boxes()[0].caption, "WINDOW POSITION RESET");
  EXPECT_EQ(boxes_b_.Boxes()[0].caption, "FENSTERPOSITION");
  EXPECT_EQ(b.Texts().LU_GetString(ids::DebugUnit::SCU_LST_LOAD_FAILED),
            ".LST-Datei nicht geladen");
  EXPECT_EQ(b.Texts().LU_GetString(ids::EditorUnit::SCU_VIEW_LIST_FAILED), "String not available");

  a.Globals().WrenfieldMode = true;
  EXPECT_FALSE(b.Globals().WrenfieldMode);
  EXPECT_EQ(a.Globals().ExeFolder, "/opt/a/");
  EXPECT_EQ(b.Globals().ExeFolder, "/opt/b/");
  EXPECT_EQ(a.Texts().LanguagesFolder(), "/opt/a/Languages/");

  a.Image().WorkingImage[3] = build_debug::UsedWord(0x123);
  EXPECT_EQ(b.Image().WorkingImage[3], build_debug::kEmptyWord);
  EXPECT_NE(a.Image().FileBuffer, b.Image().FileBuffer);
}

TEST_F(TwoSessions, StartValuesOfARun) {
  IdeSession session({boxes_a_, dialogs_, processes_},
                     {File("a"), "/opt/a/", EmbeddedTextResource});
  const build_debug::ObjectImage& image = session.Image();
  EXPECT_EQ(image.ClockHz, 50'000'000);
  EXPECT_EQ(image.Device4K, 0);
  EXPECT_EQ(image.FileBufferSize, build_debug::kFileBufferSize);
  EXPECT_EQ(session.Registry().RegistryRoot(), kRegistryRoot);
  EXPECT_TRUE(session.Texts().Initialised());
  EXPECT_FALSE(session.Globals().DebugMode);
  EXPECT_EQ(session.Globals().EditorFontName, "Courier New");
  EXPECT_EQ(session.GetObjectImage(), &session.Image());
}

TEST_F(TwoSessions, ASettingWrittenInOneRunIsThereInTheNext) {
  {
    IdeSession first({boxes_a_, dialogs_, processes_},
                     {File("a"), "/opt/a/", EmbeddedTextResource});
    ASSERT_TRUE(first.Registry().WriteRegInt("FileListWidth", 120));
  }
  IdeSession next({boxes_a_, dialogs_, processes_}, {File("a"), "/opt/a/", EmbeddedTextResource});
  std::int32_t width = 0;
  EXPECT_TRUE(next.Registry().ReadRegInt("FileListWidth", width));
  EXPECT_EQ(width, 120);
}

// A service the session was not handed is a programming error, never a silent default.
TEST_F(TwoSessions, AServiceThatWasNotHandedInFailsLoudly) {
  IdeSession session({boxes_a_, dialogs_, processes_},
                     {File("a"), "/opt/a/", EmbeddedTextResource});
  EXPECT_THROW(session.Clipboard(), MissingService);
  session.LinkChoices().SetComPort("COM3");
  EXPECT_THROW(std::ignore = session.KeyLink().OpenKey(), MissingService);
  EXPECT_THROW(session.Clock(), MissingService);
  EXPECT_EQ(&session.Boxes(), &boxes_a_);
  EXPECT_EQ(&session.Processes(), &processes_);
}

// The key units are the session's: the configuration's choices reach the link and the key
// unit, and the link opens its port through the opener the program handed in.
TEST_F(TwoSessions, TheKeyUnitsWorkThroughTheSessionsServices) {
  class Opener : public platform::SerialPortOpener {
   public:
    platform::SerialOpenResult Open(std::string_view name, int) override {
      names.emplace_back(name);
      platform::SerialOpenResult refused;
      refused.failure.error = platform::SerialOpenError::NoDevice;
      return refused;
    }
    std::vector<std::string> names;
  } opener;
  boxes_a_.AnswerWithFirstButton();
  IdeSession session({boxes_a_, dialogs_, processes_, nullptr, &opener},
                     {File("a"), "/opt/a/", EmbeddedTextResource});
  session.LinkChoices().SetComPort("COM3");
  session.LinkChoices().SetIrcCalMode(2);
  EXPECT_EQ(session.KeyLink().GetComPortName(), "COM3");
  EXPECT_EQ(session.KeyUnit().GetIrcCalMode(), 2);
  EXPECT_FALSE(session.KeyLink().OpenKey());
  // Tried at both of the key's speeds.
  EXPECT_EQ(opener.names, (std::vector<std::string>{"COM3", "COM3"}));
  EXPECT_EQ(session.KeyLink().LinkState(), build_debug::kLinkCannotOpen);
}

std::string Bytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// QVKEY_SETTINGS_FILE pointed at a file of the user's own: the run says so in a box, works
// with the defaults, and leaves the file byte for byte as it was.
// Configure's OK while a programming run opens its port: the configuration writes the port's
// name and the settings on this thread while the run's worker opens the port that those
// settings named. The run keeps the port it started on; the next takes the new one. (Under
// ThreadSanitizer this shows that the worker reads neither the name nor the settings.)
TEST_F(TwoSessions, ConfigureDuringARunLeavesTheRunItsPort) {
  keysim::SimulatedKey key;
  keysim::ChipModel chip;
  chip.Install(key);
  boxes_a_.AnswerWithFirstButton();
  IdeSession session({boxes_a_, dialogs_, processes_},
                     {File("a"), "/opt/a/", EmbeddedTextResource});
  platform::TermiosSerialPortOpener ports(session.Resolver());
  session.BindSerialPorts(ports);
  ASSERT_TRUE(session.Registry().WriteRegString("SerialDevices\\COM2", key.DevicePath()));
  session.LinkChoices().SetComPort("COM2");
  build_debug::ObjectImage& image = session.Image();
  for (std::size_t i = 0; i < 512; ++i) image.ProgrammingImage[i] = static_cast<std::uint16_t>(i);

  ASSERT_TRUE(session.KeyUnit().StartProgramQV(false));
  ConfigurationControls controls;
  ReadSettings(session.Registry(), controls, false);
  controls.PortRDGRP = "COM3";
  GlobalValues& globals = session.Globals();
  EXPECT_TRUE(SaveSettings(session.Registry(), session.LinkChoices(), controls,
                           globals.EditorOptions, globals.IdeOptions, false));
  session.KeyUnit().QVU_Cleanup();

  EXPECT_EQ(session.KeyUnit().LastRunOutcome(), build_debug::RunOutcome::kProgrammed);
  EXPECT_EQ(key.Handshakes(), 1);
  EXPECT_EQ(chip.Program()[511], 511);
  EXPECT_EQ(session.LinkChoices().GetComPortName(), "COM3");
  EXPECT_TRUE(boxes_a_.Boxes().empty());
}

TEST_F(TwoSessions, ASettingsFileThatIsNotOursIsLeftAsItWas) {
  std::string binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  for (int i = 0; i < 200; ++i) binary += static_cast<char>(255 - i);
  const std::string text = "Shopping list\r\n- solder\r\n- QV48 chips\r\n";
  const char* saved = std::getenv("QVKEY_SETTINGS_FILE");
  const std::string saved_value = saved ? saved : "";
  ::setenv("QVKEY_SETTINGS_FILE", File("a").c_str(), 1);
  for (const std::string& bytes : {text, binary}) {
    std::ofstream(File("a"), std::ios::binary | std::ios::trunc) << bytes;
    platform::RecordingMessageBoxes boxes;
    boxes.Answer(platform::kAnswerOk);
    {
      SessionSetup setup;  // the store's path from the environment
      setup.exe_folder = "/opt/a/";
      IdeSession session({boxes, dialogs_, processes_}, setup);
      ASSERT_EQ(boxes.Boxes().size(), 1u);
      EXPECT_EQ(boxes.Boxes()[0].caption, "Settings File");
      EXPECT_NE(boxes.Boxes()[0].text.find(File("a").string()), std::string::npos);
      EXPECT_FALSE(session.Registry().WriteRegInt("FileListWidth", 120));
      EXPECT_FALSE(session.Registry().WriteRegString("Configuration\\ComPort", "COM2"));
    }
    EXPECT_EQ(Bytes(File("a")), bytes);
  }
  if (saved) {
    ::setenv("QVKEY_SETTINGS_FILE", saved_value.c_str(), 1);
  } else {
    ::unsetenv("QVKEY_SETTINGS_FILE");
  }
}

// A damaged settings file: what the start-up found is told in one box that names the file and
// where the damaged one is kept; asking again shows nothing more.
TEST_F(TwoSessions, ADamagedSettingsFileIsToldOnce) {
  std::ofstream(File("a"), std::ios::binary | std::ios::trunc)
      << "QVKey settings 1\n[Software\\KestrianInc\\QV-Key\\2.0\\FileListWidth]\n"
         "\"FileListWidth\"=\"wide\"\ngarbage\n";
  platform::RecordingMessageBoxes boxes;
  boxes.Answer(platform::kAnswerOk);
  SessionSetup setup;
  setup.settings_file = File("a");
  IdeSession session({boxes, dialogs_, processes_}, setup);
  EXPECT_TRUE(boxes.Boxes().empty()) << "nothing is told before the start-up has read";
  std::int32_t width = 96;
  EXPECT_FALSE(session.Registry().ReadRegInt("FileListWidth", width));
  EXPECT_EQ(width, 96);
  session.ReportSettingsDamage();
  session.ReportSettingsDamage();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const platform::BoxRequest& box = boxes.Boxes()[0];
  EXPECT_EQ(box.caption, "Settings File");
  EXPECT_EQ(box.buttons, platform::BoxButtons::Ok);
  const std::string parts[] = {File("a").string() + "\r", File("a").string() + ".damaged", "line 4",
                               "\"FileListWidth\""};
  for (const std::string& part : parts)
    EXPECT_NE(box.text.find(part), std::string::npos) << part << " not in " << box.text;
}

}  // namespace
}  // namespace workbench
