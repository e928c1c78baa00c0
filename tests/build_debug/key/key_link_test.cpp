// The key link end to end: the real termios port on a pseudo-terminal, with the simulated
// key playing on the other side.

#include "build_debug/key/key_link.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "tests/build_debug/key/key_fixture.h"

namespace build_debug {
namespace {

using keysim::KeyConfig;
using keysim::KeyIo;
using keysim::SimulatedKey;

// The state the link's scrambler starts from with the simulated key's default seed bytes
// 0x3C, 0xA7: (0x3C xor 0x5E2D) xor 0xA700.
constexpr std::uint16_t kDefaultSeedState = 0xF911;

// A command of the test's own on the key's side: a 12-bit count, that many bytes, and the same
// bytes sent back.
constexpr std::uint8_t kLoopback = 0xA5;
void Loopback(KeyIo& io) {
  std::vector<std::uint8_t> bytes(io.Word());
  for (auto& b : bytes) b = io.Byte();
  io.Send(bytes);
}

class KeyLinkTest : public KeyFixture {
 protected:
  SimulatedKey& StartKey(KeyConfig config = {}, const std::string& port = "COM1") {
    auto& key = KeyFixture::StartKey(std::move(config), port);
    key.Handle(kLoopback, Loopback);
    return key;
  }

  // Sends `bytes` through the key's loopback and reads them back.
  std::vector<std::uint8_t> RoundTrip(KeyLink& link, const std::vector<std::uint8_t>& bytes) {
    link.SendScrambled(kLoopback);
    link.SendWord(static_cast<std::uint16_t>(bytes.size()));
    for (auto b : bytes) link.SendScrambled(b);
    EXPECT_TRUE(link.FlushTx());
    std::vector<std::uint8_t> back(bytes.size());
    EXPECT_TRUE(link.ReceiveBytes(back)) << "state " << link.LinkState();
    return back;
  }
};

TEST_F(KeyLinkTest, FindsTheKeyAndTakesItsSeedAndFirmware) {
  auto& key = StartKey();
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey()) << link_.LinkState();
  EXPECT_EQ(link_.LinkState(), kLinkOk);
  EXPECT_TRUE(link_.IsLinkOpen());
  EXPECT_TRUE(link_.IsKeyOpen());
  EXPECT_TRUE(link_.IsKeyed());
  EXPECT_EQ(link_.GetScramblerState(), kDefaultSeedState);
  EXPECT_EQ(link_.FirmwareVersion(), 3);
  EXPECT_EQ(link_.BaudRate(), 57600);
  EXPECT_EQ(key.HandshakeSpeed(), 57600);
  EXPECT_EQ(key.NoiseBytes(), 0);

