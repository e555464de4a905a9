#pragma once

#include <string>

#include "base/debug_trace.h"
#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/graphics.h"
#include "platform/libraries.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/threads.h"
#include "platform/user_interface.h"

namespace vtsetup::platform {

// The exit code of a run whose system cannot serve it (a host machine's settings or answers that
// cannot be used): the configuration error of the BSD exit codes, apart from every code that the
// programs themselves give.
inline constexpr int EXIT_SYSTEM_UNUSABLE = 78;

// Everything the programs ask of the operating system, one service at a time. Rooms above the
// platform take the services they need as parameters; only the programs' entries ask for the whole.
class System {
 public:
  virtual ~System() = default;
  virtual FileSystem& Files() = 0;
  virtual Profile& Profiles() = 0;
  virtual Drives& Disks() = 0;
  virtual Registry& LocalMachine() = 0;
  virtual Processes& Programs() = 0;
  virtual Libraries& Modules() = 0;
  virtual Shell& UserShell() = 0;
  // Made on first use, by the thread that will pump its messages. Null when the system cannot show
  // anything (a host run's answers file that cannot be used); `UiProblem` then says why, and the
  // program's entry decides how the run ends.
  virtual UserInterface* Ui() = 0;
  virtual std::string UiProblem() = 0;
  virtual Graphics& Pictures() = 0;
  virtual DebugSink& Debug() = 0;
  // Qualified: the member's own name would otherwise stand for the type inside the class.
  virtual platform::Threads& Threads() = 0;
};

// The system this program runs on; defined by the adapter that the build links.
System& TheSystem();

enum class StandardStream { Output, Error };

// Whether a standard stream of this process reaches a terminal, where a person reads it, rather than a
// pipe or a file that must get the program's bytes as they are. Needs no machine, so a program may ask
// before anything else.
bool IsTerminal(StandardStream stream);

}  // namespace vtsetup::platform
