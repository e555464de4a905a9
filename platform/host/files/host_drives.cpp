#include "platform/host/files/host_drives.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <limits>

#include "platform/host/files/drive_rules.h"
#include "platform/host/machine/host_errors.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::uint64_t kLargest32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kLargestSigned32 = std::numeric_limits<std::int32_t>::max();

// "C:\" and nothing else names a drive, as Windows wants of its drive queries.
const DriveConfig* DriveOfRoot(const MachineConfig& config, const char* root) {
  if (root == nullptr || !std::isalpha(static_cast<unsigned char>(root[0])) || root[1] != ':' ||
      (root[2] != '\\' && root[2] != '/') || root[3] != '\0') {
    return nullptr;
  }
  return config.Drive(root[0]);
}

}  // namespace

DriveType HostDrives::TypeOf(const char* root) {
  const DriveConfig* drive = DriveOfRoot(machine_.Config(), root);
  return drive != nullptr ? drive->type : DriveType::NoRoot;
}

SystemError HostDrives::FreeSpace(const char* root, DiskSpace& space) {
  return Measure(root, machine_.Config().cap_plain_free_space ? kLargestSigned32 : kLargest32, space);
}

bool HostDrives::ExtendedFreeSpace(const char* root, DiskSpace& space) {
  return machine_.Config().extended_free_space && Measure(root, kLargest32, space) == ERR_NONE;
}

SystemError HostDrives::Measure(const char* root, std::uint64_t byte_limit, DiskSpace& space) {
  const DriveConfig* drive = DriveOfRoot(machine_.Config(), root);
  if (drive == nullptr) {
    return ERR_PATH_NOT_FOUND;
  }
  if (!HasMedium(*drive)) {
    return ERR_NOT_READY;
  }
  struct statvfs host {};
  if (::statvfs(drive->folder.c_str(), &host) != 0) {
    return ErrorFromErrno(errno, drive->folder);
  }
  const std::uint32_t cluster =
      drive->cluster_size.value_or(static_cast<std::uint32_t>(std::min<std::uint64_t>(host.f_frsize, 65536)));
  const std::uint64_t free_bytes = drive->free_bytes
                                       ? quotas_.FreeBytes(*drive)
                                       : static_cast<std::uint64_t>(host.f_bavail) * host.f_frsize;
  const std::uint64_t total_bytes = drive->total_bytes.value_or(
      drive->free_bytes ? std::max(free_bytes, *drive->free_bytes)
                        : static_cast<std::uint64_t>(host.f_blocks) * host.f_frsize);
  // Sectors of 512 bytes where the cluster is made of them, else one sector per cluster.
  space.bytes_per_sector = cluster % 512 == 0 ? 512 : cluster;
  space.sectors_per_cluster = cluster / space.bytes_per_sector;
  space.free_clusters = static_cast<std::uint32_t>(std::min(free_bytes, byte_limit) / cluster);
  space.total_clusters = static_cast<std::uint32_t>(std::min(total_bytes, byte_limit) / cluster);
  return ERR_NONE;
}

}  // namespace vtsetup::platform::host
