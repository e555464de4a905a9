#pragma once

#include <memory>

#include "platform/file_system.h"
#include "platform/profile.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// Results of compiling a setup script.
inline constexpr int COMPILE_OK = 0;
inline constexpr int COMPILE_MISSING_SECTION = 1;  // Proginfo, Options, Bitmaps or Sources missing or empty
inline constexpr int COMPILE_CANNOT_OPEN = 2;      // the script, a source file or a temporary file
inline constexpr int COMPILE_MISSING_KEY = 3;
inline constexpr int COMPILE_BAD_ENTRY = 4;  // a malformed list entry

// Compiles the script into a database tree. The tree is handed out as soon as the script could be
// opened, also when a later step fails; then it is incomplete and must not be written. Progress and
// every error are reported in German on the standard output. Relative source paths are taken from
// the current folder.
int CompileScript(platform::FileSystem& files, platform::Profile& profile, const char* script_path,
                  std::unique_ptr<SetupInfo>& info);

}  // namespace vtsetup
