// Timings of the settings file: loading and saving at sizes, each beside the plain file
// reads and replacements of the same bytes (the baselines, measured in the same run); a file
// with one deep key; and the burst of writes that storing a window placement makes.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "services/replace_file.h"

namespace {

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() /
                ("qv_settings_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

// A file in the shape the IDE writes: each setting a key of its own under the root, holding
// one value named as its path; `count` settings in groups of 16.
std::string SettingsFileOf(int count) {
  std::string text = "QVKey settings 1\n";
  const std::string root = "Software\\KestrianInc\\QV-Key\\2.0\\";
  for (int i = 0; i < count; ++i) {
    const std::string name = "Group" + std::to_string(i / 16) + "\\Setting" + std::to_string(i);
    text += "[" + root + name + "]\n\"" + name + "\"=" + std::to_string(i * 7919) + "\n";
  }
  return text;
}

std::filesystem::path WriteFile(const std::string& name, const std::string& bytes) {
  const auto path = Folder() / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  return path;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void BM_ReadFileBaseline(benchmark::State& state) {
  const std::string bytes = SettingsFileOf(static_cast<int>(state.range(0)));
  const auto path = WriteFile("read.txt", bytes);
  for (auto _ : state) benchmark::DoNotOptimize(ReadFile(path));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadFileBaseline)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond);

void BM_LoadSettings(benchmark::State& state) {
  const std::string bytes = SettingsFileOf(static_cast<int>(state.range(0)));
  const auto path = WriteFile("load.txt", bytes);
  for (auto _ : state) {
    platform::SettingsStore store(path);
    benchmark::DoNotOptimize(store.Readable());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LoadSettings)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond);

void BM_ReplaceFileBaseline(benchmark::State& state) {
  const std::string bytes = SettingsFileOf(static_cast<int>(state.range(0)));
  const std::string path = (Folder() / "replace.txt").string();
  for (auto _ : state) {
    std::string reason;
    benchmark::DoNotOptimize(workbench::ReplaceFileContents(path, bytes, reason));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_ReplaceFileBaseline)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond);

// One value written: one save of the whole file.
void BM_SaveSettings(benchmark::State& state) {
  const std::string bytes = SettingsFileOf(static_cast<int>(state.range(0)));
  platform::SettingsStore store(WriteFile("save.txt", bytes));
  const std::string key = "Software\\KestrianInc\\QV-Key\\2.0\\Group0\\Setting0";
  std::int32_t n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(store.WriteInt(key, "Group0\\Setting0", ++n));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_SaveSettings)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Unit(benchmark::kMillisecond);

// A file holding one key `depth` names deep, loaded and saved once.
void BM_LoadAndSaveDeepKey(benchmark::State& state) {
  std::string text = "QVKey settings 1\n[";
  for (int i = 0; i < state.range(0); ++i) text += "k\\";
  text += "k]\n\"v\"=1\n";
  const auto path = WriteFile("deep.txt", text);
  for (auto _ : state) {
    state.PauseTiming();
    WriteFile("deep.txt", text);
    state.ResumeTiming();
    platform::SettingsStore store(path);
    benchmark::DoNotOptimize(store.WriteInt("", "saved", 1));
  }
  state.counters["saved_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadAndSaveDeepKey)
    ->RangeMultiplier(4)
    ->Range(16, 1 << 12)
    ->Unit(benchmark::kMillisecond);

class Window : public workbench::PlacedWindow {
 public:
  workbench::WindowState State() const override { return workbench::WindowState::Normal; }
  void SetState(workbench::WindowState) override {}
  int Top() const override { return 10; }
  int Left() const override { return 20; }
  int Height() const override { return 300; }
  int Width() const override { return 400; }
  bool Visible() const override { return true; }
  void SetBounds(int, int, int, int) override {}
};

// A window's placement stored into a file of the size a user's file has (100 settings).
void BM_SavePlacement(benchmark::State& state) {
  platform::SettingsStore store(WriteFile("placement.txt", SettingsFileOf(100)));
  workbench::RegistrySettings registry(store);
  Window window;
  for (auto _ : state) benchmark::DoNotOptimize(registry.SaveFormPlacement("EditorWindow", window));
}
BENCHMARK(BM_SavePlacement)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
