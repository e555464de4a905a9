#pragma once

#include <stdlib.h>

#include <string>

namespace vtsetup::testing {

// An environment variable set for one scope: the stub DirectX library reads its instructions there.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    ::setenv(name, value.c_str(), 1);
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() { ::unsetenv(name_); }

 private:
  const char* name_;
};

}  // namespace vtsetup::testing
