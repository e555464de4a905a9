#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/text_string.h"

namespace vtsetup {

// Editors that save UTF-8 may put this mark at the start of a file; it is no text of the file.
inline constexpr std::string_view UTF8_BYTE_ORDER_MARK = "\xEF\xBB\xBF";

// Our texts are 8-bit in code page 1250; terminals, transcripts and JSON want UTF-8. The five
// positions that the code page leaves unassigned become U+FFFD, so every byte gives a character and
// nothing is silently dropped.
std::string Cp1250ToUtf8(const char* text, std::size_t length);
// A null text converts to an empty one.
std::string Cp1250ToUtf8(const char* text);
std::string Cp1250ToUtf8(const TextString& text);
// The same for a person at a terminal: the control characters that would drive it (every byte below 0x20
// but the line feed and the tab, and 0x7F) are written out as "\x1b" and the like, so that a file's text
// can neither move the cursor nor clear the screen.
std::string Cp1250ToTerminal(std::string_view text);

// The character of one byte; U+FFFD for the unassigned positions.
char16_t Cp1250Character(unsigned char byte);
// The byte of a character, or nothing when the code page lacks it.
std::optional<unsigned char> Cp1250Byte(char32_t character);
// The character of UTF-8 text at `at`, which moves past it; nothing for bytes that are not UTF-8
// (overlong forms and surrogates included).
std::optional<char32_t> NextUtf8Character(std::string_view text, std::size_t& at);

}  // namespace vtsetup
