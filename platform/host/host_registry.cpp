#include "platform/host/host_registry.h"

namespace vtsetup::platform::host {

// SCAFFOLD: replaced by the registry file implementation.
KeyOpen HostRegistry::Open(const char*, RegistryAccess) {
  return {nullptr, ERR_FILE_NOT_FOUND};
}

}  // namespace vtsetup::platform::host
