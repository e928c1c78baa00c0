// The key protocol end to end: a real worker thread, the real link on a pseudo-terminal, and
// the simulated key with a chip behind it.

#include "build_debug/key/key_protocol.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"

namespace build_debug {
namespace {

using keysim::ChipConfig;
using keysim::ChipModel;
using keysim::KeyConfig;

// The worker's reports in the order they came, as "P<code>:<parameter>" (progress) and
// "N<code>" (key notification), with "!" for a sent one.
class RecordedNotifications : public KeyNotifications {
 public:
  void DeviceProgress(int code, int parameter, bool sent) override {
    std::string report = "P";
    report += std::to_string(code);
    report += ':';
    report += std::to_string(parameter);
    if (sent) report += '!';
    Add(report);
    if (on_progress) on_progress(code, parameter);
  }
  void KeyNotify(int code, bool sent) override {
    std::string report = "N";
    report += std::to_string(code);
    if (sent) report += '!';
    Add(report);
  }
  void DebugProgrammed() override { Add("D"); }
  void CloseProgress() override { Add("C"); }
  void LinkHeldByRun(bool held) override {
    std::lock_guard lock(mutex_);
    held_.push_back(held);
  }

  // Each report of the link taken (true) and let go (false) by a run.
  std::vector<bool> Held() const {
    std::lock_guard lock(mutex_);
    return held_;
  }

  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  // The events without the progress steps, and the number of steps.
  std::vector<std::string> Outline() const {
    std::vector<std::string> outline;
    for (const auto& e : Events())
      if (e.rfind("P8:", 0) != 0) outline.push_back(e);
    return outline;
  }
  int Steps() const {
    int steps = 0;
    for (const auto& e : Events()) steps += e.rfind("P8:", 0) == 0;
    return steps;
  }

  std::function<void(int code, int parameter)> on_progress;

 private:
  void Add(std::string event) {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
  std::vector<bool> held_;
};

// A program of distinct words (bit 15 set as a builder leaves it) and distinct ID words.
void FillImage(ObjectImage& image, bool device4k, std::uint16_t fusex, std::uint16_t fuse) {
  image.Device4K = device4k ? 1 : 0;
  for (int i = 0; i < kProgramWords; ++i)
    image.ProgrammingImage[static_cast<std::size_t>(i)] =
        UsedWord(static_cast<std::uint16_t>(i * 7 + 1));
  for (int i = 0; i < kIdWordCount; ++i)
    image.ProgrammingImage[static_cast<std::size_t>(kIdWordsIndex + i)] =
        static_cast<std::uint16_t>(0x0A0 + i);
  image.ProgrammingImage[kFusexIndex] = fusex;
  image.ProgrammingImage[kFuseIndex] = fuse;
  image.WorkingImage = image.ProgrammingImage;
}

class KeyProtocolTest : public KeyFixture {
 protected:
  KeyProtocolTest() { link_.ComInit(); }
  // The keys go first: their threads may still be answering with the chip (the byte of the
  // last close), and the chip goes with this class, before the fixture's keys.
  ~KeyProtocolTest() override { keys_.clear(); }

