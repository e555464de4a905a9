#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/host/files/drive_quotas.h"
#include "platform/host/files/open_files.h"
#include "platform/host/machine/machine.h"

namespace vtsetup::platform::host {

// Files of the host machine with the Windows results the system relies on: paths through the drive
// map with names found regardless of case, creation modes, sharing modes, error numbers, quotas, drives
// without their medium and media that cannot be written (drive_rules.h), a folder that cannot be opened
// as a file, reads that fill the buffer up to the end.
class HostFileSystem final : public FileSystem {
 public:
  HostFileSystem(const Machine& machine, DriveQuotas& quotas) : machine_(machine), quotas_(quotas) {}

  OpenResult Open(const char* path, FileAccess access, std::uint32_t share, FileCreation creation) override;
  SystemError Delete(const char* path) override;
  SystemError CreateFolder(const char* path) override;
  // Listed in the order NTFS keeps names (ASCII letters folded to upper case, ties in byte order), so a
  // script compiles to the same bytes on every machine.
  SystemError FindFiles(const char* pattern, std::vector<FoundFile>& found) override;
  TextString FullPath(const char* path) override;
  TextString CurrentFolder() override;
  SystemError SetCurrentFolder(const char* path) override;
  TextString ModulePath() override;
  TextString TempFolder() override;
  TextString ErrorText(SystemError error) override;

 private:
  // The host file of a Windows path: ERR_PATH_NOT_FOUND on a drive the machine lacks, ERR_NOT_READY on
  // one without its medium.
  SystemError Reach(const char* path, std::string& host_path) const;

  const Machine& machine_;
  DriveQuotas& quotas_;
  OpenFiles open_files_;
};

}  // namespace vtsetup::platform::host
