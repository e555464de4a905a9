#pragma once

#include <string_view>

#include "base/debug_trace.h"
#include "platform/registry.h"

namespace vtsetup::uninstaller {

// Whether the key is an entry of one of the system's lists of uninstallable programs.
bool IsUninstallEntry(std::string_view key);

// Deletes the key below HKEY_LOCAL_MACHINE with everything below it. The setup logs its uninstall
// entry under the first list whichever list holds it, so an entry goes from both lists. ERR_NONE when
// something went and nothing failed; ERR_FILE_NOT_FOUND when there was nothing to delete.
platform::SystemError DeleteRecordedKey(platform::Registry& registry, std::string_view key);

// Deletes, after the key below HKEY_LOCAL_MACHINE has gone, each of its parents that this leaves
// without subkeys and values, up to the first one that still holds something. A top-level key
// ("SOFTWARE") is never deleted, nor the system's list of uninstallable programs.
void DeleteEmptyParents(platform::Registry& registry, std::string_view key, DebugSink& debug);

}  // namespace vtsetup::uninstaller
