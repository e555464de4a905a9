#pragma once

#include <cstddef>
#include <cstdint>

namespace vtsetup {

// The running checksum of a copy or of a whole file; one register per stream, so threads never share state.
using CrcRegister = std::uint32_t;

constexpr CrcRegister CrcBegin() {
  return 0xFFFFFFFFu;
}

// Any split of a stream into consecutive updates gives the same register as one update over all of it.
// `bytes` may be null when `count` is 0.
CrcRegister CrcUpdate(CrcRegister reg, const void* bytes, std::size_t count);

constexpr std::uint32_t CrcEnd(CrcRegister reg) {
  return reg;
}  // no final complement, by design of the format

namespace detail {

// The ways to the same register: tables only; carry-less multiplication over 16-byte lanes; the same
// over 64-byte lanes. CrcUpdate takes the fastest one the processor has; tests and benchmarks hold
// each against the others.
enum class CrcPath { Table, Fold16, Fold64 };

bool CrcPathAvailable(CrcPath path);
// `path` must be available.
CrcRegister CrcUpdateBy(CrcPath path, CrcRegister reg, const void* bytes, std::size_t count);

}  // namespace detail
}  // namespace vtsetup
