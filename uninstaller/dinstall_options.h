#pragma once

#include <string_view>

#include "base/text_string.h"

namespace vtsetup::uninstaller {

// What the command line "dinstall [LOGPATH] [-quiet]" asks for.
struct DinstallOptions {
  TextString log_path;  // as given, or the default log beside the program
  bool quiet = false;   // "-quiet" in any case: nothing asked, nothing shown
  // The words that could not be used (a second path, an unknown option, an empty path), joined by
  // blanks; empty when the line is usable.
  TextString unexpected;
};

// Reads the program's command line as the system gives it (the program's own name first). Words
// that start with "-" are options; every other word is a log path.
DinstallOptions ReadDinstallOptions(std::string_view command_line, const TextString& module_path);

}  // namespace vtsetup::uninstaller
