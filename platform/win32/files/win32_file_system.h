#pragma once

#include "platform/file_system.h"

namespace vtsetup::platform::win32 {

// Files through the ANSI calls of the system, their errors passed on as GetLastError gives them.
// Beyond the seam's words:
// - A pattern that matches nothing in a folder that is there is an empty listing with ERR_NONE (the
//   system answers ERR_FILE_NOT_FOUND); a folder that is not there gives ERR_PATH_NOT_FOUND.
// - MoveReplacing needs MoveFileExA, which the systems of the 9x family lack: there it reports their
//   ERROR_CALL_NOT_IMPLEMENTED, as no replacement in one step is to be had.
class Win32FileSystem final : public FileSystem {
 public:
  OpenResult Open(const char* path, FileAccess access, std::uint32_t share, FileCreation creation) override;
  SystemError Delete(const char* path) override;
  SystemError MoveReplacing(const char* from, const char* to) override;
  SystemError Identify(const char* path, FileIdentity& identity) override;
  SystemError CreateFolder(const char* path) override;
  SystemError RemoveFolder(const char* path) override;
  SystemError FindFiles(const char* pattern, std::vector<FoundFile>& found) override;
  TextString FullPath(const char* path) override;
  TextString CurrentFolder() override;
  SystemError SetCurrentFolder(const char* path) override;
  TextString ModulePath() override;
  TextString TempFolder() override;
  TextString ErrorText(SystemError error) override;
};

// The access that CreateFileA is asked for: the seam's small set numbers its values 1 to 3, which to
// the system would be the bare rights to read and to write data, without the rest of what reading and
// writing a file takes.
std::uint32_t CreateFileAccess(FileAccess access);

// A message of the system as one line of at most 199 characters: each run of line breaks inside it is
// one blank, and those at its ends go.
TextString OneMessageLine(const char* message);

// The running program's own file, as GetModuleFileNameA gives it whatever its length; empty when the
// system cannot tell.
TextString OwnModulePath();

}  // namespace vtsetup::platform::win32
