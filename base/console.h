#pragma once

#include "base/printf_format.h"

namespace vtsetup {

// The diagnostics of the database reader and writer and of the script compiler: printf-formatted text
// on the standard output. A program that also writes to the standard error flushes the standard
// output first, so that the two keep their order on a shared terminal or pipe.
void ConsolePrint(const char* format, ...) VT_PRINTF_FORMAT(1, 2);

}  // namespace vtsetup
