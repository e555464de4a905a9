#include <cstring>
#include <string>

#include "platform/host/machine/whole_file.h"
#include "platform/host/profile/host_profile.h"
#include "platform/host/profile/profile_edit.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::size_t kProfileSizeLimit = std::size_t{64} << 20;

bool HasLineBreak(const char* text) {
  return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

bool IsName(const char* text) {
  return text != nullptr && *text != '\0';
}

}  // namespace

bool HostProfile::WriteString(const char* file, const char* section, const char* key, const char* value) {
  if (!IsName(section) || (key != nullptr && !IsName(key)) || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value)) {
    return false;
  }
  const std::string host_path = HostFile(file);
  if (host_path.empty()) {
    return false;
  }
  // A file that exists but cannot be read must not be replaced by what little we know of it.
  const WholeFile existing = ReadWholeFile(host_path, kProfileSizeLimit);
  if (existing.outcome != WholeFileRead::Read && existing.outcome != WholeFileRead::Missing) {
    return false;
  }
  const std::string edited = EditProfileText(existing.text, section, key, value);
  if (edited == existing.text) {
    return true;  // also a removal from a file that does not exist, which stays so
  }
  return ReplaceWholeFile(host_path, edited) == 0;
}

}  // namespace vtsetup::platform::host
