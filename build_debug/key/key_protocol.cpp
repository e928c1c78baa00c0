#include "build_debug/key/key_protocol.h"

#include <cstdlib>
#include <string>

#include "build_debug/key/clock_synth.h"
#include "platform/message_box.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/message_strings.h"

namespace build_debug {

namespace {

namespace ids = string_ids::QvKeyUnit;

// Command bytes; the measurement, header, block and ID commands take 64 x the adaptive flag.
constexpr std::uint8_t kFinish = 0;
constexpr std::uint8_t kErase = 1;
constexpr std::uint8_t kMeasure = 1;
constexpr std::uint8_t kEnterProgramming = 2;
constexpr std::uint8_t kHeader = 2;
constexpr std::uint8_t kRead = 3;
constexpr std::uint8_t kRelease = 4;
constexpr std::uint8_t kClockOn = 8;
constexpr std::uint8_t kClockOff = 9;
constexpr std::uint8_t kBlock = 32;
constexpr std::uint8_t kIdBlock = 16;
constexpr std::uint8_t kReadBlock = 128;
constexpr int kBlockWords = 32;
constexpr int kHeaderWords = 2;  // FUSEX and FUSE
constexpr int kReadBlockWords = 128;
constexpr int kMaxEraseUnits = 255;
// 0x4B762D00: the oscillator frequency in Hz is this divided by a measurement's count.
constexpr std::uint32_t kCountToHz = 1'266'035'968;
constexpr std::uint32_t kTargetHz = 4'000'000;
// The chip-kind word of a read that marks a 4,096-word chip.
constexpr std::int16_t kKind4K = 2;

// The configuration header: FUSEX keeps the image's bits 0-7 and 10, takes the chip's trim
// (bits 0-1 in bits 8-9, bit 2 in bit 11 where the part has it) and sets the bits that the
// key expects set; the 4,096-word parts' FUSE gets bits 9 and 11 set too.
constexpr std::uint16_t kHeaderFusexImageBits = 0x4FF;
constexpr std::uint16_t kHeaderFusexSet = 0x00C;
constexpr std::uint16_t kHeaderFusexSet4K = 0x08C;
constexpr std::uint16_t kHeaderFuseSet4K = 0xA00;
constexpr int kTrimLowShift = 8;
constexpr int kTrimHighShift = 11;
// A header whose trim leaves this bit clear is preceded by a measurement with it set.
constexpr std::uint16_t kFusexTrimHighBit = 1u << kTrimHighShift;

std::uint16_t TrimBits(int trim, bool with_high_bit) {
  const int low = (trim & 3) << kTrimLowShift;
  const int high = with_high_bit ? ((trim >> 2) & 1) << kTrimHighShift : 0;
  return static_cast<std::uint16_t>(low | high);
}

// The header words a run sends in place of the image's FUSEX and FUSE.
struct ConfigurationHeader {
  std::uint16_t fusex;
  std::uint16_t fuse;
};

ConfigurationHeader HeaderOf(std::uint16_t fusex, std::uint16_t fuse, bool device4k, int trim) {
  // Trim bit 2 has no place in the 4,096-word parts' FUSEX.
  if (device4k)
    return {static_cast<std::uint16_t>((fusex & kHeaderFusexImageBits) | kHeaderFusexSet4K |
                                       TrimBits(trim, false)),
            static_cast<std::uint16_t>(fuse | kHeaderFuseSet4K)};
  return {static_cast<std::uint16_t>((fusex & kHeaderFusexImageBits) | kHeaderFusexSet |
                                     TrimBits(trim, true)),
          fuse};
}

// The progress bar steps 32 times over a chip's `words` words.
bool IsProgressStep(int i, int words) { return ((i + 1) & (words / 32 - 1)) == 0; }

// The key replies when its work is done; the link waits that long and a second besides.
constexpr int kReplyMarginMs = 1000;
// In adaptive mode the key may repeat each word's pulse up to this many times more.
constexpr int kAdaptiveRepeats = 255;

// The time-out of the status that follows `words` words pulsed for `pulse` ms each.
int PulsedReplyTimeoutMs(int words, int pulse, int adaptive) {
  return adaptive * pulse * kAdaptiveRepeats * words + words * pulse + kReplyMarginMs;
}
// The time-out of the status that follows `units` ms of erasing.
int EraseReplyTimeoutMs(int units) { return units + kReplyMarginMs; }

}  // namespace

MemorySize MemorySizeOf(std::uint16_t fusex, bool device4k) {
  if (device4k) return {4096, 15, 5};
  static constexpr int kWords[4] = {512, 1024, 2048, 2048};
  static constexpr int kBanks[4] = {1, 1, 4, 8};
  int k = fusex & kFusexMemoryBits;
  return {kWords[k], kBanks[k], (fusex & kFusexQv28Bit) ? 3 : 2};
}

std::uint16_t TrimMeasureWord(int trim) {
  return static_cast<std::uint16_t>(kHeaderFusexImageBits | TrimBits(trim, true));
}

std::uint32_t OscillatorHz(std::uint16_t count) { return count == 0 ? 0 : kCountToHz / count; }

int ChooseTrim(const std::array<std::uint16_t, 8>& counts, int fallback) {
  int best = fallback;
  std::int64_t best_distance = -1;
  for (int i = 0; i < 8; ++i) {
    if (counts[static_cast<std::size_t>(i)] == 0) continue;
    std::int64_t distance = std::llabs(
        static_cast<std::int64_t>(OscillatorHz(counts[static_cast<std::size_t>(i)])) - kTargetHz);
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

QvKeyUnit::QvKeyUnit(KeyLink& link, ObjectImage& image, const workbench::MessageStrings& messages,
                     KeyNotifications& notifications)
    : link_(link), image_(image), messages_(messages), notify_(notifications) {
  link_.SetClockCommands(this);
}

QvKeyUnit::~QvKeyUnit() {
  QVU_Cleanup();
  link_.SetClockCommands(nullptr);
}

void QvKeyUnit::QVU_Init() {
  erase_units_ = 500;
  measure_pulse_ = 50;
  block_pulse_ = 20;
  adaptive_a_ = adaptive_b_ = 0;
  calibration_mode_ = 0;
}

void QvKeyUnit::QVU_Cleanup() {
  if (worker_.joinable()) worker_.join();
}

bool QvKeyUnit::LinkHeldByIde() const {
  // A run's link is its worker's alone; the run tells its own end.
  if (run_holds_link_) return true;
  if (!link_.IsLinkOpen()) return false;
  std::ignore =
      messages_.MsgBoxById1(string_ids::ComUnit::SCU_KEY_HELD_BY_IDE,
                            string_ids::QVCUnit::SCU_LINK_ERROR_CAPTION, link_.PortInUseName());
  return true;
}

bool QvKeyUnit::QVU_VerifyKey() {
  // Its close would end the holder's session without a word to the chip, or take a run's port.
  if (LinkHeldByIde()) return false;
  bool opened = link_.OpenKey();
  if (opened) firmware_version_ = link_.FirmwareVersion();
  link_.CloseKey();
  // A state of 0 is the programmer-only device, which sent the seed constant itself.
  if (opened && link_.GetScramblerState() == 0) {
    std::ignore = messages_.MsgBoxById(ids::SCU_NOT_SUPPORTED, ids::SCU_VERIFY_KEY_CAPTION);
    return false;
  }
  return opened;
}

bool QvKeyUnit::StartProgramming(bool run, bool debug) {
  if (run_holds_link_) return false;
  // The last worker has made its last report: what is left of it is its return.
  if (worker_.joinable()) worker_.join();
  last_outcome_ = RunOutcome::kNone;
  if (link_.IsLinkOpen()) {
    // Only the IDE's own debug or clock window holds the link here, on this thread, which
    // cannot let it go while it waits: the run ends at once as a failed one.
    last_outcome_ = RunOutcome::kFailed;
    notify_.KeyNotify(kKeyFinished, false);
    notify_.KeyNotify(kKeyFailed, true);
    // The link belongs to whoever holds it: the box is told here, its state left alone.
    std::ignore = LinkHeldByIde();
    return false;
  }
  debug_ = debug;
  cancel_ = false;
  run_holds_link_ = true;
  notify_.LinkHeldByRun(true);
  worker_ = std::thread([this, run, image = TakeRunImage()] { RunWorker(run, image); });
  return true;
}

QvKeyUnit::RunImage QvKeyUnit::TakeRunImage() {
  return {image_.ProgrammingImage, image_.Device4K != 0, image_.WorkingImage[kFusexIndex],
          calibration_mode_,       image_.ClockHz,       link_.ChoosePort()};
}

void QvKeyUnit::RunWorker(bool run, const RunImage& image) {
  Program(run, image);
  if (cancel_ && !debug_) notify_.KeyNotify(kKeyCancelled, false);
  const bool debug = debug_;
  // The link is let go before the debug window hears of the chip: its session opens the link
  // at once and locks the main window's commands, which must not be unlocked after it.
  run_holds_link_ = false;
  notify_.LinkHeldByRun(false);
  if (debug) notify_.DebugProgrammed();
}

void QvKeyUnit::ProgramQV(bool run) { Program(run, TakeRunImage()); }

void QvKeyUnit::Program(bool run, const RunImage& image) {
  cancel_ = false;
  bool ok = false;
  if (link_.OpenKey(image.port)) {
    ok = ProgramThroughOpenKey(run, image);
    link_.CloseKey();
    notify_.DeviceProgress(kProgressHideMessage, 0, false);
    notify_.DeviceProgress(kProgressSentClose, 1, false);
  }
  EndRun(ok);
}

bool QvKeyUnit::ProgramThroughOpenKey(bool run, const RunImage& image) {
  firmware_version_ = link_.FirmwareVersion();
  if (firmware_version_ != 3) std::ignore = ClockOff();
  if (!Calibrate(image.calibration_mode)) return false;
  notify_.DeviceProgress(kProgressStart, 0, true);
  notify_.DeviceProgress(kProgressErasing, 0, true);
  if (!EraseQV()) return false;
  notify_.DeviceProgress(kProgressShowCancel, 0, true);
  notify_.DeviceProgress(debug_ ? kProgressDebugProgramming : kProgressProgramming, 0, false);
  ApplySize(MemorySizeOf(image.working_fusex, image.device4k));
  const ConfigurationHeader header =
      HeaderOf(image.words[kFusexIndex], image.words[kFuseIndex], image.device4k, trim_);
  MeasureWithTrimHighBitFirst(header.fusex);
  if (cancel_) return false;
  if (!EnterProgramming()) return false;
  SendHeader(header.fusex, header.fuse);
  if (!SendProgramBlocks(image.words)) return false;
  if (!CheckLastProgramBlock()) return false;
  if (!SendIdWords(image.words)) return false;
  FinishProgramming();
  if (!run) return true;
  return ClockOnAt(image.clock_hz) && ReleaseChip();
}

void QvKeyUnit::MeasureWithTrimHighBitFirst(std::uint16_t header_fusex) {
  if (header_fusex & kFusexTrimHighBit) return;
  std::uint16_t ignored = 0;
  std::ignore = MeasureOscillator(header_fusex | kFusexTrimHighBit, ignored);
}

bool QvKeyUnit::EnterProgramming() {
  SendCommand(kEnterProgramming);
  return FlushAndCheck();
}

void QvKeyUnit::SendHeader(std::uint16_t fusex, std::uint16_t fuse) {
  SendCommand(static_cast<std::uint8_t>(64 * adaptive_a_ + kHeader));
  link_.SendScrambled(static_cast<std::uint8_t>(measure_pulse_));
  link_.SendWord(fusex);
  link_.SendWord(fuse);
  link_.SetLinkTimeout(PulsedReplyTimeoutMs(kHeaderWords, measure_pulse_, adaptive_a_));
}

bool QvKeyUnit::SendProgramBlocks(const WordArray& words) {
  const int n = memory_words_;
  for (int i = 0; i < n; ++i) {
    if (i % kBlockWords == 0) {
      // This reads the status of the header or of the block before.
      if (!FlushAndCheck() || cancel_) return false;
      SendCommand(static_cast<std::uint8_t>(64 * adaptive_b_ + kBlock));
      link_.SendScrambled(static_cast<std::uint8_t>(block_pulse_));
      link_.SetLinkTimeout(PulsedReplyTimeoutMs(kBlockWords, block_pulse_, adaptive_b_));
    }
    if (IsProgressStep(i, n)) notify_.DeviceProgress(kProgressStep, i, false);
    link_.SendWord(words[static_cast<std::size_t>(i)]);
  }
  return true;
}

bool QvKeyUnit::CheckLastProgramBlock() {
  if (link_.FlushTx()) return CheckError();
  notify_.DeviceProgress(kProgressTxFailed, 0, false);
  return false;
}

bool QvKeyUnit::SendIdWords(const WordArray& words) {
  SendCommand(static_cast<std::uint8_t>(64 * adaptive_b_ + kIdBlock));
  link_.SendScrambled(static_cast<std::uint8_t>(block_pulse_));
  link_.SetLinkTimeout(PulsedReplyTimeoutMs(kIdWordCount, block_pulse_, adaptive_b_));
  for (int i = 0; i < kIdWordCount; ++i)
    link_.SendWord(words[static_cast<std::size_t>(kIdWordsIndex + i)]);
  return FlushAndCheck();
}

void QvKeyUnit::FinishProgramming() {
  // The chip is programmed whatever the key answers to the finish.
  SendCommand(kFinish);
  std::ignore = link_.FlushTx();
  std::int16_t word = 0;
  std::uint8_t byte = 0;
  std::ignore = link_.ReceiveWord(word) && link_.ReceiveScrambled(byte);
}

void QvKeyUnit::EndRun(bool ok) {
  notify_.DeviceProgress(kProgressHideMessage, 0, false);
  // A Cancel that came after the last block boundary stopped nothing: the chip is complete.
  last_outcome_ = ok        ? RunOutcome::kProgrammed
                  : cancel_ ? RunOutcome::kCancelled
                            : RunOutcome::kFailed;
  notify_.KeyNotify(kKeyFinished, false);
  notify_.DeviceProgress(kProgressSentClose, 2, false);
  if (ok) return;
  if (!cancel_) {
    notify_.KeyNotify(kKeyFailed, true);
    link_.ReportLinkError();
  }
  link_.ClosePortHandle();
  debug_ = false;
}

bool QvKeyUnit::FlushAndCheck() {
  // A flush that failed leaves the status read to find the dead link and report it.
  std::ignore = link_.FlushTx();
  return CheckError();
}

bool QvKeyUnit::CheckError() {
  std::uint8_t status = 0;
  bool read = link_.ReceiveScrambled(status);
  if (read && status == 0) return true;
  std::string text;
  if (read) {
    const auto& texts = messages_.Texts();
    switch (status) {
      case 1: text = texts.LU_GetString(ids::SCU_VPP_FAILED); break;
      case 2: text = texts.LU_GetString(ids::SCU_CONNECTION_FAILED); break;
      case 3: text = texts.LU_GetString(ids::SCU_PROGRAMMING_FAILED); break;
      default: text = texts.LU_GetString(ids::SCU_COMMUNICATION_FAILED) + std::to_string(status);
    }
  }
  link_.ReportLinkError();
  if (!text.empty()) {
    std::ignore =
        messages_.Service().Show({text, messages_.Texts().LU_GetString(ids::SCU_KEY_ERROR_CAPTION),
                                  platform::BoxButtons::Ok});
  }
  return false;
}

bool QvKeyUnit::EraseQV() {
  for (int remaining = erase_units_; remaining > 0;) {
    int n = std::min(remaining, kMaxEraseUnits);
    remaining -= n;
    SendCommand(kErase);
    link_.SendScrambled(static_cast<std::uint8_t>(n));
    if (!link_.FlushTx()) {
      link_.ReportLinkError();
      return false;
    }
    link_.SetLinkTimeout(EraseReplyTimeoutMs(n));
    if (!CheckError()) return false;
  }
  return true;
}

bool QvKeyUnit::MeasureOscillator(std::uint16_t fusex, std::uint16_t& count) {
  SendCommand(kEnterProgramming);
  if (!FlushAndCheck()) return false;
  SendCommand(static_cast<std::uint8_t>(64 * adaptive_a_ + kMeasure));
  link_.SendScrambled(static_cast<std::uint8_t>(measure_pulse_));
  link_.SendWord(fusex);
  link_.SetLinkTimeout(PulsedReplyTimeoutMs(1, measure_pulse_, adaptive_a_));
  if (!FlushAndCheck()) return false;
  SendCommand(kFinish);
  if (!link_.FlushTx()) return false;
  std::int16_t word = 0;
  std::uint8_t ignored = 0;
  if (!link_.ReceiveWord(word) || !link_.ReceiveScrambled(ignored)) return false;
  count = static_cast<std::uint16_t>(word);
  return true;
}

bool QvKeyUnit::CalibrateIrc() { return Calibrate(calibration_mode_); }

bool QvKeyUnit::Calibrate(std::uint8_t mode) {
  if (mode == 0) {
    trim_ = 7;
    return true;
  }
  if (mode == 2) {
    trim_ = 0;
    return true;
  }
  if (mode != 1) return true;

  notify_.DeviceProgress(kProgressStart, 0, true);
  notify_.DeviceProgress(kProgressErasing, 0, true);
  if (!EraseQV()) return false;
  notify_.DeviceProgress(kProgressCalibrating, 0, true);
  // The order and the erases between the groups are the key's: a chip is measured in three
  // rounds.
  auto measure = [this](std::initializer_list<int> trims) {
    for (int t : trims)
      if (!MeasureOscillator(TrimMeasureWord(t), counts_[static_cast<std::size_t>(t)]))
        return false;
    return true;
  };
  if (!measure({7, 3, 1, 0}) || !EraseQV()) return false;
  if (!measure({5, 4}) || !EraseQV()) return false;
  bool ok = measure({6, 2});
  trim_ = static_cast<std::uint8_t>(ChooseTrim(counts_, trim_));
  return ok;
}

bool QvKeyUnit::ClockOn() { return ClockOnAt(image_.ClockHz); }

bool QvKeyUnit::ClockOnAt(std::int32_t hz) {
  std::uint32_t word = ClockSynthSetting(hz);
  SendCommand(kClockOn);
  link_.SendScrambled(static_cast<std::uint8_t>(word & 0xFF));
  link_.SendScrambled(static_cast<std::uint8_t>((word >> 8) & 0xFF));
  link_.SendScrambled(static_cast<std::uint8_t>((word >> 16) & 0xFF));
  return FlushAndCheck();
}

bool QvKeyUnit::ClockOff() {
  SendCommand(kClockOff);
  return link_.FlushTx();
}

bool QvKeyUnit::ReleaseChip() {
  SendCommand(kRelease);
  return FlushAndCheck();
}

void QvKeyUnit::ApplySize(const MemorySize& size) {
  memory_words_ = size.words;
  banks_ = size.banks;
  device_code_ = size.device_code;
}

void QvKeyUnit::UpdateMemorySize() {
  ApplySize(MemorySizeOf(image_.WorkingImage[kFusexIndex], image_.Device4K != 0));
}

bool QvKeyUnit::ReadQV() {
  // Its failure would close the holder's link.
  if (LinkHeldByIde()) return false;
  const bool ok = link_.OpenKey() && ReadThroughOpenKey();
  if (ok) link_.CloseKey();
  notify_.CloseProgress();
  if (!ok) {
    link_.ReportLinkError();
    link_.ClosePortHandle();
  }
  return ok;
}

bool QvKeyUnit::ReadThroughOpenKey() {
  firmware_version_ = link_.FirmwareVersion();
  SendCommand(kRead);
  if (!FlushAndCheck()) return false;
  notify_.DeviceProgress(kProgressStart, 0, true);
  notify_.DeviceProgress(kProgressReading, 0, true);
  auto& words = image_.ProgrammingImage;
  if (!ReadKindAndFuses(words)) return false;
  if (!ReadProgramBlocks(words)) return false;
  if (!CheckError()) return false;
  if (!ReadIdWords(words)) return false;
  if (!CheckError()) return false;
  if (!FinishReading()) return false;
  return ReleaseChip();
}

bool QvKeyUnit::ReadKindAndFuses(WordArray& words) {
  SendCommand(kRead);
  std::int16_t head[3] = {};
  if (!link_.FlushTx() || !link_.ReceiveWords(head)) return false;
  image_.Device4K = head[0] == kKind4K ? 1 : 0;
  words[kFusexIndex] = static_cast<std::uint16_t>(head[1]);
  words[kFuseIndex] = static_cast<std::uint16_t>(head[2]);
  // The size is the chip's, from the words it just sent, not the working image's.
  ApplySize(MemorySizeOf(words[kFusexIndex], image_.Device4K != 0));
  return true;
}

bool QvKeyUnit::ReadProgramBlocks(WordArray& words) {
  const int n = memory_words_;
  for (int i = 0; i < n; ++i) {
    if (i % kReadBlockWords == 0) {
      if (!CheckError()) return false;
      SendCommand(kReadBlock);
      if (!link_.FlushTx()) return false;
    }
    if (IsProgressStep(i, n)) notify_.DeviceProgress(kProgressStep, i, true);
    std::int16_t word = 0;
    const bool received = link_.ReceiveWord(word);
    words[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(word & kInstructionBits);
    if (!received) return false;
  }
  return true;
}

bool QvKeyUnit::ReadIdWords(WordArray& words) {
  SendCommand(kIdBlock);
  std::int16_t id[kIdWordCount] = {};
  if (!link_.FlushTx() || !link_.ReceiveWords(id)) return false;
  for (int i = 0; i < kIdWordCount; ++i)
    words[static_cast<std::size_t>(kIdWordsIndex + i)] = static_cast<std::uint16_t>(id[i]);
  return true;
}

bool QvKeyUnit::FinishReading() {
  SendCommand(kFinish);
  std::int16_t word = 0;
  std::uint8_t byte = 0;
  return link_.FlushTx() && link_.ReceiveWord(word) && link_.ReceiveScrambled(byte);
}

}  // namespace build_debug
