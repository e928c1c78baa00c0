#include "tests/build_debug/tools/bridges/carried_resources.h"

namespace build_debug {
namespace {

const platform::EmbeddedResource kNothing[] = {{nullptr, nullptr, 0}};
const platform::EmbeddedResource* g_carried = kNothing;

}  // namespace

CarriedResources::CarriedResources(std::vector<std::pair<std::string, std::string>> files)
    : files_(std::move(files)) {
  for (const auto& [name, bytes] : files_) {
    table_.push_back(
        {name.c_str(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()});
  }
  table_.push_back({nullptr, nullptr, 0});
  g_carried = table_.data();
}

CarriedResources::~CarriedResources() { g_carried = kNothing; }

}  // namespace build_debug

namespace platform {
const EmbeddedResource* EmbeddedResources() { return build_debug::g_carried; }
}  // namespace platform
