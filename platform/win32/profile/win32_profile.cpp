#include "platform/win32/profile/win32_profile.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/profile_number.h"
#include "platform/win32/filled_text.h"
#include "platform/win32/last_error.h"

namespace vtsetup::platform::win32 {
namespace {

// A value read whole for the number in it; the 9x family keeps no longer line.
constexpr DWORD kLongestValue = 65536;
constexpr DWORD kFirstReadSize = 256;
// A section's list is read whole to count it; the 9x family keeps no larger one.
constexpr DWORD kLongestSection = 65536;

bool IsName(const char* text) {
  return text != nullptr && *text != '\0';
}

bool HasLineBreak(const char* text) {
  return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

TextString ReadUpTo(const char* file, const char* section, const char* key, const char* default_value,
                    DWORD buffer_size) {
  // A cut value answers the buffer's size less its zero.
  return TextOfGrowingBuffer(
      [&](char* buffer, DWORD size) {
        return ::GetPrivateProfileStringA(section, key, default_value, buffer, size, file);
      },
      [](DWORD size) { return size - 1; }, std::min(buffer_size, kFirstReadSize), buffer_size);
}

// The call answers a missing key with the default, so a value equal to one default is told from a
// missing key by a second read with another.
std::optional<TextString> PresentValue(const char* file, const char* section, const char* key) {
  constexpr char kFirstProbe[] = "0";
  constexpr char kSecondProbe[] = "1";
  TextString value = ReadUpTo(file, section, key, kFirstProbe, kLongestValue);
  if (value == kFirstProbe && ReadUpTo(file, section, key, kSecondProbe, kLongestValue) == kSecondProbe) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

TextString Win32Profile::ReadString(const char* file, const char* section, const char* key,
                                    const char* default_value, std::uint32_t buffer_size) {
  if (IsName(section) && IsName(key)) {
    return ReadUpTo(file, section, key, default_value, buffer_size);
  }
  // What the call does with a default: blanks at its end go, and it is cut as a value is.
  TextString fallback(default_value);
  while (fallback.At(fallback.Length() - 1) == ' ') {
    fallback.RemoveTrailing(' ');
  }
  return fallback.Left(buffer_size == 0 ? 0 : buffer_size - 1);
}

std::int32_t Win32Profile::ReadInt(const char* file, const char* section, const char* key,
                                   std::int32_t default_value) {
  if (!IsName(section) || !IsName(key)) {
    return default_value;
  }
  const std::optional<TextString> value = PresentValue(file, section, key);
  return value ? LeadingProfileNumber(value->Data()) : default_value;
}

std::uint32_t Win32Profile::ReadSection(const char* file, const char* section, std::uint32_t buffer_size) {
  if (!IsName(section)) {
    return 0;
  }
  // The whole list is read, its zeros kept in the text, so that its length is the count the call gives
  // a buffer that holds it all; the call answers a cut list with the buffer's size less two.
  const std::uint32_t whole =
      TextOfGrowingBuffer(
          [&](char* buffer, DWORD size) { return ::GetPrivateProfileSectionA(section, buffer, size, file); },
          [](DWORD size) { return size - 2; }, kFirstReadSize, kLongestSection)
          .Length();
  // The documented rule decides the fit, the list and its closing zero, where a system may ask for a
  // byte more.
  if (whole + 1 <= buffer_size) {
    return whole;
  }
  return buffer_size < 2 ? 0 : buffer_size - 2;
}

SystemError Win32Profile::WriteString(const char* file, const char* section, const char* key,
                                      const char* value) {
  if (file == nullptr || !IsName(section) || (key != nullptr && !IsName(key)) || HasLineBreak(section) ||
      HasLineBreak(key) || HasLineBreak(value)) {
    return ERR_INVALID_PARAMETER;
  }
  if (::WritePrivateProfileStringA(section, key, value, file)) {
    return ERR_NONE;
  }
  // The file is what could not be written when the system does not say more.
  return LastErrorOr(ERR_ACCESS_DENIED);
}

}  // namespace vtsetup::platform::win32
