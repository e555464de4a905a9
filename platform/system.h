#pragma once

#include "base/debug_trace.h"
#include "platform/file_system.h"
#include "platform/profile.h"

namespace vtsetup::platform {

// Everything the programs ask of the operating system, one service at a time. Rooms above the
// platform take the services they need as parameters; only the programs' entries ask for the whole.
class System {
 public:
  virtual ~System() = default;
  virtual FileSystem& Files() = 0;
  virtual Profile& Profiles() = 0;
  virtual DebugSink& Debug() = 0;
};

// The system this program runs on; defined by the adapter that the build links.
System& TheSystem();

}  // namespace vtsetup::platform
