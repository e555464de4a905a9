#pragma once

#include "base/text_string.h"

namespace vtsetup::uninstaller {

// The folder that holds `path`: everything before its last "\" or "/", keeping the separator only for a
// drive's root ("C:\"), so that joining a name to it needs one backslash and the root stays a root.
// Empty when the path names no folder.
TextString FolderOf(const TextString& path);

// The path without the separators that end it, a drive's root ("C:\") kept whole.
TextString WithoutClosingSeparators(TextString path);

}  // namespace vtsetup::uninstaller
