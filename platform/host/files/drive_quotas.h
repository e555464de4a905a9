#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/host/machine/machine.h"

namespace vtsetup::platform::host {

// The space used on drives whose machine.ini gives free bytes. The given figure is the room of the
// empty drive; what the drive's folder holds counts against it, each file rounded up to whole clusters
// as a real volume would allocate it. The folder is measured once, on first need, and afterwards every
// write, truncation and deletion of this process is counted as it happens.
class DriveQuotas {
 public:
  explicit DriveQuotas(const Machine& machine) : machine_(machine) {}

  // Whether the drive holding the host file has a quota. Measures the drive on first need, so call it
  // before changing a file there: what the folder held before the change is then counted once.
  bool Prepare(const std::string& host_path);
  // The size that a file of `old_size` bytes may grow to on the way to `wanted_size`: all of it when
  // the quota has room, else as far as the remaining clusters reach. The growth is counted as used.
  std::uint64_t Grow(const std::string& host_path, std::uint64_t old_size, std::uint64_t wanted_size);
  // A file shrank or went away.
  void Shrink(const std::string& host_path, std::uint64_t old_size, std::uint64_t new_size);
  // Bytes still free on a drive with a quota.
  std::uint64_t FreeBytes(const DriveConfig& drive);
  std::uint32_t ClusterSize(const DriveConfig& drive) const;

 private:
  std::uint64_t& UsedLocked(const DriveConfig& drive);

  const Machine& machine_;
  std::mutex mutex_;
  std::map<char, std::uint64_t> used_;
};

}  // namespace vtsetup::platform::host
