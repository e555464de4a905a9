#pragma once

#include <cstdint>

#include "platform/system.h"

namespace vtsetup::uninstaller {

// The uninstaller from its start to its exit code: the command line read, then the run over the log it
// names. A quiet run never asks the system for its user interface.
std::int32_t DinstallEntry(platform::System& system);

}  // namespace vtsetup::uninstaller
