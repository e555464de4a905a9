// The setup program: installs the game from the medium it lies on.
#include "app/setup_entry.h"
#include "platform/system.h"

int main() {
  vtsetup::platform::System& system = vtsetup::platform::TheSystem();
  const std::int32_t exit_code = vtsetup::app::SetupEntry(system);
  system.Programs().ReportExit(static_cast<std::uint32_t>(exit_code));
  return exit_code;
}
