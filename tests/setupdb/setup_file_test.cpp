#include "setupdb/setup_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"
#include "setupdb/checksum_flag.h"
#include "tests/setupdb/database_fixtures.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

platform::FileSystem& Files() {
  return platform::TheSystem().Files();
}

struct ReadOutcome {
  SetupFileResult result;
  std::unique_ptr<SetupInfo> info;
  std::string console;
};

ReadOutcome Read(platform::FileSystem& files, const std::string& path,
                 const SetupFileProgress& progress = {}) {
  ReadOutcome outcome;
  CaptureStdout();
  outcome.result = ReadSetupFile(files, path.c_str(), outcome.info, progress);
  outcome.console = GetCapturedStdout();
  return outcome;
}

ReadOutcome ReadBytesAsDatabase(const std::vector<unsigned char>& bytes) {
  TempDir dir;
  WriteBytes(dir.File("SETUP.INF"), bytes);
  return Read(Files(), dir.File("SETUP.INF"));
}

class SetupFileTest : public ::testing::Test {
 protected:
  std::string Written(const SetupInfo& info) {
    EXPECT_EQ(WriteSetupFile(Files(), info, path_.c_str()), SETUP_FILE_OK);
    return path_;
  }

  TempDir dir_;
  std::string path_ = dir_.File("SETUP.INF");
};

TEST_F(SetupFileTest, RoundTripKeepsEveryStoredField) {
  const ReadOutcome read = Read(Files(), Written(SampleTree()));
  ASSERT_EQ(read.result, SETUP_FILE_OK);
  EXPECT_EQ(read.console, "");
  EXPECT_EQ(StoredBytes(*read.info), SampleTreeBytes().Bytes());
  // The tags that the file does not carry are set by the reader.
  EXPECT_EQ(read.info->RecordSize, RECORD_SIZE_SETUP_INFO);
  EXPECT_EQ(read.info->Options.RecordSize, RECORD_SIZE_OPTIONS);
  EXPECT_EQ(read.info->Packs[1].RecordSize, RECORD_SIZE_PACK);
  EXPECT_EQ(read.info->Packs[1].Dirs[1].RecordSize, RECORD_SIZE_DIR);
  EXPECT_EQ(read.info->TempFiles[1].RecordSize, RECORD_SIZE_FILE);
}

TEST_F(SetupFileTest, FieldsThatAreNotStoredComeBackAsTheReaderSetsThem) {
  SetupInfo info = SampleTree();
  info.Bitmaps.RecordSize = RECORD_SIZE_BITMAPS_COMPILING;
  info.Packs[1].Dirs[0].SubDirs = true;
  info.Packs[1].Shortcuts[0].Reserved = 7;
  info.Packs[1].Files[0].RecordSize = 0;  // an entry that a copy had already consumed
  const ReadOutcome read = Read(Files(), Written(info));
  ASSERT_EQ(read.result, SETUP_FILE_OK);
  EXPECT_EQ(read.info->Bitmaps.RecordSize, 0u);
  EXPECT_FALSE(read.info->Packs[1].Dirs[0].SubDirs);
  EXPECT_EQ(read.info->Packs[1].Shortcuts[0].Reserved, 0u);
  EXPECT_EQ(read.info->Packs[1].Files[0].RecordSize, RECORD_SIZE_FILE);
}

TEST_F(SetupFileTest, EmptyTreeRoundTripsWithoutProgress) {
  std::vector<std::uint32_t> positions;
  const ReadOutcome read =
      Read(Files(), Written(SetupInfo{}), [&](std::uint32_t p) { positions.push_back(p); });
  ASSERT_EQ(read.result, SETUP_FILE_OK);
  EXPECT_EQ(StoredBytes(*read.info), StoredBytes(SetupInfo{}));
  EXPECT_TRUE(positions.empty());
}

