#pragma once

#include "base/debug_trace.h"

namespace vtsetup::platform::win32 {

// Trace lines to the debugger's output, where a developer watching the installation reads them.
class Win32DebugSink final : public DebugSink {
 public:
  void Send(const char* line) override;
};

}  // namespace vtsetup::platform::win32
