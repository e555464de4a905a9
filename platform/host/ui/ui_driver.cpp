#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

std::int32_t CancellingAnswer(std::uint32_t style) {
  switch (style & 0x0Fu) {
    case 1:  // OK, Cancel
    case 3:  // Yes, No, Cancel
    case 5:  // Retry, Cancel
      return 2;
    case 2:  // Abort, Retry, Ignore
      return 3;
    case 4:  // Yes, No
      return 7;
    default:
      return 1;
  }
}

}  // namespace vtsetup::platform::host
