#pragma once

#include <optional>

#include "base/text_string.h"
#include "platform/registry.h"

// Keys of HKEY_LOCAL_MACHINE that every Windows has and that the setup and the uninstaller both use.
namespace vtsetup::windows_keys {

// Where Windows keeps its settings; systems of the NT line may have only the second.
inline constexpr char kVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kVersionNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr char kProgramFilesValue[] = "ProgramFilesDir";
// The lists of uninstallable programs, one below each of them.
inline constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallListNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall";

// The program-files folder as the first of the two version keys that exists names it; nothing when it
// names none, or an empty one, which would put a game below whatever folder is current.
std::optional<TextString> RegisteredProgramFilesFolder(platform::Registry& registry);

}  // namespace vtsetup::windows_keys
