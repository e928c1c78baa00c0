#pragma once
// The key's command protocol over the key link: programs the ProgrammingImage into the chip on
// a worker thread, reads a chip back, erases, calibrates the chip's RC oscillator and switches
// the key's clock output.
//
// Every command is one command byte, its arguments (bytes, and 12-bit words as low byte then
// high nibble), one flush, and the key's reply, mostly one status byte that CheckError judges.
//
// The worker reports only through KeyNotifications; it is the only thread besides the UI
// thread that uses the link, and it starts only while the link is closed.

#include <array>
#include <atomic>
#include <cstdint>
#include <thread>

#include "build_debug/image/object_image.h"
#include "build_debug/key/key_link.h"

namespace workbench {
class MessageStrings;
}

namespace build_debug {

// Progress codes of the progress window.
enum ProgressCode : int {
  kProgressStart = 0,  // hide Cancel, show
  kProgressErasing = 1,
  kProgressProgramming = 2,
  kProgressDebugProgramming = 3,
  kProgressReading = 4,
  kProgressCalibrating = 6,
  kProgressHideMessage = 7,
  kProgressStep = 8,  // the bar steps; parameter: the word index
  kProgressShowCancel = 9,
  kProgressTxFailed = 100,
  kProgressSentClose = 101,  // parameter: where the worker was
};

// End-of-run codes for the main window.
enum KeyNotifyCode : int {
  kKeyCancelled = 1,
  kKeyFinished = 2,
  kKeyFailed = 3,
  kKeyDebugHidden = 4,
};

// Where the worker's reports go. A "sent" report returns only when the UI thread has handled
// it; the others are queued. The Qt binding posts them to the UI thread.
class KeyNotifications {
 public:
  virtual ~KeyNotifications() = default;
  virtual void DeviceProgress(int code, int parameter, bool sent) = 0;
  virtual void KeyNotify(int code, bool sent) = 0;
  virtual void DebugProgrammed() = 0;
  // The end of a read: the progress window goes away.
  virtual void CloseProgress() = 0;
  // A programming run took the link (reported on the thread that started it) or let it go
  // (queued, the worker's last report): the commands that need the key wait for the second.
  virtual void LinkHeldByRun(bool /*held*/) {}
};

// How the last programming run ended.
enum class RunOutcome {
  kNone,        // no run has ended yet
  kProgrammed,  // every block, the ID words and (with the run flag) the clock went well
  kFailed,      // the key was not found, the port was busy, or the key reported a failure
  kCancelled,   // Cancel stopped it: the chip holds part of the program only
};

// Program words, RAM banks and device code of a chip by its FUSEX word and size flag.
struct MemorySize {
  int words;
  int banks;
  int device_code;
};
MemorySize MemorySizeOf(std::uint16_t fusex, bool device4k);

// The measurement word of trim t: 0x4FF with t bits 0-1 in bits 8-9 and t bit 2 in bit 11.
std::uint16_t TrimMeasureWord(int trim);
// 1,266,035,968 / count: the oscillator frequency of a measurement; 0 for a failed one.
std::uint32_t OscillatorHz(std::uint16_t count);
// The trim whose frequency is nearest 4 MHz; ties go to the lower trim, and a count of 0 (a
// failed measurement) is never chosen. `fallback` when every count is 0.
int ChooseTrim(const std::array<std::uint16_t, 8>& counts, int fallback);

class QvKeyUnit : public KeyClockCommands {
 public:
  QvKeyUnit(KeyLink& link, ObjectImage& image, const workbench::MessageStrings& messages,
            KeyNotifications& notifications);
  ~QvKeyUnit() override;
  QvKeyUnit(const QvKeyUnit&) = delete;
  QvKeyUnit& operator=(const QvKeyUnit&) = delete;

  void QVU_Init();
  // Waits for the last worker to end; for the shut-down, when no window waits on it.
  void QVU_Cleanup();
  [[nodiscard]] bool QVU_VerifyKey();

  // True when a worker started. A run that holds the link refuses the start at once (nothing
  // is reported); a link that the IDE itself holds open (a debug session, the clock window)
  // ends the run at once as a failed one, and the box says who holds it. Never waits: the
  // caller is the UI thread. QVU_VerifyKey and ReadQV refuse such a link in the same way and
  // leave it open.
  [[nodiscard]] bool StartProgramQV(bool run) { return StartProgramming(run, false); }
  [[nodiscard]] bool StartDebugProgramQV(bool run) { return StartProgramming(run, true); }
  [[nodiscard]] bool StartProgramming(bool run, bool debug);
  void CancelProgramming() { cancel_ = true; }
  // From a run's start until its worker has made its last report; while it is set nothing
  // but the worker may use the link.
  bool RunHoldsLink() const { return run_holds_link_; }
  // How the last run ended; settled before its kKeyFinished report is made.
  RunOutcome LastRunOutcome() const { return last_outcome_; }
  bool LastRunOk() const { return last_outcome_ == RunOutcome::kProgrammed; }
  // The worker's body; public so that the worker's steps can be run on a test's thread.
  void ProgramQV(bool run);

