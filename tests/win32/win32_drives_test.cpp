#include "platform/win32/files/win32_drives.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

using vtsetup::platform::DiskSpace;
using vtsetup::platform::DriveType;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::SystemVersion;
using vtsetup::platform::win32::Win32Drives;

// A letter that names no drive of this system, or 0 when every one does.
char UnusedLetter() {
  const DWORD drives = ::GetLogicalDrives();
  for (char letter = 'Z'; letter >= 'D'; --letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) {
      return letter;
    }
  }
  return 0;
}

TEST(Win32DrivesTest, TheSystemDriveIsFixedAndReportsItsSpace) {
  Win32Drives drives;
  EXPECT_EQ(drives.TypeOf("C:\\"), DriveType::Fixed);
  DiskSpace space;
  ASSERT_EQ(drives.FreeSpace("C:\\", space), ERR_NONE);
  EXPECT_NE(space.sectors_per_cluster, 0u);
  EXPECT_NE(space.bytes_per_sector, 0u);
  EXPECT_NE(space.free_clusters, 0u);
  EXPECT_NE(space.total_clusters, 0u);
  EXPECT_LE(space.free_clusters, space.total_clusters);
  // The same figures as the system gives anyone who asks, in the seam's order.
  DWORD sectors = 0;
  DWORD bytes = 0;
  DWORD free_clusters = 0;
  DWORD total = 0;
  ASSERT_TRUE(::GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &free_clusters, &total));
  EXPECT_EQ(space.sectors_per_cluster, sectors);
  EXPECT_EQ(space.bytes_per_sector, bytes);
  EXPECT_EQ(space.total_clusters, total);
}

TEST(Win32DrivesTest, ARootThatNamesNoDriveHasNoRootAndNoSpace) {
  const char letter = UnusedLetter();
  if (letter == 0) {
    GTEST_SKIP() << "every letter names a drive here";
  }
  const char root[] = {letter, ':', '\\', '\0'};
  Win32Drives drives;
  EXPECT_EQ(drives.TypeOf(root), DriveType::NoRoot);
  DiskSpace space{1, 2, 3, 4};
  EXPECT_EQ(drives.FreeSpace(root, space), ERR_PATH_NOT_FOUND);
  EXPECT_EQ(space.free_clusters, 3u);
}

TEST(Win32DrivesTest, TheExtendedQueryIsMissingBeyondTheOldFamily) {
  // Neither a 64-bit program nor any system of the NT family has the device the query needs.
  Win32Drives drives;
  DiskSpace space{1, 2, 3, 4};
  EXPECT_FALSE(drives.ExtendedFreeSpace("C:\\", space));
  EXPECT_EQ(space.total_clusters, 4u);
}

TEST(Win32DrivesTest, TheVersionIsTheSystemsOwn) {
  Win32Drives drives;
  const SystemVersion version = drives.Version();
  const DWORD packed = ::GetVersion();
  EXPECT_EQ(version.major, LOBYTE(LOWORD(packed)));
  EXPECT_EQ(version.minor, HIBYTE(LOWORD(packed)));
  // The NT family gives the build in the packed form's upper half too.
  EXPECT_EQ(version.build & 0xFFFFu, HIWORD(packed) & 0x7FFFu);
  EXPECT_NE(version.major, 0u);
}

}  // namespace
