#pragma once

#include <cstdint>

#include "platform/errors.h"

namespace vtsetup::platform {

// Drive types with the numbers Windows gives them; callers compare these numbers.
enum class DriveType : std::uint32_t {
  Unknown = 0,
  NoRoot = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// The four numbers of the Windows free-space queries. Each count is 32 bits, so a drive of 4 GiB or more
// is reported as holding at most 0xFFFFFFFF bytes, which keeps the callers' 32-bit products exact.
struct DiskSpace {
  std::uint32_t sectors_per_cluster = 0;
  std::uint32_t bytes_per_sector = 0;
  std::uint32_t free_clusters = 0;
  std::uint32_t total_clusters = 0;
};

struct SystemVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
};

// Drives by their root path: a letter, a colon and a backslash.
class Drives {
 public:
  virtual ~Drives() = default;

  virtual DriveType TypeOf(const char* root) = 0;
  // The plain query, whose figures older systems cap near 2 GiB. ERR_NONE, or the Windows error:
  // ERR_NOT_READY for a drive without its medium, ERR_PATH_NOT_FOUND for a root that names no drive.
  virtual SystemError FreeSpace(const char* root, DiskSpace& space) = 0;
  // The extended query for large FAT32 drives; false where the system has no such call.
  virtual bool ExtendedFreeSpace(const char* root, DiskSpace& space) = 0;
  // The system's version; the build number tells which free-space query gives true figures.
  virtual SystemVersion Version() = 0;
};

}  // namespace vtsetup::platform
