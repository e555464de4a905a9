#include "platform/win32/os_version.h"

namespace vtsetup::platform::win32 {

static_assert(sizeof(OSVERSIONINFOA) == 148);

OSVERSIONINFOA SystemVersionRecord() {
  OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = sizeof(record);
  if (!::GetVersionExA(&record)) {
    return OSVERSIONINFOA{};
  }
  return record;
}

bool IsNtFamily() {
  return SystemVersionRecord().dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace vtsetup::platform::win32
