#pragma once

#include "base/text_string.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "setupdb/setup_info.h"

namespace vtsetup::wizard {

// The registry value holding the installed game's folder is read as into a buffer of this many bytes.
inline constexpr std::uint32_t kInstalledGameFolderBufferSize = 256;

// Whether a copy of this game is installed: the program key that an earlier installation wrote names
// its folder, and the database's executable there can be opened. On true `installed_game_path` holds the
// executable; when the executable cannot be opened it is emptied; when the key or its folder cannot be
// read it keeps what it held.
bool FindInstalledGame(const SetupInfo& info, platform::Registry& registry, platform::FileSystem& files,
                       TextString& installed_game_path);

}  // namespace vtsetup::wizard
