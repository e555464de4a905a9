#pragma once

#include <cstdint>

#include "base/text_string.h"
#include "platform/errors.h"

namespace vtsetup::platform {

// INI files read with the rules of the Windows profile functions, because setup scripts and the
// medium's text files were written for those rules and must mean the same everywhere.
class Profile {
 public:
  virtual ~Profile() = default;

  // The value of `key` in `section`, or `default_value` when the file, the section or the key is
  // missing; cut to `buffer_size` - 1 characters as a caller's buffer of that size would hold it.
  virtual TextString ReadString(const char* file, const char* section, const char* key,
                                const char* default_value, std::uint32_t buffer_size) = 0;
  // The leading decimal number of the value after blanks, with its sign: "-5" is -5, " 12abc" is 12,
  // and 0 when there is none; digits past 32 bits wrap as the Windows function's register does.
  // `default_value` when the key is missing.
  virtual std::int32_t ReadInt(const char* file, const char* section, const char* key,
                               std::int32_t default_value) = 0;
  // The number of characters that a section read into a buffer of `buffer_size` bytes delivers: 0 when
  // the section is missing or holds no entries.
  virtual std::uint32_t ReadSection(const char* file, const char* section, std::uint32_t buffer_size) = 0;
  // Sets `key` in `section` to `value`, creating the file, the section or the key where missing; a null
  // value removes the key and a null key the whole section. ERR_NONE, or the Windows error of the
  // failure: the file system's when the file cannot be read or written, ERR_INVALID_PARAMETER for what
  // the file cannot hold.
  virtual SystemError WriteString(const char* file, const char* section, const char* key,
                                  const char* value) = 0;
};

}  // namespace vtsetup::platform