  link_.CloseKey();
  EXPECT_FALSE(link_.IsLinkOpen());
  EXPECT_FALSE(link_.IsKeyOpen());
  // The scrambler keeps its state over the close; the next handshake sets a new one.
  EXPECT_NE(link_.GetScramblerState(), 0);
  ASSERT_TRUE(link_.OpenKey());
  EXPECT_EQ(link_.GetScramblerState(), kDefaultSeedState);
  EXPECT_EQ(key.Handshakes(), 2);
  link_.CloseKey();
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(KeyLinkTest, AKeyAt19200IsFoundThereAndTriedThereFirstNextTime) {
  KeyConfig config;
  config.speeds = {19200};
  auto& key = StartKey(config);
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  EXPECT_EQ(link_.BaudRate(), 19200);
  EXPECT_EQ(key.HandshakeSpeed(), 19200);
  EXPECT_EQ(key.NoiseBytes(), 7);  // the probe at 57600, which the key could not hear
  EXPECT_EQ(RoundTrip(link_, {1, 2, 3}), (std::vector<std::uint8_t>{1, 2, 3}));
  link_.CloseKey();

  ASSERT_TRUE(link_.OpenKey());
  EXPECT_EQ(key.NoiseBytes(), 7);  // no probe at 57600 this time
  EXPECT_EQ(link_.BaudRate(), 19200);
  link_.CloseKey();
}

TEST_F(KeyLinkTest, NoKeyAtEitherSpeedIsReportedAsNotFound) {
  KeyConfig config;
  config.silent = true;
  StartKey(config);
  link_.ComInit();
  EXPECT_FALSE(link_.OpenKey());
  EXPECT_EQ(link_.LinkState(), kLinkKeyNotFound);
  EXPECT_EQ(link_.BaudRate(), 57600);
  EXPECT_FALSE(link_.IsLinkOpen());
  EXPECT_FALSE(link_.IsKeyOpen());

  link_.ReportLinkError();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "QV-Key not found on COM1");
  EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
  EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::Ok);
  EXPECT_EQ(link_.LinkState(), kLinkOk);
  link_.ReportLinkError();  // nothing more to report
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

// A key whose answer breaks off after the identification fails the seed read. The port must
// be closed again before the try at the other speed, or that try finds its own port busy and
// the user is told the port is in use by another process.
TEST_F(KeyLinkTest, AHandshakeThatBreaksOffLeavesThePortFree) {
  KeyConfig config;
  config.answer_cut = 7;  // "QV-Key" and one seed byte
  auto& key = StartKey(config);
  link_.ComInit();
  EXPECT_FALSE(link_.OpenKey());
  EXPECT_EQ(link_.LinkState(), kLinkKeyNotFound);
  EXPECT_EQ(key.Handshakes(), 2);  // tried at both speeds
  EXPECT_FALSE(link_.IsLinkOpen());
  auto again = platform::TermiosSerialPortOpener::OpenDevice(key.DevicePath(), 57600);
  EXPECT_TRUE(again.port);
}

TEST_F(KeyLinkTest, ASecondUserOfThePortIsToldItIsInUse) {
  StartKey();
  KeyLink second{opener_, messages_};
  link_.ComInit();
  second.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  EXPECT_FALSE(second.OpenKey());
  EXPECT_EQ(second.LinkState(), kLinkCannotOpen);
  EXPECT_FALSE(second.IsLinkOpen());
  second.ReportLinkError();
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"Unable to open COM1\rCOM port in use by another process"});
  // The first link is untouched by the attempt.
  EXPECT_EQ(RoundTrip(link_, {0x5A}), std::vector<std::uint8_t>{0x5A});
  link_.CloseKey();
}

TEST_F(KeyLinkTest, APortNobodyNamedCannotBeOpened) {
  link_.ComInit();
  link_.SetComPort("COM2");
  EXPECT_FALSE(link_.OpenKey());
  EXPECT_EQ(link_.LinkState(), kLinkCannotOpen);
  link_.ReportLinkError();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                            "Unable to open COM2\rNo serial device is known by that name"});
}

// A port named at something that is no serial device is not "in use": the box says what is
// wrong and where.
TEST_F(KeyLinkTest, APortThatIsNoSerialDeviceIsNamedWithItsPath) {
  auto folder =
      std::filesystem::temp_directory_path() / ("key_link_paths_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string missing = (folder / "ttyGone").string();
  const std::string plain = (folder / "notes.txt").string();
  std::ofstream(plain) << "not a terminal";
  struct Case {
    std::string device;
    std::string text;
  } cases[] = {
      {missing, "Unable to open COM1\rThere is no device " + missing},
      {plain, "Unable to open COM1\r" + plain + " is not a serial port"},
      {folder.string(), "Unable to open COM1\r" + folder.string() + " is not a serial port"},
      {"/dev/null", "Unable to open COM1\r/dev/null is not a serial port"},
  };
  for (const Case& c : cases) {
    environment_["QVKEY_COM1"] = c.device;
    link_.ComInit();
    EXPECT_FALSE(link_.OpenKey()) << c.device;
    EXPECT_EQ(link_.LinkState(), kLinkCannotOpen) << c.device;
    link_.ReportLinkError();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.text});
    boxes_.Clear();
  }
  std::filesystem::remove_all(folder);
}

