#pragma once

#include <cstddef>
#include <string>

#include "base/text_string.h"

namespace vtsetup {

// Our texts are 8-bit in code page 1250; terminals, transcripts and JSON want UTF-8. The five
// positions that the code page leaves unassigned become U+FFFD, so every byte gives a character and
// nothing is silently dropped.
std::string Cp1250ToUtf8(const char* text, std::size_t length);
// A null text converts to an empty one.
std::string Cp1250ToUtf8(const char* text);
std::string Cp1250ToUtf8(const TextString& text);

}  // namespace vtsetup
