#pragma once

#include <string_view>

namespace vtsetup {

// Names are compared as Windows compares them in the places we emulate: ASCII letters folded, other
// bytes (code page 1250 letters among them) equal or not, since folding them would need a code page.
constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool EqualNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Without the spaces and tabs around it.
std::string_view TrimBlanks(std::string_view text);

}  // namespace vtsetup
