#pragma once

#include <cstdint>

#include "platform/system.h"

namespace vtsetup::app {

// The setup program from its start to its exit code: the running-game check before anything is shown,
// the wait cursor, the setup folder made current, and the main sequence over the run's windows.
std::int32_t SetupEntry(platform::System& system);

}  // namespace vtsetup::app
