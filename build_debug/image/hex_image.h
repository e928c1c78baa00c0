#pragma once
// The device image file: Intel HEX text with 8-bit data records (type 00) and the end record
// ":00000001FF", each line ended by CR LF, held in the image's FileBuffer. Word address w is
// byte address 2w; a word is two data bytes, its low 8 bits first, then bits 8-11. The ID
// words sit at word address 0x1000, FUSE and FUSEX at 0x1010.

#include <cstdint>
#include <span>
#include <string>

#include "build_debug/image/object_image.h"

namespace build_debug {

inline constexpr char kHexViolation[] = "ERROR! Hex violation was encountered in file.";

// Appends one data record of `words` at a word address, ended by CR LF: ":", the byte count,
// the byte address, "00", per word its low 8 bits then bits 8-11, and the checksum, each byte
// as two upper-case hex digits.
void AppendHexRecord(std::string& text, int word_address, std::span<const std::uint16_t> words);

// Renders the WorkingImage into FileBuffer (NUL-terminated when there is room) and sets
// FileBufferLength. The in-use mark is not written. A buffer too small for the text (about
// 20,000 bytes) is left empty, with FileBufferLength 0.
void WriteHexText(ObjectImage& image);

// What a read found besides the words: the highest program word address (below 4,096) that a
// data record held, -1 when none did.
struct HexTextFacts {
  int highest_program_word = -1;
};

// Reads the NUL-terminated hex text in FileBuffer into the ProgrammingImage. On a bad record
// Failed stays 1 and ErrorText is kHexViolation; the ProgrammingImage is then partly written.
// Upper- and lower-case hex digits are both accepted.
HexTextFacts ReadHexText(ObjectImage& image);

// The part size of an image that was read: 4,096 words when the file held any program word
// of the upper half, written or erased, as a 4,096-word part's image does; else 2,048.
bool ImageIs4K(const HexTextFacts& facts);

}  // namespace build_debug
