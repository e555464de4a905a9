#pragma once

#include "platform/drives.h"
#include "platform/host/files/drive_quotas.h"
#include "platform/host/machine/machine.h"

namespace vtsetup::platform::host {

// Drives as machine.ini describes them. Figures come from a drive's overrides where it has them and
// from the host's file system otherwise; a drive with a free-bytes override reports what its quota has
// left.
class HostDrives final : public Drives {
 public:
  HostDrives(const Machine& machine, DriveQuotas& quotas) : machine_(machine), quotas_(quotas) {}

  DriveType TypeOf(const char* root) override;
  SystemError FreeSpace(const char* root, DiskSpace& space) override;
  // The host has no older query to distrust, so both give the same figures.
  bool ExtendedFreeSpace(const char* root, DiskSpace& space) override {
    return FreeSpace(root, space) == ERR_NONE;
  }
  SystemVersion Version() override { return machine_.Config().version; }

 private:
  const Machine& machine_;
  DriveQuotas& quotas_;
};

}  // namespace vtsetup::platform::host
