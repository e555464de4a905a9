// The uninstaller: removes what an installation recorded in its log.
#include "platform/system.h"
#include "uninstaller/dinstall_entry.h"

int main() {
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  const std::int32_t exit_code = vtsetup::uninstaller::DinstallEntry(system);
  system.Programs().ReportExit(static_cast<std::uint32_t>(exit_code));
  return exit_code;
}
