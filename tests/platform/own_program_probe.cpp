// Tells what the system knows of this program and then removes its own file, as the uninstaller does
// last, so that a test can check both from outside:
//
//   own_program_probe ARGUMENTS...
//
// writes to the host file that VTSETUP_PROBE_OUTPUT names, in one step, the lines
//   the command line
//   the module path before the removal
//   the removal's error number
//   the module path after it
// and exits with 0.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/system.h"

int main() {
  using vtsetup::platform::TheSystem;
  const char* output = std::getenv("VTSETUP_PROBE_OUTPUT");
  if (output == nullptr) {
    std::fprintf(stderr, "own_program_probe: VTSETUP_PROBE_OUTPUT names no file\n");
    return 2;
  }
  vtsetup::platform::System& system = TheSystem();
  const std::string line = system.Programs().CommandLine().Data();
  const std::string module_before = system.Files().ModulePath().Data();
  const unsigned removal = system.Programs().RemoveOwnProgramFile();
  const std::string module_after = system.Files().ModulePath().Data();

  const std::string aside = std::string(output) + ".part";
  std::FILE* file = std::fopen(aside.c_str(), "wb");
  if (file == nullptr) {
    return 2;
  }
  std::fprintf(file, "%s\n%s\n%u\n%s\n", line.c_str(), module_before.c_str(), removal, module_after.c_str());
  if (std::fclose(file) != 0 || std::rename(aside.c_str(), output) != 0) {
    return 2;
  }
  return 0;
}
