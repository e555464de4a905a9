#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/host/files/drive_quotas.h"
#include "platform/host/files/folder_names.h"
#include "platform/host/files/open_files.h"
#include "platform/host/machine/machine.h"

namespace vtsetup::platform::host {

// Files of the host machine with the Windows results the system relies on: paths through the drive
// map with names found regardless of case (folder_names.h keeps what that needs), creation modes, sharing
// modes, error numbers, quotas, drives without their medium and media that cannot be written (drive_rules.h),
// a folder that cannot be opened as a file, reads that fill the buffer up to the end. Only plain files are
// opened: a pipe, a socket or a device is refused at once with ERR_ACCESS_DENIED, never waited on
// (OpenPlainFile), so that one in a listed folder is listed but cannot be opened.
class HostFileSystem final : public FileSystem {
 public:
  HostFileSystem(const Machine& machine, DriveQuotas& quotas) : machine_(machine), quotas_(quotas) {}

  OpenResult Open(const char* path, FileAccess access, std::uint32_t share, FileCreation creation) override;
  SystemError Delete(const char* path) override;
  SystemError MoveReplacing(const char* from, const char* to) override;
  SystemError Identify(const char* path, FileIdentity& identity) override;
  SystemError CreateFolder(const char* path) override;
  // Beyond the common rules: a drive's own folder, and a folder that a link on the way leads out of
  // its drive, are refused with ERR_ACCESS_DENIED; a file or a link in the folder's place with
  // ERR_DIRECTORY, as Windows answers for a name that is no folder; the current folder with
  // ERR_SHARING_VIOLATION, as Windows keeps it open.
  SystemError RemoveFolder(const char* path) override;
  // Listed in the order NTFS keeps names (ASCII letters folded to upper case, ties in byte order), so a
  // script compiles to the same bytes on every machine.
  SystemError FindFiles(const char* pattern, std::vector<FoundFile>& found) override;
  TextString FullPath(const char* path) override;
  TextString CurrentFolder() override;
  SystemError SetCurrentFolder(const char* path) override;
  TextString ModulePath() override;
  TextString TempFolder() override;
  TextString ErrorText(SystemError error) override;

  // Replaces a file's whole text in one step, for writers of small files that must never leave half of
  // one (the profile writer). It meets what an open for writing meets: a drive without its medium, an
  // unwritable medium, a file the host will not let us write, a missing folder, handles that hold the
  // file (every one must share deletion, as the file is replaced), and the quota, which is charged what
  // the file grows. The text is written beside the file and renamed over it only when whole, so a
  // failure leaves the old file as it was and nothing beside it. A new file is made when none is there.
  SystemError ReplaceFileText(const char* path, std::string_view text);

 private:
  // The host file of a Windows path: ERR_PATH_NOT_FOUND on a drive the machine lacks, ERR_NOT_READY on
  // one without its medium.
  SystemError Reach(const char* path, ResolvedPath& resolved);
  SystemError Reach(const char* path, std::string& host_path);
  // ERR_SHARING_VIOLATION while a handle of this process that does not share deletion, or another
  // process that holds the file unshared, keeps the file from going away.
  SystemError HeldAgainstDeletion(const std::string& host_path, const struct stat& info);

  const Machine& machine_;
  DriveQuotas& quotas_;
  OpenFiles open_files_;
  FolderNames folder_names_;
};

}  // namespace vtsetup::platform::host
