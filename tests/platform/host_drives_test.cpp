#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/file_system.h"
#include "tests/support/current_folder.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform {
namespace {

using testing::TestMachine;

// Drive D: allows 10000 bytes in clusters of 512: 19 whole clusters, 9728 bytes.
constexpr char kQuotaMachine[] =
    "[Drive C]\nFolder = drive_c\nType = fixed\n"
    "[Drive D]\nFolder = small\nType = removable\nFreeBytes = 10000\nClusterSize = 512\n"
    "[Drive E]\nFolder = big\nType = ramdisk\nFreeBytes = 10000000000\nTotalBytes = 20000000000\nClusterSize "
    "= 4096\n"
    "[Drive F]\nFolder = /nonexistent/vtsetup-drive-f\nType = cdrom\n"
    "[Drive G]\nFolder = /\nType = remote\n"
    "[Drive H]\nFolder = /\nType = unknown\n";

class HostDrivesTest : public ::testing::Test {
 protected:
  DiskSpace Space(const char* root) {
    DiskSpace space;
    EXPECT_EQ(drives_.FreeSpace(root, space), ERR_NONE) << root;
    return space;
  }
  SystemError Write(File& file, std::uint32_t count, std::uint32_t& written) {
    const std::vector<unsigned char> bytes(count, 0x5A);
    return file.Write(bytes.data(), count, written);
  }

