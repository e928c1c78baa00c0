// libFuzzer target: any text through the built-in assembler. A run must end with either a
// clean image or one error whose token lies inside the source, and never read or write
// outside its areas (the sanitizers watch that).

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/image/listing_line.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// One image and one assembler for every input, as in the IDE, where a session reassembles on
// the same objects; allocating the large image per input made the sanitized runs ten times
// slower. libFuzzer's entry point leaves no other place to keep them.
struct Harness {
  std::unique_ptr<build_debug::ObjectImage> image = std::make_unique<build_debug::ObjectImage>();
  std::vector<char> buffer = std::vector<char>(build_debug::kFileBufferSize);
  std::unique_ptr<build_debug::BuiltinAssembler> assembler =
      std::make_unique<build_debug::BuiltinAssembler>(*image);
  Harness() {
    image->FileBuffer = buffer.data();
    image->FileBufferSize = build_debug::kFileBufferSize;
  }
};

Harness& TheHarness() {
  static Harness harness;
  return harness;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace build_debug;
  std::string source(reinterpret_cast<const char*>(data), size);
  Harness& harness = TheHarness();
  ObjectImage* image = harness.image.get();
  image->SourceText = source.c_str();
  harness.assembler->BuiltinAssemble();

  auto length =
      static_cast<std::int32_t>(source.find('\0') == std::string::npos ? size : source.find('\0'));
  if (image->Failed) {
    Check(image->ErrorText != nullptr);
    Check(0 <= image->ErrorStart && image->ErrorStart <= image->ErrorEnd &&
          image->ErrorEnd <= length);
  } else {
    Check(image->ErrorStart == 0 && image->ErrorEnd == 0);
    Check(image->ProgrammingImage == image->WorkingImage);
  }
  Check(image->LineCount >= 0 && image->LineCount <= kMaxListingLines);
  Check(image->FileBufferLength >= 0 && image->FileBufferLength <= image->FileBufferSize);
  Check(image->WatchCount >= 0 && image->WatchCount <= kMaxWatches);
  for (int n = 0; n < image->LineCount; ++n) {
    Check(image->LineSourceOffset[n] >= 0 && image->LineSourceOffset[n] <= length);
    GetListLine(*image, n);
  }
  return 0;
}
