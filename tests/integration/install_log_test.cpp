#include "integration/install_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/faulty_file_system.h"
#include "tests/support/log_layout.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup {
namespace {

namespace fs = std::filesystem;
using testing::FaultyFileSystem;
using testing::ReadBytes;
using testing::RecordingSink;
using testing::TestMachine;

using Bytes = std::vector<unsigned char>;
using Lines = std::vector<std::string>;

// "Vantor Application" has 18 characters: the first record starts at 28 + 4 + 19 = 51.
using Layout = testing::LogLayout;
Layout Header(std::uint32_t size) {
  return testing::LogHeader("Vantor Application", size);
}

constexpr const char* kProgram = "Vantor Application";

class InstallLogTest : public ::testing::Test {
 protected:
  std::string HostLog() const { return machine_.Host("C:\\GAME\\dinstall.log"); }
  void SetUp() override { ASSERT_TRUE(fs::create_directories(machine_.Host("C:\\GAME"))); }

  // Every record type once, in the order of a complete run.
  void WriteEveryRecordType(InstallLog& log) {
    ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_OK);
    EXPECT_EQ(log.LogDirectory("."), LogResult::LOG_OK);
    EXPECT_EQ(log.LogDirectory("DATA\\"), LogResult::LOG_OK);
    EXPECT_EQ(log.LogFile("a.exe", false), LogResult::LOG_OK);
    EXPECT_EQ(log.LogGroup("Vantor"), LogResult::LOG_OK);
    EXPECT_EQ(log.LogShortcut("Play", "Vantor"), LogResult::LOG_OK);
    EXPECT_EQ(log.LogFile("C:\\X.LNK", true), LogResult::LOG_OK);
    EXPECT_EQ(log.LogKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\V"), LogResult::LOG_OK);
    EXPECT_EQ(log.LogFile("dinstall.log", false), LogResult::LOG_OK);
  }

  // What WriteEveryRecordType leaves, with the last record's next field and the header's size given.
  static Bytes EveryRecordType(std::uint32_t last_next, std::uint32_t size) {
    Layout log = Header(size);
    log.Words({18, 15}).Byte(2).Byte(14).Words({0x200, 83, 12, 1, 2}).Text(".");
    log.Words({18, 15}).Byte(2).Byte(18).Words({0x200, 119, 12, 1, 6}).Text("DATA\\");
    log.Words({18, 15}).Byte(3).Byte(22).Words({0x200, 159, 16, 1, 0, 6}).Text("a.exe");
    log.Words({18, 15}).Byte(6).Byte(19).Words({0x100, 196, 12, 1, 7}).Text("Vantor");
    log.Words({18, 15}).Byte(5).Byte(28).Words({0x100, 242, 16, 3, 7, 5}).Text("Vantor").Text("Play");
    log.Words({18, 15}).Byte(3).Byte(25).Words({0x100, 285, 16, 1, 0, 9}).Text("C:\\X.LNK");
    log.Words({18, 15})
        .Byte(4)
        .Byte(46)
        .Words({0x100, 349, 16, 1, 0, 30})
        .Text("HKEY_LOCAL_MACHINE\\SOFTWARE\\V");
    log.Words({18, 15}).Byte(3).Byte(29).Words({0x200, last_next, 16, 1, 0, 13}).Text("dinstall.log");
    return log.bytes;
  }

  TestMachine machine_;
  RecordingSink trace_;
};

TEST_F(InstallLogTest, ClosedLogHoldsEveryRecordTypeAndItsSize) {
  InstallLog log(machine_.System().Files(), trace_);
  WriteEveryRecordType(log);
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);
  EXPECT_FALSE(log.IsOpen());

  EXPECT_EQ(ReadBytes(HostLog()), EveryRecordType(0, 396));
  EXPECT_EQ(trace_.lines,
            (Lines{"Directory . logged.\r\n", "Directory DATA\\ logged.\r\n", "File a.exe logged.\r\n",
                   "Group Vantor logged.\r\n", "Shortcut Play in Group Vantor logged.\r\n",
                   "File C:\\X.LNK logged.\r\n", "Key HKEY_LOCAL_MACHINE\\SOFTWARE\\V logged.\r\n",
                   "File dinstall.log logged.\r\n"}));
}

TEST_F(InstallLogTest, LogNeverClosedEndsItsChainAtTheEndOfTheFile) {
  {
    InstallLog log(machine_.System().Files(), trace_);
    WriteEveryRecordType(log);
  }
  EXPECT_EQ(ReadBytes(HostLog()), EveryRecordType(396, 0));
}

TEST_F(InstallLogTest, ClosingALogWithoutRecordsStoresOnlyTheSize) {
  InstallLog log(machine_.System().Files(), trace_);
  ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_OK);
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);
  EXPECT_EQ(ReadBytes(HostLog()), Header(51).bytes);
}

TEST_F(InstallLogTest, ExistingLogIsReplacedOnlyWhenAsked) {
  testing::WriteText(HostLog(), "old log");
  InstallLog log(machine_.System().Files(), trace_);
  EXPECT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_EXISTS);
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ(testing::ReadText(HostLog()), "old log");

  ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, true), LogResult::LOG_OK);
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);
  EXPECT_EQ(ReadBytes(HostLog()), Header(51).bytes);
}

