#pragma once

#include <string>
#include <string_view>

namespace vtsetup {

// The text between double quotes, as messages name what they could not use. Built by appending: GCC 12
// at -O3 warns falsely (-Wrestrict) on a literal added to a temporary string.
inline std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted.append(text);
  quoted += '"';
  return quoted;
}

}  // namespace vtsetup