  ChipModel& StartChip(ChipConfig chip = {}, KeyConfig key = {}) {
    chip_ = std::make_unique<ChipModel>(std::move(chip));
    chip_->Install(StartKey(std::move(key)));
    return *chip_;
  }

  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  RecordedNotifications notes_;
  std::unique_ptr<ChipModel> chip_;
  QvKeyUnit unit_{link_, *image_, messages_, notes_};
};

struct ProgramCase {
  const char* name;
  bool device4k;
  std::uint16_t fusex;
  std::uint16_t fuse;
  int words;
  std::uint16_t header_fusex;  // with trim 7 (the slowest, calibration mode 0)
  std::uint16_t header_fuse;
  std::vector<std::uint16_t> measured;
};

TEST_F(KeyProtocolTest, ProgrammingLeavesTheImageAndTheHeaderInTheChip) {
  const ProgramCase cases[] = {
      // (0x0BFE and 0x4FF) or 0x0C, trim bits 0-1 in 8-9 and bit 2 in 11.
      {"2,048 words", false, 0x0BFE, 0x0FFA, 2048, 0x0BFE, 0x0FFA, {}},
      // (0x0FFF and 0x4FF) or 0x8C, trim bits 0-1 only; FUSE or 0xA00; bit 11 clear, so
      // the extra measurement with it set comes first.
      {"4,096 words", true, 0x0FFF, 0x05FA, 4096, 0x07FF, 0x0FFA, {0x0FFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    keys_.clear();
    RecordedNotifications notes;
    QvKeyUnit unit{link_, *image_, messages_, notes};
    auto& chip = StartChip();
    FillImage(*image_, c.device4k, c.fusex, c.fuse);
    ASSERT_TRUE(unit.StartProgramQV(false));
    unit.QVU_Cleanup();

    auto program = chip.Program();
    for (int i = 0; i < c.words; ++i)
      ASSERT_EQ(program[static_cast<std::size_t>(i)], (i * 7 + 1) & 0x0FFF) << "word " << i;
    for (int i = c.words; i < 4096; ++i)
      ASSERT_EQ(program[static_cast<std::size_t>(i)], 0x0FFF) << "word " << i;
    auto id = chip.IdWords();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(id[static_cast<std::size_t>(i)], 0x0A0 + i);
    EXPECT_EQ(chip.Fusex(), c.header_fusex);
    EXPECT_EQ(chip.Fuse(), c.header_fuse);
    EXPECT_EQ(chip.MeasuredWords(), c.measured);
    EXPECT_EQ(chip.EraseUnits(), (std::vector<int>{255, 245}));
    EXPECT_EQ(chip.Releases(), 0);  // without the run flag the chip stays held
    EXPECT_EQ(notes.Steps(), 32);
    EXPECT_EQ(notes.Outline(), (std::vector<std::string>{"P0:0!", "P1:0!", "P9:0!", "P2:0", "P7:0",
                                                         "P101:1", "P7:0", "N2", "P101:2"}));
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_FALSE(link_.IsLinkOpen());
    EXPECT_EQ(unit.GetTrim(), 7);
    EXPECT_EQ(unit.LastRunOutcome(), RunOutcome::kProgrammed);
    EXPECT_EQ(notes.Held(), (std::vector<bool>{true, false}));
    EXPECT_FALSE(unit.RunHoldsLink());
  }
}

TEST_F(KeyProtocolTest, TheStepsComeEvery32ndOfTheChip) {
  auto& chip = StartChip();
  FillImage(*image_, false, 0x0BFC, 0x0FFA);  // FUSEX bits 0-1 = 0: a 512-word part
  ASSERT_TRUE(unit_.StartProgramQV(false));
  unit_.QVU_Cleanup();
  std::vector<std::string> steps;
  for (const auto& e : notes_.Events())
    if (e.rfind("P8:", 0) == 0) steps.push_back(e);
  ASSERT_EQ(steps.size(), 32u);
  EXPECT_EQ(steps.front(), "P8:15");
  EXPECT_EQ(steps.back(), "P8:511");
  EXPECT_EQ(chip.Program()[511], (511 * 7 + 1) & 0x0FFF);
  EXPECT_EQ(chip.Program()[512], 0x0FFF);
}

TEST_F(KeyProtocolTest, ARunWithTheRunFlagStartsTheClockAndReleasesTheChip) {
  auto& chip = StartChip();
  FillImage(*image_, false, 0x0BFE, 0x0FFA);
  image_->ClockHz = 4'000'000;
  ASSERT_TRUE(unit_.StartDebugProgramQV(true));
  unit_.QVU_Cleanup();
  EXPECT_EQ(chip.ClockWords(), std::vector<std::uint32_t>{0x3EE4E0});
  EXPECT_TRUE(chip.ClockRunning());
  EXPECT_EQ(chip.Releases(), 1);
  auto outline = notes_.Outline();
  EXPECT_EQ(outline[3], "P3:0");  // programming for debug
  EXPECT_EQ(outline.back(), "D");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(KeyProtocolTest, CancelStopsAtTheNextBlockWithoutABox) {
  auto& chip = StartChip();
  FillImage(*image_, false, 0x0BFE, 0x0FFA);
  notes_.on_progress = [this](int code, int parameter) {
    if (code == kProgressStep && parameter == 1023) unit_.CancelProgramming();
  };
  ASSERT_TRUE(unit_.StartProgramQV(false));
  unit_.QVU_Cleanup();
  auto outline = notes_.Outline();
  ASSERT_GE(outline.size(), 2u);
  EXPECT_EQ(outline[outline.size() - 2], "P101:2");
  EXPECT_EQ(outline.back(), "N1");
  auto events = notes_.Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "N2"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "N3!"), 0);
  EXPECT_EQ(notes_.Steps(), 16);  // up to word 1023, then the block boundary at 1024
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_FALSE(link_.IsLinkOpen());
  EXPECT_EQ(chip.Program()[2047], 0x0FFF);  // the rest never went out
  EXPECT_EQ(unit_.LastRunOutcome(), RunOutcome::kCancelled);
}

TEST_F(KeyProtocolTest, AKeyUnpluggedMidRunEndsItWithTheLinkBox) {
  KeyConfig key;
  key.hang_up_after = 700;  // within the program blocks
  StartChip({}, key);
  FillImage(*image_, false, 0x0BFE, 0x0FFA);
  ASSERT_TRUE(unit_.StartProgramQV(false));
  unit_.QVU_Cleanup();  // returns: the worker ended
  auto events = notes_.Events();
  auto n2 = std::find(events.begin(), events.end(), "N2");
  auto n3 = std::find(events.begin(), events.end(), "N3!");
  ASSERT_NE(n2, events.end());
  ASSERT_NE(n3, events.end());
  EXPECT_LT(n2, n3);
  ASSERT_FALSE(boxes_.Boxes().empty());
  EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
  EXPECT_FALSE(link_.IsLinkOpen());
  EXPECT_EQ(unit_.LastRunOutcome(), RunOutcome::kFailed);
}

// Each status of a programming run is waited for as long as the key's command takes: the
// header 2p + 1000 ms, a block 32q + 1000 ms, the ID words 16q + 1000 ms (p = 50, q = 20). A
// key a little inside that programs the chip; one a little after it is a key that is gone.
TEST_F(KeyProtocolTest, EachStatusIsWaitedForAsLongAsItsCommandTakes) {
  struct Case {
    const char* name;
    std::uint8_t command;
    int timeout_ms;
  };
  const Case cases[] = {{"header", 2, 1100}, {"block", 32, 1640}, {"ID words", 16, 1320}};
  // Room for a busy machine on either side, far less than a tenth or twice the time-out.
  constexpr int kMargin = 400;
  for (const auto& c : cases) {
    for (bool in_time : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (in_time ? " in time" : " too late"));
      keys_.clear();
      boxes_.Clear();
      ChipConfig config;
      config.first_status_delay[c.command] =
          std::chrono::milliseconds(c.timeout_ms + (in_time ? -kMargin : kMargin));
      auto& chip = StartChip(config);
      FillImage(*image_, false, 0x0BFE, 0x0FFA);
      ASSERT_TRUE(unit_.StartProgramQV(false));
      unit_.QVU_Cleanup();
      if (in_time) {
        EXPECT_EQ(unit_.LastRunOutcome(), RunOutcome::kProgrammed);
        EXPECT_TRUE(boxes_.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
        EXPECT_EQ(chip.Program()[2047], (2047 * 7 + 1) & 0x0FFF);
      } else {
        EXPECT_EQ(unit_.LastRunOutcome(), RunOutcome::kFailed);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"QV-Key not found on COM1"});
        ASSERT_FALSE(boxes_.Boxes().empty());
        EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
      }
    }
  }
}

// While a run holds the link a second start is refused at once, and what the run programs is
// what the image held at its start.
TEST_F(KeyProtocolTest, ARunRefusesASecondStartAndProgramsWhatItTookAtItsStart) {
  KeyConfig slow;
  slow.reply_delay = std::chrono::milliseconds(20);
  auto& chip = StartChip({}, slow);
  auto& key = *keys_.back();
  FillImage(*image_, false, 0x0BFE, 0x0FFA);
  std::atomic<bool> programming{false};
  notes_.on_progress = [&](int code, int) {
    if (code == kProgressShowCancel) programming = true;
  };
  ASSERT_TRUE(unit_.StartProgramQV(false));
  EXPECT_TRUE(unit_.RunHoldsLink());
  for (int i = 0; i < 5000 && !programming; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(programming);
  // A build that lands now changes the image, not the chip.
  image_->ProgrammingImage.fill(UsedWord(0x0123));
  EXPECT_FALSE(unit_.StartProgramQV(false));
  EXPECT_FALSE(unit_.StartDebugProgramQV(true));
  EXPECT_TRUE(unit_.RunHoldsLink());
  unit_.QVU_Cleanup();
  EXPECT_FALSE(unit_.RunHoldsLink());
  EXPECT_EQ(key.Handshakes(), 1);
  EXPECT_EQ(unit_.LastRunOutcome(), RunOutcome::kProgrammed);
  for (int i = 0; i < 2048; ++i)
    ASSERT_EQ(chip.Program()[static_cast<std::size_t>(i)], (i * 7 + 1) & 0x0FFF) << "word " << i;
  EXPECT_EQ(chip.Fusex(), 0x0BFE);
  EXPECT_EQ(notes_.Held(), (std::vector<bool>{true, false}));
  const auto events = notes_.Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "N2"), 1);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(KeyProtocolTest, AStatusOfOneAfterTheEraseIsAVppFailure) {
  ChipConfig chip;
  chip.status[1] = 1;
  StartChip(chip);
  FillImage(*image_, false, 0x0BFE, 0x0FFA);
  ASSERT_TRUE(unit_.StartProgramQV(false));
  unit_.QVU_Cleanup();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);  // the link is fine: its report shows nothing
  EXPECT_EQ(boxes_.Boxes()[0].text, "Vpp generation failed");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "QvKey Error");
  auto outline = notes_.Outline();
  EXPECT_EQ(outline.back(), "N3!");
  EXPECT_EQ(notes_.Steps(), 0);
}

