#pragma once

#include <stdlib.h>

#include <optional>
#include <string>

namespace vtsetup::testing {

// An environment variable set for one scope and then given back its earlier value, or unset when it had
// none: the stub DirectX library reads its instructions there, and a started program its machine.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* earlier = ::getenv(name); earlier != nullptr) {
      earlier_ = earlier;
    }
    ::setenv(name, value.c_str(), 1);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() {
    if (earlier_) {
      ::setenv(name_, earlier_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> earlier_;
};

}  // namespace vtsetup::testing
