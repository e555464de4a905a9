#include "wizard/drive_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/test_machine.h"

namespace vtsetup::wizard {
namespace {

using platform::DiskSpace;
using platform::DriveType;

// Drives with figures set by the test, which records which query was asked for which root.
class FakeDrives final : public platform::Drives {
 public:
  struct Drive {
    DriveType type = DriveType::Fixed;
    DiskSpace plain;
    bool plain_works = true;
    DiskSpace extended;
    bool extended_works = true;
  };
  std::map<char, Drive> drives;
  platform::SystemVersion version{4, 10, 2222};
  std::vector<std::string> asked;

  DriveType TypeOf(const char* root) override {
    const auto found = drives.find(root[0]);
    return found != drives.end() ? found->second.type : DriveType::NoRoot;
  }
  platform::SystemError FreeSpace(const char* root, DiskSpace& space) override {
    asked.push_back(std::string("plain ") + root);
    const Drive& drive = drives.at(root[0]);
    if (!drive.plain_works) {
      return platform::ERR_NOT_READY;
    }
    space = drive.plain;
    return platform::ERR_NONE;
  }
  bool ExtendedFreeSpace(const char* root, DiskSpace& space) override {
    asked.push_back(std::string("extended ") + root);
    const Drive& drive = drives.at(root[0]);
    if (drive.extended_works) {
      space = drive.extended;
    }
    return drive.extended_works;
  }
  platform::SystemVersion Version() override { return version; }
};

// Sectors per cluster, bytes per sector, free and total clusters.
DiskSpace Space(std::uint32_t sectors, std::uint32_t bytes, std::uint32_t free, std::uint32_t total) {
  return {sectors, bytes, free, total};
}

class QueryDiskSpaceTest : public ::testing::Test {
 protected:
  QueryDiskSpaceTest() {
    fake_.drives['D'] = {DriveType::Fixed, Space(64, 512, 65535, 65535), true,
                         Space(8, 512, 1000000, 2000000), true};
  }
  // The free clusters that the query gave, or 0 when it failed.
  std::uint32_t FreeClusters() {
    DiskSpace space;
    return QueryDiskSpace(fake_, "D:\\", space) ? space.free_clusters : 0;
  }
  FakeDrives fake_;
};

TEST_F(QueryDiskSpaceTest, OlderSystemsAreAskedThePlainQueryOnly) {
  for (const std::uint32_t build : {0u, 950u, 1000u, 0x000403E8u /* 1000 in the low 16 bits */}) {
    fake_.asked.clear();
    fake_.version.build = build;
    EXPECT_EQ(FreeClusters(), 65535u) << build;
    EXPECT_EQ(fake_.asked, std::vector<std::string>{"plain D:\\"}) << build;
  }
}

TEST_F(QueryDiskSpaceTest, NewerSystemsAreAskedTheExtendedQueryFirst) {
  for (const std::uint32_t build : {1001u, 1111u, 2222u, 0x000003E9u}) {
    fake_.asked.clear();
    fake_.version.build = build;
    EXPECT_EQ(FreeClusters(), 1000000u) << build;
    EXPECT_EQ(fake_.asked, std::vector<std::string>{"extended D:\\"}) << build;
  }
}

TEST_F(QueryDiskSpaceTest, AFailingExtendedQueryFallsBackToThePlainOne) {
  fake_.drives['D'].extended_works = false;
  EXPECT_EQ(FreeClusters(), 65535u);
  EXPECT_EQ(fake_.asked, (std::vector<std::string>{"extended D:\\", "plain D:\\"}));
  fake_.drives['D'].plain_works = false;
  EXPECT_EQ(FreeClusters(), 0u);
  fake_.version.build = 950;
  EXPECT_EQ(FreeClusters(), 0u);
}

TEST(ScanDrivesTest, OnlyDrivesThatTakeFilesAndAnswerAreListedInLetterOrder) {
  FakeDrives fake;
  fake.version.build = 950;
  const DiskSpace space = Space(8, 512, 3, 5);
  fake.drives['C'] = {DriveType::Fixed, space, true, {}, false};
  fake.drives['D'] = {DriveType::CdRom, space, true, {}, false};
  fake.drives['E'] = {DriveType::Removable, space, true, {}, false};
  fake.drives['F'] = {DriveType::Remote, space, true, {}, false};
  fake.drives['G'] = {DriveType::Unknown, space, true, {}, false};
  fake.drives['H'] = {DriveType::Fixed, space, false, {}, false};  // no medium
  fake.drives['Z'] = {DriveType::RamDisk, Space(1, 2048, 768, 1024), true, {}, false};
  const DriveTable table = ScanDrives(fake);
  ASSERT_EQ(table.count, 3u);
  EXPECT_EQ(table.entries[0].letter, 'C');
  EXPECT_EQ(table.entries[1].letter, 'E');
  const DriveInfo& ram = table.entries[2];
  EXPECT_EQ(ram.letter, 'Z');
  EXPECT_EQ(ram.cluster_size, 2048u);
  EXPECT_EQ(ram.free_bytes, 1572864u);
  EXPECT_EQ(ram.total_bytes, 2097152u);
  EXPECT_FLOAT_EQ(ram.free_mb, 1.5F);
  EXPECT_FLOAT_EQ(ram.total_mb, 2.0F);
  // The rest of the table stays clear.
  EXPECT_EQ(table.entries[3].letter, '\0');
  EXPECT_EQ(table.entries[3].free_bytes, 0u);
  EXPECT_EQ(table.Find('z'), &table.entries[2]);
  EXPECT_EQ(table.Find('D'), nullptr);
}

// A system's counts can multiply past 32 bits; the table keeps the largest 32-bit count, not a wrapped one.
TEST(ScanDrivesTest, ProductsPast32BitsStopAtTheLargest32BitCount) {
  FakeDrives fake;
  // 64 sectors of 512 bytes: 32768-byte clusters; 2^17 free clusters make exactly 4 GiB, which wraps to 0.
  fake.drives['C'] = {DriveType::Fixed, {}, true, Space(64, 512, 0x20000, 0xFFFFFFFF), true};
  // A cluster size itself past 32 bits.
  fake.drives['D'] = {DriveType::Fixed, {}, true, Space(0x10000, 0x10000, 1, 0), true};
  // One byte short of the limit stays exact.
  fake.drives['E'] = {DriveType::Fixed, {}, true, Space(1, 1, 0xFFFFFFFE, 0xFFFFFFFF), true};
  const DriveTable table = ScanDrives(fake);
  ASSERT_EQ(table.count, 3u);
  EXPECT_EQ(table.entries[0].free_bytes, 0xFFFFFFFFu);
  EXPECT_EQ(table.entries[0].total_bytes, 0xFFFFFFFFu);
  EXPECT_EQ(table.entries[0].cluster_size, 32768u);
  EXPECT_FLOAT_EQ(table.entries[0].free_mb, 4096.0F);
  EXPECT_EQ(table.entries[1].cluster_size, 0xFFFFFFFFu);
  EXPECT_EQ(table.entries[1].free_bytes, 0xFFFFFFFFu);
  EXPECT_EQ(table.entries[1].total_bytes, 0u);
  EXPECT_EQ(table.entries[2].free_bytes, 0xFFFFFFFEu);
  EXPECT_EQ(table.entries[2].total_bytes, 0xFFFFFFFFu);
}

// On a host machine: a 10 GB drive counts as nearly 4 GiB, and the order and the figures are the machine's.
TEST(ScanDrivesTest, AHostMachineWithABigDrive) {
  testing::TestMachine machine(
      "[Drive C]\nFolder = c\nType = fixed\nFreeBytes = 1048576\nTotalBytes = 2097152\nClusterSize = 4096\n"
      "[Drive E]\nFolder = e\nType = ramdisk\nFreeBytes = 10000000000\nClusterSize = 4096\n"
      "[Drive R]\nFolder = r\nType = cdrom\n"
      "[Drive Z]\nFolder = /\nType = remote\n");
  const DriveTable table = ScanDrives(machine.System().Disks());
  ASSERT_EQ(table.count, 2u);
  EXPECT_EQ(table.entries[0].letter, 'C');
  EXPECT_EQ(table.entries[0].free_bytes, 1048576u);
  EXPECT_EQ(table.entries[0].total_bytes, 2097152u);
  EXPECT_EQ(table.entries[1].letter, 'E');
  EXPECT_EQ(table.entries[1].free_bytes, 0xFFFFF000u);  // whole clusters of 4096 below 4 GiB
  EXPECT_EQ(table.entries[1].cluster_size, 4096u);
}

TEST(SpaceRuleTest, ClusterSizesPickTheirEntryOfThePackSizes) {
  const std::vector<std::pair<std::uint32_t, std::uint16_t>> cases = {
      {0, 0},     {1, 0},    {2, 1},      {512, 9},   {1024, 10},       {3000, 0},
      {4096, 12}, {4097, 0}, {32768, 15}, {65536, 0}, {0x80000000u, 0}, {0xFFFFFFFFu, 0}};
  for (const auto& [cluster, index] : cases) {
    EXPECT_EQ(ClusterSizeIndex(cluster), index) << cluster;
  }
}

TEST(SpaceRuleTest, APackFitsWhenItsSizeForTheClustersIsNoMoreThanWhatIsFree) {
  PackSizeTable sizes;
  sizes.fill(0xFFFFFFFFu);
  sizes[0] = 3000;
  sizes[12] = 8192;
  DriveTable table;
  table.count = 2;
  table.entries[0] = {'D', 0, 0.0F, 8192, 0.0F, 4096};
  table.entries[1] = {'E', 0, 0.0F, 2999, 0.0F, 3000};
  EXPECT_TRUE(PackFitsDrive(table.entries[0], sizes));  // exactly full
  EXPECT_TRUE(PackFitsPath(table, "D:\\Gry", sizes));
  EXPECT_TRUE(PackFitsPath(table, "d:\\Gry", sizes));
  EXPECT_FALSE(PackFitsPath(table, "E:\\", sizes));  // one byte short of entry 0
  table.entries[1].free_bytes = 3000;
  EXPECT_TRUE(PackFitsPath(table, "E:\\", sizes));
  sizes[12] = 8193;
  EXPECT_FALSE(PackFitsPath(table, "D:\\Gry", sizes));
  // Drives the table lacks, and paths without a drive.
  EXPECT_FALSE(PackFitsPath(table, "C:\\", sizes));
  EXPECT_FALSE(PackFitsPath(table, "", sizes));
  EXPECT_FALSE(PackFitsPath(table, "\\\\server\\share", sizes));
}

}  // namespace
}  // namespace vtsetup::wizard
