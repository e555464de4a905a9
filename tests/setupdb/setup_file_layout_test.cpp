// The stored bytes of a database, written out by hand from the file layout.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "setupdb/setup_file.h"
#include "tests/setupdb/database_fixtures.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

TEST(SetupFileLayout, SampleTreeIsStoredByteForByte) {
  TempDir dir;
  const std::string path = dir.File("SETUP.INF");
  ASSERT_EQ(WriteSetupFile(platform::TheSystem().Files(), SampleTree(), path.c_str()), SETUP_FILE_OK);
  EXPECT_EQ(ReadBytes(path), SampleTreeBytes().Bytes());
}

TEST(SetupFileLayout, HandBuiltBytesReadAsTheSampleTree) {
  TempDir dir;
  const std::string path = dir.File("SETUP.INF");
  WriteBytes(path, SampleTreeBytes().Bytes());
  std::unique_ptr<SetupInfo> info;
  ASSERT_EQ(ReadSetupFile(platform::TheSystem().Files(), path.c_str(), info), SETUP_FILE_OK);
  EXPECT_EQ(StoredBytes(*info), SampleTreeBytes().Bytes());
}

TEST(SetupFileLayout, EmptyPackIsItsStringsSizesAndFiveZeroCounts) {
  TempDir dir;
  const std::string path = dir.File("SETUP.INF");
  SetupInfo info;
  info.Packs.emplace_back();
  ASSERT_EQ(WriteSetupFile(platform::TheSystem().Files(), info, path.c_str()), SETUP_FILE_OK);
  const std::vector<unsigned char> bytes = ReadBytes(path);
  // 7 empty root strings, the options block, 5 + 4 empty strings, then PackCount.
  const std::size_t pack_start = 12 + 7 + 24 + 9 + 4;
  ASSERT_EQ(bytes.size(), pack_start + 2 + 96 + 5 * 4 + 4 + 4);
  const std::vector<unsigned char> pack(bytes.begin() + pack_start, bytes.begin() + pack_start + 2 + 96 + 20);
  EXPECT_EQ(pack, std::vector<unsigned char>(2 + 96 + 20, 0));
}

}  // namespace
}  // namespace vtsetup::testing
