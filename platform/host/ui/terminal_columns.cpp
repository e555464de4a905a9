#include "platform/host/ui/terminal_columns.h"

#include <sys/ioctl.h>

namespace vtsetup::platform::host {

std::size_t TerminalColumns(int descriptor) {
  winsize size{};
  if (::ioctl(descriptor, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
    return kDefaultTerminalColumns;
  }
  return size.ws_col;
}

}  // namespace vtsetup::platform::host
