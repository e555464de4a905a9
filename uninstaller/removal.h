#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/debug_trace.h"
#include "base/text_string.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "uninstaller/removal_plan.h"

namespace vtsetup::uninstaller {

// Why something the log names is still there.
enum class KeptReason : std::uint8_t {
  InUse,     // a sharing violation that outlasted the retries
  NotEmpty,  // a folder that holds what the installation did not make
  Outside,   // a record we refused to act on
  Failed,    // any other error, with its number
};

struct KeptItem {
  TextString shown;
  KeptReason reason;
  platform::SystemError error = platform::ERR_NONE;  // for Failed
};

// How often a file in use is tried before it is kept, and the pause between tries: long enough for a
// game or a virus scanner that is just letting go of it, short enough that nobody waits in vain.
inline constexpr int kInUseTries = 5;
inline constexpr std::uint32_t kInUsePauseMilliseconds = 200;

struct RemovalServices {
  platform::FileSystem& files;
  platform::Registry& registry;
  platform::Processes& processes;
  DebugSink& debug;
};

// Carries the steps out in order; a step that fails is reported and the next one is taken all the
// same. Gives what was kept, in the order of the steps, and traces every item.
std::vector<KeptItem> CarryOutRemoval(std::span<const RemovalStep> steps, const RemovalServices& services);

}  // namespace vtsetup::uninstaller