// Seven packs: 100 / 7 is 14, so the positions are multiples of 14. Multiplying first would give 57,
// 71 and 85 for the last three.
TEST_F(SetupFileTest, ProgressIsSetBeforeEachPackWithTheDivisionFirst) {
  SetupInfo info;
  info.Packs.resize(7);
  std::vector<std::uint32_t> positions;
  ASSERT_EQ(Read(Files(), Written(info), [&](std::uint32_t p) { positions.push_back(p); }).result,
            SETUP_FILE_OK);
  EXPECT_EQ(positions, (std::vector<std::uint32_t>{0, 14, 28, 42, 56, 70, 84}));
}

TEST_F(SetupFileTest, LoadingSetsTheChecksumFlagFromTheOptions) {
  SetupInfo info;
  info.Options.CheckCRC = false;
  SetChecksumVerification(true);
  ASSERT_EQ(Read(Files(), Written(info)).result, SETUP_FILE_OK);
  EXPECT_FALSE(ChecksumVerification());
  info.Options.CheckCRC = true;
  ASSERT_EQ(Read(Files(), Written(info)).result, SETUP_FILE_OK);
  EXPECT_TRUE(ChecksumVerification());
}

TEST_F(SetupFileTest, EveryChangedByteMakesTheFileInvalid) {
  const std::vector<unsigned char> good = ReadBytes(Written(SampleTree()));
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (const unsigned char flip : {0x01, 0x80, 0xFF}) {
      std::vector<unsigned char> bad = good;
      bad[i] ^= flip;
      const ReadOutcome read = ReadBytesAsDatabase(bad);
      ASSERT_EQ(read.result, SETUP_FILE_INVALID) << "byte " << i;
      EXPECT_EQ(read.console, "");
      EXPECT_EQ(read.info, nullptr);
    }
  }
}

TEST_F(SetupFileTest, ShortAndEmptyFilesAreInvalid) {
  const std::vector<unsigned char> good = ReadBytes(Written(SampleTree()));
  for (const std::size_t length : {std::size_t{0}, std::size_t{3}, std::size_t{8}, std::size_t{11},
                                   std::size_t{12}, good.size() / 2, good.size() - 1}) {
    EXPECT_EQ(ReadBytesAsDatabase({good.begin(), good.begin() + static_cast<long>(length)}).result,
              SETUP_FILE_INVALID)
        << length;
  }
}

TEST_F(SetupFileTest, BytesAfterTheLastTemporaryFileAreNotLookedAt) {
  std::vector<unsigned char> bytes = SampleTreeBytes().Bytes();
  bytes.insert(bytes.end(), {1, 2, 3});
  SealDatabase(bytes);
  const ReadOutcome read = ReadBytesAsDatabase(bytes);
  ASSERT_EQ(read.result, SETUP_FILE_OK);
  EXPECT_EQ(StoredBytes(*read.info), SampleTreeBytes().Bytes());
}

TEST_F(SetupFileTest, MissingFileIsReportedAndGivesTwo) {
  const ReadOutcome read = Read(Files(), dir_.File("NOWHERE.INF"));
  EXPECT_EQ(read.result, SETUP_FILE_CANNOT_OPEN);
  EXPECT_EQ(read.console, "Kann Datei " + dir_.File("NOWHERE.INF") + " nicht oeffnen.\nGrund: " +
                              Files().ErrorText(platform::ERR_FILE_NOT_FOUND).Data() + "\n");
}

// Counts that promise more records than the file holds end the read instead of allocating for them.
TEST_F(SetupFileTest, CountsBeyondTheRestOfTheFileGiveSeven) {
  const ByteBuilder sample = SampleTreeBytes();
  struct Case {
    const char* what;
    std::size_t offset;
  };
  const Case cases[] = {
      {"PackCount", sample.At("PackCount")},         {"DirCount", sample.At("Pack1DirCount")},
      {"FileCount", sample.At("Pack1FileCount")},    {"ShortcutCount", sample.At("Pack1ShortcutCount")},
      {"TempFileCount", sample.At("TempFileCount")},
  };
  for (const Case& c : cases) {
    for (const std::uint32_t count : {0xFFFFFFFFu, 0x10000000u, 100000u}) {
      std::vector<unsigned char> bytes = sample.Bytes();
      for (int i = 0; i < 4; ++i) {
        bytes[c.offset + i] = static_cast<unsigned char>(count >> (8 * i));
      }
      SealDatabase(bytes);
      const ReadOutcome read = ReadBytesAsDatabase(bytes);
      EXPECT_EQ(read.result, SETUP_FILE_READ_FAILED) << c.what << " " << count;
      EXPECT_EQ(read.info, nullptr);
    }
  }
}

