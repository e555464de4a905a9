#include "base/debug_trace.h"

#include <cstdarg>

#include "base/text_string.h"

namespace vtsetup {

void DebugTrace(DebugSink& sink, const char* format, ...) {
  TextString line;
  std::va_list args;
  va_start(args, format);
  line.FormatList(format, args);
  va_end(args);
  line.Append("\r\n");
  sink.Send(line.Data());
}

}  // namespace vtsetup