TEST_F(KeyProtocolTest, StatusBytesNameTheirFailures) {
  struct Case {
    std::uint8_t status;
    const char* text;
  };
  const Case cases[] = {
      {2, "Chip connection failed"}, {3, "Programming failed"}, {9, "Communication failed : 9"}};
  for (const auto& c : cases) {
    keys_.clear();
    boxes_.Clear();
    ChipConfig chip;
    chip.status[4] = c.status;
    StartChip(chip);
    ASSERT_TRUE(link_.OpenKey());
    EXPECT_FALSE(unit_.ReleaseChip());
    link_.CloseKey();
    ASSERT_EQ(boxes_.Boxes().size(), 1u) << c.text;
    EXPECT_EQ(boxes_.Boxes()[0].text, c.text);
    EXPECT_EQ(boxes_.Boxes()[0].caption, "QvKey Error");
  }
}

// A command while the IDE itself holds the link (its debug or clock window) says that they use
// the key, never that another program does, and leaves the holder's link as it was: the session
// goes on, and its own close later reaches the key. A run cannot wait for the link on the thread
// that holds it: it ends as a failed run at once, so that a hidden run does not wait for ever.
TEST_F(KeyProtocolTest, ACommandWhileTheIdeHoldsTheLinkLeavesItToItsHolder) {
  struct Command {
    const char* name;
    std::function<bool(QvKeyUnit&)> run;
    std::vector<std::string> reports;
  };
  const Command commands[] = {
      {"program", [](QvKeyUnit& unit) { return unit.StartProgramQV(false); }, {"N2", "N3!"}},
      {"read", [](QvKeyUnit& unit) { return unit.ReadQV(); }, {}},
      {"verify key", [](QvKeyUnit& unit) { return unit.QVU_VerifyKey(); }, {}},
  };
  ChipModel& chip = StartChip();
  for (const Command& command : commands) {
    SCOPED_TRACE(command.name);
    boxes_.Clear();
    ASSERT_TRUE(link_.OpenKey());
    const int handshakes = keys_.back()->Handshakes();
    const std::size_t reported = notes_.Events().size();
    EXPECT_FALSE(command.run(unit_));
    EXPECT_FALSE(unit_.RunHoldsLink());
    const std::vector<std::string> events = notes_.Events();
    EXPECT_EQ(std::vector<std::string>(events.begin() + static_cast<std::ptrdiff_t>(reported),
                                       events.end()),
              command.reports);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Unable to open COM1\rThe QV-Key is in use by "
                                                   "the debug or clock window"});
    EXPECT_TRUE(link_.IsLinkOpen());
    EXPECT_EQ(keys_.back()->Handshakes(), handshakes);
    // The holder's link still works, and nothing of the command reached the key.
    EXPECT_TRUE(unit_.ReleaseChip());
    EXPECT_EQ(keys_.back()->CommandBytes(), std::vector<std::uint8_t>{4});
    link_.CloseKey();
  }
  EXPECT_EQ(unit_.LastRunOutcome(), RunOutcome::kFailed);
  EXPECT_EQ(chip.Releases(), 3);
}

