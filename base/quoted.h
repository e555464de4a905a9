#pragma once

#include <string>
#include <string_view>

namespace vtsetup {

// Text from a file, made safe to show: a control character (below 0x20, and 0x7F) could move the
// cursor, clear a terminal or end a transcript's line, so each is written as an escape: \r, \n and \t
// by name, the others as \xNN. A double quote is escaped too, so that a quoted text ends where its
// closing quote stands. Backslashes stay as they are, since Windows paths are full of them.
inline std::string Escaped(std::string_view text) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\t') {
      escaped += "\\t";
    } else if (c == '"') {
      escaped += "\\\"";
    } else if (byte < 0x20 || byte == 0x7F) {
      escaped += "\\x";
      escaped += kHexDigits[byte >> 4];
      escaped += kHexDigits[byte & 0x0F];
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// The text between double quotes, escaped, as messages name what they could not use. Built by
// appending: GCC 12 at -O3 warns falsely (-Wrestrict) on a literal added to a temporary string.
inline std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += Escaped(text);
  quoted += '"';
  return quoted;
}

}  // namespace vtsetup