TEST_F(InstallLogTest, OpenWithoutPathOrFolderFails) {
  InstallLog log(machine_.System().Files(), trace_);
  EXPECT_EQ(log.LogOpen(nullptr, kProgram, false), LogResult::LOG_NOT_OPEN);
  EXPECT_EQ(log.LogOpen("", kProgram, true), LogResult::LOG_NOT_OPEN);
  EXPECT_EQ(log.LogOpen("C:\\MISSING\\dinstall.log", kProgram, false), LogResult::LOG_CREATE_FAILED);
  EXPECT_FALSE(log.IsOpen());
  EXPECT_FALSE(fs::exists(machine_.Host("C:\\MISSING")));
}

// Going on without a log: every record and the close do nothing, whatever came before.
TEST_F(InstallLogTest, EveryOperationIsANoOpWithoutALog) {
  InstallLog log(machine_.System().Files(), trace_);
  auto expect_no_ops = [&] {
    EXPECT_EQ(log.LogDirectory("."), LogResult::LOG_NOT_OPEN);
    EXPECT_EQ(log.LogFile("a.exe", false), LogResult::LOG_NOT_OPEN);
    EXPECT_EQ(log.LogFile("C:\\X.LNK", true), LogResult::LOG_NOT_OPEN);
    EXPECT_EQ(log.LogKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\V"), LogResult::LOG_NOT_OPEN);
    EXPECT_EQ(log.LogGroup("Vantor"), LogResult::LOG_NOT_OPEN);
    EXPECT_EQ(log.LogShortcut("Play", "Vantor"), LogResult::LOG_NOT_OPEN);
    EXPECT_EQ(log.LogClose(), LogResult::LOG_WRITE_FAILED);
  };
  expect_no_ops();
  ASSERT_EQ(log.LogOpen("C:\\MISSING\\dinstall.log", kProgram, false), LogResult::LOG_CREATE_FAILED);
  expect_no_ops();

  ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_OK);
  ASSERT_EQ(log.LogClose(), LogResult::LOG_OK);
  expect_no_ops();
  EXPECT_TRUE(trace_.lines.empty());
  EXPECT_EQ(ReadBytes(HostLog()), Header(51).bytes);
}

// A body longer than 255 bytes cannot be told in its one-byte length: such a record is refused whole
// and the next one continues the chain as if it had never been asked for.
TEST_F(InstallLogTest, RecordTooLongForItsLengthByteIsNotWritten) {
  InstallLog log(machine_.System().Files(), trace_);
  ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_OK);
  EXPECT_EQ(log.LogDirectory(std::string(243, 'd').c_str()), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogGroup(std::string(243, 'g').c_str()), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogFile(std::string(239, 'f').c_str(), false), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogKey(std::string(239, 'k').c_str()), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogShortcut(std::string(100, 's').c_str(), std::string(138, 'g').c_str()),
            LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogDirectory(std::string(242, 'd').c_str()), LogResult::LOG_OK);
  EXPECT_EQ(log.LogShortcut(std::string(100, 's').c_str(), std::string(137, 'g').c_str()), LogResult::LOG_OK);
  EXPECT_EQ(log.LogFile(std::string(238, 'f').c_str(), true), LogResult::LOG_OK);
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);
  EXPECT_EQ(trace_.lines.size(), 3u);

  // 51 + 273 = 324, + 273 = 597; the file record ends at 870.
  Layout expected = Header(870);
  expected.Words({18, 15}).Byte(2).Byte(255).Words({0x200, 324, 12, 1, 243}).Text(std::string(242, 'd'));
  expected.Words({18, 15}).Byte(5).Byte(255).Words({0x100, 597, 16, 3, 138, 101});
  expected.Text(std::string(137, 'g')).Text(std::string(100, 's'));
  expected.Words({18, 15}).Byte(3).Byte(255).Words({0x100, 0, 16, 1, 0, 239}).Text(std::string(238, 'f'));
  EXPECT_EQ(ReadBytes(HostLog()), expected.bytes);
}

// The refused record comes last: closing must end the chain at the record before it, not at a field
// that was never written.
TEST_F(InstallLogTest, RefusedLastRecordLeavesTheChainEndedByTheOneBefore) {
  InstallLog log(machine_.System().Files(), trace_);
  ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_OK);
  ASSERT_EQ(log.LogDirectory("."), LogResult::LOG_OK);
  EXPECT_EQ(log.LogFile(std::string(300, 'f').c_str(), false), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);

  Layout expected = Header(83);
  expected.Words({18, 15}).Byte(2).Byte(14).Words({0x200, 0, 12, 1, 2}).Text(".");
  EXPECT_EQ(ReadBytes(HostLog()), expected.bytes);
}

