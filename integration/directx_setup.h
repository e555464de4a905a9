#pragma once

#include <cstdint>

#include "app/messages.h"
#include "platform/libraries.h"
#include "platform/user_interface.h"

namespace vtsetup {

// What the DirectX setup library answers: done, done but Windows must restart, the user cancelled;
// anything else is a failure.
inline constexpr std::int32_t DIRECTX_SETUP_OK = 0;
inline constexpr std::int32_t DIRECTX_SETUP_RESTART = 1;
inline constexpr std::int32_t DIRECTX_SETUP_CANCELLED = -12;

// The DirectX core together with the display and sound drivers: everything the game needs.
inline constexpr std::uint32_t kDirectXSetupFlags = 0x10018;

// Runs "DirectXSetupA" of "DSETUP.DLL" in the medium's DirectX folder (`directx_folder`, relative to
// `setup_folder`) and waits for it. Gives a result of `RegisterInstallation`: done, done with restart,
// cancelled or failed; or missing, after message 5012 named the library, when the library cannot be
// loaded or lacks the function, since either way there is nothing to run.
std::int32_t RunDirectXSetup(platform::Libraries& libraries, app::Messages& messages, platform::Window owner,
                             const char* setup_folder, const char* directx_folder);

}  // namespace vtsetup
