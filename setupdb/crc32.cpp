#include "setupdb/crc32.h"

#include <array>
#include <cstddef>
#include <cstdint>

// Carry-less multiplication only exists on x86, and only GCC-compatible compilers let one function use it
// while the rest of the program stays buildable for any x86 processor.
#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define VTSETUP_CRC_FOLDING 1
#include <immintrin.h>
#else
#define VTSETUP_CRC_FOLDING 0
#endif

namespace vtsetup {
namespace {

// The register holds x^31 in bit 0 and x^0 in bit 31, so multiplying by x is a right shift, and whatever
// falls off the bottom is x^32, which is worth this remainder.
constexpr std::uint32_t kReflectedPoly = 0xEDB88320u;

constexpr std::uint32_t TimesX(std::uint32_t r) {
  return (r >> 1) ^ ((r & 1u) ? kReflectedPoly : 0u);
}

// Table k gives the register after one byte followed by k zero bytes, starting from 0, so sixteen
// independent lookups advance the register by sixteen bytes in one step.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 16>;

constexpr SliceTables MakeSliceTables() {
  SliceTables t{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    std::uint32_t r = b;
    for (int bit = 0; bit < 8; ++bit) {
      r = TimesX(r);
    }
    t[0][b] = r;
  }
  for (std::size_t k = 1; k < t.size(); ++k) {
    for (std::size_t b = 0; b < 256; ++b) {
      t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFFu];
    }
  }
  return t;
}

constexpr SliceTables kSlice = MakeSliceTables();

CrcRegister UpdateByTable(CrcRegister reg, const unsigned char* p, std::size_t count) {
  const SliceTables& t = kSlice;
  while (count >= 16) {
    // Assembled byte by byte so the result does not depend on the host's byte order; compilers turn this
    // into a single load where it is the same thing.
    const std::uint32_t w = reg ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                   std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
    // Twelve of the lookups do not depend on the register, so they are summed first and can run ahead
    // while the previous step finishes; written the other way round, clang chains all sixteen behind the
    // register and the table path runs at half speed.
    const std::uint32_t rest = t[11][p[4]] ^ t[10][p[5]] ^ t[9][p[6]] ^ t[8][p[7]] ^ t[7][p[8]] ^ t[6][p[9]] ^
                               t[5][p[10]] ^ t[4][p[11]] ^ t[3][p[12]] ^ t[2][p[13]] ^ t[1][p[14]] ^
                               t[0][p[15]];
    reg = rest ^ t[15][w & 0xFFu] ^ t[14][(w >> 8) & 0xFFu] ^ t[13][(w >> 16) & 0xFFu] ^ t[12][w >> 24];
    p += 16;
    count -= 16;
  }
  while (count-- > 0) {
    reg = t[0][(reg ^ *p++) & 0xFFu] ^ (reg >> 8);
  }
  return reg;
}

#if VTSETUP_CRC_FOLDING

// Measured: below about 128 bytes, filling four lanes and draining them through the table costs more
// than the table alone. Folding itself needs at least 64.
constexpr std::size_t kFoldMinimum = 128;

// x^e modulo the polynomial, in the register's bit order.
constexpr std::uint32_t XPowMod(unsigned e) {
  std::uint32_t r = 0x80000000u;  // 1
  while (e-- > 0) {
    r = TimesX(r);
  }
  return r;
}

// A 16-byte lane A read from the stream stands for the polynomial lo(A) * x^64 + hi(A), each half with
// its first bit as the highest power. Moving A forward by d bits means multiplying by x^d, and modulo the
// polynomial that is lo(A) * (x^(64+d) mod P) + hi(A) * (x^d mod P): two 64x32-bit carry-less products
// of at most 95 bits, which fit back into a lane. The product of a 64-bit half with a 32-bit constant,
// both in reflected order, reads as a lane 33 powers higher than it is, so each constant is taken 33
// powers lower: x^(d+31) and x^(d-33).
consteval long long FoldConstant(unsigned e) {
  return static_cast<long long>(XPowMod(e));
}

#define VTSETUP_CRC_TARGET __attribute__((target("pclmul,sse4.1")))

VTSETUP_CRC_TARGET inline __m128i FoldInto(__m128i lane, __m128i constants, __m128i next) {
  const __m128i from_lo = _mm_clmulepi64_si128(lane, constants, 0x00);
  const __m128i from_hi = _mm_clmulepi64_si128(lane, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(from_lo, from_hi), next);
}

VTSETUP_CRC_TARGET inline __m128i LoadLane(const unsigned char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Needs count >= 64.
VTSETUP_CRC_TARGET CrcRegister UpdateByFolding(CrcRegister reg, const unsigned char* p, std::size_t count) {
  const __m128i by_four_lanes = _mm_set_epi64x(FoldConstant(512 - 33), FoldConstant(512 + 31));
  const __m128i by_one_lane = _mm_set_epi64x(FoldConstant(128 - 33), FoldConstant(128 + 31));

  // The register is the remainder so far; adding it onto the next 32 bits of the stream turns the rest of
  // the job into a remainder computed from zero, which is what folding produces.
  __m128i x0 = _mm_xor_si128(LoadLane(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
  __m128i x1 = LoadLane(p + 16);
  __m128i x2 = LoadLane(p + 32);
  __m128i x3 = LoadLane(p + 48);
  p += 64;
  count -= 64;

  // Four independent chains keep the multiplier busy while each product is still in flight.
  while (count >= 64) {
    x0 = FoldInto(x0, by_four_lanes, LoadLane(p));
    x1 = FoldInto(x1, by_four_lanes, LoadLane(p + 16));
    x2 = FoldInto(x2, by_four_lanes, LoadLane(p + 32));
    x3 = FoldInto(x3, by_four_lanes, LoadLane(p + 48));
    p += 64;
    count -= 64;
  }
  x1 = FoldInto(x0, by_one_lane, x1);
  x2 = FoldInto(x1, by_one_lane, x2);
  x3 = FoldInto(x2, by_one_lane, x3);
  while (count >= 16) {
    x3 = FoldInto(x3, by_one_lane, LoadLane(p));
    p += 16;
    count -= 16;
  }

  // The last lane is congruent to everything folded so far, so its plain checksum from zero is the
  // register; the table finishes that and the tail, which spares us a Barrett reduction.
  alignas(16) unsigned char last[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(last), x3);
  return UpdateByTable(UpdateByTable(0, last, sizeof last), p, count);
}

// The same folding over 64-byte lanes: each 512-bit multiply folds four 16-byte lanes at once, which
// doubles the speed again on processors that have it.
#define VTSETUP_CRC_WIDE_TARGET __attribute__((target("avx512f,vpclmulqdq,pclmul,sse4.1")))

VTSETUP_CRC_WIDE_TARGET inline __m512i FoldWide(__m512i lanes, __m512i constants, __m512i next) {
  const __m512i from_lo = _mm512_clmulepi64_epi128(lanes, constants, 0x00);
  const __m512i from_hi = _mm512_clmulepi64_epi128(lanes, constants, 0x11);
  return _mm512_ternarylogic_epi64(from_lo, from_hi, next, 0x96);  // three-way exclusive or
}

VTSETUP_CRC_WIDE_TARGET inline __m512i LoadWide(const unsigned char* p) {
  return _mm512_loadu_si512(reinterpret_cast<const void*>(p));
}

// The pair of constants of one 16-byte lane, in every lane.
VTSETUP_CRC_WIDE_TARGET inline __m512i EveryLane(long long high, long long low) {
  return _mm512_set_epi64(high, low, high, low, high, low, high, low);
}

// Needs count >= 256.
VTSETUP_CRC_WIDE_TARGET CrcRegister UpdateByWideFolding(CrcRegister reg, const unsigned char* p,
                                                        std::size_t count) {
  const __m512i by_four_lanes = EveryLane(FoldConstant(2048 - 33), FoldConstant(2048 + 31));
  const __m512i by_one_lane = EveryLane(FoldConstant(512 - 33), FoldConstant(512 + 31));

  __m512i x0 =
      _mm512_xor_si512(LoadWide(p), _mm512_castsi128_si512(_mm_cvtsi32_si128(static_cast<int>(reg))));
  __m512i x1 = LoadWide(p + 64);
  __m512i x2 = LoadWide(p + 128);
  __m512i x3 = LoadWide(p + 192);
  p += 256;
  count -= 256;
  while (count >= 256) {
    x0 = FoldWide(x0, by_four_lanes, LoadWide(p));
    x1 = FoldWide(x1, by_four_lanes, LoadWide(p + 64));
    x2 = FoldWide(x2, by_four_lanes, LoadWide(p + 128));
    x3 = FoldWide(x3, by_four_lanes, LoadWide(p + 192));
    p += 256;
    count -= 256;
  }
  x1 = FoldWide(x0, by_one_lane, x1);
  x2 = FoldWide(x1, by_one_lane, x2);
  x3 = FoldWide(x2, by_one_lane, x3);
  while (count >= 64) {
    x3 = FoldWide(x3, by_one_lane, LoadWide(p));
    p += 64;
    count -= 64;
  }
  // The four 16-byte lanes of the last block move forward to the place of the fourth, each by its own
  // distance, and add up to one lane. (Through memory: GCC 12's lane-extracting intrinsics trip its own
  // uninitialised-value warning.)
  alignas(64) unsigned char lanes[64];
  _mm512_store_si512(reinterpret_cast<void*>(lanes), x3);
  __m128i last =
      FoldInto(LoadLane(lanes + 32), _mm_set_epi64x(FoldConstant(128 - 33), FoldConstant(128 + 31)),
               LoadLane(lanes + 48));
  last = FoldInto(LoadLane(lanes + 16), _mm_set_epi64x(FoldConstant(256 - 33), FoldConstant(256 + 31)), last);
  last = FoldInto(LoadLane(lanes), _mm_set_epi64x(FoldConstant(384 - 33), FoldConstant(384 + 31)), last);
  const __m128i by_one = _mm_set_epi64x(FoldConstant(128 - 33), FoldConstant(128 + 31));
  while (count >= 16) {
    last = FoldInto(last, by_one, LoadLane(p));
    p += 16;
    count -= 16;
  }
  alignas(16) unsigned char bytes[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(bytes), last);
  return UpdateByTable(UpdateByTable(0, bytes, sizeof bytes), p, count);
}

// Needs the processor's word, not just the compiler's: __builtin_cpu_init is called because the first
// checksum may be taken before the runtime's own constructors have run.
bool PathSupported(detail::CrcPath path) {
  __builtin_cpu_init();
  switch (path) {
    case detail::CrcPath::Table:
      return true;
    case detail::CrcPath::Fold16:
      return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    case detail::CrcPath::Fold64:
      return PathSupported(detail::CrcPath::Fold16) && __builtin_cpu_supports("avx512f") &&
             __builtin_cpu_supports("vpclmulqdq");
  }
  return false;
}

#else

bool PathSupported(detail::CrcPath path) {
  return path == detail::CrcPath::Table;
}

#endif  // VTSETUP_CRC_FOLDING

// The fastest path this processor has, found once.
detail::CrcPath BestPath() {
  static const detail::CrcPath best = PathSupported(detail::CrcPath::Fold64)   ? detail::CrcPath::Fold64
                                      : PathSupported(detail::CrcPath::Fold16) ? detail::CrcPath::Fold16
                                                                               : detail::CrcPath::Table;
  return best;
}

}  // namespace

namespace detail {

bool CrcPathAvailable(CrcPath path) {
  return PathSupported(path);
}

CrcRegister CrcUpdateBy(CrcPath path, CrcRegister reg, const void* bytes, std::size_t count) {
  const auto* p = static_cast<const unsigned char*>(bytes);
#if VTSETUP_CRC_FOLDING
  // Below these lengths filling the lanes and draining them through the table costs more than the
  // table alone (measured for the narrow lanes; the wide ones need 256 bytes at the least).
  if (path == CrcPath::Fold64 && count >= 1024) {
    return UpdateByWideFolding(reg, p, count);
  }
  if (path != CrcPath::Table && count >= kFoldMinimum) {
    return UpdateByFolding(reg, p, count);
  }
#else
  (void)path;
#endif
  return UpdateByTable(reg, p, count);
}

}  // namespace detail

CrcRegister CrcUpdate(CrcRegister reg, const void* bytes, std::size_t count) {
  return detail::CrcUpdateBy(BestPath(), reg, bytes, count);
}

}  // namespace vtsetup
