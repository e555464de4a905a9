#include "platform/win32/processes/win32_processes.h"

#include <windows.h>

#include "platform/win32/filled_text.h"
#include "platform/win32/last_error.h"
#include "platform/win32/os_version.h"
#include "platform/win32/processes/shutdown_privilege.h"
#include "platform/win32/processes/wininit_rename.h"

namespace vtsetup::platform::win32 {
namespace {

// The folder that holds a file, or nothing when the file lies in a drive's root, whose name without
// its backslash ("C:") would mean that drive's current folder instead.
TextString HoldingFolder(const TextString& path) {
  const std::int32_t separator = path.FindLast('\\');
  if (separator <= 0) {
    return {};
  }
  TextString folder = path.Left(static_cast<std::uint32_t>(separator));
  return folder.At(folder.Length() - 1) == ':' ? TextString() : folder;
}

SystemError ScheduleThroughWininit(FileSystem& files, const TextString& path) {
  const TextString short_path = TextOfNeededSize(
      [&](char* buffer, DWORD size) { return ::GetShortPathNameA(path.Data(), buffer, size); });
  if (short_path.IsEmpty()) {
    return LastErrorOr(ERR_FILE_NOT_FOUND);
  }
  TextString wininit =
      TextOfNeededSize([](char* buffer, DWORD size) { return ::GetWindowsDirectoryA(buffer, size); });
  if (wininit.IsEmpty()) {
    return LastErrorOr(ERR_PATH_NOT_FOUND);
  }
  wininit.EnsureTrailingBackslash();
  wininit.Append("WININIT.INI");
  return ScheduleDeletionInWininit(files, wininit.Data(), short_path.Data());
}

}  // namespace

std::uint32_t Win32Processes::Start(const char* command_line, std::uint32_t show) {
  return ::WinExec(command_line, show);
}

bool Win32Processes::RequestRestart(std::uint32_t flags) {
  // Without the privilege the NT family refuses; whether it could be turned on shows in that answer.
  if (IsNtFamily()) {
    EnableShutdownPrivilege();
  }
  return ::ExitWindowsEx(flags, 0) != 0;
}

std::uint32_t Win32Processes::TickCount() {
  return ::GetTickCount();
}

void Win32Processes::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

void Win32Processes::ReportExit(std::uint32_t) {}

TextString Win32Processes::CommandLine() {
  return TextString(::GetCommandLineA());
}

SystemError Win32Processes::RemoveOwnProgramFile() {
  const TextString path = OwnModulePath();
  if (path.IsEmpty()) {
    return LastErrorOr(ERR_FILE_NOT_FOUND);
  }
  if (::MoveFileExA(path.Data(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    // After the file, so that the folder is empty when its turn comes; a folder that still holds
    // anything then stays, so a failure here costs nothing but the empty folder.
    if (const TextString folder = HoldingFolder(path); !folder.IsEmpty()) {
      ::MoveFileExA(folder.Data(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    return ERR_NONE;
  }
  const SystemError error = LastErrorOr(ERR_ACCESS_DENIED);
  return error == ERROR_CALL_NOT_IMPLEMENTED ? ScheduleThroughWininit(files_, path) : error;
}

}  // namespace vtsetup::platform::win32