  [[nodiscard]] bool ReadQV();
  [[nodiscard]] bool EraseQV();
  [[nodiscard]] bool MeasureOscillator(std::uint16_t fusex, std::uint16_t& count);
  [[nodiscard]] bool CalibrateIrc();
  [[nodiscard]] bool ClockOn() override;
  [[nodiscard]] bool ClockOff() override;
  [[nodiscard]] bool ReleaseChip();
  [[nodiscard]] bool CheckError();
  void UpdateMemorySize();

  std::int32_t GetClockFrequency() const { return image_.ClockHz; }
  std::uint8_t GetIrcCalMode() const { return calibration_mode_; }
  void SetIrcCalMode(std::uint8_t mode) { calibration_mode_ = mode; }
  std::uint8_t GetTrim() const { return trim_; }
  bool IsCalibrating() const { return calibration_mode_ == 1; }
  void SetFirmwareVersion(std::uint8_t version) { firmware_version_ = version; }
  std::uint8_t FirmwareVersion() const { return firmware_version_; }
  const std::array<std::uint16_t, 8>& Counts() const { return counts_; }
  int MemoryWords() const { return memory_words_; }
  int Banks() const { return banks_; }
  int DeviceCode() const { return device_code_; }

 private:
  // What a run programs, taken when it starts: a build, a chip read or a device-window edit
  // during the run changes the object image, never the chip being programmed.
  struct RunImage {
    WordArray words;  // the ProgrammingImage
    bool device4k = false;
    std::uint16_t working_fusex = 0;  // the WorkingImage's FUSEX gives the chip's size
    std::uint8_t calibration_mode = 0;
    std::int32_t clock_hz = 0;
    // The port, looked up where the run starts: Configure's OK during the run chooses the
    // port of the next one.
    KeyLink::PortChoice port;
  };
  RunImage TakeRunImage();
  void RunWorker(bool run, const RunImage& image);
  void Program(bool run, const RunImage& image);
  // The steps of a run once the key is open; each false where the run ends.
  [[nodiscard]] bool ProgramThroughOpenKey(bool run, const RunImage& image);
  // A header whose trim leaves the high trim bit clear is preceded by a measurement with it set.
  void MeasureWithTrimHighBitFirst(std::uint16_t header_fusex);
  [[nodiscard]] bool EnterProgramming();
  void SendHeader(std::uint16_t fusex, std::uint16_t fuse);
  // False at a failed status or at a Cancel, both seen at a block boundary only.
  [[nodiscard]] bool SendProgramBlocks(const WordArray& words);
  [[nodiscard]] bool CheckLastProgramBlock();
  [[nodiscard]] bool SendIdWords(const WordArray& words);
  void FinishProgramming();
  // The run's outcome and its reports; a failed run lets the port go.
  void EndRun(bool ok);
  // The steps of a read once the key is open, into the ProgrammingImage.
  [[nodiscard]] bool ReadThroughOpenKey();
  [[nodiscard]] bool ReadKindAndFuses(WordArray& words);
  [[nodiscard]] bool ReadProgramBlocks(WordArray& words);
  [[nodiscard]] bool ReadIdWords(WordArray& words);
  [[nodiscard]] bool FinishReading();
  [[nodiscard]] bool Calibrate(std::uint8_t mode);
  [[nodiscard]] bool ClockOnAt(std::int32_t hz);
  // True when a programming run, or the IDE's own debug session or clock window, holds the
  // link, which a command on this thread must leave to it; for the session or window a box
  // says so.
  bool LinkHeldByIde() const;
  void SendCommand(std::uint8_t command) { link_.SendScrambled(command); }
  bool FlushAndCheck();
  void ApplySize(const MemorySize& size);

  KeyLink& link_;
  ObjectImage& image_;
  const workbench::MessageStrings& messages_;
  KeyNotifications& notify_;

  int erase_units_ = 500;
  int measure_pulse_ = 50;  // p
  int block_pulse_ = 20;    // q
  int adaptive_a_ = 0;      // adaptive programming is never used: a = b = 0
  int adaptive_b_ = 0;
  std::uint8_t firmware_version_ = 0;
  // Set by a build or the configuration on the UI thread; a run reads its own copy.
  std::atomic<std::uint8_t> calibration_mode_{0};
  std::uint8_t trim_ = 0;
  std::array<std::uint16_t, 8> counts_{};
  std::atomic<bool> cancel_{false};
  std::atomic<bool> debug_{false};
  std::atomic<RunOutcome> last_outcome_{RunOutcome::kNone};
  std::atomic<bool> run_holds_link_{false};
  std::thread worker_;
  int memory_words_ = 0;
  int banks_ = 0;
  int device_code_ = 0;
};

}  // namespace build_debug
