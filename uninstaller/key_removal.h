#pragma once

#include <string_view>

#include "base/debug_trace.h"
#include "platform/registry.h"

namespace vtsetup::uninstaller {

// Deletes, after the key below HKEY_LOCAL_MACHINE has gone, each of its parents that this leaves
// without subkeys and values, up to the first one that still holds something. A top-level key
// ("SOFTWARE") is never deleted, nor the system's list of uninstallable programs.
void DeleteEmptyParents(platform::Registry& registry, std::string_view key, DebugSink& debug);

}  // namespace vtsetup::uninstaller
