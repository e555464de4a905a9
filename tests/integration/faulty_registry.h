#pragma once

#include <memory>
#include <set>
#include <string>
#include <utility>

#include "platform/registry.h"

namespace vtsetup::testing {

// The machine's registry with chosen operations refused as a locked-down system refuses them: opening
// a key path, creating a subkey, or setting a value ("" for the default value).
class FaultyRegistry final : public platform::Registry {
 public:
  explicit FaultyRegistry(platform::Registry& real) : real_(real) {}

  std::set<std::string> refuse_open;
  std::set<std::string> refuse_create;
  std::set<std::string> refuse_set;

  platform::KeyOpen Open(const char* path, platform::RegistryAccess access) override {
    if (refuse_open.contains(path)) {
      return {nullptr, platform::ERR_ACCESS_DENIED};
    }
    return Wrapped(real_.Open(path, access));
  }
  platform::SystemError DeleteKeyTree(const char* path) override { return real_.DeleteKeyTree(path); }

 private:
  class Key final : public platform::RegistryKey {
   public:
    Key(FaultyRegistry& registry, std::unique_ptr<platform::RegistryKey> real)
        : registry_(registry), real_(std::move(real)) {}
    platform::KeyOpen Create(const char* subkey) override {
      if (registry_.refuse_create.contains(subkey)) {
        return {nullptr, platform::ERR_ACCESS_DENIED};
      }
      return registry_.Wrapped(real_->Create(subkey));
    }
    platform::ValueRead QueryString(const char* name, std::uint32_t buffer_size) override {
      return real_->QueryString(name, buffer_size);
    }
    platform::SystemError SetString(const char* name, const char* value) override {
      if (registry_.refuse_set.contains(name != nullptr ? name : "")) {
        return platform::ERR_ACCESS_DENIED;
      }
      return real_->SetString(name, value);
    }
    platform::SystemError DeleteValue(const char* name) override { return real_->DeleteValue(name); }
    platform::KeyContents Contents() override { return real_->Contents(); }

   private:
    FaultyRegistry& registry_;
    std::unique_ptr<platform::RegistryKey> real_;
  };

  platform::KeyOpen Wrapped(platform::KeyOpen opened) {
    if (opened.key != nullptr) {
      opened.key = std::make_unique<Key>(*this, std::move(opened.key));
    }
    return opened;
  }

  platform::Registry& real_;
};

}  // namespace vtsetup::testing
