#include "platform/win32/win32_system.h"

#include <windows.h>

namespace vtsetup::platform {

System& TheSystem() {
  static win32::Win32System system;
  return system;
}

bool IsTerminal(StandardStream stream) {
  // A console, as opposed to a pipe or a file that must get the program's bytes as they are.
  const HANDLE handle =
      ::GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

}  // namespace vtsetup::platform
