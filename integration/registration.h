#pragma once

#include <cstdint>

#include "app/messages.h"
#include "integration/install_log.h"
#include "integration/registration_result.h"
#include "integration/shortcuts.h"
#include "platform/libraries.h"
#include "platform/registry.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// The services of the registration step, lent by the main sequence.
struct RegistrationServices {
  ShortcutServices shortcuts;
  platform::Registry& registry;
  platform::Libraries& libraries;
  app::Messages& messages;
  // The background window: the owner of the DirectX setup's own windows.
  platform::Window background_window = nullptr;
};

// After the copy: the shortcuts, the uninstall entry and the program key when the database asks for the
// uninstaller, and the DirectX setup when asked for. `setup_folder` is the setup program's folder,
// `chosen_type` the index of the installed pack. Nothing done before a failure is undone here.
std::int32_t RegisterInstallation(RegistrationServices& services, SetupInfo& info,
                                  const char* destination_folder, const char* setup_folder,
                                  std::uint32_t chosen_type, InstallLog& log);

}  // namespace vtsetup
