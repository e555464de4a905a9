#pragma once

#include <span>

#include "base/debug_trace.h"
#include "base/text_string.h"
#include "platform/file_system.h"

namespace vtsetup::uninstaller {

// The setup makes every missing level above the game's folder without logging it, so once the game's
// folder is gone, the levels above it that are left empty go too, up to the first one that holds
// anything. A drive's root and the folders the system names (`system_folders`: the program files, the
// Start menu's, the desktop, the temporary folder) stay even when empty: other programs expect them.
void RemoveEmptyFoldersAbove(const TextString& destination, std::span<const TextString> system_folders,
                             platform::FileSystem& files, DebugSink& debug);

}  // namespace vtsetup::uninstaller
