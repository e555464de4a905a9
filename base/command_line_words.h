#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vtsetup {

// The arguments as the Windows C runtime splits them: blanks and tabs separate, double quotes group,
// 2n backslashes before a quote give n and the quote groups, 2n+1 give n and a literal quote, other
// backslashes are literal.
std::vector<std::string> SplitArguments(std::string_view text);

// The words of a whole command line as a program gets them: the first word is the program, read as the
// system reads it, up to the closing double quote when it starts with one (no escapes there), otherwise
// up to the first blank; the others are the arguments as `SplitArguments` gives them.
std::vector<std::string> CommandLineWords(std::string_view command_line);

}  // namespace vtsetup
