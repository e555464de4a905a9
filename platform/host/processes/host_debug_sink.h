#pragma once

#include "base/debug_trace.h"

namespace vtsetup::platform::host {

// The debugger output of a host run: lines are appended to the file named by VTSETUP_DEBUG, and go
// nowhere when it is unset. Each line is one append, so the workers' lines never interleave.
class HostDebugSink final : public DebugSink {
 public:
  void Send(const char* line) override;
};

}  // namespace vtsetup::platform::host
