#pragma once

#include <memory>

#include "compiler/compile_result.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// Compiles the script into a database tree. The tree is handed out as soon as the script could be
// opened, also when a later step fails; then it is incomplete and must not be written. Progress and
// every error are reported in German on the standard output. Relative source paths are taken from
// the current folder.
CompileResult CompileScript(platform::FileSystem& files, platform::Profile& profile, const char* script_path,
                            std::unique_ptr<SetupInfo>& info);

}  // namespace vtsetup
