#include "build_debug/image/hex_image.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/text.h"

namespace build_debug {
namespace {

constexpr int kWordsPerRecord = 16;
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kLastWordRead = kFusexIndex;  // words at higher word addresses are ignored

// Reads the records of a NUL-terminated text; characters between records are ignored.
class RecordReader {
 public:
  RecordReader(const char* text, std::size_t size) : text_(text), size_(size) {}

  // Moves to the character after the next ':'; false at the text's end.
  bool NextRecord() {
    while (at_ < size_ && text_[at_] != '\0') {
      if (text_[at_++] == ':') {
        sum_ = 0;
        return true;
      }
    }
    return false;
  }

  // One byte as two hex digits, added to the record's sum; -1 on a bad digit or the text's end.
  int Byte() {
    if (at_ + 1 >= size_) return -1;
    int high = platform::HexDigitValue(text_[at_]);
    int low = platform::HexDigitValue(text_[at_ + 1]);
    if (high < 0 || low < 0) return -1;
    at_ += 2;
    int value = high * 16 + low;
    sum_ += value;
    return value;
  }

  bool SumIsZero() const { return (sum_ & 0xFF) == 0; }

 private:
  const char* text_;
  std::size_t size_;
  std::size_t at_ = 0;
  int sum_ = 0;
};

// Reads one record into words; false on any violation. data_record is false for a record of
// another type, which ends the reading.
bool ReadRecord(RecordReader& reader, WordArray& words, bool& data_record, HexTextFacts& facts) {
  int count = reader.Byte();
  int address_high = reader.Byte();
  int address_low = reader.Byte();
  int type = reader.Byte();
  if (count < 0 || address_high < 0 || address_low < 0 || type < 0) return false;
  int address = address_high * 256 + address_low;
  if ((count & 1) || (address & 1)) return false;
  data_record = type == 0;
  int word_address = address / 2;
  for (int i = 0; i < count / 2; ++i) {
    int low = reader.Byte();
    int high = reader.Byte();
    if (low < 0 || high < 0) return false;
    int target = word_address + i;
    if (data_record && target <= kLastWordRead) {
      words[target] = static_cast<std::uint16_t>(low | ((high & 0x0F) << 8));
      if (target < kProgramWords)
        facts.highest_program_word = std::max(facts.highest_program_word, target);
    }
  }
  if (reader.Byte() < 0) return false;
  return reader.SumIsZero();
}

// Every program word is in use but for runs of two or more empty words, which are erased
// memory. A lone 0x0FFF between used words is a written word.
void MarkUsedWords(WordArray& words) {
  for (int k = 0; k < kProgramWords; ++k) words[k] |= kInUseBit;
  for (int k = kProgramWords - 1; k >= 1; --k) {
    if ((words[k - 1] & kInstructionBits) == kEmptyWord &&
        (words[k] & kInstructionBits) == kEmptyWord) {
      words[k - 1] &= kInstructionBits;
      words[k] &= kInstructionBits;
    }
  }
}

}  // namespace

void AppendHexRecord(std::string& text, int word_address, std::span<const std::uint16_t> words) {
  int sum = 0;
  auto put = [&](int byte) {
    sum += byte;
    text += kHexDigits[(byte >> 4) & 0xF];
    text += kHexDigits[byte & 0xF];
  };
  const int byte_address = word_address * 2;
  text += ':';
  put(static_cast<int>(words.size() * 2));
  put((byte_address >> 8) & 0xFF);
  put(byte_address & 0xFF);
  put(0);
  for (std::uint16_t word : words) {
    put(word & 0xFF);
    put((word >> 8) & 0x0F);
  }
  put((0x100 - (sum & 0xFF)) & 0xFF);
  text += "\r\n";
}

void WriteHexText(ObjectImage& image) {
  image.FileBufferLength = 0;
  std::string text;
  std::span<const std::uint16_t> words(image.WorkingImage);
  for (int w = 0; w < ProgramSize(image); w += kWordsPerRecord) {
    AppendHexRecord(text, w, words.subspan(w, kWordsPerRecord));
  }
  AppendHexRecord(text, kIdWordsIndex, words.subspan(kIdWordsIndex, kIdWordCount));
  AppendHexRecord(text, kFuseIndex, words.subspan(kFuseIndex, 2));
  text += ":00000001FF\r\n";
  if (!image.FileBuffer || static_cast<std::int64_t>(text.size()) > image.FileBufferSize) return;
  std::memcpy(image.FileBuffer, text.data(), text.size());
  if (static_cast<std::int64_t>(text.size()) < image.FileBufferSize) {
    image.FileBuffer[text.size()] = '\0';
  }
  image.FileBufferLength = static_cast<std::int32_t>(text.size());
}

HexTextFacts ReadHexText(ObjectImage& image) {
  HexTextFacts facts;
  image.Failed = 1;
  WordArray& words = image.ProgrammingImage;
  ResetWordArray(words, image.Device4K != 0);
  std::size_t size = image.FileBuffer && image.FileBufferSize > 0
                         ? static_cast<std::size_t>(image.FileBufferSize)
                         : 0;
  RecordReader reader(image.FileBuffer, size);
  while (reader.NextRecord()) {
    bool data_record = false;
    if (!ReadRecord(reader, words, data_record, facts)) {
      image.ErrorText = kHexViolation;
      return facts;
    }
    if (!data_record) break;
  }
  image.Failed = 0;
  MarkUsedWords(words);
  return facts;
}

bool ImageIs4K(const HexTextFacts& facts) {
  return facts.highest_program_word >= kProgramWords / 2;
}

}  // namespace build_debug
