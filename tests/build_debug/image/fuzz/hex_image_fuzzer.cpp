// libFuzzer target over the device image reader: any bytes as a ".qvh" file are read or
// refused with the hex-violation text; an image that was read is written back and read
// again as the device window's Load Hex and Save Hex do, and must come back the same: the
// same words, the same marks of use and the same part size.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "build_debug/image/hex_image.h"
#include "tests/build_debug/image/fuzz/image_fuzz_session.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace build_debug;
  // One image for every input, as in the IDE; libFuzzer's entry point leaves no other place.
  static ImageFuzzSession session;
  ObjectImage& image = *session.image;
  if (size >= static_cast<std::size_t>(image.FileBufferSize)) return 0;  // refused as too large
  std::memcpy(image.FileBuffer, data, size);
  image.FileBuffer[size] = '\0';
  image.FileBufferLength = static_cast<std::int32_t>(size);
  // The part size of the last image decides the FUSEX a file without one gets.
  image.Device4K = size & 1;

  const HexTextFacts facts = ReadHexText(image);
  if (image.Failed) {
    Check(image.ErrorText != nullptr && std::strcmp(image.ErrorText, kHexViolation) == 0);
    return 0;
  }
  image.Device4K = ImageIs4K(facts) ? 1 : 0;
  CopyProgrammingToWorking(image);
  WriteHexText(image);
  Check(image.FileBufferLength > 0);

  const HexTextFacts again = ReadHexText(image);
  Check(!image.Failed);
  Check(ImageIs4K(again) == (image.Device4K != 0));
  Check(image.ProgrammingImage == image.WorkingImage);
  return 0;
}
