#pragma once

#include "platform/registry.h"

namespace vtsetup::platform::win32 {

// HKEY_LOCAL_MACHINE through the ANSI registry calls, their errors passed on. Beyond the seam's words:
// - QueryString delivers REG_SZ and REG_EXPAND_SZ data as stored (nothing expanded); a value of any
//   other type reports ERR_FILE_NOT_FOUND, as the host does: no such string. A string stored without
//   its terminating zero ends where its data ends.
// - A key opened for reading refuses Create with ERR_ACCESS_DENIED even where the subkey exists, which
//   the system itself would open.
// - DeleteKeyTree removes the subkeys depth first, as the systems we run on have no call for a whole
//   tree; a subkey that cannot go stops it with that subkey's error, leaving the rest as it was.
class Win32Registry final : public Registry {
 public:
  KeyOpen Open(const char* path, RegistryAccess access) override;
  SystemError DeleteKeyTree(const char* path) override;
};

}  // namespace vtsetup::platform::win32
