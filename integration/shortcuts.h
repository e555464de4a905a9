#pragma once

#include <cstdint>

#include "base/debug_trace.h"
#include "base/text_string.h"
#include "integration/install_log.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// The services the Start-menu and desktop shortcuts are made with.
struct ShortcutServices {
  platform::Shell& shell;
  platform::Profile& profile;
  platform::FileSystem& files;
  // The string table, for the uninstall shortcut's name.
  platform::UserInterface& ui;
  DebugSink& debug;
};

// Every operation reports the path it made through `reported`, when given, as a caller's buffer of
// `buffer_size` bytes would hold it: a path that does not fit with its zero is not reported and the
// result is SHELL_INVALID_ARGUMENT, although the file has been made by then.
struct PathReport {
  TextString* path = nullptr;
  std::uint32_t buffer_size = 0;
};

// The buffer that the shortcut step hands to every operation.
inline constexpr std::uint32_t kShortcutPathBufferSize = 500;

// One ".LNK" file at `link_path` that starts `target`. A target in double quotes is stored without
// them, since the link object would otherwise take it for a path relative to the current drive.
platform::ShellResult CreateShellLink(platform::Shell& shell, const char* link_path, const char* target,
                                      const char* description);
// One ".URL" file: section "InternetShortcut", key "URL". SHELL_FAIL when it cannot be written.
platform::ShellResult WriteInternetShortcut(platform::Profile& profile, const char* file_path,
                                            const char* url);

// The group folder in the Start menu's Programs folder; an existing folder is fine. SHELL_FAIL when
// the Programs folder is unknown.
platform::ShellResult CreateProgramGroup(ShortcutServices& services, const char* group_name,
                                         PathReport reported);
// Programs folder\group\name.LNK.
platform::ShellResult CreateGroupShortcut(ShortcutServices& services, const char* name, const char* target,
                                          const char* description, const char* group_name,
                                          PathReport reported);
// Desktop\name.LNK.
platform::ShellResult CreateDesktopShortcut(ShortcutServices& services, const char* name, const char* target,
                                            const char* description, PathReport reported);
// Programs folder\group\name.URL.
platform::ShellResult CreateUrlShortcut(ShortcutServices& services, const char* name, const char* url,
                                        const char* group_name, PathReport reported);

// Whether a group or shortcut name from the database would put its file anywhere but inside the
// Programs or Desktop folder: empty, a ".." component, a drive or stream colon, or a leading separator.
// The uninstaller removes what the log names, so such a name must never reach the disk or the log.
bool LeavesItsFolder(const char* name);

// The program group, the chosen pack's Start-menu, desktop and internet shortcuts and, when the
// database asks for the uninstaller, its shortcut in the group, each recorded in the log. Nothing is
// made without a group name. Failures are silent, as nothing later depends on a shortcut; a name that
// leaves its folder is skipped with a trace line. `pack` may be null for a pack without shortcuts.
void MakeShortcuts(ShortcutServices& services, const SetupInfo& info, const PackInfo* pack,
                   const char* destination_folder, InstallLog& log);

}  // namespace vtsetup
