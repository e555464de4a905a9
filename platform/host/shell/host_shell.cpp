#include "platform/host/shell/host_shell.h"

#include "platform/host/shell/host_shell_link.h"

namespace vtsetup::platform::host {

TextString HostShell::FolderPath(SpecialFolder folder) {
  const MachineConfig& config = machine_.Config();
  const std::string* configured = folder == SpecialFolder::Programs  ? &config.programs_folder
                                  : folder == SpecialFolder::Desktop ? &config.desktop_folder
                                                                     : nullptr;
  if (configured == nullptr) {
    return TextString();
  }
  std::string path = machine_.FullWindowsPath(configured->c_str());
  if (path.size() > 3 && path.back() == '\\') {
    path.pop_back();
  }
  return TextString(path.c_str());
}

ShellLinkMade HostShell::NewShellLink() {
  return {std::make_unique<HostShellLink>(machine_, files_), SHELL_OK};
}

}  // namespace vtsetup::platform::host
