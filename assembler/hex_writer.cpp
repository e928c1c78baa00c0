// Intel HEX objects: INHX8M and INHX16 (".hex") and INHX8S (".hxh" with the high bytes,
// ".hxl" with the low bytes). Blank program words (0x0FFF) are left out; the ID words and the
// configuration block are always written.
//
// Record: ":" count(2) address(4) "00" data checksum(2), then a line feed; the checksum is the
// two's complement of the sum of the bytes before it. The file ends with ":00000001FF".

#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "assembler/object_writers.h"
#include "assembler/output_file.h"
#include "assembler/run.h"

namespace tarn {
namespace {

constexpr const char* kEndRecord = ":00000001FF\n";

std::string Record(unsigned count, unsigned address, const std::vector<uint8_t>& data) {
  std::string line = ":";
  char digits[4];
  auto put = [&](unsigned value, int n) {
    PutHex(digits, n, value);
    line.append(digits, static_cast<size_t>(n));
  };
  put(count, 2);
  put(address, 4);
  put(0, 2);
  unsigned sum = (count & 0xFF) + ((address >> 8) & 0xFF) + (address & 0xFF);
  for (uint8_t byte : data) {
    put(byte, 2);
    sum += byte;
  }
  put((0x100 - (sum & 0xFF)) & 0xFF, 2);
  line += '\n';
  return line;
}

using EmitRecord = std::function<void(unsigned word_address, std::span<const uint16_t> words)>;

// Runs of non-blank program words, at most `per_record` to a record, then the ID words in four
// records of four, then the configuration block in one record of eight.
void GroupRecords(const TarnRun& run, size_t per_record, const EmitRecord& emit) {
  const std::vector<uint16_t>& words = run.image.words;
  std::vector<uint16_t> run_words;
  unsigned start = 0;
  auto flush = [&] {
    if (!run_words.empty()) emit(start, run_words);
    run_words.clear();
  };
  for (unsigned a = 0; a < run.device.program_size; ++a) {
    if (words[a] == kBlankWord) {
      flush();
      continue;
    }
    if (run_words.empty()) start = a;
    run_words.push_back(words[a]);
    if (run_words.size() == per_record) flush();
  }
  flush();
  std::span<const uint16_t> all(words);
  for (unsigned a = kIdWordsAddress; a < kIdWordsAddress + kIdWordCount; a += 4)
    emit(a, all.subspan(a, 4));
  emit(kConfigurationAddress, all.subspan(kConfigurationAddress, kConfigurationWords));
}

// A hex file: an output file made at once, whose writes are all checked on closing.
class HexFile {
 public:
  HexFile(FileAccess& files, const std::string& name) { open_ = file_.Create(files, name); }
  bool IsOpen() const { return open_; }
  void Put(const std::string& text) { file_.Put(text); }
  // Closes the file; false (and the file removed) when anything was lost on the way.
  bool Close() { return file_.Close(); }

 private:
  OutputFile file_;
  bool open_ = false;
};

int Fail(TarnRun& run, const char* message) {
  Print(run, "%s", message);
  return -1;
}

}  // namespace

int WriteInhx8m(TarnRun& run) {
  constexpr const char* kMessage = "\nCannot create Intel 8-bit merged hex file";
  HexFile file(run.files, run.OutputName(".hex"));
  if (!file.IsOpen()) return Fail(run, kMessage);
  GroupRecords(run, 4, [&](unsigned address, std::span<const uint16_t> words) {
    std::vector<uint8_t> data;
    for (uint16_t w : words) {
      data.push_back(static_cast<uint8_t>(w & 0xFF));
      data.push_back(static_cast<uint8_t>(w >> 8));
    }
    file.Put(Record(static_cast<unsigned>(data.size()), address * 2, data));
  });
  file.Put(kEndRecord);
  return file.Close() ? 0 : Fail(run, kMessage);
}

int WriteInhx16(TarnRun& run) {
  constexpr const char* kMessage = "\nCannot create Intel 16-bit hex file";
  HexFile file(run.files, run.OutputName(".hex"));
  if (!file.IsOpen()) return Fail(run, kMessage);
  GroupRecords(run, 8, [&](unsigned address, std::span<const uint16_t> words) {
    std::vector<uint8_t> data;
    for (uint16_t w : words) {
      data.push_back(static_cast<uint8_t>(w >> 8));
      data.push_back(static_cast<uint8_t>(w & 0xFF));
    }
    file.Put(Record(static_cast<unsigned>(words.size()), address, data));
  });
  file.Put(kEndRecord);
  return file.Close() ? 0 : Fail(run, kMessage);
}

int WriteInhx8s(TarnRun& run) {
  constexpr const char* kHighMessage = "\nCannot create high-byte object file";
  constexpr const char* kLowMessage = "\nCannot create low-byte object file";
  HexFile high(run.files, run.OutputName(".hxh"));
  if (!high.IsOpen()) return Fail(run, kHighMessage);
  HexFile low(run.files, run.OutputName(".hxl"));
  if (!low.IsOpen()) return Fail(run, kLowMessage);
  GroupRecords(run, 8, [&](unsigned address, std::span<const uint16_t> words) {
    std::vector<uint8_t> high_bytes, low_bytes;
    for (uint16_t w : words) {
      high_bytes.push_back(static_cast<uint8_t>(w >> 8));
      low_bytes.push_back(static_cast<uint8_t>(w & 0xFF));
    }
    unsigned count = static_cast<unsigned>(words.size());
    high.Put(Record(count, address, high_bytes));
    low.Put(Record(count, address, low_bytes));
  });
  high.Put(kEndRecord);
  low.Put(kEndRecord);
  bool high_ok = high.Close();
  bool low_ok = low.Close();
  if (!high_ok) return Fail(run, kHighMessage);
  if (!low_ok) return Fail(run, kLowMessage);
  return 0;
}

}  // namespace tarn