TEST_F(SetupFileTest, EveryFailedReadGivesSevenAndTheNamedOnesAreReported) {
  Written(SampleTree());
  FaultyFileSystem counting(Files());
  ASSERT_EQ(Read(counting, path_).result, SETUP_FILE_OK);
  const ByteBuilder sample = SampleTreeBytes();
  const std::set<std::uint64_t> reported = {
      0, 4, 8, sample.At("PackCount"), sample.At("TempFileCount"), sample.At("TempTotalSize")};
  const std::string reason = Files().ErrorText(platform::ERR_GEN_FAILURE).Data();
  for (std::size_t k = 1; k <= counting.reads.size(); ++k) {
    const FaultyFileSystem::Call& call = counting.reads[k - 1];
    FaultyFileSystem faulty(Files());
    faulty.fail_read = static_cast<int>(k);
    const ReadOutcome read = Read(faulty, path_);
    EXPECT_EQ(read.info, nullptr);
    if (call.handle == 2) {
      // The checksum's own read: its failure value cannot match the stored checksum.
      EXPECT_EQ(read.result, SETUP_FILE_INVALID);
      EXPECT_EQ(read.console, "");
      continue;
    }
    EXPECT_EQ(read.result, SETUP_FILE_READ_FAILED) << "read at " << call.offset;
    if (reported.count(call.offset) != 0) {
      EXPECT_EQ(read.console, "Fehler beim Lesen von " + path_ + " => Abbruch.\nGrund: " + reason + "\n");
    } else {
      EXPECT_EQ(read.console, "") << "read at " << call.offset;
    }
  }
}

struct WriteOutcome {
  SetupFileResult result;
  std::string console;
};

WriteOutcome Write(platform::FileSystem& files, const SetupInfo& info, const std::string& path) {
  CaptureStdout();
  const SetupFileResult result = WriteSetupFile(files, info, path.c_str());
  return {result, GetCapturedStdout()};
}

TEST_F(SetupFileTest, EveryFailedWriteGivesSixWithItsDiagnostic) {
  FaultyFileSystem counting(Files());
  ASSERT_EQ(Write(counting, SampleTree(), path_).result, SETUP_FILE_OK);
  const ByteBuilder sample = SampleTreeBytes();
  const std::set<std::uint64_t> named = {
      0, 4, 8, sample.At("PackCount"), sample.At("TempFileCount"), sample.At("TempTotalSize")};
  const std::string reason = Files().ErrorText(platform::ERR_GEN_FAILURE).Data();
  const std::string named_failure =
      "Fehler beim Schreiben von " + path_ + " => Abbruch.\nGrund: " + reason + "\n";
  for (const bool short_write : {false, true}) {
    for (std::size_t k = 1; k <= counting.writes.size(); ++k) {
      const FaultyFileSystem::Call& call = counting.writes[k - 1];
      FaultyFileSystem faulty(Files());
      faulty.fail_write = static_cast<int>(k);
      faulty.short_write = short_write;
      const WriteOutcome outcome = Write(faulty, SampleTree(), path_);
      EXPECT_EQ(outcome.result, SETUP_FILE_WRITE_FAILED) << "write at " << call.offset;
      const bool is_string = sample.StartsString(call.offset);
      const bool is_options_block = call.size == SETUP_FILE_OPTIONS_BLOCK_SIZE;
      if (call.handle == 2 || named.count(call.offset) != 0) {
        // A short write has no error of its own; the system's text is then that of "no error".
        const std::string expected =
            short_write ? "Fehler beim Schreiben von " + path_ +
                              " => Abbruch.\nGrund: " + Files().ErrorText(platform::ERR_NONE).Data() + "\n"
                        : named_failure;
        EXPECT_EQ(outcome.console, expected) << "write at " << call.offset;
      } else if (is_string || is_options_block) {
        EXPECT_EQ(outcome.console, "Fehler beim Schreiben => Abbruch\n") << "write at " << call.offset;
      } else {
        EXPECT_EQ(outcome.console, "") << "write at " << call.offset;
      }
    }
  }
}

