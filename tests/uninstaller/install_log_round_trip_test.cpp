#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "integration/install_log.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"
#include "tests/uninstaller/seen_records.h"
#include "uninstaller/install_log_reader.h"

namespace vtsetup::uninstaller {
namespace {

namespace fs = std::filesystem;
using testing::RecordingSink;
using testing::TestMachine;
using Type = LogRecordType;

// The setup's own writer, through the host machine's files, read back.
TEST(InstallLogRoundTrip, EveryRecordTypeClosedAndUnclosed) {
  for (const bool closed : {true, false}) {
    TestMachine machine;
    ASSERT_TRUE(fs::create_directories(machine.Host("C:\\GAME")));
    RecordingSink trace;
    {
      InstallLog log(machine.System().Files(), trace);
      ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", "Vantor Application", false), LogResult::LOG_OK);
      log.LogDirectory(".");
      log.LogDirectory("DATA\\");
      log.LogFile("DATA\\a.exe", false);
      log.LogGroup("Vantor");
      log.LogShortcut("Play", "Vantor");
      log.LogFile("C:\\X.LNK", true);
      log.LogKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\V");
      log.LogFile("dinstall.log", false);
      if (closed) {
        ASSERT_EQ(log.LogClose(), LogResult::LOG_OK);
      }
    }
    const InstallLogRead read = ReadInstallLog(machine.System().Files(), "C:\\GAME\\dinstall.log");
    EXPECT_EQ(read.error, platform::ERR_NONE);
    EXPECT_EQ(read.contents.state, closed ? LogState::Closed : LogState::Unclosed) << read.contents.problem;
    EXPECT_EQ(read.contents.program_name, "Vantor Application");
    EXPECT_EQ(Seen(read.contents),
              (std::vector<SeenRecord>{{Type::Directory, false, ".", "", 51},
                                       {Type::Directory, false, "DATA\\", "", 83},
                                       {Type::File, false, "DATA\\a.exe", "", 119},
                                       {Type::Group, true, "Vantor", "", 164},
                                       {Type::Shortcut, true, "Vantor", "Play", 201},
                                       {Type::File, true, "C:\\X.LNK", "", 247},
                                       {Type::Key, true, "HKEY_LOCAL_MACHINE\\SOFTWARE\\V", "", 290},
                                       {Type::File, false, "dinstall.log", "", 354}}));
  }
}

// A log on a drive that holds 512 bytes: the header with a program name of `name_length` characters
// (33 + name_length bytes), then file records of 47 bytes until the disk is full. The name's length
// moves the byte where the disk fills: into a record's header, its next-record field, its body header
// or its text, or exactly between two records.
struct FullDiskCase {
  const char* name;
  std::uint32_t name_length;
  std::uint32_t records_before_cut;
  std::uint32_t cut_after;  // bytes of the record that the disk took, 0 when it filled between two
};

const FullDiskCase kFullDiskCases[] = {
    {"InTheRecordHeader", 4, 10, 5},      // 37 + 470 + 5
    {"InTheNextRecordField", 40, 9, 16},  // 73 + 423 + 16
    {"InTheBodyHeader", 31, 9, 25},
    {"InTheText", 16, 9, 40},
    {"BeforeTheTextsLastCharacter", 11, 9, 45},  // two short of the record's end
    {"BeforeTheTextsZero", 10, 9, 46},
    {"BetweenTwoRecords", 9, 10, 0},  // 42 + 470 = 512
};

std::string FileName(std::uint32_t index) {
  return "FILE" + std::to_string(10000 + index).substr(1) + ".DAT";
}

std::vector<SeenRecord> FileRecords(const FullDiskCase& run) {
  std::vector<SeenRecord> records;
  for (std::uint32_t i = 0; i < run.records_before_cut; ++i) {
    records.push_back({Type::File, false, FileName(i), "", 33 + run.name_length + 47 * i});
  }
  return records;
}

class FullDisk : public ::testing::TestWithParam<FullDiskCase> {
 protected:
  // Drive D holds the log alone, or beside a 512-byte file that can be deleted to make room again.
  explicit FullDisk(std::uint32_t free_bytes = 512)
      : machine_("[Drive C]\nFolder = drive_c\n[Drive D]\nFolder = d\nFreeBytes = " +
                 std::to_string(free_bytes) + "\nClusterSize = 512\n") {}

