#pragma once

#include "platform/libraries.h"

namespace vtsetup::platform::win32 {

// Libraries through LoadLibraryA, which looks for a bare name in the system's own places; a library
// that cannot be loaded reports GetLastError (ERROR_MOD_NOT_FOUND, 126, for a missing one).
class Win32Libraries final : public Libraries {
 public:
  LibraryLoad Load(const char* path) override;
};

}  // namespace vtsetup::platform::win32
