#include "setupdb/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/support/random_bytes.h"
#include "tests/support/reference_crc.h"

namespace vtsetup {
namespace {

using detail::CrcPath;
using testing::BitwiseCrc;

CrcRegister Table(CrcRegister reg, const void* bytes, std::size_t count) {
  return detail::CrcUpdateBy(CrcPath::Table, reg, bytes, count);
}

// Every path this processor can take, the table first.
std::vector<CrcPath> AvailablePaths() {
  std::vector<CrcPath> paths;
  for (const CrcPath path : {CrcPath::Table, CrcPath::Fold16, CrcPath::Fold64}) {
    if (detail::CrcPathAvailable(path)) {
      paths.push_back(path);
    }
  }
  return paths;
}
using testing::RandomBytes;

// Where inside a 16-byte block the data starts decides which loads the fast path makes unaligned.
const unsigned char* AlignedTo16(const std::vector<unsigned char>& buffer) {
  const auto misalignment = reinterpret_cast<std::uintptr_t>(buffer.data()) % 16;
  return buffer.data() + (misalignment == 0 ? 0 : 16 - misalignment);
}

TEST(Crc32, CheckValue) {
  const unsigned char digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(CrcEnd(CrcUpdate(CrcBegin(), digits, 9)), 0x340BC6D9u);
  EXPECT_EQ(CrcEnd(Table(CrcBegin(), digits, 9)), 0x340BC6D9u);
  EXPECT_EQ(BitwiseCrc(CrcBegin(), digits, 9), 0x340BC6D9u);
}

TEST(Crc32, EmptyUpdateLeavesRegister) {
  const unsigned char byte = 0x5A;
  for (CrcRegister reg : {0u, 1u, 0x80000000u, 0xFFFFFFFFu, 0x12345678u}) {
    EXPECT_EQ(CrcUpdate(reg, nullptr, 0), reg);
    EXPECT_EQ(CrcUpdate(reg, &byte, 0), reg);
    EXPECT_EQ(Table(reg, nullptr, 0), reg);
  }
}

TEST(Crc32, EveryShortLengthAndAlignmentMatchesBitwise) {
  const auto buffer = RandomBytes(16 + 16 + 300, 1);
  const unsigned char* base = AlignedTo16(buffer);
  std::mt19937 gen(2);
  for (std::size_t offset = 0; offset < 16; ++offset) {
    for (std::size_t length = 0; length <= 300; ++length) {
      const CrcRegister reg = (length % 2 == 0) ? CrcBegin() : static_cast<CrcRegister>(gen());
      const std::uint32_t expected = BitwiseCrc(reg, base + offset, length);
      ASSERT_EQ(CrcUpdate(reg, base + offset, length), expected)
          << "offset " << offset << " length " << length;
      ASSERT_EQ(Table(reg, base + offset, length), expected) << "offset " << offset << " length " << length;
    }
  }
}

TEST(Crc32, LongInputsMatchBitwiseOnEveryPath) {
  const auto buffer = RandomBytes((1u << 20) + 64, 3);
  const unsigned char* base = AlignedTo16(buffer);
  std::mt19937 gen(4);
  for (std::size_t length : {std::size_t{300}, std::size_t{1024}, std::size_t{1024 + 255},
                             std::size_t{4096 + 17}, std::size_t{65536 + 63}, std::size_t{(1u << 20) + 15}}) {
    for (std::size_t offset : {0, 3, 8, 15}) {
      const auto reg = static_cast<CrcRegister>(gen());
      const std::uint32_t expected = BitwiseCrc(reg, base + offset, length);
      EXPECT_EQ(CrcUpdate(reg, base + offset, length), expected)
          << "offset " << offset << " length " << length;
      for (const CrcPath path : AvailablePaths()) {
        EXPECT_EQ(detail::CrcUpdateBy(path, reg, base + offset, length), expected)
            << "path " << static_cast<int>(path) << " offset " << offset << " length " << length;
      }
    }
  }
  if (AvailablePaths().size() < 3) {
    GTEST_SKIP() << "this processor lacks a folding path, so only " << AvailablePaths().size()
                 << " of the three paths were compared";
  }
}

TEST(Crc32, SplitUpdatesEqualOneShot) {
  const auto buffer = RandomBytes(2000, 5);
  const unsigned char* p = buffer.data();
  const std::size_t n = buffer.size();
  const CrcRegister whole = CrcUpdate(CrcBegin(), p, n);
  ASSERT_EQ(whole, BitwiseCrc(CrcBegin(), p, n));

  for (std::size_t split = 0; split <= n; ++split) {
    ASSERT_EQ(CrcUpdate(CrcUpdate(CrcBegin(), p, split), p + split, n - split), whole) << "split " << split;
    ASSERT_EQ(Table(Table(CrcBegin(), p, split), p + split, n - split), whole) << "split " << split;
  }

  // Many pieces of mixed sizes on changing paths, so a stream may hop between them at any point.
  const std::vector<CrcPath> paths = AvailablePaths();
  std::mt19937 gen(6);
  for (int round = 0; round < 200; ++round) {
    CrcRegister reg = CrcBegin();
    for (std::size_t done = 0; done < n;) {
      const std::size_t piece = std::min<std::size_t>(gen() % 1500, n - done);
      reg = detail::CrcUpdateBy(paths[gen() % paths.size()], reg, p + done, piece);
      done += piece;
    }
    ASSERT_EQ(reg, whole) << "round " << round;
  }
}

}  // namespace
}  // namespace vtsetup
