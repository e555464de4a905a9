#include "platform/host/files/drive_rules.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/host/machine/host_errors.h"

namespace vtsetup::platform::host {

bool HasMedium(const DriveConfig& drive) {
  struct stat info {};
  return ::stat(drive.folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

SystemError ChangeRefusal(const Machine& machine, const std::string& host_path) {
  const DriveConfig* drive = machine.DriveHolding(host_path);
  if (drive == nullptr) {
    return ERR_NONE;
  }
  if (drive->type == DriveType::CdRom) {
    return ERR_ACCESS_DENIED;
  }
  return drive->read_only ? ERR_WRITE_PROTECT : ERR_NONE;
}

bool WouldBeMade(const std::string& host_path) {
  struct stat info {};
  return ::lstat(host_path.c_str(), &info) != 0 && errno == ENOENT && ParentFolderExists(host_path);
}

}  // namespace vtsetup::platform::host
