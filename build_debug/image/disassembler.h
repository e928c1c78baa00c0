#pragma once
// One program word of the WorkingImage as the text of its single-word instruction form: the
// mnemonic padded with blanks to 6 characters, then the operands, hex digits in upper case.

#include <string>

#include "build_debug/image/object_image.h"

namespace build_debug {

// wreg: name register 1 "WREG" instead of "RTCC". An address outside 0..4095 gives "???".
std::string DisassembleWord(const ObjectImage& image, int address, bool wreg);

}  // namespace build_debug