  TestMachine machine_{kQuotaMachine};
  FileSystem& files_ = machine_.System().Files();
  Drives& drives_ = machine_.System().Disks();
};

TEST_F(HostDrivesTest, TypesAsTheMachineSays) {
  EXPECT_EQ(drives_.TypeOf("C:\\"), DriveType::Fixed);
  EXPECT_EQ(drives_.TypeOf("d:\\"), DriveType::Removable);
  EXPECT_EQ(drives_.TypeOf("E:\\"), DriveType::RamDisk);
  EXPECT_EQ(drives_.TypeOf("F:\\"), DriveType::CdRom);
  EXPECT_EQ(drives_.TypeOf("G:/"), DriveType::Remote);
  EXPECT_EQ(drives_.TypeOf("H:\\"), DriveType::Unknown);
  EXPECT_EQ(drives_.TypeOf("Q:\\"), DriveType::NoRoot);
  EXPECT_EQ(drives_.TypeOf("C:\\Windows"), DriveType::NoRoot);
  EXPECT_EQ(drives_.TypeOf("C:"), DriveType::NoRoot);
}

TEST_F(HostDrivesTest, FreeSpaceFromOverridesIsCappedAt32Bits) {
  const DiskSpace small = Space("D:\\");
  EXPECT_EQ(small.bytes_per_sector, 512u);
  EXPECT_EQ(small.sectors_per_cluster, 1u);
  EXPECT_EQ(small.free_clusters, 19u);
  EXPECT_EQ(small.total_clusters, 19u);
  const DiskSpace big = Space("E:\\");
  EXPECT_EQ(big.bytes_per_sector * big.sectors_per_cluster, 4096u);
  EXPECT_EQ(big.free_clusters, 0xFFFFFFFFu / 4096u);
  EXPECT_EQ(big.total_clusters, 0xFFFFFFFFu / 4096u);
  DiskSpace extended;
  ASSERT_TRUE(drives_.ExtendedFreeSpace("E:\\", extended));
  EXPECT_EQ(extended.free_clusters, big.free_clusters);
  // Without overrides the host's own figures count; a drive without its folder is not ready, and a
  // letter without a drive no path at all.
  EXPECT_GT(Space("C:\\").total_clusters, 0u);
  DiskSpace none;
  EXPECT_EQ(drives_.FreeSpace("F:\\", none), ERR_NOT_READY);
  EXPECT_EQ(drives_.FreeSpace("Q:\\", none), ERR_PATH_NOT_FOUND);
  EXPECT_EQ(drives_.Version().build, 2222u);
}

TEST_F(HostDrivesTest, QuotaFailsTheWriteThatPassesItWithDiskFull) {
  OpenResult first = files_.Open("D:\\a.bin", FileAccess::Write, SHARE_NONE, FileCreation::CreateAlways);
  ASSERT_EQ(first.error, ERR_NONE);
  std::uint32_t written = 0;
  ASSERT_EQ(Write(*first.file, 9000, written), ERR_NONE);  // 18 clusters
  EXPECT_EQ(Space("D:\\").free_clusters, 1u);
  // The last cluster takes 728 more bytes of the 2000; then the disk is full.
  EXPECT_EQ(Write(*first.file, 2000, written), ERR_HANDLE_DISK_FULL);
  EXPECT_EQ(written, 728u);
  EXPECT_EQ(Write(*first.file, 1, written), ERR_HANDLE_DISK_FULL);
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(Space("D:\\").free_clusters, 0u);
  first.file.reset();
  EXPECT_EQ(std::filesystem::file_size(machine_.Host("D:\\a.bin")), 9728u);
  // Rewriting inside the file needs no new space; truncation and deletion give it back.
  OpenResult again = files_.Open("D:\\a.bin", FileAccess::Write, SHARE_NONE, FileCreation::OpenExisting);
  ASSERT_EQ(Write(*again.file, 9728, written), ERR_NONE);
  again.file.reset();
  again = files_.Open("D:\\a.bin", FileAccess::Write, SHARE_NONE, FileCreation::CreateAlways);
  EXPECT_EQ(Space("D:\\").free_clusters, 19u);
  ASSERT_EQ(Write(*again.file, 512, written), ERR_NONE);
  again.file.reset();
  EXPECT_EQ(Space("D:\\").free_clusters, 18u);
  EXPECT_EQ(files_.Delete("D:\\A.BIN"), ERR_NONE);
  EXPECT_EQ(Space("D:\\").free_clusters, 19u);
}

TEST(HostDriveQuota, CountsWhatTheDriveFolderHeldBefore) {
  TestMachine machine("[Drive D]\nFolder = d\nFreeBytes = 8192\nClusterSize = 1024\n");
  std::filesystem::create_directories(machine.Root() / "machine" / "d" / "sub");
  std::ofstream(machine.Root() / "machine" / "d" / "sub" / "old.bin") << std::string(1500, 'x');
  DiskSpace space;
  ASSERT_EQ(machine.System().Disks().FreeSpace("D:\\", space), ERR_NONE);
  EXPECT_EQ(space.free_clusters, 6u);
  EXPECT_EQ(space.bytes_per_sector, 512u);
  EXPECT_EQ(space.sectors_per_cluster, 2u);
}

// D: is far below 2 GiB; E: holds 10 GB of 20 GB; F: exactly 2 GiB of 3 GiB; G: 3 GB in clusters of a size
// that is no power of two (one sector each).
constexpr char kLargeDrives[] =
    "[Drive D]\nFolder = d\nFreeBytes = 10000\nClusterSize = 512\n"
    "[Drive E]\nFolder = e\nFreeBytes = 10000000000\nTotalBytes = 20000000000\nClusterSize = 4096\n"
    "[Drive F]\nFolder = f\nFreeBytes = 2147483648\nTotalBytes = 3221225472\nClusterSize = 512\n"
    "[Drive G]\nFolder = g\nFreeBytes = 3000000000\nClusterSize = 3000\n";

// The large drives on a machine with one more system setting. Built by appending: GCC 12 at -O3 takes
// the sum of a literal and a string for an overrun of the short-string buffer.
std::string LargeDrivesWith(const char* system_setting) {
  std::string text = kLargeDrives;
  text += "[System]\n";
  text += system_setting;
  return text;
}

struct Counts {
  std::uint32_t free_clusters;
  std::uint32_t total_clusters;
  bool operator==(const Counts&) const = default;
};

Counts Plain(Drives& drives, const char* root) {
  DiskSpace space;
  EXPECT_EQ(drives.FreeSpace(root, space), ERR_NONE) << root;
  return {space.free_clusters, space.total_clusters};
}

Counts Extended(Drives& drives, const char* root) {
  DiskSpace space;
  EXPECT_TRUE(drives.ExtendedFreeSpace(root, space)) << root;
  return {space.free_clusters, space.total_clusters};
}

TEST(HostFreeSpaceQueries, PlainQueryCappedBelowTwoGibibytesWhereTheMachineSaysSo) {
  TestMachine capped(LargeDrivesWith("CapPlainFreeSpace = yes\n"));
  Drives& drives = capped.System().Disks();
  // The most whole clusters within 0x7FFFFFFF bytes.
  EXPECT_EQ(Plain(drives, "D:\\"), (Counts{19, 19}));
  EXPECT_EQ(Plain(drives, "E:\\"), (Counts{524287, 524287}));
  EXPECT_EQ(Plain(drives, "F:\\"), (Counts{4194303, 4194303}));
  EXPECT_EQ(Plain(drives, "G:\\"), (Counts{715827, 715827}));
  // The extended query tells the truth, as far as 32-bit byte counts reach.
  EXPECT_EQ(Extended(drives, "D:\\"), (Counts{19, 19}));
  EXPECT_EQ(Extended(drives, "E:\\"), (Counts{1048575, 1048575}));
  EXPECT_EQ(Extended(drives, "F:\\"), (Counts{4194304, 6291456}));
  EXPECT_EQ(Extended(drives, "G:\\"), (Counts{1000000, 1000000}));

  // By default both tell the same.
  TestMachine plain(kLargeDrives);
  for (const char* root : {"D:\\", "E:\\", "F:\\", "G:\\"}) {
    EXPECT_EQ(Plain(plain.System().Disks(), root), Extended(plain.System().Disks(), root)) << root;
  }
}

TEST(HostFreeSpaceQueries, WithoutTheExtendedQueryCallersFallBackToThePlainOne) {
  TestMachine machine(LargeDrivesWith("ExtendedFreeSpace = no\n"));
  Drives& drives = machine.System().Disks();
  for (const char* root : {"D:\\", "E:\\"}) {
    DiskSpace space;
    EXPECT_FALSE(drives.ExtendedFreeSpace(root, space)) << root;
    EXPECT_EQ(space.free_clusters, 0u) << root;
  }
  EXPECT_EQ(Plain(drives, "E:\\"), (Counts{1048575, 1048575}));
}

TEST(HostFolders, CreateFolderAndTheSystemsFoldersInWindowsForm) {
  TestMachine machine;
  FileSystem& files = machine.System().Files();
  EXPECT_EQ(files.CreateFolder("C:\\Games\\"), ERR_NONE);
  EXPECT_EQ(files.CreateFolder("c:\\GAMES"), ERR_ALREADY_EXISTS);
  EXPECT_EQ(files.CreateFolder("C:\\Missing\\Orvella"), ERR_PATH_NOT_FOUND);
  EXPECT_EQ(files.CreateFolder("Q:\\x"), ERR_PATH_NOT_FOUND);
  EXPECT_TRUE(std::filesystem::is_directory(machine.Host("C:\\Games")));
  EXPECT_EQ(files.TempFolder(), "C:\\Windows\\Temp\\");
  {
    const testing::CurrentFolder kept(std::filesystem::current_path());
    EXPECT_EQ(files.SetCurrentFolder("c:\\games"), ERR_NONE);
    EXPECT_EQ(files.CurrentFolder(), "C:\\Games");
    EXPECT_EQ(files.SetCurrentFolder("C:\\Nowhere"), ERR_FILE_NOT_FOUND);
  }
  const TextString module = files.ModulePath();
  EXPECT_EQ(module.Find("Z:\\"), 0);
  EXPECT_EQ(machine.Host(module.Data()), std::filesystem::canonical("/proc/self/exe").string());
}

}  // namespace
}  // namespace vtsetup::platform

