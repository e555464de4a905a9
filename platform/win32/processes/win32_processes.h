#pragma once

#include "platform/processes.h"
#include "platform/win32/files/win32_file_system.h"

namespace vtsetup::platform::win32 {

// Programs, time and the restart request through the system. Beyond the seam's words:
// - RequestRestart turns on the shutdown privilege first on the NT family, which refuses the request
//   without it.
// - ReportExit does nothing: the process's exit code is the whole report on Windows.
// - RemoveOwnProgramFile arranges the deletion for the system's next start: on the NT family with
//   MoveFileExA, together with the folder that holds the program, which then goes only if it is empty
//   (the game's folder, which the uninstaller empties but for its own file); on the 9x family, which
//   lacks that call, with a line in WININIT.INI of the Windows folder for the file alone.
class Win32Processes final : public Processes {
 public:
  std::uint32_t Start(const char* command_line, std::uint32_t show) override;
  bool RequestRestart(std::uint32_t flags) override;
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
  void ReportExit(std::uint32_t exit_code) override;
  TextString CommandLine() override;
  SystemError RemoveOwnProgramFile() override;

 private:
  Win32FileSystem files_;
};

}  // namespace vtsetup::platform::win32
