#pragma once
// Builds a source with tarn (in this process, in a folder of its own) and takes its BIN16
// object into an ObjectImage the way the IDE receives a tarn build: the program words, marked
// in use unless they hold 0x0FFF, and the ID words, FUSE and FUSEX from the 48-byte trailer.

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/driver.h"
#include "build_debug/object_image.h"

namespace build_debug {

class TarnBuild {
 public:
  TarnBuild() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qv-tarn-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (mkdtemp(name.data())) folder_ = name.data();
  }
  ~TarnBuild() {
    std::error_code ignored;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }
  TarnBuild(const TarnBuild&) = delete;
  TarnBuild& operator=(const TarnBuild&) = delete;

  // Writes the source as prog.src and assembles it in the IDE's mode with the options given
  // (for example {"/P", "QV28AC", "/F", "BIN16"}); the exit code.
  int Assemble(const std::string& source, const std::vector<std::string>& options) {
    std::ofstream(folder_ / "prog.src", std::ios::binary) << source;
    std::vector<std::string> args = {"tarn", "/E", "KESTRIAN"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back((folder_ / "prog.src").string());
    console_.str("");
    return tarn::RunTarn(args, console_);
  }

  // The console and the error file, for a failure message.
  std::string Report() const { return console_.str() + ReadOutput(".err"); }

  std::string ReadOutput(const char* extension) const {
    std::ifstream in(folder_ / (std::string("prog") + extension), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // prog.obj into the image's WorkingImage; Device4K from the object's length. False when the
  // object is missing or is neither a 2,048- nor a 4,096-word program with its trailer.
  bool LoadObject(ObjectImage& image) const {
    std::string bytes = ReadOutput(".obj");
    constexpr std::size_t kTrailerBytes = (kIdWordCount + 8) * 2;
    if (bytes.size() < kTrailerBytes) return false;
    std::size_t program_words = (bytes.size() - kTrailerBytes) / 2;
    if (program_words != 2048 && program_words != 4096) return false;
    auto word = [&](std::size_t index) {
      return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[2 * index]) |
                                        static_cast<std::uint8_t>(bytes[2 * index + 1]) << 8);
    };
    image.Device4K = program_words == 4096;
    ResetWordArray(image.WorkingImage, image.Device4K != 0);
    for (std::size_t a = 0; a < program_words; ++a) {
      std::uint16_t w = word(a);
      image.WorkingImage[a] = w == kEmptyWord ? w : UsedWord(w);
    }
    for (int i = 0; i < kIdWordCount; ++i)
      image.WorkingImage[kIdWordsIndex + i] = word(program_words + i);
    image.WorkingImage[kFuseIndex] = word(program_words + kIdWordCount);
    image.WorkingImage[kFusexIndex] = word(program_words + kIdWordCount + 1);
    return true;
  }

 private:
  std::filesystem::path folder_;
  std::ostringstream console_;
};

}  // namespace build_debug