// Whether another program, without the rights that let root past an exclusive terminal, may
// open the device: 0 when it may, else the error of its open.
int OpenFromAnotherProgram(const std::string& device) {
  pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(255);
    int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ::_exit(fd >= 0 ? 0 : errno);
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// While the link has the port, another program that opens the device is refused, not only one
// that asks for the lock; every way the link lets go of the port frees it again.
TEST_F(KeyLinkTest, NoOtherProgramOpensThePortWhileTheLinkHoldsIt) {
  auto& key = StartKey();
  ASSERT_EQ(::chmod(key.DevicePath().c_str(), 0666), 0);
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  EXPECT_EQ(OpenFromAnotherProgram(key.DevicePath()), EBUSY);
  link_.CloseKey();
  EXPECT_EQ(OpenFromAnotherProgram(key.DevicePath()), 0) << "after a close";

  KeyConfig silent;
  silent.silent = true;
  auto& quiet = StartKey(silent, "COM2");
  ASSERT_EQ(::chmod(quiet.DevicePath().c_str(), 0666), 0);
  link_.SetComPort("COM2");
  EXPECT_FALSE(link_.OpenKey());
  EXPECT_EQ(OpenFromAnotherProgram(quiet.DevicePath()), 0) << "after a failed handshake";
}

TEST_F(KeyLinkTest, BytesWaitingInThePortBeforeTheOpenAreDropped) {
  auto& key = StartKey();
  std::vector<std::uint8_t> noise(40);
  std::iota(noise.begin(), noise.end(), std::uint8_t{'A'});
  key.Inject(noise);
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  // Taken as echo or identification, the noise would have given a wrong seed.
  EXPECT_EQ(link_.LinkState(), kLinkOk);
  EXPECT_EQ(link_.GetScramblerState(), kDefaultSeedState);
  link_.CloseKey();
}

TEST_F(KeyLinkTest, AWrongIdentificationCharacterMarksTheKeyNotFoundButOpens) {
  KeyConfig config;
  config.wrong_id_at = 3;
  StartKey(config);
  link_.ComInit();
  EXPECT_TRUE(link_.OpenKey());
  EXPECT_EQ(link_.LinkState(), kLinkKeyNotFound);
  link_.CloseKey();
}

// Every byte value both ways through a keyed link, with the key's echoes and replies arriving
// whole, byte by byte over many reads, or late; and with the seed that makes the state 0.
TEST_F(KeyLinkTest, EveryByteValuePassesBothWaysThroughTheScrambler) {
  struct Case {
    const char* name;
    KeyConfig config;
  };
  std::vector<Case> cases(4);
  cases[0].name = "whole";
  cases[1].name = "split";
  cases[1].config.split_replies = true;
  cases[2].name = "late";
  cases[2].config.reply_delay = std::chrono::milliseconds(50);
  cases[3].name = "state 0";
  cases[3].config.seed_low = 0x2D;
  cases[3].config.seed_high = 0x5E;

  std::vector<std::uint8_t> every(256);
  std::iota(every.begin(), every.end(), std::uint8_t{0});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    keys_.clear();
    auto& key = StartKey(c.config);
    KeyLink link{opener_, messages_};
    link.ComInit();
    ASSERT_TRUE(link.OpenKey());
    // Byte by byte, with pauses, the echoes of 261 bytes take longer than a wire would: the
    // time-out must not be what this test measures.
    link.SetLinkTimeout(20000);
    EXPECT_EQ(RoundTrip(link, every), every);
    // What the key decoded is what was sent: the command, the count (low byte, high nibble),
    // then the bytes.
    std::vector<std::uint8_t> expected = {kLoopback, 0x00, 0x01};
    expected.insert(expected.end(), every.begin(), every.end());
    EXPECT_EQ(key.CommandBytes(), expected);
    EXPECT_EQ(link.GetScramblerState(), key.ScramblerState());
    if (c.config.seed_low == 0x2D) {
      EXPECT_EQ(link.GetScramblerState(), 0);
    }
    // A second command picks up exactly where the first left off.
    EXPECT_EQ(RoundTrip(link, {0xFF, 0x00}), (std::vector<std::uint8_t>{0xFF, 0x00}));
    link.CloseKey();
  }
}

TEST_F(KeyLinkTest, WordsCarryTwelveBits) {
  StartKey();
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  // A word goes out as its low byte and its high nibble: bits 12-15 never leave.
  link_.SendScrambled(kLoopback);
  link_.SendWord(4);
  link_.SendWord(0xFABC);
  link_.SendWord(0x0123);
  ASSERT_TRUE(link_.FlushTx());
  std::int16_t words[2] = {};
  ASSERT_TRUE(link_.ReceiveWords(words));
  EXPECT_EQ(words[0], 0x0ABC);
  EXPECT_EQ(words[1], 0x0123);

  // A high byte with bits above the nibble is cut to 12 bits on the way in as well.
  EXPECT_EQ(RoundTrip(link_, {0x34, 0xF2}), (std::vector<std::uint8_t>{0x34, 0xF2}));
  link_.SendScrambled(kLoopback);
  link_.SendWord(2);
  link_.SendScrambled(0x34);
  link_.SendScrambled(0xF2);
  ASSERT_TRUE(link_.FlushTx());
  std::int16_t word = 0;
  ASSERT_TRUE(link_.ReceiveWord(word));
  EXPECT_EQ(word, 0x0234);
  link_.CloseKey();
}