TEST_F(KeyProtocolTest, ReadingTakesTheChipsOwnSize) {
  struct Case {
    const char* name;
    bool chip4k;
    std::uint16_t chip_fusex;
    int words;
    bool image4k;
  };
  const Case cases[] = {
      {"4,096-word chip, 2,048-word image", true, 0x0FFF, 4096, false},
      {"512-word chip, 4,096-word image", false, 0x0BFC, 512, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    keys_.clear();
    ChipConfig config;
    config.device4k = c.chip4k;
    config.fusex = c.chip_fusex;
    config.fuse = 0x0F0A;
    auto& chip = StartChip(config);
    std::vector<std::uint16_t> words(4096);
    for (int i = 0; i < 4096; ++i)
      words[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>((i * 3) & 0x0FFF);
    chip.Load(words);
    FillImage(*image_, c.image4k, c.image4k ? 0x0FFF : 0x0BFE, 0x0FFA);
    image_->ProgrammingImage.fill(0x0123);

    ASSERT_TRUE(unit_.ReadQV());
    EXPECT_EQ(image_->Device4K, c.chip4k ? 1 : 0);
    EXPECT_EQ(image_->ProgrammingImage[kFusexIndex], c.chip_fusex);
    EXPECT_EQ(image_->ProgrammingImage[kFuseIndex], 0x0F0A);
    for (int i = 0; i < c.words; ++i)
      ASSERT_EQ(image_->ProgrammingImage[static_cast<std::size_t>(i)], (i * 3) & 0x0FFF) << i;
    if (c.words < 4096) {
      EXPECT_EQ(image_->ProgrammingImage[static_cast<std::size_t>(c.words)], 0x0123);
    }
    for (int i = 0; i < kIdWordCount; ++i)
      EXPECT_EQ(image_->ProgrammingImage[static_cast<std::size_t>(kIdWordsIndex + i)], 0x0FFF);
    EXPECT_EQ(unit_.MemoryWords(), c.words);
    EXPECT_EQ(chip.Releases(), 1);
    EXPECT_FALSE(link_.IsLinkOpen());
    EXPECT_TRUE(boxes_.Boxes().empty());
  }
  EXPECT_EQ(notes_.Events().back(), "C");
}

TEST_F(KeyProtocolTest, ReadingWithoutAKeyStopsAtOnce) {
  KeyConfig key;
  key.silent = true;
  auto& chip = StartChip({}, key);
  image_->ProgrammingImage.fill(0x0123);
  EXPECT_FALSE(unit_.ReadQV());
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"QV-Key not found on COM1"});
  EXPECT_EQ(notes_.Events(), std::vector<std::string>{"C"});
  EXPECT_EQ(image_->ProgrammingImage[0], 0x0123);
  EXPECT_EQ(chip.Releases(), 0);
  EXPECT_FALSE(link_.IsLinkOpen());
}

