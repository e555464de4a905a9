#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/command_line_words.h"

namespace vtsetup::platform::host {

// One way of reading which program a command line names: the program's Windows name and the rest of
// the line, its arguments.
struct ProgramReading {
  std::string program;
  std::string rest;
};

// The readings of a Windows command line in the order Windows tries them. A quoted name is the only
// reading. An unquoted line is ambiguous when the program's path holds blanks, so every prefix that
// ends at a blank is a reading, shortest first, and the whole line is the last. Leading blanks are
// skipped; a line without a program has no reading.
std::vector<ProgramReading> ProgramReadings(std::string_view command_line);

// The command line that gives back `program` by the program's rule and `arguments` by SplitArguments:
// the program quoted when it holds a blank or is empty, each argument quoted when it holds a blank or
// is empty, with quotes and the backslashes before them escaped as that rule undoes.
std::string JoinCommandLine(std::string_view program, const std::vector<std::string>& arguments);

// The name with `extension` (".exe", ".dll") appended when its file name has none, as Windows
// completes program and library names. A final period means "no extension" and is dropped.
std::string WithDefaultExtension(std::string_view windows_name, std::string_view extension);

}  // namespace vtsetup::platform::host
