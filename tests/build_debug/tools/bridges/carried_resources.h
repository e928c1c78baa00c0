#pragma once
// The resources the test program carries, chosen by each test: what the IDE would carry of
// the outside programs, by type and name. Nothing is carried outside a CarriedResources scope.

#include <string>
#include <utility>
#include <vector>

#include "platform/resources.h"

namespace build_debug {

class CarriedResources {
 public:
  // Each file is (resource path as the build names it, e.g. "exe/QVB", bytes).
  explicit CarriedResources(std::vector<std::pair<std::string, std::string>> files);
  ~CarriedResources();
  CarriedResources(const CarriedResources&) = delete;
  CarriedResources& operator=(const CarriedResources&) = delete;

 private:
  std::vector<std::pair<std::string, std::string>> files_;
  std::vector<platform::EmbeddedResource> table_;
};

}  // namespace build_debug
