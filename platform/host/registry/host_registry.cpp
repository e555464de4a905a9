#include "platform/host/registry/host_registry.h"

#include <optional>
#include <string_view>
#include <utility>

#include "platform/host/registry/registry_file.h"
#include "platform/host/registry/registry_text.h"

namespace vtsetup::platform::host {
namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE";

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// The key that `below` names under `key`, or nothing when it names none.
std::optional<KeyPath> PathBelow(const KeyPath& key, const char* below) {
  std::string_view text = below != nullptr ? below : "";
  if (!text.empty() && text.back() == '\\') {
    text.remove_suffix(1);
  }
  if (HoldsLineBreak(text)) {
    return std::nullopt;
  }
  auto names = SplitKeyPath(text);
  if (!names || key.size() + names->size() > kMaxKeyDepth + 1) {
    return std::nullopt;
  }
  KeyPath path = key;
  path.insert(path.end(), std::make_move_iterator(names->begin()), std::make_move_iterator(names->end()));
  return path;
}

class HostRegistryKey final : public RegistryKey {
 public:
  HostRegistryKey(RegistryFile file, KeyPath path, RegistryAccess access)
      : file_(std::move(file)), path_(std::move(path)), access_(access) {}

  KeyOpen Create(const char* subkey) override {
    if (access_ != RegistryAccess::Write) {
      return {nullptr, ERR_ACCESS_DENIED};
    }
    auto path = PathBelow(path_, subkey);
    if (!path) {
      return {nullptr, ERR_INVALID_PARAMETER};
    }
    const SystemError error = file_.Change([&](RegistryText& text) { return text.CreateKey(*path); });
    if (error != ERR_NONE) {
      return {nullptr, error};
    }
    return {std::make_unique<HostRegistryKey>(file_, std::move(*path), RegistryAccess::Write), ERR_NONE};
  }

  ValueRead QueryString(const char* name, std::uint32_t buffer_size) override {
    const RegistryLoad load = file_.Read();
    if (load.error != ERR_NONE) {
      return {{}, load.error};
    }
    const auto value = load.text.FindString(path_, name != nullptr ? name : "");
    if (!value) {
      return {{}, ERR_FILE_NOT_FOUND};
    }
    if (value->size() >= buffer_size) {
      return {{}, ERR_MORE_DATA};
    }
    return {TextString(value->data(), static_cast<std::uint32_t>(value->size())), ERR_NONE};
  }

  SystemError SetString(const char* name, const char* value) override {
    if (access_ != RegistryAccess::Write) {
      return ERR_ACCESS_DENIED;
    }
    const std::string_view value_name = name != nullptr ? name : "";
    if (HoldsLineBreak(value_name)) {
      return ERR_INVALID_PARAMETER;
    }
    const std::string_view text = value != nullptr ? value : "";
    return file_.Change([&](RegistryText& registry) {
      registry.SetString(path_, value_name, text);
      return true;
    });
  }

  SystemError DeleteValue(const char* name) override {
    if (access_ != RegistryAccess::Write) {
      return ERR_ACCESS_DENIED;
    }
    const std::string_view value_name = name != nullptr ? name : "";
    bool removed = false;
    const SystemError error = file_.Change([&](RegistryText& registry) {
      removed = registry.DeleteValue(path_, value_name);
      return removed;
    });
    return error != ERR_NONE ? error : removed ? ERR_NONE : ERR_FILE_NOT_FOUND;
  }

  KeyContents Contents() override {
    const RegistryLoad load = file_.Read();
    if (load.error != ERR_NONE) {
      return {0, 0, load.error};
    }
    if (!load.text.KeyExists(path_)) {
      return {0, 0, ERR_FILE_NOT_FOUND};
    }
    const KeyCounts counts = load.text.Count(path_);
    return {static_cast<std::uint32_t>(counts.subkeys), static_cast<std::uint32_t>(counts.values), ERR_NONE};
  }

 private:
  RegistryFile file_;
  KeyPath path_;
  RegistryAccess access_;
};

}  // namespace

KeyOpen HostRegistry::Open(const char* path, RegistryAccess access) {
  auto key = PathBelow({kRoot}, path);
  if (!key) {
    return {nullptr, ERR_FILE_NOT_FOUND};
  }
  RegistryFile file(file_);
  const RegistryLoad load = file.Read();
  if (load.error != ERR_NONE) {
    return {nullptr, load.error};
  }
  if (!load.text.KeyExists(*key)) {
    return {nullptr, ERR_FILE_NOT_FOUND};
  }
  return {std::make_unique<HostRegistryKey>(std::move(file), std::move(*key), access), ERR_NONE};
}

SystemError HostRegistry::DeleteKeyTree(const char* path) {
  auto key = PathBelow({kRoot}, path);
  if (!key) {
    return ERR_FILE_NOT_FOUND;
  }
  if (key->size() == 1) {
    return ERR_ACCESS_DENIED;
  }
  bool deleted = false;
  const SystemError error = RegistryFile(file_).Change([&](RegistryText& text) {
    deleted = text.DeleteKeyTree(*key);
    return deleted;
  });
  return error != ERR_NONE ? error : deleted ? ERR_NONE : ERR_FILE_NOT_FOUND;
}

}  // namespace vtsetup::platform::host
