#include "setupdb/file_checksum.h"

#include <gtest/gtest.h>

#include "platform/system.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/random_bytes.h"
#include "tests/support/reference_crc.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

std::uint32_t Reference(const std::vector<unsigned char>& fed) {
  return BitwiseCrc(0xFFFFFFFFu, fed.data(), fed.size());
}

class FileChecksumTest : public ::testing::Test {
 protected:
  std::uint32_t ChecksumOf(const std::vector<unsigned char>& bytes, std::uint32_t offset) {
    WriteBytes(path_, bytes);
    return FileChecksum(platform::TheSystem().Files(), path_.c_str(), offset);
  }

  TempDir dir_;
  std::string path_ = dir_.File("data.bin");
};

TEST_F(FileChecksumTest, FromTheStartItIsTheChecksumOfTheFile) {
  EXPECT_EQ(ChecksumOf({'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0), 0x340BC6D9u);
  EXPECT_EQ(ChecksumOf({}, 0), 0xFFFFFFFFu);
  const std::vector<unsigned char> two_chunks = RandomBytes(1500000, 1);
  EXPECT_EQ(ChecksumOf(two_chunks, 0), Reference(two_chunks));
}

TEST_F(FileChecksumTest, FromALaterOffsetTheFillerStandsInForTheMissingBytes) {
  const std::vector<unsigned char> bytes = RandomBytes(1000000, 2);
  std::vector<unsigned char> fed(bytes.begin() + 12, bytes.end());
  fed.insert(fed.end(), 12, 0xCD);
  EXPECT_EQ(ChecksumOf(bytes, 12), Reference(fed));
}

TEST_F(FileChecksumTest, BeyondOneChunkTheLastChunkEndsInStaleBytes) {
  // The last chunk asks for 500000 bytes but only 499988 remain; the rest of the buffer still holds
  // the first chunk's bytes at the same places, which are file bytes 500000 to 500011.
  const std::vector<unsigned char> bytes = RandomBytes(1500000, 3);
  std::vector<unsigned char> fed(bytes.begin() + 12, bytes.end());
  fed.insert(fed.end(), bytes.begin() + 500000, bytes.begin() + 500012);
  EXPECT_EQ(ChecksumOf(bytes, 12), Reference(fed));
}

TEST_F(FileChecksumTest, FailuresGiveTheirOwnValues) {
  platform::FileSystem& files = platform::TheSystem().Files();
  EXPECT_EQ(FileChecksum(files, dir_.File("missing.bin").c_str(), 0), FILE_CHECKSUM_CANNOT_OPEN);
  WriteBytes(path_, RandomBytes(100, 4));
  FaultyFileSystem failing(files);
  failing.fail_read = 1;
  EXPECT_EQ(FileChecksum(failing, path_.c_str(), 0), FILE_CHECKSUM_READ_FAILED);
}

}  // namespace
}  // namespace vtsetup::testing