namespace vtsetup::platform::host {
namespace {

// A database written beside its old copy and moved over it: one step, and the quota is charged once.
TEST(HostMoveReplacing, ReplacesInOneStepAndFreesTheReplacedFilesClusters) {
  testing::TestMachine machine(
      "[Drive D]\nFolder = d\nFreeBytes = 8192\nClusterSize = 1024\n"
      "[Drive E]\nFolder = e\n");
  FileSystem& files = machine.System().Files();
  const std::filesystem::path d = machine.Root() / "machine" / "d";
  std::filesystem::create_directories(d / "sub");
  std::ofstream(d / "SETUP.INF") << std::string(3000, 'o');
  std::ofstream(d / "new.tmp") << std::string(1000, 'n');
  DiskSpace space;
  ASSERT_EQ(machine.System().Disks().FreeSpace("D:\\", space), ERR_NONE);
  EXPECT_EQ(space.free_clusters, 4u);

  EXPECT_EQ(files.MoveReplacing("D:\\new.tmp", "d:\\setup.inf"), ERR_NONE);
  EXPECT_FALSE(std::filesystem::exists(d / "new.tmp"));
  EXPECT_EQ(testing::ReadText((d / "SETUP.INF").string()), std::string(1000, 'n'));
  ASSERT_EQ(machine.System().Disks().FreeSpace("D:\\", space), ERR_NONE);
  EXPECT_EQ(space.free_clusters, 7u);

  std::ofstream(d / "held.tmp") << "h";
  {
    OpenResult held = files.Open("D:\\SETUP.INF", FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
    ASSERT_NE(held.file, nullptr);
    EXPECT_EQ(files.MoveReplacing("D:\\held.tmp", "D:\\SETUP.INF"), ERR_SHARING_VIOLATION);
  }
  EXPECT_EQ(testing::ReadText((d / "SETUP.INF").string()), std::string(1000, 'n'));
  EXPECT_EQ(files.MoveReplacing("D:\\held.tmp", "D:\\sub"), ERR_ACCESS_DENIED);
  ASSERT_EQ(::mkfifo((d / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(files.MoveReplacing("D:\\held.tmp", "D:\\pipe"), ERR_ACCESS_DENIED);
  EXPECT_EQ(files.MoveReplacing("D:\\held.tmp", "E:\\SETUP.INF"), ERR_NOT_SAME_DEVICE);
  EXPECT_EQ(files.MoveReplacing("D:\\gone.tmp", "D:\\SETUP.INF"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(files.MoveReplacing("D:\\held.tmp", "D:\\none\\SETUP.INF"), ERR_PATH_NOT_FOUND);
  EXPECT_EQ(files.MoveReplacing("D:\\held.tmp", "D:\\moved.tmp"), ERR_NONE);
  EXPECT_EQ(testing::ReadText((d / "moved.tmp").string()), "h");
}

// The same file reached by other spellings and through a link has one identity; another file has not.
TEST(HostIdentify, TellsTheSameFileByWhatItIsNotByItsName) {
  testing::TestMachine machine;
  FileSystem& files = machine.System().Files();
  const std::filesystem::path c = machine.Root() / "machine" / "drive_c";
  std::filesystem::create_directories(c / "Games" / "Data");
  std::ofstream(c / "Games" / "setup.ini") << "[Proginfo]\n";
  std::ofstream(c / "Games" / "other.ini") << "[Proginfo]\n";
  std::filesystem::create_directory_symlink(c / "Games", c / "Games" / "Data" / "up");

  FileIdentity script;
  FileIdentity spelt;
  FileIdentity other;
  FileIdentity folder;
  FileIdentity linked;
  ASSERT_EQ(files.Identify("C:\\Games\\setup.ini", script), ERR_NONE);
  ASSERT_EQ(files.Identify("c:\\GAMES\\DATA\\..\\SETUP.INI", spelt), ERR_NONE);
  ASSERT_EQ(files.Identify("C:\\Games\\other.ini", other), ERR_NONE);
  ASSERT_EQ(files.Identify("C:\\Games", folder), ERR_NONE);
  ASSERT_EQ(files.Identify("C:\\Games\\Data\\up\\", linked), ERR_NONE);
  EXPECT_EQ(script, spelt);
  EXPECT_NE(script, other);
  EXPECT_EQ(folder, linked);
  EXPECT_EQ(files.Identify("C:\\Games\\missing.ini", other), ERR_FILE_NOT_FOUND);
}

}  // namespace
}  // namespace vtsetup::platform::host
