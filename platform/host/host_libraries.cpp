#include "platform/host/host_libraries.h"

namespace vtsetup::platform::host {

// SCAFFOLD: replaced by the library implementation.
LibraryLoad HostLibraries::Load(const char*) {
  return {nullptr, ERR_FILE_NOT_FOUND};
}

}  // namespace vtsetup::platform::host
