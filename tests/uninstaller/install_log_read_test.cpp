#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/log_layout.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"
#include "tests/uninstaller/seen_records.h"
#include "uninstaller/install_log_reader.h"

namespace vtsetup::uninstaller {
namespace {

namespace fs = std::filesystem;
using platform::FileAccess;
using platform::FileCreation;
using testing::FaultyFileSystem;
using testing::TestMachine;
using Bytes = std::vector<unsigned char>;

constexpr const char* kLogPath = "C:\\GAME\\dinstall.log";

// A directory (51..83) and a file (83..128), closed at 128 bytes.
Bytes SmallLog() {
  testing::LogLayout log = testing::LogHeader("Vantor Application");
  log.Directory(".").RelativeFile("DATA\\a.exe");
  return log.Closed();
}

const std::vector<SeenRecord> kSmallLog = {{LogRecordType::Directory, false, ".", "", 51},
                                           {LogRecordType::File, false, "DATA\\a.exe", "", 83}};

class ReadInstallLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fs::create_directories(machine_.Host("C:\\GAME")));
    testing::WriteBytes(HostLog(), SmallLog());
  }
  std::string HostLog() const { return machine_.Host(kLogPath); }
  platform::FileSystem& Files() { return machine_.System().Files(); }

  static void ExpectSmallLog(const InstallLogRead& read) {
    EXPECT_EQ(read.error, platform::ERR_NONE);
    EXPECT_EQ(read.contents.state, LogState::Closed) << read.contents.problem;
    EXPECT_EQ(read.contents.program_name, "Vantor Application");
    EXPECT_EQ(Seen(read.contents), kSmallLog);
  }
  static void ExpectUnreadable(const InstallLogRead& read, platform::SystemError error) {
    EXPECT_EQ(read.error, error);
    EXPECT_EQ(read.contents.state, LogState::Unreadable);
    EXPECT_TRUE(read.contents.records.empty());
    EXPECT_FALSE(read.contents.problem.empty());
  }

  TestMachine machine_;
};

TEST_F(ReadInstallLogTest, ReadsTheWholeLogFromItsFile) {
  ExpectSmallLog(ReadInstallLog(Files(), kLogPath));
}

TEST_F(ReadInstallLogTest, ShortReadsAreRepeatedUntilEveryByteIsThere) {
  FaultyFileSystem files(Files());
  files.read_limit = 50;
  ExpectSmallLog(ReadInstallLog(files, kLogPath));
  ASSERT_EQ(files.reads.size(), 3u);
  EXPECT_EQ(files.reads[1].offset, 50u);
  EXPECT_EQ(files.reads[2].offset, 100u);
}

TEST_F(ReadInstallLogTest, MissingLogOrFolderGivesTheSystemsError) {
  ExpectUnreadable(ReadInstallLog(Files(), "C:\\GAME\\other.log"), platform::ERR_FILE_NOT_FOUND);
  ExpectUnreadable(ReadInstallLog(Files(), "C:\\MISSING\\dinstall.log"), platform::ERR_PATH_NOT_FOUND);
  ExpectUnreadable(ReadInstallLog(Files(), nullptr), platform::ERR_INVALID_PARAMETER);
}

// Another program's handle on the log keeps us out only when it shares no reading; one that writes
// but lets others read is no obstacle.
struct HolderCase {
  const char* name;
  FileAccess access;
  std::uint32_t share;
  platform::SystemError error;
};

class HeldLog : public ReadInstallLogTest, public ::testing::WithParamInterface<HolderCase> {};

TEST_P(HeldLog, IsReadUnlessTheHolderSharesNoReading) {
  const HolderCase& holder = GetParam();
  const platform::OpenResult held =
      Files().Open(kLogPath, holder.access, holder.share, FileCreation::OpenExisting);
  ASSERT_NE(held.file, nullptr);
  const InstallLogRead read = ReadInstallLog(Files(), kLogPath);
  if (holder.error == platform::ERR_NONE) {
    ExpectSmallLog(read);
  } else {
    ExpectUnreadable(read, holder.error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Holders, HeldLog,
    ::testing::Values(HolderCase{"Reader", FileAccess::Read, platform::SHARE_READ, platform::ERR_NONE},
                      HolderCase{"WriterSharingReading", FileAccess::Write, platform::SHARE_READ,
                                 platform::ERR_NONE},
                      HolderCase{"ReaderAndWriterSharingBoth", FileAccess::ReadWrite,
                                 platform::SHARE_READ | platform::SHARE_WRITE, platform::ERR_NONE},
                      HolderCase{"ExclusiveWriter", FileAccess::Write, platform::SHARE_NONE,
                                 platform::ERR_SHARING_VIOLATION},
                      HolderCase{"ReaderSharingOnlyWriting", FileAccess::Read, platform::SHARE_WRITE,
                                 platform::ERR_SHARING_VIOLATION}),
    [](const ::testing::TestParamInfo<HolderCase>& info) { return std::string(info.param.name); });

TEST_F(ReadInstallLogTest, FileLargerThanAnyLogIsNotRead) {
  FaultyFileSystem files(Files());
  // Sparse, so the test costs no disk.
  fs::resize_file(HostLog(), std::uint64_t{kMaxInstallLogBytes} + 1);
  ExpectUnreadable(ReadInstallLog(files, kLogPath), platform::ERR_NONE);
  EXPECT_TRUE(files.reads.empty());

  fs::resize_file(HostLog(), kMaxInstallLogBytes);
  const InstallLogRead read = ReadInstallLog(files, kLogPath);
  EXPECT_EQ(read.error, platform::ERR_NONE);
  EXPECT_FALSE(files.reads.empty());
  // Zeros where the chain expects the next record.
  EXPECT_EQ(read.contents.state, LogState::Damaged);
  EXPECT_EQ(Seen(read.contents), kSmallLog);
}

TEST_F(ReadInstallLogTest, FailedReadGivesItsError) {
  for (const int failing : {1, 2}) {
    FaultyFileSystem files(Files());
    files.read_limit = 100;
    files.fail_read = failing;
    files.error = platform::ERR_NOT_READY;
    ExpectUnreadable(ReadInstallLog(files, kLogPath), platform::ERR_NOT_READY);
  }
}

// The size taken first bounds the read: bytes appended since are not read, and a log that shrinks
// meanwhile is being changed by someone else.
TEST_F(ReadInstallLogTest, LogChangedAfterItsSizeWasTaken) {
  FaultyFileSystem files(Files());
  files.after_size = [&](int) { std::ofstream(HostLog(), std::ios::binary | std::ios::app) << "more"; };
  ExpectSmallLog(ReadInstallLog(files, kLogPath));

  files.after_size = [&](int) { fs::resize_file(HostLog(), 100); };
  ExpectUnreadable(ReadInstallLog(files, kLogPath), platform::ERR_NONE);
}

}  // namespace
}  // namespace vtsetup::uninstaller