TEST_F(SetupFileTest, CreateAndReopenFailures) {
  FaultyFileSystem cannot_create(Files());
  cannot_create.fail_open = 1;
  cannot_create.error = platform::ERR_ACCESS_DENIED;
  WriteOutcome outcome = Write(cannot_create, SampleTree(), path_);
  EXPECT_EQ(outcome.result, SETUP_FILE_WRITE_FAILED);
  EXPECT_EQ(outcome.console, "Kann Datei " + path_ + " nicht erzeugen.\nGrund: " +
                                 Files().ErrorText(platform::ERR_ACCESS_DENIED).Data() + "\n");

  FaultyFileSystem cannot_reopen(Files());
  cannot_reopen.fail_open = 3;  // after the file and its checksum's handle
  outcome = Write(cannot_reopen, SampleTree(), path_);
  EXPECT_EQ(outcome.result, SETUP_FILE_WRITE_FAILED);
  EXPECT_EQ(outcome.console, "");
}

struct ReplaceOutcome {
  SetupFileResult result;
  platform::SystemError reason;
  std::string console;
};

ReplaceOutcome Replace(platform::FileSystem& files, const SetupInfo& info, const std::string& path) {
  ReplaceOutcome outcome{};
  CaptureStdout();
  outcome.result = ReplaceSetupFile(files, info, path.c_str(), outcome.reason);
  outcome.console = GetCapturedStdout();
  return outcome;
}

std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return {names.begin(), names.end()};
}

// A database that differs from the sample, to stand for the good one that a failed replacement keeps.
SetupInfo OldTree() {
  SetupInfo info;
  info.Product = "Old";
  return info;
}

TEST_F(SetupFileTest, ReplacingGivesTheBytesOfAWriteAndLeavesNothingBeside) {
  const std::string written = dir_.File("WRITTEN.INF");
  ASSERT_EQ(WriteSetupFile(Files(), SampleTree(), written.c_str()), SETUP_FILE_OK);
  Written(OldTree());
  // Someone's file under the first name the replacement would take stays as it is.
  WriteText(path_ + ".new", "not ours");

  const ReplaceOutcome outcome = Replace(Files(), SampleTree(), path_);
  EXPECT_EQ(outcome.result, SETUP_FILE_OK);
  EXPECT_EQ(outcome.reason, platform::ERR_NONE);
  EXPECT_EQ(outcome.console, "");
  EXPECT_EQ(ReadBytes(path_), ReadBytes(written));
  EXPECT_EQ(ReadText(path_ + ".new"), "not ours");
  EXPECT_EQ(NamesIn(dir_.Path()), (std::vector<std::string>{"SETUP.INF", "SETUP.INF.new", "WRITTEN.INF"}));

  std::filesystem::remove(path_);  // a first database is made as well
  EXPECT_EQ(Replace(Files(), SampleTree(), path_).result, SETUP_FILE_OK);
  EXPECT_EQ(ReadBytes(path_), ReadBytes(written));
}

