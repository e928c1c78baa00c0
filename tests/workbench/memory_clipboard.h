#pragma once
// A clipboard that lives in the test: each format a string of bytes.

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clipboard.h"

namespace workbench {

class MemoryClipboard : public platform::Clipboard {
 public:
  void SetFormats(const std::map<std::string, std::string>& formats) override {
    formats_ = formats;
  }
  std::optional<std::string> Format(std::string_view name) const override {
    auto found = formats_.find(std::string(name));
    if (found == formats_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::map<std::string, std::string> formats_;
};

}  // namespace workbench
