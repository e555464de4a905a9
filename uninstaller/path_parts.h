#pragma once

#include "base/text_string.h"

namespace vtsetup::uninstaller {

// The folder that holds `path`: everything before its last "\" or "/", keeping the separator only for a
// drive's root ("C:\"), so that joining a name to it needs one backslash and the root stays a root.
// Empty when the path names no folder.
TextString FolderOf(const TextString& path);

// `folder` + "\" where needed + `name`.
TextString Joined(const TextString& folder, const TextString& name);

}  // namespace vtsetup::uninstaller
