#include "platform/resources.h"

namespace platform {

std::optional<std::string_view> FindResource(std::string_view name) {
  for (const EmbeddedResource* r = EmbeddedResources(); r->name; ++r) {
    if (name == r->name) return std::string_view(reinterpret_cast<const char*>(r->data), r->size);
  }
  return std::nullopt;
}

}  // namespace platform
