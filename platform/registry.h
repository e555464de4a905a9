#pragma once

#include <cstdint>
#include <memory>

#include "base/text_string.h"
#include "platform/errors.h"

namespace vtsetup::platform {

// What a key is opened for: reading its values, or setting values and creating subkeys. A key opened
// for reading refuses writes with ERR_ACCESS_DENIED, as Windows does.
enum class RegistryAccess : std::uint32_t { Read, Write };

class RegistryKey;

// What a key holds directly, as RegQueryInfoKeyA counts it: its subkeys one level down, and its values
// of every type, the default value included when it is set.
struct KeyContents {
  std::uint32_t subkeys = 0;
  std::uint32_t values = 0;
  SystemError error = ERR_NONE;
};

struct KeyOpen {
  std::unique_ptr<RegistryKey> key;  // null on failure
  SystemError error = ERR_NONE;
};

struct ValueRead {
  TextString value;
  SystemError error = ERR_NONE;
};

// An open key; closing is the destructor's job. Key and value names match without regard to case. A
// null or empty value name is the key's default value.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // Creates the subkey path (every missing level) below this key, or opens it when it exists. The new
  // key is opened for writing.
  virtual KeyOpen Create(const char* subkey) = 0;
  // A string value read as into a buffer of `buffer_size` bytes: ERR_FILE_NOT_FOUND when the value is
  // missing, ERR_MORE_DATA when the text with its terminating zero does not fit.
  virtual ValueRead QueryString(const char* name, std::uint32_t buffer_size) = 0;
  virtual SystemError SetString(const char* name, const char* value) = 0;
  // Removes a value of any type; ERR_FILE_NOT_FOUND when the key has no such value. A key opened for
  // reading refuses with ERR_ACCESS_DENIED.
  virtual SystemError DeleteValue(const char* name) = 0;
  virtual KeyContents Contents() = 0;
};

// HKEY_LOCAL_MACHINE: the one root the programs use. Paths are below it, such as
// "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"; a missing key gives ERR_FILE_NOT_FOUND.
class Registry {
 public:
  virtual ~Registry() = default;
  virtual KeyOpen Open(const char* path, RegistryAccess access) = 0;
  // Deletes the key with its values and every subkey; ERR_FILE_NOT_FOUND when missing; an empty path
  // (the root itself) is refused with ERR_ACCESS_DENIED. The key's parent stays, empty or not.
  virtual SystemError DeleteKeyTree(const char* path) = 0;
};

}  // namespace vtsetup::platform