  void SetUp() override { fs::create_directories(machine_.Host("D:\\")); }

  // Logs files until one fails, as the copy does until the disk is full.
  void LogUntilFull() {
    ASSERT_EQ(log_.LogOpen("D:\\dinstall.log", std::string(GetParam().name_length, 'V').c_str(), false),
              LogResult::LOG_OK);
    std::uint32_t index = 0;
    while (log_.LogFile(FileName(index).c_str(), false) == LogResult::LOG_OK) {
      ASSERT_LT(++index, 20u);
    }
    ASSERT_EQ(index, GetParam().records_before_cut);
  }
  InstallLogRead Read() { return ReadInstallLog(machine_.System().Files(), "D:\\dinstall.log"); }
  std::uint64_t LogSize() const { return fs::file_size(machine_.Host("D:\\dinstall.log")); }

  TestMachine machine_;
  RecordingSink trace_;
  InstallLog log_{machine_.System().Files(), trace_};
};

// After the copy fails, the setup logs the log itself, which the full disk refuses too, and closes.
TEST_P(FullDisk, FailedLaterRecordsAndTheCloseLeaveTheRecordsBeforeTheCut) {
  LogUntilFull();
  EXPECT_EQ(log_.LogFile("dinstall.log", false), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log_.LogClose(), LogResult::LOG_WRITE_FAILED);
  ASSERT_EQ(LogSize(), 512u);
  const InstallLogRead read = Read();
  const bool cut = GetParam().cut_after != 0;
  EXPECT_EQ(read.contents.state, cut ? LogState::PartialRecord : LogState::Unclosed) << read.contents.problem;
  EXPECT_EQ(Seen(read.contents), FileRecords(GetParam()));
}

// The cut record was the last one asked for: closing ends the chain in it and stores the size where
// its next-record field lies in the file, and writes what fits of that field where it does not.
TEST_P(FullDisk, CloseRightAfterTheCutRecordLeavesTheRecordsBeforeIt) {
  LogUntilFull();
  log_.LogClose();
  ASSERT_EQ(LogSize(), 512u);
  const std::vector<unsigned char> bytes = testing::ReadBytes(machine_.Host("D:\\dinstall.log"));
  EXPECT_EQ(bytes[16] | bytes[17] << 8, GetParam().cut_after >= 18 ? 512 : 0);
  const InstallLogRead read = Read();
  const bool cut = GetParam().cut_after != 0;
  EXPECT_EQ(read.contents.state, cut ? LogState::PartialRecord : LogState::Unclosed) << read.contents.problem;
  EXPECT_EQ(Seen(read.contents), FileRecords(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(CutWhere, FullDisk, ::testing::ValuesIn(kFullDiskCases),
                         [](const ::testing::TestParamInfo<FullDiskCase>& info) {
                           return std::string(info.param.name);
                         });

// The setup deletes its temporary files before it logs the log itself: with them on the log's drive
// there is room again, and the last record lands right behind the cut one.
class FullDiskThenRoom : public FullDisk {
 protected:
  FullDiskThenRoom() : FullDisk(1024) {}
  void SetUp() override {
    FullDisk::SetUp();
    testing::WriteBytes(machine_.Host("D:\\SPLASH.TMP"), std::vector<unsigned char>(512, 'x'));
  }
};

TEST_P(FullDiskThenRoom, RecordsBehindTheCutOneAreReadToo) {
  LogUntilFull();
  ASSERT_EQ(machine_.System().Files().Delete("D:\\SPLASH.TMP"), platform::ERR_NONE);
  ASSERT_EQ(log_.LogFile("dinstall.log", false), LogResult::LOG_OK);
  ASSERT_EQ(log_.LogClose(), LogResult::LOG_OK);
  const InstallLogRead read = Read();
  const bool cut = GetParam().cut_after != 0;
  EXPECT_EQ(read.contents.state, cut ? LogState::PartialRecord : LogState::Closed) << read.contents.problem;
  std::vector<SeenRecord> expected = FileRecords(GetParam());
  expected.push_back({Type::File, false, "dinstall.log", "", 512});
  EXPECT_EQ(Seen(read.contents), expected);
}

INSTANTIATE_TEST_SUITE_P(CutWhere, FullDiskThenRoom, ::testing::ValuesIn(kFullDiskCases),
                         [](const ::testing::TestParamInfo<FullDiskCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace vtsetup::uninstaller
