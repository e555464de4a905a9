#include "platform/host/files/drive_rules.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

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

SystemError LinkRefusal(const Machine& machine, const std::string& host_path) {
  const std::size_t slash = host_path.find_last_of('/');
  const std::string folder = slash == 0 ? "/" : host_path.substr(0, slash);
  std::vector<char> resolved(PATH_MAX + 1);
  if (slash == std::string::npos || ::realpath(folder.c_str(), resolved.data()) == nullptr) {
    return ERR_NONE;
  }
  const DriveConfig* named = machine.DriveHolding(host_path);
  return named == nullptr || machine.DriveHolding(resolved.data()) == named ? ERR_NONE : ERR_ACCESS_DENIED;
}

bool WouldBeMade(const std::string& host_path) {
  struct stat info {};
  return ::lstat(host_path.c_str(), &info) != 0 && errno == ENOENT && ParentFolderExists(host_path);
}

}  // namespace vtsetup::platform::host
