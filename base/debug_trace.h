#pragma once

#include "base/printf_format.h"

namespace vtsetup {

// Where trace lines go: the operating system's debugger output. The platform supplies the real one.
class DebugSink {
 public:
  virtual ~DebugSink() = default;
  // One complete line, line end included.
  virtual void Send(const char* line) = 0;
};

// Formats one trace line with printf rules, ends it with "\r\n" and hands it to the sink. Never fails
// visibly: the trace is for a developer watching the installation, not for the user.
void DebugTrace(DebugSink& sink, const char* format, ...) VT_PRINTF_FORMAT(2, 3);

}  // namespace vtsetup
