#pragma once
// A key link over the termios layer, pointed at simulated keys through an environment table
// that the test fills.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/key/key_link.h"
#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/keysim/simulated_key.h"

namespace build_debug {

constexpr const char* kLinkCaption = "QVKey <-> PC Communication Error";

// Everything a link needs, with the environment as a table the test fills.
class KeyFixture : public ::testing::Test {
 protected:
  KeyFixture() {
    texts_.InitLocalization("x");
    boxes_.AnswerWithFirstButton();  // the tests look at every box they expect
  }

  keysim::SimulatedKey& StartKey(keysim::KeyConfig config = {}, const std::string& port = "COM1") {
    keys_.push_back(std::make_unique<keysim::SimulatedKey>(std::move(config)));
    environment_["QVKEY_" + port] = keys_.back()->DevicePath();
    return *keys_.back();
  }

  platform::SerialPortResolver::Sources Sources() {
    platform::SerialPortResolver::Sources sources;
    sources.environment = [this](std::string_view name) -> std::optional<std::string> {
      auto found = environment_.find(std::string(name));
      if (found == environment_.end()) return std::nullopt;
      return found->second;
    };
    sources.dev_root = "/nonexistent";  // no machine device may stand in for a missing key
    sources.sys_root = "/nonexistent";
    return sources;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.Boxes()) texts.push_back(box.text);
    return texts;
  }

  std::map<std::string, std::string> environment_;
  workbench::Localizer texts_;
  platform::RecordingMessageBoxes boxes_;
  workbench::MessageStrings messages_{texts_, boxes_};
  platform::SerialPortResolver resolver_{Sources()};
  platform::TermiosSerialPortOpener opener_{resolver_};
  KeyLink link_{opener_, messages_};
  std::vector<std::unique_ptr<keysim::SimulatedKey>> keys_;
};

}  // namespace build_debug