TEST_F(KeyLinkTest, AKeyThatGoesQuietEndsTheCommandAfterTheTimeOut) {
  KeyConfig config;
  config.stall_after = 2;
  StartKey(config);
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  link_.SetLinkTimeout(200);
  link_.SendScrambled(kLoopback);
  link_.SendWord(1);
  link_.SendScrambled(7);
  ASSERT_TRUE(link_.FlushTx());
  std::uint8_t b = 0;
  EXPECT_FALSE(link_.ReceiveScrambled(b));
  EXPECT_EQ(link_.LinkState(), kLinkKeyNotFound);
  link_.ReportLinkError();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"QV-Key not found on COM1"});
  link_.CloseKey();
}

// An unplugged key ends the command at once with a link failure, within the time-out and
// never with a hang; the time-out here is long enough that waiting it out would show.
TEST_F(KeyLinkTest, AKeyUnpluggedMidCommandEndsItWithALinkFailure) {
  KeyConfig config;
  config.hang_up_after = 3;
  StartKey(config);
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  link_.SetLinkTimeout(60000);
  link_.SendScrambled(kLoopback);
  link_.SendWord(4);
  for (std::uint8_t b : {1, 2, 3, 4}) link_.SendScrambled(b);
  std::ignore = link_.FlushTx();
  std::uint8_t reply[4] = {};
  EXPECT_FALSE(link_.ReceiveBytes(reply));
  EXPECT_TRUE(link_.LinkState() == kLinkCannotRead || link_.LinkState() == kLinkKeyNotFound)
      << link_.LinkState();
  link_.CloseKey();
  EXPECT_FALSE(link_.IsLinkOpen());
}

TEST_F(KeyLinkTest, WritingToAnUnpluggedKeyFails) {
  auto& key = StartKey();
  link_.ComInit();
  ASSERT_TRUE(link_.OpenKey());
  key.HangUp();
  link_.SendScrambled(0);
  EXPECT_FALSE(link_.FlushTx());
  EXPECT_EQ(link_.LinkState(), kLinkCannotWrite);
  link_.ReportLinkError();
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unable to write to COM1"});
  link_.CloseKey();
  // The key is gone, and with it the port.
  EXPECT_FALSE(link_.OpenKey());
  EXPECT_EQ(link_.LinkState(), kLinkCannotOpen);
}

TEST_F(KeyLinkTest, SetComPortKeepsTheDigits) {
  struct Case {
    const char* text;
    const char* name;
    int number;
  };
  const Case cases[] = {
      {"com12", "COM12", 12},
      {"COM3", "COM3", 3},
      {"/2", "COM2", 2},
      {"port", "COM", 2},  // no digits: the name loses them, the number stays
  };
  link_.ComInit();
  for (const auto& c : cases) {
    link_.SetComPort(c.text);
    EXPECT_EQ(link_.GetComPortName(), c.name) << c.text;
    EXPECT_EQ(link_.PortNumber(), c.number) << c.text;
  }
}

TEST_F(KeyLinkTest, ClockCommandGoesToTheKeyProtocol) {
  struct Clock : KeyClockCommands {
    bool ClockOn() override {
      calls += "on ";
      return true;
    }
    bool ClockOff() override {
      calls += "off ";
      return true;
    }
    std::string calls;
  } clock;
  EXPECT_FALSE(link_.ClockCommand(6));  // nothing to carry it yet
  link_.SetClockCommands(&clock);
  EXPECT_TRUE(link_.ClockCommand(6));
  EXPECT_TRUE(link_.ClockCommand(7));
  EXPECT_FALSE(link_.ClockCommand(5));
  EXPECT_FALSE(link_.ClockCommand(8));
  EXPECT_EQ(clock.calls, "on off ");
}

