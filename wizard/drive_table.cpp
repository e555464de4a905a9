#include "wizard/drive_table.h"

#include <algorithm>
#include <limits>

#include "base/ascii.h"

namespace vtsetup::wizard {
namespace {

constexpr std::uint64_t kLargest32 = std::numeric_limits<std::uint32_t>::max();
// Builds at or below this number have only the plain free-space query, and it tells the truth there.
constexpr std::uint32_t kLastBuildWithoutExtendedQuery = 1000;
constexpr std::uint16_t kLargestClusterIndex = 15;

// A system other than ours may report counts whose products pass 32 bits (or even 64); the table
// keeps them at the largest 32-bit value instead of a wrapped, far too small one.
std::uint32_t CappedProduct(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  const std::uint64_t ab = static_cast<std::uint64_t>(a) * b;
  if (c == 0 || ab == 0) {
    return 0;
  }
  if (ab > kLargest32) {
    return static_cast<std::uint32_t>(kLargest32);
  }
  return static_cast<std::uint32_t>(std::min(ab * c, kLargest32));
}

float Megabytes(std::uint32_t bytes) {
  return static_cast<float>(bytes / kBytesPerMegabyte);
}

bool TakesGames(platform::DriveType type) {
  return type != platform::DriveType::Unknown && type != platform::DriveType::NoRoot &&
         type != platform::DriveType::Remote && type != platform::DriveType::CdRom;
}

}  // namespace

const DriveInfo* DriveTable::Find(char letter) const {
  for (const DriveInfo& drive : Listed()) {
    if (drive.letter == AsciiUpper(letter)) {
      return &drive;
    }
  }
  return nullptr;
}

bool QueryDiskSpace(platform::Drives& drives, const char* root, platform::DiskSpace& space) {
  if ((drives.Version().build & 0xFFFFu) > kLastBuildWithoutExtendedQuery &&
      drives.ExtendedFreeSpace(root, space)) {
    return true;
  }
  return drives.FreeSpace(root, space) == platform::ERR_NONE;
}

DriveTable ScanDrives(platform::Drives& drives) {
  DriveTable table;
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    platform::DiskSpace space;
    if (!TakesGames(drives.TypeOf(root)) || !QueryDiskSpace(drives, root, space)) {
      continue;
    }
    DriveInfo& drive = table.entries[table.count++];
    drive.letter = letter;
    drive.total_bytes =
        CappedProduct(space.sectors_per_cluster, space.bytes_per_sector, space.total_clusters);
    drive.total_mb = Megabytes(drive.total_bytes);
    drive.free_bytes = CappedProduct(space.sectors_per_cluster, space.bytes_per_sector, space.free_clusters);
    drive.free_mb = Megabytes(drive.free_bytes);
    drive.cluster_size = CappedProduct(space.sectors_per_cluster, space.bytes_per_sector, 1);
  }
  return table;
}

std::uint16_t ClusterSizeIndex(std::uint32_t cluster_size) {
  for (std::uint16_t k = 1; k <= kLargestClusterIndex; ++k) {
    if (cluster_size == (1u << k)) {
      return k;
    }
  }
  return 0;
}

bool PackFitsDrive(const DriveInfo& drive, const PackSizeTable& pack_sizes) {
  return drive.free_bytes >= pack_sizes[ClusterSizeIndex(drive.cluster_size)];
}

bool PackFitsPath(const DriveTable& table, const char* path, const PackSizeTable& pack_sizes) {
  const DriveInfo* drive = path != nullptr ? table.Find(path[0]) : nullptr;
  return drive != nullptr && PackFitsDrive(*drive, pack_sizes);
}

}  // namespace vtsetup::wizard
