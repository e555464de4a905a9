#pragma once

#include "platform/drives.h"

namespace vtsetup::platform::win32 {

// Drives through GetDriveTypeA and GetDiskFreeSpaceA. The extended query is the "\\.\vwin32" device
// of the systems of the 9x family that know FAT32; everywhere else it fails, so callers fall back to
// the plain query.
class Win32Drives final : public Drives {
 public:
  DriveType TypeOf(const char* root) override;
  SystemError FreeSpace(const char* root, DiskSpace& space) override;
  bool ExtendedFreeSpace(const char* root, DiskSpace& space) override;
  SystemVersion Version() override;
};

}  // namespace vtsetup::platform::win32
