#pragma once

#include <windows.h>

#include "platform/errors.h"

namespace vtsetup::platform::win32 {

// The thread's last error after a call that failed; `otherwise` when the system set none, which some
// calls of the older systems leave behind, so that a failure is never reported as ERR_NONE.
inline SystemError LastErrorOr(SystemError otherwise) {
  const DWORD error = ::GetLastError();
  return error != NO_ERROR ? error : otherwise;
}

}  // namespace vtsetup::platform::win32
