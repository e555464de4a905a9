#pragma once

#include <cstdint>

namespace vtsetup {

// What `RegisterInstallation` tells the main sequence, with the numbers the run's exit codes use.
inline constexpr std::int32_t REGISTER_DONE = 0;
inline constexpr std::int32_t REGISTER_DONE_RESTART = 16;
inline constexpr std::int32_t REGISTER_UNINSTALL_ENTRY_FAILED = 14;
inline constexpr std::int32_t REGISTER_DIRECTX_MISSING = 15;
inline constexpr std::int32_t REGISTER_DIRECTX_CANCELLED = 10;
inline constexpr std::int32_t REGISTER_DIRECTX_FAILED = 9;

}  // namespace vtsetup
