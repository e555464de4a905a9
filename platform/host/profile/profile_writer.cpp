#include <cstring>
#include <string>

#include "platform/host/profile/host_profile.h"
#include "platform/host/profile/profile_edit.h"

namespace vtsetup::platform::host {
namespace {

// Profiles are a few kilobytes; a file far beyond that is no profile and is not rewritten.
constexpr std::uint64_t kProfileSizeLimit = std::uint64_t{64} << 20;

bool HasLineBreak(const char* text) {
  return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

bool IsName(const char* text) {
  return text != nullptr && *text != '\0';
}

// The text of the file as it stands, empty when there is none. A file that is there but cannot be read
// gives its error, since replacing it with what little we know of it would lose the rest.
SystemError ReadExisting(FileSystem& files, const char* file, std::string& text) {
  text.clear();
  const OpenResult open = files.Open(file, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
  if (open.error == ERR_FILE_NOT_FOUND) {
    return ERR_NONE;
  }
  if (!open.file) {
    return open.error;
  }
  std::uint64_t size = 0;
  if (const SystemError error = open.file->Size(size); error != ERR_NONE) {
    return error;
  }
  if (size > kProfileSizeLimit) {
    return ERR_NOT_ENOUGH_MEMORY;
  }
  text.resize(static_cast<std::size_t>(size));
  std::uint32_t got = 0;
  if (const SystemError error = open.file->Read(text.data(), static_cast<std::uint32_t>(size), got);
      error != ERR_NONE) {
    return error;
  }
  text.resize(got);
  return ERR_NONE;
}

}  // namespace

SystemError HostProfile::WriteString(const char* file, const char* section, const char* key,
                                     const char* value) {
  if (file == nullptr || !IsName(section) || (key != nullptr && !IsName(key)) || HasLineBreak(section) ||
      HasLineBreak(key) || HasLineBreak(value)) {
    return ERR_INVALID_PARAMETER;
  }
  std::string existing;
  if (const SystemError unread = ReadExisting(files_, file, existing); unread != ERR_NONE) {
    return unread;
  }
  const std::string edited = EditProfileText(existing, section, key, value);
  if (edited == existing) {
    return ERR_NONE;  // also a removal from a file that does not exist, which stays so
  }
  const SystemError written = files_.ReplaceFileText(file, edited);
  cache_.Forget(HostFile(file));
  return written;
}

}  // namespace vtsetup::platform::host
