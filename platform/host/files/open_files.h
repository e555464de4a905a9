#pragma once

#include <sys/types.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/errors.h"
#include "platform/file_system.h"

namespace vtsetup::platform::host {

// The sharing modes of this process's open files, so that a second open of the same file is granted or
// refused as Windows would: each handle's access must be allowed by every other handle's sharing, and
// each other handle's access by the new handle's sharing. Files are known by device and inode, so two
// spellings of one file are one file.
class OpenFiles {
 public:
  struct Identity {
    dev_t device;
    ino_t inode;
    auto operator<=>(const Identity&) const = default;
  };

  // ERR_SHARING_VIOLATION when the open conflicts; otherwise the handle is registered under a new ticket.
  SystemError Admit(Identity file, FileAccess access, std::uint32_t share, std::uint64_t& ticket);
  void Release(std::uint64_t ticket);
  // Deleting needs every open handle to share deletion.
  bool MayDelete(Identity file);
  bool IsOpen(Identity file);

 private:
  struct Handle {
    Identity file;
    FileAccess access;
    std::uint32_t share;
  };

  std::mutex mutex_;
  std::map<std::uint64_t, Handle> handles_;
  std::uint64_t next_ticket_ = 1;
};

}  // namespace vtsetup::platform::host
