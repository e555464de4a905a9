#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vtsetup::uninstaller {

// What a log may make us remove. A log is a file anyone can write, so each text is checked before it
// becomes a path or a key: nothing outside what the installation could have made is ever touched.

// Whether a relative record's text names something inside the destination folder: no drive, no leading
// separator, no component that Windows would read as "." or ".." (dots and blanks only, which it trims
// to those). A directory may be "." (the destination itself) and may end in a separator.
bool StaysInDestination(std::string_view text, bool directory);

// Whether an absolute file record names a shortcut file (".lnk", ".url" or ".pif" in any case) by a full
// path "X:\...", without components that climb.
bool IsShortcutFilePath(std::string_view path);

// The key's path below HKEY_LOCAL_MACHINE, without a trailing backslash, when the text names a key that
// a setup makes: below SOFTWARE ("SOFTWARE\X" at least), and below SOFTWARE\Microsoft only an entry of
// a list of uninstallable programs. Nothing for any other text: a log must not take the system's own
// keys with it.
std::optional<std::string> KeyBelowLocalMachine(std::string_view key);

// Whether a group name names a folder below the Programs folder: one folder, or nested folders
// separated by "\", none of them climbing, with no drive and no "/".
bool IsGroupName(std::string_view group);

}  // namespace vtsetup::uninstaller
