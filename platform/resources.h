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

// A resource as the IDE asks for it, by type and name ("TXT", "StringResourceNames";
// "EXE", "QVB"), both compared without regard to case. It is, in this order of preference:
//   1. the file <type>/<name> or <type>/<name>.<any extension> ("txt/QVKeywords.txt");
//   2. a file <name>.<type> in any folder ("strings/TarnUnit_Strings.txt").
// The first match in path order wins.
std::optional<std::string_view> FindTypedResource(std::string_view type, std::string_view name);

}  // namespace platform