// Every open, read and write of a replacement fails in turn: the old database stays whole, nothing is
// left beside it, and the reason is the failing call's error. A checksum whose read failed is never
// sealed in.
TEST_F(SetupFileTest, AFailedReplacementKeepsTheOldDatabaseAndNamesTheReason) {
  Written(OldTree());
  const std::vector<unsigned char> old_bytes = ReadBytes(path_);
  FaultyFileSystem counting(Files());
  ASSERT_EQ(Replace(counting, OldTree(), path_).result, SETUP_FILE_OK);
  ASSERT_EQ(ReadBytes(path_), old_bytes);
  const int opens = 3;  // the new file, its checksum's handle, the handle that seals it
  const auto reads = static_cast<int>(counting.reads.size());
  const auto writes = static_cast<int>(counting.writes.size());
  ASSERT_GT(reads, 0);

  const auto check = [&](FaultyFileSystem& faulty, platform::SystemError expected, const std::string& what) {
    const ReplaceOutcome outcome = Replace(faulty, SampleTree(), path_);
    EXPECT_EQ(outcome.result, SETUP_FILE_WRITE_FAILED) << what;
    EXPECT_EQ(outcome.reason, expected) << what;
    EXPECT_EQ(ReadBytes(path_), old_bytes) << what;
    EXPECT_EQ(NamesIn(dir_.Path()), std::vector<std::string>{"SETUP.INF"}) << what;
    return outcome;
  };
  for (int k = 1; k <= opens; ++k) {
    FaultyFileSystem faulty(Files());
    faulty.fail_open = k;
    faulty.error = platform::ERR_ACCESS_DENIED;
    const ReplaceOutcome outcome = check(faulty, platform::ERR_ACCESS_DENIED, "open " + std::to_string(k));
    if (k == 1) {  // the database named as asked, not by the name beside it
      EXPECT_EQ(outcome.console, "Kann Datei " + path_ + " nicht erzeugen.\nGrund: " +
                                     Files().ErrorText(platform::ERR_ACCESS_DENIED).Data() + "\n");
    }
  }
  for (int k = 1; k <= reads; ++k) {
    FaultyFileSystem faulty(Files());
    faulty.fail_read = k;
    check(faulty, platform::ERR_GEN_FAILURE, "read " + std::to_string(k));
  }
  for (int k = 1; k <= writes; ++k) {
    FaultyFileSystem faulty(Files());
    faulty.fail_write = k;
    faulty.error = platform::ERR_HANDLE_DISK_FULL;
    check(faulty, platform::ERR_HANDLE_DISK_FULL, "write " + std::to_string(k));
    FaultyFileSystem cut(Files());
    cut.fail_write = k;
    cut.short_write = true;
    check(cut, platform::ERR_NONE, "short write " + std::to_string(k));
  }
}

TEST_F(SetupFileTest, AFolderIsNoDatabaseToReplace) {
  std::filesystem::create_directory(path_);
  WriteText(path_ + "/kept.txt", "kept");
  const ReplaceOutcome outcome = Replace(Files(), SampleTree(), path_);
  EXPECT_EQ(outcome.result, SETUP_FILE_WRITE_FAILED);
  EXPECT_EQ(outcome.reason, platform::ERR_ACCESS_DENIED);
  EXPECT_EQ(ReadText(path_ + "/kept.txt"), "kept");
  EXPECT_EQ(NamesIn(dir_.Path()), std::vector<std::string>{"SETUP.INF"});
}

TEST_F(SetupFileTest, TextsEndAtTheirFirstZeroByte) {
  SetupInfo info = SampleTree();
  info.Company = TextString("Vantor\0Software", 15);
  const ReadOutcome read = Read(Files(), Written(info));
  ASSERT_EQ(read.result, SETUP_FILE_OK);
  EXPECT_EQ(read.info->Company, "Vantor");
  EXPECT_EQ(read.info->Product, "Orvella");
}

TEST_F(SetupFileTest, AbsentGroupNameCannotBeStored) {
  SetupInfo info = SampleTree();
  info.GroupName.reset();
  const WriteOutcome outcome = Write(Files(), info, path_);
  EXPECT_EQ(outcome.result, SETUP_FILE_WRITE_FAILED);
  EXPECT_EQ(outcome.console, "");
}

}  // namespace
}  // namespace vtsetup::testing
