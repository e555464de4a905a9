#pragma once

#include <cstdint>

#include "base/text_string.h"
#include "platform/errors.h"

namespace vtsetup::platform {

// Show commands with the numbers Windows gives them.
inline constexpr std::uint32_t SHOW_HIDE = 0;
inline constexpr std::uint32_t SHOW_NORMAL = 1;
inline constexpr std::uint32_t SHOW_DEFAULT = 10;

// The restart flag of the restart request.
inline constexpr std::uint32_t RESTART_REBOOT = 2;

class Processes {
 public:
  virtual ~Processes() = default;

  // Starts a command line without waiting for the program: above 31 when it started, otherwise a
  // Windows error number (2 program not found, 3 folder not found, 11 not a program).
  virtual std::uint32_t Start(const char* command_line, std::uint32_t show) = 0;
  // Asks the system to restart; true when the request was accepted.
  virtual bool RequestRestart(std::uint32_t flags) = 0;
  // Milliseconds since the system started, wrapping at 32 bits.
  virtual std::uint32_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // The entry's last word: the exit code that the program is about to end with, so that a record of
  // the run can close with it. Nothing else follows it.
  virtual void ReportExit(std::uint32_t exit_code) = 0;
  // The command line as the program was started, as GetCommandLineA gives it: the program (quoted when
  // its path has a space), then the arguments as given.
  virtual TextString CommandLine() = 0;
  // Removes the running program's own file. The host removes it at once; Windows arranges it for the
  // system's next start, as a running program's file cannot go, and the folder that holds it for right
  // after it, which then goes only if it is empty. ERR_NONE when done or arranged.
  virtual SystemError RemoveOwnProgramFile() = 0;
};

}  // namespace vtsetup::platform
