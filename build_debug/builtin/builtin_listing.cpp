// The built-in assembler's emit routine and listing. A listing line is the prefix (a value,
// or the address and up to two words), tabs to column 16 and the source line; words beyond
// the second follow two a line. Lines end with CR alone.

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/image/listing_line.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;

constexpr int kSourceColumn = 16;
constexpr int kWordsOnFirstLine = 2;
constexpr char kDigits[] = "0123456789ABCDEF";

}  // namespace

void BuiltinAssembler::Emit(std::int32_t word) {
  EmitAt(location_, word);
  location_ = (location_ + 1) & mask_;
}

void BuiltinAssembler::EmitAt(std::int32_t address, std::int32_t word) {
  std::uint16_t& slot = image_.WorkingImage[static_cast<std::size_t>(address)];
  if (IsInUse(slot)) Fail(msg::kLocationUsed);
  slot = UsedWord(static_cast<std::uint16_t>(word));
  // A line cannot emit more words than program memory holds: the next would find a used one.
  line_word_address_[static_cast<std::size_t>(line_words_)] = address;
  line_word_[static_cast<std::size_t>(line_words_)] = slot & kInstructionBits;
  ++line_words_;
  image_.AddressLine[static_cast<std::size_t>(address)] = image_.LineCount;
}

void BuiltinAssembler::Append(char c) {
  if (!image_.FileBuffer || image_.FileBufferLength >= image_.FileBufferSize)
    Fail(msg::kListTooLarge);
  image_.FileBuffer[image_.FileBufferLength++] = c;
}

void BuiltinAssembler::AppendHex(std::uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) Append(kDigits[(value >> shift) & 15]);
}

void BuiltinAssembler::AppendWords(std::int32_t address, int first, int count) {
  AppendHex(static_cast<std::uint32_t>(address), 3);
  Append('-');
  for (int n = first; n < first + count && n < line_words_; ++n) {
    Append(' ');
    AppendHex(line_word_[static_cast<std::size_t>(n)], 3);
  }
}

void BuiltinAssembler::NewListingLine() {
  if (image_.LineCount >= kMaxListingLines) Fail(msg::kListTooLarge);
  image_.LineSourceOffset[static_cast<std::size_t>(image_.LineCount)] = line_start_;
  image_.LineBufferOffset[static_cast<std::size_t>(image_.LineCount)] = image_.FileBufferLength;
  ++image_.LineCount;
}

void BuiltinAssembler::ListLine() {
  bool hidden_expansion = in_expansion_ && noexpand_at_start_;
  if (not_listed_ || (hidden_expansion && line_words_ == 0)) return;
  NewListingLine();
  int column = image_.FileBufferLength;
  if (listed_value_) {
    Append('=');
    AppendHex(static_cast<std::uint32_t>(line_value_), 8);
  } else if (show_address_) {
    AppendWords(line_location_, 0, kWordsOnFirstLine);
  }
  column = image_.FileBufferLength - column;
  std::int32_t end = line_start_;
  while (source_[end] != '\0' && source_[end] != '\r') ++end;
  if (!hidden_expansion && end > line_start_) {
    while (column < kSourceColumn) {
      Append('\t');
      column = (column / kListTabWidth + 1) * kListTabWidth;
    }
    for (std::int32_t at = line_start_; at < end; ++at) Append(source_[at]);
  }
  Append('\r');
  for (int n = kWordsOnFirstLine; n < line_words_; n += 2) {
    NewListingLine();
    AppendWords(line_word_address_[static_cast<std::size_t>(n)], n, 2);
    Append('\r');
  }
}

}  // namespace build_debug
