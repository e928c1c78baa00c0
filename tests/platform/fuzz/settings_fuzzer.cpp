// libFuzzer target over the settings file: any bytes as a settings file load or are refused
// as not ours; what loads, saved and loaded again, holds the same keys and values and reads as
// sound; and a save is never more than a few times the bytes it was loaded from.
// Built with -DQV_FUZZERS=ON and clang; run: settings_fuzzer -max_total_time=300 <corpus folder>
// (tests/platform/fuzz/corpus/settings/ holds the seeds).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/settings_store.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "settings_fuzzer: %s\n", what);
  std::abort();
}

// Every character of the file can become a %XX escape, and the header is always written.
constexpr std::size_t kMostSavedBytes(std::size_t input) { return 3 * input + 32; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Loaded from memory: the file is never written, since nothing here saves.
  const std::filesystem::path file = "/nonexistent/settings.txt";
  const platform::SettingsStore first(file, std::string(reinterpret_cast<const char*>(data), size));
  if (!first.Readable()) return 0;
  const std::string saved = first.SavedBytes();
  if (saved.size() > kMostSavedBytes(size)) Fail("a save is larger than linear in its input");

  const platform::SettingsStore second(file, saved);
  if (!second.Readable()) Fail("a saved file is not a settings file");
  if (second.Damaged()) Fail("a saved file reads as damaged");
  if (second.SavedBytes() != saved) Fail("a saved file loads with other keys or values");
  return 0;
}