// The log's drive has 512 bytes: the header and nine file records (47 bytes each) fit, the tenth stops
// part-way and nothing of the later ones reaches the disk.
TEST(InstallLogFullDisk, EndsWithAPartialRecordAndNothingAfterIt) {
  TestMachine machine(
      "[Drive C]\nFolder = drive_c\n[Drive D]\nFolder = d\nFreeBytes = 512\nClusterSize = 512\n");
  fs::create_directories(machine.Host("D:\\"));
  RecordingSink trace;
  InstallLog log(machine.System().Files(), trace);
  ASSERT_EQ(log.LogOpen("D:\\dinstall.log", kProgram, false), LogResult::LOG_OK);

  Layout all = Header(0);
  for (std::uint32_t i = 0; i < 12; ++i) {
    const std::string name = "FILE000" + std::to_string(i % 10) + ".DAT";
    EXPECT_EQ(log.LogFile(name.c_str(), false), i < 9 ? LogResult::LOG_OK : LogResult::LOG_WRITE_FAILED) << i;
    all.Words({18, 15}).Byte(3).Byte(29).Words({0x200, 51 + 47 * (i + 1), 16, 1, 0, 13}).Text(name);
  }
  EXPECT_EQ(trace.lines.size(), 9u);
  const Bytes written = ReadBytes(machine.Host("D:\\dinstall.log"));
  ASSERT_EQ(written.size(), 512u);
  EXPECT_EQ(written, Bytes(all.bytes.begin(), all.bytes.begin() + 512));

  // Closing cannot end the chain on a full disk and says so; the file stays as it was.
  EXPECT_EQ(log.LogClose(), LogResult::LOG_WRITE_FAILED);
  EXPECT_FALSE(log.IsOpen());
  EXPECT_EQ(ReadBytes(machine.Host("D:\\dinstall.log")), written);
}

// Write 1 is the header with the name's length, write 2 the program name, write 3 the first record,
// write 4 the end of the chain and write 5 the size.
TEST_F(InstallLogTest, FailedWritesReportWriteFailure) {
  for (int failing = 1; failing <= 5; ++failing) {
    FaultyFileSystem files(machine_.System().Files());
    files.fail_write = failing;
    InstallLog log(files, trace_);
    const LogResult opened = log.LogOpen("C:\\GAME\\dinstall.log", kProgram, true);
    if (failing <= 2) {
      EXPECT_EQ(opened, LogResult::LOG_WRITE_FAILED) << failing;
      EXPECT_FALSE(log.IsOpen());
      continue;
    }
    ASSERT_EQ(opened, LogResult::LOG_OK);
    EXPECT_EQ(log.LogDirectory("."), failing == 3 ? LogResult::LOG_WRITE_FAILED : LogResult::LOG_OK)
        << failing;
    EXPECT_EQ(log.LogClose(), failing == 3 ? LogResult::LOG_OK : LogResult::LOG_WRITE_FAILED) << failing;
  }
}

// Each record reaches the file in one write, where the one before it ended.
TEST_F(InstallLogTest, EachRecordIsOneWriteAtTheEndOfTheOneBefore) {
  FaultyFileSystem files(machine_.System().Files());
  InstallLog log(files, trace_);
  WriteEveryRecordType(log);
  const std::vector<std::pair<std::uint64_t, std::uint32_t>> records = {
      {51, 32}, {83, 36}, {119, 40}, {159, 37}, {196, 46}, {242, 43}, {285, 64}, {349, 47}};
  ASSERT_EQ(files.writes.size(), 2 + records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(files.writes[2 + i].offset, records[i].first) << i;
    EXPECT_EQ(files.writes[2 + i].size, records[i].second) << i;
  }
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);
  EXPECT_EQ(ReadBytes(HostLog()), EveryRecordType(0, 396));
}

// A record cut short leaves the file's position where the cut fell: the next record starts there and
// points past its own end, as a log that asked the file for each record's position would have it.
TEST_F(InstallLogTest, RecordAfterAShortWriteStartsWhereTheFileEnds) {
  FaultyFileSystem files(machine_.System().Files());
  files.fail_write = 4;  // the second record: 36 bytes, of which 18 reach the file
  files.short_write = true;
  InstallLog log(files, trace_);
  ASSERT_EQ(log.LogOpen("C:\\GAME\\dinstall.log", kProgram, false), LogResult::LOG_OK);
  ASSERT_EQ(log.LogDirectory("."), LogResult::LOG_OK);
  EXPECT_EQ(log.LogDirectory("DATA\\"), LogResult::LOG_WRITE_FAILED);
  EXPECT_EQ(log.LogFile("a.exe", false), LogResult::LOG_OK);
  EXPECT_EQ(log.LogClose(), LogResult::LOG_OK);

  Layout expected = Header(141);
  expected.Words({18, 15}).Byte(2).Byte(14).Words({0x200, 83, 12, 1, 2}).Text(".");
  expected.Words({18, 15}).Byte(2).Byte(18).Words({0x200, 119});
  expected.Words({18, 15}).Byte(3).Byte(22).Words({0x200, 0, 16, 1, 0, 6}).Text("a.exe");
  EXPECT_EQ(ReadBytes(HostLog()), expected.bytes);
}

}  // namespace
}  // namespace vtsetup
