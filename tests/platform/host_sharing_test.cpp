#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_system.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform {
namespace {

using testing::TestMachine;

struct ShareCase {
  FileAccess first_access;
  std::uint32_t first_share;
  FileAccess second_access;
  std::uint32_t second_share;
  SystemError second_error;
};

class HostSharing : public ::testing::TestWithParam<ShareCase> {
 protected:
  void SetUp() override { std::ofstream(machine_.Host("C:\\shared.bin")) << "12345"; }

  TestMachine machine_;
  FileSystem& files_ = machine_.System().Files();
};

TEST_P(HostSharing, SecondOpenIsGrantedAsWindowsGrantsIt) {
  const ShareCase& c = GetParam();
  OpenResult first = files_.Open("C:\\shared.bin", c.first_access, c.first_share, FileCreation::OpenExisting);
  ASSERT_EQ(first.error, ERR_NONE);
  // A second spelling of the same file is the same file.
  OpenResult second =
      files_.Open("c:\\SHARED.BIN", c.second_access, c.second_share, FileCreation::OpenExisting);
  EXPECT_EQ(second.error, c.second_error);
  EXPECT_EQ(second.file != nullptr, c.second_error == ERR_NONE);
  first.file.reset();
  second.file.reset();
  EXPECT_EQ(files_.Open("C:\\shared.bin", c.second_access, c.second_share, FileCreation::OpenExisting).error,
            ERR_NONE);
}

constexpr FileAccess R = FileAccess::Read;
constexpr FileAccess W = FileAccess::Write;
constexpr FileAccess RW = FileAccess::ReadWrite;

INSTANTIATE_TEST_SUITE_P(
    Modes, HostSharing,
    ::testing::Values(ShareCase{R, SHARE_READ, R, SHARE_READ, ERR_NONE},
                      ShareCase{R, SHARE_NONE, R, SHARE_READ, ERR_SHARING_VIOLATION},
                      ShareCase{R, SHARE_READ, W, SHARE_READ, ERR_SHARING_VIOLATION},
                      ShareCase{R, SHARE_READ | SHARE_WRITE, W, SHARE_READ, ERR_NONE},
                      ShareCase{W, SHARE_READ, R, SHARE_READ, ERR_SHARING_VIOLATION},
                      ShareCase{W, SHARE_READ, R, SHARE_READ | SHARE_WRITE, ERR_NONE},
                      ShareCase{RW, SHARE_READ | SHARE_WRITE, RW, SHARE_NONE, ERR_SHARING_VIOLATION},
                      ShareCase{RW, SHARE_READ | SHARE_WRITE, RW, SHARE_READ | SHARE_WRITE, ERR_NONE}));

TEST(HostSharingRules, RefusedCreationLeavesTheFileIntactAndDeleteNeedsSharedDeletion) {
  TestMachine machine;
  FileSystem& files = machine.System().Files();
  std::ofstream(machine.Host("C:\\kept.bin")) << "12345";
  OpenResult reader = files.Open("C:\\kept.bin", FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
  ASSERT_EQ(reader.error, ERR_NONE);
  EXPECT_EQ(files.Open("C:\\kept.bin", FileAccess::Write, SHARE_NONE, FileCreation::CreateAlways).error,
            ERR_SHARING_VIOLATION);
  EXPECT_EQ(std::filesystem::file_size(machine.Host("C:\\kept.bin")), 5u);
  EXPECT_EQ(files.Delete("C:\\kept.bin"), ERR_SHARING_VIOLATION);
  reader =
      files.Open("C:\\kept.bin", FileAccess::Read, SHARE_READ | SHARE_DELETE, FileCreation::OpenExisting);
  reader.file.reset();
  OpenResult deletable =
      files.Open("C:\\kept.bin", FileAccess::Read, SHARE_READ | SHARE_DELETE, FileCreation::OpenExisting);
  EXPECT_EQ(files.Delete("C:\\kept.bin"), ERR_NONE);
}

// A file that another process holds without sharing cannot be opened or deleted, as when the game runs.
TEST(HostSharingRules, AnotherProcessHoldingAFileUnsharedLocksIt) {
  TestMachine machine;
  FileSystem& files = machine.System().Files();
  std::ofstream(machine.Host("C:\\orv.exe")) << "game";
  int ready[2];
  int finish[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(finish), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    OpenResult held = files.Open("C:\\ORV.EXE", FileAccess::Read, SHARE_NONE, FileCreation::OpenExisting);
    const char status = held.error == ERR_NONE ? 'y' : 'n';
    char ignored = 0;
    const bool told = ::write(ready[1], &status, 1) == 1;
    const bool waited = ::read(finish[0], &ignored, 1) >= 0;
    ::_exit(told && waited ? 0 : 1);
  }
  char status = 0;
  ASSERT_EQ(::read(ready[0], &status, 1), 1);
  ASSERT_EQ(status, 'y');
  const SystemError open_error =
      files.Open("C:\\orv.exe", FileAccess::Read, SHARE_READ, FileCreation::OpenExisting).error;
  const SystemError delete_error = files.Delete("C:\\orv.exe");
  ASSERT_EQ(::write(finish[1], "x", 1), 1);
  int exit_status = 0;
  ASSERT_EQ(::waitpid(child, &exit_status, 0), child);
  for (const int descriptor : {ready[0], ready[1], finish[0], finish[1]}) {
    ::close(descriptor);
  }
  EXPECT_EQ(open_error, ERR_SHARING_VIOLATION);
  EXPECT_EQ(delete_error, ERR_SHARING_VIOLATION);
  EXPECT_EQ(files.Open("C:\\orv.exe", FileAccess::Read, SHARE_NONE, FileCreation::OpenExisting).error,
            ERR_NONE);
}

}  // namespace
}  // namespace vtsetup::platform
