#pragma once

#include <cstddef>
#include <limits>
#include <string_view>

#include "base/code_page.h"

namespace vtsetup::testing {

// The columns that UTF-8 text takes at a terminal: one a character, as every character of code page 1250
// takes. Text that is not UTF-8 counts as wider than any terminal, so a check of the width fails on it.
inline std::size_t TerminalWidth(std::string_view utf8_text) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < utf8_text.size(); ++characters) {
    if (!NextUtf8Character(utf8_text, at)) {
      return std::numeric_limits<std::size_t>::max();
    }
  }
  return characters;
}

}  // namespace vtsetup::testing
