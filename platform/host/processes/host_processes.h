#pragma once

#include "platform/file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/processes.h"

namespace vtsetup::platform::host {

// Program starts and restart requests of a host run. A started program's Windows path is mapped to the
// host and run there when its content is a host program (an ELF image or a "#!" script), with the rest
// of the line as its arguments and the show command in VTSETUP_SHOW; a Windows program that the host
// cannot run counts as started. Every start, every restart request and the exit code are one line of
// the transcript each, with the command line as given:
//   program started: show 1: C:\G\game.exe -x
//   program not started (error 2): show 1: C:\G\missing.exe
//   restart requested: flags 2: accepted        (or: refused, as machine.ini says)
//   exit code 0
//   own program file removed: C:\G\dinstall.exe     (or: not removed (error 5): ...)
// The command line is made from the program's module path and the arguments it was started with,
// quoted so that the Windows rules split it into those arguments again. The program's own file goes
// at once, through the file system's rules, since the host lets a running program's file go.
class HostProcesses final : public Processes {
 public:
  HostProcesses(const Machine& machine, FileSystem& files) : machine_(machine), files_(files) {}

  std::uint32_t Start(const char* command_line, std::uint32_t show) override;
  bool RequestRestart(std::uint32_t flags) override;
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
  void ReportExit(std::uint32_t exit_code) override;
  TextString CommandLine() override;
  SystemError RemoveOwnProgramFile() override;

 private:
  const Machine& machine_;
  FileSystem& files_;
};

}  // namespace vtsetup::platform::host