// The key found through the process's own environment, as the IDE finds it.
TEST_F(KeyLinkTest, TheEnvironmentVariablePointsThePortAtTheKey) {
  SimulatedKey key;
  ::setenv("QVKEY_COM7", key.DevicePath().c_str(), 1);
  platform::SerialPortResolver resolver({platform::ProcessEnvironment, nullptr});
  platform::TermiosSerialPortOpener opener(resolver);
  KeyLink link{opener, messages_};
  link.ComInit();
  link.SetComPort("7");
  bool opened = link.OpenKey();
  ::unsetenv("QVKEY_COM7");
  ASSERT_TRUE(opened) << link.LinkState();
  link.CloseKey();
}

TEST_F(KeyLinkTest, TheSettingsCanNameAPortsDevice) {
  auto& key = StartKey({}, "COM9");
  environment_.clear();
  auto file = std::filesystem::temp_directory_path() /
              ("key_link_settings_" + std::to_string(::getpid()) + ".txt");
  {
    platform::SettingsStore store(file);
    workbench::RegistrySettings settings(store);
    ASSERT_TRUE(settings.WriteRegString("SerialDevices\\COM2", key.DevicePath()));
    auto sources = Sources();
    sources.stored_path = StoredSerialDevice(settings);
    platform::SerialPortResolver resolver(sources);
    platform::TermiosSerialPortOpener opener(resolver);
    KeyLink link{opener, messages_};
    link.ComInit();
    link.SetComPort("COM2");
    ASSERT_TRUE(link.OpenKey()) << link.LinkState();
    link.CloseKey();
  }
  std::filesystem::remove(file);
}

// The simulated key as the program a developer starts by hand.
TEST_F(KeyLinkTest, TheKeyProgramServesTheLink) {
  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(out[1], 1);
    ::close(out[0]);
    ::close(out[1]);
    ::execl(QVKEYSIM_PROGRAM, "qvkeysim", "--speed", "19200", "--firmware", "7", nullptr);
    ::_exit(127);
  }
  ::close(out[1]);
  std::string path;
  char c = 0;
  while (::read(out[0], &c, 1) == 1 && c != '\n') path += c;
  ::close(out[0]);
  ASSERT_FALSE(path.empty());
  environment_["QVKEY_COM1"] = path;
  link_.ComInit();
  bool opened = link_.OpenKey();
  EXPECT_TRUE(opened) << link_.LinkState();
  EXPECT_EQ(link_.BaudRate(), 19200);
  EXPECT_EQ(link_.FirmwareVersion(), 7);
  link_.CloseKey();
  ::kill(child, SIGTERM);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Its help is asked for, so it is the answer: on standard output, and the program ends well. A
// mistaken option still gets the usage on standard error and the exit code 2.
TEST_F(KeyLinkTest, TheKeyProgramsHelpIsAnAnswerAndAMistakeIsNot) {
  struct Case {
    const char* option;
    bool on_stdout;
    int exit_code;
  };
  const std::string out = ::testing::TempDir() + "qvkeysim_help.out";
  const std::string err = ::testing::TempDir() + "qvkeysim_help.err";
  for (const Case& c : {Case{"--help", true, 0}, Case{"-h", true, 0}, Case{"--bogus", false, 2}}) {
    SCOPED_TRACE(c.option);
    std::ostringstream command;
    command << "'" << QVKEYSIM_PROGRAM << "' " << c.option << " >'" << out << "' 2>'" << err << "'";
    const int status = std::system(command.str().c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), c.exit_code);
    const auto text = [](const std::string& file) {
      std::ifstream in(file);
      return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string usage = "usage: qvkeysim [--link PATH]";
    EXPECT_EQ(text(c.on_stdout ? out : err).rfind(usage, 0), 0u);
    EXPECT_EQ(text(c.on_stdout ? err : out), "");
  }
  std::filesystem::remove(out);
  std::filesystem::remove(err);
}

