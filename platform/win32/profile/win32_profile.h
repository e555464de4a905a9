#pragma once

#include "platform/profile.h"

namespace vtsetup::platform::win32 {

// INI files through the system's profile calls, which define the rules the seam names. A file name
// without a folder means one in the Windows folder to those calls; callers name whole paths. Where the
// calls and the seam part, the seam's word holds:
// - A null or empty section or key name never matches: ReadString and ReadInt give the default and
//   ReadSection 0, where the calls would list the names instead.
// - ReadInt reads the value itself: GetPrivateProfileIntA takes a hexadecimal "0x" form and gives the
//   default for an empty value, and reads only the first characters of a long one, where the seam
//   wants the leading decimal number of the whole value and 0 when there is none.
// - ReadSection counts the whole list and applies the documented rule itself: a buffer that holds the
//   list with its closing zero gets it all, a smaller one its size less two (0 below two bytes), where
//   some systems want a byte more before they deliver the whole.
// - WriteString refuses what the file cannot hold (empty names, line breaks) with ERR_INVALID_PARAMETER
//   before the system could write it as lines of their own, and never reports a failed write as done:
//   a failure the system gives no error for is ERR_ACCESS_DENIED, the file being what could not be
//   written.
class Win32Profile final : public Profile {
 public:
  TextString ReadString(const char* file, const char* section, const char* key, const char* default_value,
                        std::uint32_t buffer_size) override;
  std::int32_t ReadInt(const char* file, const char* section, const char* key,
                       std::int32_t default_value) override;
  std::uint32_t ReadSection(const char* file, const char* section, std::uint32_t buffer_size) override;
  SystemError WriteString(const char* file, const char* section, const char* key, const char* value) override;
};

}  // namespace vtsetup::platform::win32
