#include "platform/host/host_shell.h"

namespace vtsetup::platform::host {

// SCAFFOLD: replaced by the shell implementation.
TextString HostShell::FolderPath(SpecialFolder) {
  return TextString();
}
ShellLinkMade HostShell::NewShellLink() {
  return {nullptr, SHELL_FAIL};
}

}  // namespace vtsetup::platform::host