TEST_F(KeyProtocolTest, CalibrationPicksTheTrimNearestFourMegahertz) {
  ChipConfig config;
  // 1,266,035,968 / count: 317 gives 3,993,804 Hz, the nearest; trims 2 and 5 measure the
  // same (the lower trim wins); trim 6 failed.
  config.counts = {300, 310, 317, 330, 340, 317, 0, 360};
  auto& chip = StartChip(config);
  FillImage(*image_, false, 0x0BFE, 0x0FFA);
  unit_.SetIrcCalMode(1);
  ASSERT_TRUE(link_.OpenKey());
  EXPECT_TRUE(unit_.CalibrateIrc());
  link_.CloseKey();
  EXPECT_EQ(unit_.GetTrim(), 2);
  EXPECT_EQ(chip.MeasuredWords(),
            (std::vector<std::uint16_t>{0xFFF, 0x7FF, 0x5FF, 0x4FF, 0xDFF, 0xCFF, 0xEFF, 0x6FF}));
  EXPECT_EQ(chip.EraseUnits(), (std::vector<int>{255, 245, 255, 245, 255, 245}));
  EXPECT_EQ(unit_.Counts()[5], 317);
  EXPECT_EQ(notes_.Events(), (std::vector<std::string>{"P0:0!", "P1:0!", "P6:0!"}));
}

