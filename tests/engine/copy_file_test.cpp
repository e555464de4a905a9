#include "engine/copy_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/random_bytes.h"
#include "tests/support/reference_crc.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup {
namespace {

using testing::TestMachine;

class CopyFile : public ::testing::Test {
 protected:
  CopyResult Copy(std::uint32_t* checksum, bool overwrite = true) {
    return CopyFileChecked(machine_.System().Files(), "C:\\in", "C:\\out", overwrite, checksum, {});
  }
  TestMachine machine_;
};

TEST_F(CopyFile, ChecksumOverBlockBoundaries) {
  for (const std::size_t size : {0u, 1u, 199999u, 200000u, 200001u, 400001u}) {
    const std::vector<unsigned char> bytes = testing::RandomBytes(size, 3);
    testing::WriteBytes(machine_.Host("C:\\in"), bytes);
    std::uint32_t checksum = 0;
    ASSERT_EQ(Copy(&checksum), CopyResult::COPY_OK) << size;
    EXPECT_EQ(checksum, testing::BitwiseCrc(0xFFFFFFFFu, bytes.data(), bytes.size())) << size;
    EXPECT_EQ(testing::ReadBytes(machine_.Host("C:\\out")), bytes) << size;
  }
  testing::WriteBytes(machine_.Host("C:\\in"), {});
  std::uint32_t checksum = 0;
  ASSERT_EQ(Copy(&checksum), CopyResult::COPY_OK);
  EXPECT_EQ(checksum, 0xFFFFFFFFu);
}

TEST_F(CopyFile, ExistingDestinationIsLeftAloneWithoutOverwrite) {
  testing::WriteBytes(machine_.Host("C:\\in"), {1, 2, 3});
  testing::WriteBytes(machine_.Host("C:\\out"), {9});
  std::uint32_t checksum = 7;
  EXPECT_EQ(Copy(&checksum, false), CopyResult::COPY_EXISTS);
  EXPECT_EQ(checksum, 7u);
  EXPECT_EQ(testing::ReadBytes(machine_.Host("C:\\out")), (std::vector<unsigned char>{9}));
  EXPECT_EQ(Copy(nullptr, true), CopyResult::COPY_OK);
  EXPECT_EQ(testing::ReadBytes(machine_.Host("C:\\out")), (std::vector<unsigned char>{1, 2, 3}));
}

TEST_F(CopyFile, MissingSourceAndUncreatableDestination) {
  EXPECT_EQ(Copy(nullptr), CopyResult::COPY_NO_SOURCE);
  EXPECT_FALSE(std::filesystem::exists(machine_.Host("C:\\out")));
  testing::WriteBytes(machine_.Host("C:\\in"), {1});
  std::filesystem::create_directories(machine_.Host("C:\\out"));
  EXPECT_EQ(Copy(nullptr), CopyResult::COPY_WRITE_FAILED);
  EXPECT_TRUE(std::filesystem::is_directory(machine_.Host("C:\\out")));
}

}  // namespace
}  // namespace vtsetup
