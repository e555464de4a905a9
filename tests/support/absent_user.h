#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/host/ui/ui_driver.h"

namespace vtsetup::testing {

// Nobody at the keyboard: every page and box takes its way out. For tests that look at windows, not
// at answers.
class AbsentUser final : public platform::host::UiDriver {
 public:
  std::optional<std::vector<platform::host::UserAction>> PageActions(const platform::host::DialogState&,
                                                                     bool) override {
    return std::nullopt;
  }
  std::optional<std::int32_t> MessageAnswer(const platform::host::MessageBoxView&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseAnswer(const std::string&) override { return std::nullopt; }
};

}  // namespace vtsetup::testing