// A device this user may not open: the report says so, not that the port is in use, and names
// the group to join. Root opens anything, so a child that gave its rights up tries, and hands the
// box's text back through a pipe.
TEST_F(KeyLinkTest, APortWithoutPermissionNamesTheRemedy) {
  auto folder =
      std::filesystem::temp_directory_path() / ("key_link_perm_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  auto device = (folder / "ttyLocked").string();
  std::ofstream(device) << "";
  ASSERT_EQ(::chmod(device.c_str(), 0), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  environment_["QVKEY_COM1"] = device;

  int out[2];
  ASSERT_EQ(::pipe(out), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(out[0]);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    link_.ComInit();
    std::ignore = link_.OpenKey();
    link_.ReportLinkError();
    std::string text = boxes_.Boxes().empty() ? "" : boxes_.Boxes()[0].text;
    std::ignore = ::write(out[1], text.data(), text.size());
    ::_exit(0);
  }
  ::close(out[1]);
  std::string text;
  char chunk[256];
  for (ssize_t got; (got = ::read(out[0], chunk, sizeof chunk)) > 0;)
    text.append(chunk, static_cast<std::size_t>(got));
  ::close(out[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  std::string group = ::getgrgid(info.st_gid) ? ::getgrgid(info.st_gid)->gr_name : "dialout";
  EXPECT_EQ(text, "Unable to open COM1\rNo permission to use " + device +
                      ".\rAsk to be made a member of the group " + group +
                      " that owns it (usually dialout), then log in again.");
  std::filesystem::remove_all(folder);
}

// The factory-test CTS monitor runs on the key's port only while the key is closed.
class CtsMonitorTest : public KeyLinkTest {
 protected:
  struct MonitorPort : CtsMonitorPort {
    void Configure(const Setup& s, std::function<void(int)> handler) override {
      setup = s;
      on_cts = std::move(handler);
      ++configured;
    }
    void SetPort(int number) override { port = number; }
    bool Open() override {
      events += "open" + std::to_string(port) + " ";
      return true;
    }
    void Close() override { events += "close "; }
    Setup setup;
    std::function<void(int)> on_cts;
    int configured = 0;
    int port = 0;
    std::string events;
  };

  MonitorPort monitor_;
  std::chrono::steady_clock::time_point now_{std::chrono::hours(1)};
  KeyLink monitored_{opener_, messages_, &monitor_, [this] { return now_; }};
};

TEST_F(CtsMonitorTest, IsSetUpOnceAtTheStart) {
  monitored_.ComInit();
  monitored_.ComInit();
  EXPECT_EQ(monitor_.configured, 1);
  EXPECT_EQ(monitor_.setup.baud, 57600);
  EXPECT_EQ(monitor_.setup.byte_size, 8);
  EXPECT_EQ(monitor_.setup.port_number, 1);
  EXPECT_FALSE(monitor_.setup.parity);
  EXPECT_TRUE(monitor_.setup.cts_dsr_events);
}

TEST_F(CtsMonitorTest, MakesWayForTheKeyAndComesBackAfterIt) {
  StartKey({}, "COM3");
  monitored_.ComInit();
  monitored_.SetComPort("COM3");
  monitored_.SetCtsMonitor(true);
  EXPECT_EQ(monitor_.events, "open3 ");
  ASSERT_TRUE(monitored_.OpenKey());
  EXPECT_EQ(monitor_.events, "open3 close ");
  monitored_.SetCtsMonitor(true);  // wanted again while the key is open: waits for the close
  EXPECT_EQ(monitor_.events, "open3 close ");
  monitored_.CloseKey();
  EXPECT_EQ(monitor_.events, "open3 close open3 ");

  monitored_.SetComPort("COM4");  // no key there: the failed open gives the port back too
  EXPECT_FALSE(monitored_.OpenKey());
  EXPECT_EQ(monitor_.events, "open3 close open3 close open4 ");
  monitored_.SetCtsMonitor(false);
  EXPECT_EQ(monitor_.events, "open3 close open3 close open4 close ");
}

TEST_F(CtsMonitorTest, AChangeRightAfterTheOpenIsDiscarded) {
  boxes_.Answer(platform::kAnswerOk);
  boxes_.Answer(platform::kAnswerOk);
  monitored_.ComInit();
  monitored_.SetCtsMonitor(true);
  now_ += std::chrono::milliseconds(900);
  monitor_.on_cts(1);
  now_ += std::chrono::milliseconds(200);
  monitor_.on_cts(0);
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "OLD CTS change noted and discarded");
  EXPECT_EQ(boxes_.Boxes()[1].text, "CTS Status 0");
  EXPECT_EQ(boxes_.Boxes()[1].caption, "CTS Status Change");
}

}  // namespace
}  // namespace build_debug
