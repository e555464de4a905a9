#pragma once

#include <cstdint>
#include <string_view>

namespace vtsetup {

// The number of a profile (INI) value as the Windows profile functions read it, which setup scripts and
// the medium's text files were written for: blanks skipped, a sign, the leading decimal digits gathered
// in a 32-bit register that wraps; 0 without digits. Both adapters read numbers this way, whatever their
// system's own call does with hexadecimal or very long values.
std::int32_t LeadingProfileNumber(std::string_view value);

}  // namespace vtsetup
