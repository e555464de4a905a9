#pragma once

#include "platform/file_system.h"
#include "platform/registry.h"

namespace vtsetup::app {

// Where an earlier installation of the game recorded its folder, and the program that runs from there.
// The check comes before the setup database is read, so these are fixed rather than taken from it.
inline constexpr char kInstalledGameKey[] = "SOFTWARE\\Vantor Software\\Orvella\\1.0";
inline constexpr char kGameExecutable[] = "orv.exe";
// The registry value is read as into a buffer of this many bytes; a longer folder counts as none.
inline constexpr std::uint32_t kInstalledFolderBufferSize = 256;

// Whether an installed copy of the game runs now: the running game holds its executable open without
// sharing, so opening it the same way fails with a sharing violation. Every other outcome (no earlier
// installation, no executable, no access) lets the setup go on.
bool IsGameRunning(platform::Registry& registry, platform::FileSystem& files);

}  // namespace vtsetup::app
