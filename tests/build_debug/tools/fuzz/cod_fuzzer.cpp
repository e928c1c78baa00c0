// libFuzzer target over the ".cod" reader and the C-output loader: any bytes as a ".cod" file
// beside a small listing must load or be refused, never crash or touch memory outside a buffer.
// Built with -DQV_FUZZERS=ON and clang; run: cod_fuzzer -max_total_time=300 <corpus folder>
// (tests/build_debug/tools/fixtures/cod/ holds a valid seed).

#include <unistd.h>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "build_debug/tools/c_output_loader.h"
#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"

namespace {

struct FuzzSession {
  std::string base;
  std::unique_ptr<build_debug::ObjectImage> image = std::make_unique<build_debug::ObjectImage>();
  std::string buffer = std::string(build_debug::kFileBufferSize, '\0');
  workbench::Localizer texts;
  platform::RecordingMessageBoxes boxes;
  workbench::MessageStrings strings{texts, boxes};

  FuzzSession() {
    texts.InitLocalization("x");
    boxes.AnswerWithFirstButton();
    image->FileBuffer = buffer.data();
    image->FileBufferSize = build_debug::kFileBufferSize;
    base = (std::filesystem::temp_directory_path() / ("cod_fuzz_" + std::to_string(getpid())))
               .string();
    std::ofstream(base + ".lst", std::ios::binary) << "line one\r\nline two\r\n";
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One session for every input, as in the IDE, which loads again into the same image: the
  // image and its file buffer per input would spend the run zeroing megabytes under the
  // sanitizers. libFuzzer's entry point leaves no other place to keep it.
  static FuzzSession session;
  std::ofstream(session.base + ".cod", std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  session.boxes.Clear();
  build_debug::TQVCForm loader(*session.image, session.strings);
  [[maybe_unused]] bool loaded = loader.QVCLoad(session.base);
  return 0;
}