TEST(TrimChoice, NearestToFourMegahertzLowerOnTiesNeverAFailedCount) {
  struct Case {
    const char* name;
    std::array<std::uint16_t, 8> counts;
    int trim;
  };
  const Case cases[] = {
      {"nearest", {100, 200, 300, 316, 400, 500, 600, 700}, 3},
      {"tie", {0, 317, 0, 0, 0, 317, 0, 0}, 1},
      // A count of 0 would be taken as the fastest possible oscillator, or divide by zero.
      {"zero skipped", {0, 0, 0, 0, 0, 0, 0, 60000}, 7},
      {"all failed", {0, 0, 0, 0, 0, 0, 0, 0}, 4},  // the fall-back
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseTrim(c.counts, 4), c.trim) << c.name;
  EXPECT_EQ(OscillatorHz(317), 3'993'804u);
  EXPECT_EQ(OscillatorHz(0), 0u);
}

TEST(TrimChoice, MeasurementWordsPlaceTheTrimBits) {
  const std::uint16_t expected[8] = {0x4FF, 0x5FF, 0x6FF, 0x7FF, 0xCFF, 0xDFF, 0xEFF, 0xFFF};
  for (int t = 0; t < 8; ++t) EXPECT_EQ(TrimMeasureWord(t), expected[t]) << t;
}

TEST(MemorySize, FromTheFusexWordAndTheSizeFlag) {
  struct Case {
    std::uint16_t fusex;
    bool device4k;
    int words, banks, code;
  };
  const Case cases[] = {
      {0x0000, false, 512, 1, 2},  {0x0001, false, 1024, 1, 2}, {0x0002, false, 2048, 4, 2},
      {0x0403, false, 2048, 8, 3}, {0x0BFF, false, 2048, 8, 2}, {0x0000, true, 4096, 15, 5},
  };
  for (const auto& c : cases) {
    auto size = MemorySizeOf(c.fusex, c.device4k);
    EXPECT_EQ(size.words, c.words) << std::hex << c.fusex;
    EXPECT_EQ(size.banks, c.banks) << std::hex << c.fusex;
    EXPECT_EQ(size.device_code, c.code) << std::hex << c.fusex;
  }
}

TEST_F(KeyProtocolTest, VerifyKeyTurnsAwayTheProgrammerOnlyDevice) {
  StartChip();
  EXPECT_TRUE(unit_.QVU_VerifyKey());
  EXPECT_TRUE(boxes_.Boxes().empty());

  keys_.clear();
  KeyConfig brisko;
  brisko.seed_low = 0x2D;  // the seed constant itself: state 0
  brisko.seed_high = 0x5E;
  StartChip({}, brisko);
  EXPECT_FALSE(unit_.QVU_VerifyKey());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "QV-Brisko does not support this function");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "QVU_VerifyKey");
}

TEST_F(KeyProtocolTest, ClockCommandsReachTheKey) {
  auto& chip = StartChip();
  image_->ClockHz = 20'000'000;
  ASSERT_TRUE(link_.OpenKey());
  EXPECT_TRUE(link_.ClockCommand(6));
  EXPECT_TRUE(chip.ClockRunning());
  EXPECT_TRUE(link_.ClockCommand(7));
  EXPECT_TRUE(unit_.ReleaseChip());  // clock-off has no reply: this one shows the key is past it
  link_.CloseKey();
  EXPECT_EQ(chip.ClockWords(), std::vector<std::uint32_t>{0x3FD3F8});
  EXPECT_FALSE(chip.ClockRunning());
}

}  // namespace
}  // namespace build_debug
