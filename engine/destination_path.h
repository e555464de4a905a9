#pragma once

#include "base/debug_trace.h"
#include "platform/file_system.h"

namespace vtsetup {

// Makes sure that the destination folder exists before the log and the copy need it, creating every
// missing level from the drive root downwards and tracing each one it made. True when every level
// exists afterwards; the first level that cannot be made (a read-only drive, a drive without its
// medium) ends the walk with false, and the levels made before it stay.
bool CreateDestinationPath(platform::FileSystem& files, DebugSink& debug, const char* destination);

}  // namespace vtsetup
