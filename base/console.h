#pragma once

#include "base/printf_format.h"

namespace vtsetup {

// The diagnostics of the database reader and writer and of the script compiler: printf-formatted text
// on the standard output, flushed at once so that it interleaves correctly with other output.
void ConsolePrint(const char* format, ...) VT_PRINTF_FORMAT(1, 2);

}  // namespace vtsetup
