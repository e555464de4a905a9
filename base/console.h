#pragma once

#include "base/printf_format.h"

namespace vtsetup {

// The diagnostics of the database reader and writer and of the script compiler: printf-formatted text
// on the standard output. A program that also writes to the standard error flushes the standard
// output first, so that the two keep their order on a shared terminal or pipe.
void ConsolePrint(const char* format, ...) VT_PRINTF_FORMAT(1, 2);
// What a program says beside those diagnostics, on the standard error, after flushing the standard
// output for the same reason.
void ConsoleError(const char* format, ...) VT_PRINTF_FORMAT(1, 2);

// Our texts are code page 1250 bytes, and pipes and files get them byte for byte. A stream that reaches
// a terminal shows them as its person reads them: in UTF-8, with control characters written out (see
// Cp1250ToTerminal). The standard streams are the process's own, and so is the way they show text: a
// program's entry sets it once, from what its system says the streams are.
void ShowConsoleOnTerminals(bool output_is_terminal, bool error_is_terminal);

}  // namespace vtsetup
