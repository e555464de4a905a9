#include "platform/host/host_system.h"

namespace vtsetup::platform {

System& TheSystem() {
  static host::HostSystem system;
  return system;
}

}  // namespace vtsetup::platform
