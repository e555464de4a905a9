#include "base/profile_number.h"

#include "base/ascii.h"

namespace vtsetup {

std::int32_t LeadingProfileNumber(std::string_view value) {
  std::size_t at = 0;
  while (at < value.size() && IsBlank(value[at])) {
    ++at;
  }
  const bool negative = at < value.size() && value[at] == '-';
  if (at < value.size() && (value[at] == '-' || value[at] == '+')) {
    ++at;
  }
  // Unsigned, so that the register wraps without the undefined overflow of a signed one.
  std::uint32_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    number = number * 10u + static_cast<std::uint32_t>(value[at] - '0');
  }
  return static_cast<std::int32_t>(negative ? 0u - number : number);
}

}  // namespace vtsetup
