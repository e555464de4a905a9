#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vtsetup::uninstaller {

// The words of a command line as the Windows C runtime hands them to a program. The first word is the
// program, read as the system reads it: up to the closing double quote when it starts with one (no
// escapes there), otherwise up to the first blank. The others are split by the runtime's rules: blanks
// and tabs separate, double quotes group, 2n backslashes before a quote give n and the quote groups,
// 2n+1 give n and a literal quote, other backslashes are literal.
std::vector<std::string> CommandLineWords(std::string_view command_line);

}  // namespace vtsetup::uninstaller
