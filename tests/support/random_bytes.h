#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace vtsetup::testing {

// Repeatable data for a seed, so a failing case can be run again.
inline std::vector<unsigned char> RandomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<unsigned char> bytes(count);
  for (unsigned char& b : bytes) {
    b = static_cast<unsigned char>(random());
  }
  return bytes;
}

}  // namespace vtsetup::testing
