#pragma once

#include <cstdint>

#include "base/debug_trace.h"
#include "base/text_string.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/user_interface.h"

namespace vtsetup::uninstaller {

// The uninstaller's exit codes.
inline constexpr std::int32_t EXIT_ALL_REMOVED = 0;
inline constexpr std::int32_t EXIT_SOMETHING_KEPT = 1;
inline constexpr std::int32_t EXIT_LOG_UNUSABLE = 2;  // also a command line that names no usable log
inline constexpr std::int32_t EXIT_DECLINED = 10;

struct UninstallServices {
  platform::FileSystem& files;
  platform::Registry& registry;
  platform::Processes& processes;
  platform::Shell& shell;
  DebugSink& debug;
};

// Removes what the log names, relative records taken against the log's own folder. With a user
// interface the person confirms first and hears at the end what was kept; without one (quiet) nothing
// is asked or shown, and a damaged log removes nothing.
std::int32_t RunUninstall(const UninstallServices& services, const TextString& log_path,
                          platform::UserInterface* ui);

// What a person who started the uninstaller with words it cannot use is told, naming those words in
// place of a log that could not be read.
std::int32_t ReportUnusableCommandLine(const TextString& unexpected, platform::UserInterface& ui);

}  // namespace vtsetup::uninstaller
