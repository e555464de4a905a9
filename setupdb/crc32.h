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

// The table-only route, which CrcUpdate also takes on processors without carry-less multiplication;
// exposed so tests and benchmarks can hold it against the fast one on any machine.
CrcRegister CrcUpdatePortable(CrcRegister reg, const void* bytes, std::size_t count);

// True when CrcUpdate folds long inputs with carry-less multiplication on this processor.
bool CrcFoldingActive();

}  // namespace detail
}  // namespace vtsetup
