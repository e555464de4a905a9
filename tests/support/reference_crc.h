#pragma once

#include <cstddef>
#include <cstdint>

namespace vtsetup::testing {

// The checksum one bit at a time, straight from the polynomial: slow, obvious, and shares nothing with
// the table and folding code that it checks.
inline std::uint32_t BitwiseCrc(std::uint32_t reg, const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    reg ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) {
      reg = (reg & 1u) != 0 ? (reg >> 1) ^ 0xEDB88320u : reg >> 1;
    }
  }
  return reg;
}

}  // namespace vtsetup::testing
