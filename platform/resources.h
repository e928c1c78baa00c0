#pragma once
// The resources the program carries: the files under resources/, compiled in at build time
// and found by their relative path.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct EmbeddedResource {
  const char* name;
  const unsigned char* data;
  std::size_t size;
};

// The table generated from resources/, ended by an entry whose name is null. Programs that
// link qv_resources have it; the plain libraries only declare it.
const EmbeddedResource* EmbeddedResources();

// The bytes of the named resource, or nothing when the program carries none by that name.
std::optional<std::string_view> FindResource(std::string_view name);

}  // namespace platform
