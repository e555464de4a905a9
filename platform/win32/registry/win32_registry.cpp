#include "platform/win32/registry/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {
namespace {

struct RegistryKeyTraits {
  using Value = HKEY;
  static Value None() { return nullptr; }
  static void Close(Value key) { ::RegCloseKey(key); }
};
using UniqueKey = UniqueResource<RegistryKeyTraits>;

// A value that grows between the size query and the read is read again, a few times at most.
constexpr int kReadTries = 4;
// Key names are at most 255 characters.
constexpr DWORD kKeyNameSize = 256;

REGSAM Rights(RegistryAccess access) {
  return access == RegistryAccess::Write ? KEY_READ | KEY_WRITE : KEY_READ;
}

bool IsString(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ;
}

class Win32RegistryKey final : public RegistryKey {
 public:
  Win32RegistryKey(UniqueKey key, RegistryAccess access) : key_(std::move(key)), access_(access) {}

  KeyOpen Create(const char* subkey) override {
    if (access_ != RegistryAccess::Write) {
      return {nullptr, ERR_ACCESS_DENIED};
    }
    UniqueKey created;
    DWORD disposition = 0;
    const LONG error =
        ::RegCreateKeyExA(key_.Get(), subkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          Rights(RegistryAccess::Write), nullptr, created.Receive(), &disposition);
    if (error != ERROR_SUCCESS) {
      return {nullptr, static_cast<SystemError>(error)};
    }
    return {std::make_unique<Win32RegistryKey>(std::move(created), RegistryAccess::Write), ERR_NONE};
  }

  ValueRead QueryString(const char* name, std::uint32_t buffer_size) override {
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
      DWORD type = REG_NONE;
      DWORD size = 0;
      LONG error = ::RegQueryValueExA(key_.Get(), name, nullptr, &type, nullptr, &size);
      if (error != ERROR_SUCCESS) {
        return {{}, static_cast<SystemError>(error)};
      }
      if (!IsString(type)) {
        return {{}, ERR_FILE_NOT_FOUND};
      }
      // One byte more than the data, so that a string stored without its zero still ends in one.
      std::vector<char> data(static_cast<std::size_t>(size) + 1, '\0');
      DWORD got = size;
      error =
          ::RegQueryValueExA(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
      if (error == ERROR_MORE_DATA) {
        continue;
      }
      if (error != ERROR_SUCCESS) {
        return {{}, static_cast<SystemError>(error)};
      }
      if (!IsString(type)) {
        return {{}, ERR_FILE_NOT_FOUND};
      }
      // memchr rather than strnlen, which the C runtime of the oldest systems lacks.
      const auto* zero = static_cast<const char*>(std::memchr(data.data(), '\0', got));
      const std::size_t length = zero != nullptr ? static_cast<std::size_t>(zero - data.data()) : got;
      if (length + 1 > buffer_size) {
        return {{}, ERR_MORE_DATA};
      }
      return {TextString(data.data(), static_cast<std::uint32_t>(length)), ERR_NONE};
    }
    return {{}, ERR_MORE_DATA};
  }

  SystemError SetString(const char* name, const char* value) override {
    const char* text = value != nullptr ? value : "";
    // The zero is part of the data, so that every reader finds the string's end.
    const auto size = static_cast<DWORD>(std::strlen(text) + 1);
    return static_cast<SystemError>(
        ::RegSetValueExA(key_.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size));
  }

  SystemError DeleteValue(const char* name) override {
    return static_cast<SystemError>(::RegDeleteValueA(key_.Get(), name));
  }

  KeyContents Contents() override {
    DWORD subkeys = 0;
    DWORD values = 0;
    const LONG error = ::RegQueryInfoKeyA(key_.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                                          &values, nullptr, nullptr, nullptr, nullptr);
    if (error != ERROR_SUCCESS) {
      return {0, 0, static_cast<SystemError>(error)};
    }
    return {subkeys, values, ERR_NONE};
  }

 private:
  UniqueKey key_;
  RegistryAccess access_;
};

// Deletes `name` below `parent` after every subkey of it, deepest first, since RegDeleteKeyA takes only
// a key without subkeys on the NT family.
LONG DeleteTree(HKEY parent, const char* name) {
  {
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExA(parent, name, 0, KEY_READ, key.Receive());
    if (opened != ERROR_SUCCESS) {
      return opened;
    }
    // Always the first subkey: the one before it is gone, so the list moves up under us.
    for (;;) {
      char child[kKeyNameSize];
      DWORD length = sizeof(child);
      const LONG listed = ::RegEnumKeyExA(key.Get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
      if (listed == ERROR_NO_MORE_ITEMS) {
        break;
      }
      if (listed != ERROR_SUCCESS) {
        return listed;
      }
      if (const LONG deleted = DeleteTree(key.Get(), child); deleted != ERROR_SUCCESS) {
        return deleted;
      }
    }
  }
  return ::RegDeleteKeyA(parent, name);
}

}  // namespace

KeyOpen Win32Registry::Open(const char* path, RegistryAccess access) {
  UniqueKey key;
  const LONG error = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, Rights(access), key.Receive());
  if (error != ERROR_SUCCESS) {
    return {nullptr, static_cast<SystemError>(error)};
  }
  return {std::make_unique<Win32RegistryKey>(std::move(key), access), ERR_NONE};
}

SystemError Win32Registry::DeleteKeyTree(const char* path) {
  std::string key_path = path != nullptr ? path : "";
  if (!key_path.empty() && key_path.back() == '\\') {
    key_path.pop_back();
  }
  // HKEY_LOCAL_MACHINE itself is no tree of ours to delete.
  if (key_path.empty()) {
    return ERR_ACCESS_DENIED;
  }
  return static_cast<SystemError>(DeleteTree(HKEY_LOCAL_MACHINE, key_path.c_str()));
}

}  // namespace vtsetup::platform::win32
