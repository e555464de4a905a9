#pragma once

#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/graphics.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/user_interface.h"

namespace vtsetup::wizard {

// The services of the system that the pages use.
struct PageServices {
  platform::UserInterface& ui;
  platform::FileSystem& files;
  platform::Profile& profiles;
  platform::Registry& registry;
  platform::Drives& drives;
  platform::Graphics& graphics;
};

}  // namespace vtsetup::wizard
