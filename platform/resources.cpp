#include "platform/resources.h"

#include "platform/text.h"

namespace platform {
namespace {

std::string_view Bytes(const EmbeddedResource* r) {
  return std::string_view(reinterpret_cast<const char*>(r->data), r->size);
}

// "<type>/<name>" or "<type>/<name>.<extension>".
bool InTypeFolder(std::string_view path, std::string_view type, std::string_view name) {
  std::size_t slash = path.find('/');
  if (slash == std::string_view::npos || !SameText(path.substr(0, slash), type)) return false;
  std::string_view file = path.substr(slash + 1);
  if (SameText(file, name)) return true;
  std::size_t dot = file.rfind('.');
  return dot != std::string_view::npos && SameText(file.substr(0, dot), name);
}

// "<any folders>/<name>.<type>".
bool NamedWithType(std::string_view path, std::string_view type, std::string_view name) {
  std::size_t slash = path.rfind('/');
  std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  std::size_t dot = file.rfind('.');
  return dot != std::string_view::npos && SameText(file.substr(0, dot), name) &&
         SameText(file.substr(dot + 1), type);
}

}  // namespace

std::optional<std::string_view> FindResource(std::string_view name) {
  for (const EmbeddedResource* r = EmbeddedResources(); r->name; ++r) {
    if (name == r->name) return Bytes(r);
  }
  return std::nullopt;
}

std::optional<std::string_view> FindTypedResource(std::string_view type, std::string_view name) {
  if (type.empty() || name.empty()) return std::nullopt;
  for (const EmbeddedResource* r = EmbeddedResources(); r->name; ++r) {
    if (InTypeFolder(r->name, type, name)) return Bytes(r);
  }
  for (const EmbeddedResource* r = EmbeddedResources(); r->name; ++r) {
    if (NamedWithType(r->name, type, name)) return Bytes(r);
  }
  return std::nullopt;
}

}  // namespace platform
