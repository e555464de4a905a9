#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/drives.h"
#include "setupdb/setup_info.h"

namespace vtsetup::wizard {

// Sizes are shown to the user in binary megabytes.
inline constexpr double kBytesPerMegabyte = 1048576.0;

// One drive a game can go to, with its figures as they were when the setup started.
struct DriveInfo {
  char letter = '\0';  // upper case
  // Byte counts stop at 0xFFFFFFFF: a drive of 4 GiB or more is as good as one of 4 GiB to packs whose
  // sizes are 32-bit.
  std::uint32_t total_bytes = 0;
  float total_mb = 0.0F;
  std::uint32_t free_bytes = 0;
  float free_mb = 0.0F;
  std::uint32_t cluster_size = 0;
};

// One entry for each letter from C to Z.
inline constexpr std::size_t kMaxDrives = 24;

// The fixed, removable and RAM drives in letter order, scanned once at start-up and only read after.
struct DriveTable {
  std::uint16_t count = 0;
  std::array<DriveInfo, kMaxDrives> entries{};

  std::span<const DriveInfo> Listed() const { return {entries.data(), count}; }
  // The drive of `letter` in either case, or null when the table has none.
  const DriveInfo* Find(char letter) const;
};

using PackSizeTable = std::array<std::uint32_t, PACK_SIZE_ENTRIES>;

// The four figures of a drive by its root ("C:\"). Systems whose build number (low 16 bits) is above
// 1000 cap the plain query near 2 GiB, so the extended query is asked there first and the plain one
// only when the extended one fails.
bool QueryDiskSpace(platform::Drives& drives, const char* root, platform::DiskSpace& space);

// The drives that can take files and answer the free-space query. Remote drives and CD-ROMs never
// take a game.
DriveTable ScanDrives(platform::Drives& drives);

// The entry of a pack's size table that counts for clusters of this size: k for 2^k bytes with k from
// 1 to 15; 0 (the plain sum of the file sizes) for any other size.
std::uint16_t ClusterSizeIndex(std::uint32_t cluster_size);

// Whether the pack fits on the drive: its size for the drive's clusters is no more than what is free.
bool PackFitsDrive(const DriveInfo& drive, const PackSizeTable& pack_sizes);

// Whether the pack fits on the drive that `path` begins with; false for a drive the table lacks.
bool PackFitsPath(const DriveTable& table, const char* path, const PackSizeTable& pack_sizes);

}  // namespace vtsetup::wizard
