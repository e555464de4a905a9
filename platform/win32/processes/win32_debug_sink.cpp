#include "platform/win32/processes/win32_debug_sink.h"

#include <windows.h>

namespace vtsetup::platform::win32 {

void Win32DebugSink::Send(const char* line) {
  ::OutputDebugStringA(line);
}

}  // namespace vtsetup::platform::win32
