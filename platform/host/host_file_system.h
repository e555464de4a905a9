#pragma once

#include "platform/file_system.h"

namespace vtsetup::platform::host {

// Files of the Linux host with the Windows results the system relies on: creation modes, error
// numbers, a folder that cannot be opened as a file, reads that fill the buffer up to the end.
class HostFileSystem final : public FileSystem {
 public:
  OpenResult Open(const char* path, FileAccess access, std::uint32_t share, FileCreation creation) override;
  SystemError Delete(const char* path) override;
  // Listed in the order NTFS keeps names (ASCII letters folded to upper case, ties in byte order), so a
  // script compiles to the same bytes on every machine.
  SystemError FindFiles(const char* pattern, std::vector<FoundFile>& found) override;
  TextString FullPath(const char* path) override;
  TextString ErrorText(SystemError error) override;
};

}  // namespace vtsetup::platform::host
