#pragma once

#include "platform/drives.h"
#include "platform/host/files/drive_quotas.h"
#include "platform/host/machine/machine.h"

namespace vtsetup::platform::host {

// Drives as machine.ini describes them. Figures come from a drive's overrides where it has them and
// from the host's file system otherwise; a drive with a free-bytes override reports what its quota has
// left. Both queries give the same true figures, within 32-bit byte counts, unless the machine says
// otherwise:
// - CapPlainFreeSpace: the plain query reports as the systems that also have the extended one do, never
//   more than 2 GiB. Each of its counts is cut to the clusters whose bytes fit 0x7FFFFFFF, the largest
//   size that a signed 32-bit number holds: at most 0x7FFFFFFF / cluster size clusters (2 GiB less one
//   cluster for clusters of a power of two). A drive below that is reported as it is.
// - ExtendedFreeSpace = no: the extended query is missing, as on systems before FAT32; it fails and
//   leaves the figures alone, so callers fall back to the plain query.
class HostDrives final : public Drives {
 public:
  HostDrives(const Machine& machine, DriveQuotas& quotas) : machine_(machine), quotas_(quotas) {}

  DriveType TypeOf(const char* root) override;
  SystemError FreeSpace(const char* root, DiskSpace& space) override;
  bool ExtendedFreeSpace(const char* root, DiskSpace& space) override;
  SystemVersion Version() override { return machine_.Config().version; }

 private:
  // The figures of a drive with every byte count cut to `byte_limit`.
  SystemError Measure(const char* root, std::uint64_t byte_limit, DiskSpace& space);

  const Machine& machine_;
  DriveQuotas& quotas_;
};

}  // namespace vtsetup::platform::host
