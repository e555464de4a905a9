#include "platform/host/files/open_files.h"

namespace vtsetup::platform::host {
namespace {

bool Reads(FileAccess access) {
  return (static_cast<std::uint32_t>(access) & 1u) != 0;
}
bool Writes(FileAccess access) {
  return (static_cast<std::uint32_t>(access) & 2u) != 0;
}

// Whether a handle with `access` may be opened while one that shares `share` is open.
bool Allowed(FileAccess access, std::uint32_t share) {
  return (!Reads(access) || (share & SHARE_READ) != 0) && (!Writes(access) || (share & SHARE_WRITE) != 0);
}

}  // namespace

SystemError OpenFiles::Admit(Identity file, FileAccess access, std::uint32_t share, std::uint64_t& ticket) {
  const std::lock_guard lock(mutex_);
  for (const auto& [other_ticket, other] : handles_) {
    if (other.file == file && (!Allowed(access, other.share) || !Allowed(other.access, share))) {
      return ERR_SHARING_VIOLATION;
    }
  }
  ticket = next_ticket_++;
  handles_.emplace(ticket, Handle{file, access, share});
  return ERR_NONE;
}

void OpenFiles::Release(std::uint64_t ticket) {
  const std::lock_guard lock(mutex_);
  handles_.erase(ticket);
}

bool OpenFiles::MayDelete(Identity file) {
  const std::lock_guard lock(mutex_);
  for (const auto& [ticket, handle] : handles_) {
    if (handle.file == file && (handle.share & SHARE_DELETE) == 0) {
      return false;
    }
  }
  return true;
}

bool OpenFiles::IsOpen(Identity file) {
  const std::lock_guard lock(mutex_);
  for (const auto& [ticket, handle] : handles_) {
    if (handle.file == file) {
      return true;
    }
  }
  return false;
}

}  // namespace vtsetup::platform::host
