#include "platform/host/files/drive_quotas.h"

#include <filesystem>

namespace vtsetup::platform::host {
namespace {

constexpr std::uint32_t kDefaultClusterSize = 4096;

std::uint64_t Clusters(std::uint64_t bytes, std::uint32_t cluster_size) {
  return (bytes + cluster_size - 1) / cluster_size;
}

}  // namespace

std::uint32_t DriveQuotas::ClusterSize(const DriveConfig& drive) const {
  return drive.cluster_size.value_or(kDefaultClusterSize);
}

bool DriveQuotas::Prepare(const std::string& host_path) {
  const DriveConfig* drive = machine_.DriveHolding(host_path);
  if (drive == nullptr || !drive->free_bytes) {
    return false;
  }
  const std::lock_guard lock(mutex_);
  UsedLocked(*drive);
  return true;
}

std::uint64_t& DriveQuotas::UsedLocked(const DriveConfig& drive) {
  const auto known = used_.find(drive.letter);
  if (known != used_.end()) {
    return known->second;
  }
  std::uint64_t used = 0;
  std::error_code error;
  const std::uint32_t cluster = ClusterSize(drive);
  for (auto walk = std::filesystem::recursive_directory_iterator(
           drive.folder, std::filesystem::directory_options::skip_permission_denied, error);
       !error && walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
    std::error_code size_error;
    if (walk->is_regular_file(size_error)) {
      const std::uint64_t size = walk->file_size(size_error);
      used += size_error ? 0 : Clusters(size, cluster) * cluster;
    }
  }
  return used_.emplace(drive.letter, used).first->second;
}

std::uint64_t DriveQuotas::FreeBytes(const DriveConfig& drive) {
  const std::lock_guard lock(mutex_);
  const std::uint64_t used = UsedLocked(drive);
  const std::uint64_t room = drive.free_bytes.value_or(0);
  return used < room ? room - used : 0;
}

std::uint64_t DriveQuotas::Grow(const std::string& host_path, std::uint64_t old_size,
                                std::uint64_t wanted_size) {
  const DriveConfig* drive = machine_.DriveHolding(host_path);
  if (drive == nullptr || !drive->free_bytes || wanted_size <= old_size) {
    return wanted_size;
  }
  const std::lock_guard lock(mutex_);
  std::uint64_t& used = UsedLocked(*drive);
  const std::uint32_t cluster = ClusterSize(*drive);
  const std::uint64_t room = *drive->free_bytes;
  const std::uint64_t free_clusters = used < room ? (room - used) / cluster : 0;
  const std::uint64_t old_clusters = Clusters(old_size, cluster);
  const std::uint64_t wanted_clusters = Clusters(wanted_size, cluster);
  const std::uint64_t granted_clusters = std::min(wanted_clusters - old_clusters, free_clusters);
  used += granted_clusters * cluster;
  return granted_clusters == wanted_clusters - old_clusters
             ? wanted_size
             : std::max(old_size, (old_clusters + granted_clusters) * cluster);
}

void DriveQuotas::Shrink(const std::string& host_path, std::uint64_t old_size, std::uint64_t new_size) {
  const DriveConfig* drive = machine_.DriveHolding(host_path);
  if (drive == nullptr || !drive->free_bytes || new_size >= old_size) {
    return;
  }
  const std::lock_guard lock(mutex_);
  std::uint64_t& used = UsedLocked(*drive);
  const std::uint32_t cluster = ClusterSize(*drive);
  const std::uint64_t freed = (Clusters(old_size, cluster) - Clusters(new_size, cluster)) * cluster;
  used = freed < used ? used - freed : 0;
}

}  // namespace vtsetup::platform::host
