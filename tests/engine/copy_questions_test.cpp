#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/copy_directory.h"
#include "tests/engine/copy_fixture.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"

namespace vtsetup {
namespace {

namespace fs = std::filesystem;
using platform::ANSWER_ABORT;
using platform::ANSWER_CANCEL;
using platform::ANSWER_IGNORE;
using platform::ANSWER_NO;
using platform::ANSWER_OK;
using platform::ANSWER_RETRY;
using platform::ANSWER_YES;
using testing::CopyFixture;
using testing::Filled;
using testing::ShownBox;
using Lines = std::vector<std::string>;
using BoxList = std::vector<ShownBox>;

constexpr char kSource[] = "C:\\SRC\\data\\level.dat";
constexpr char kDest[] = "D:\\GAME\\data\\level.dat";

// One file in DATA\ after a root file that is always copied, so that every stop is seen after work
// that stays done.
class CopyQuestions : public CopyFixture {
 protected:
  CopyQuestions() {
    AddDir("DATA\\");
    AddFile("readme", 10);
    AddFile("data\\level.dat", 300000);
  }
  FileEntry& Level() { return pack_.Files[1]; }
  // The state after the first file only: the second one is still pending, nothing of it logged.
  void ExpectStoppedAtLevel() {
    EXPECT_EQ(Logged(), (Lines{"File readme logged.", "Directory DATA\\ logged."}));
    EXPECT_EQ(context_->CopiedFileCount, 1u);
    EXPECT_EQ(context_->CopiedBytes, 10u);
    EXPECT_EQ(Level().RecordSize, RECORD_SIZE_FILE);
    EXPECT_EQ(pack_.Dirs[0].RecordSize, RECORD_SIZE_DIR);
  }
  void ExpectLevelCopied() {
    EXPECT_EQ(Logged(),
              (Lines{"File readme logged.", "Directory DATA\\ logged.", "File data\\level.dat logged."}));
    EXPECT_EQ(context_->CopiedFileCount, 2u);
    EXPECT_EQ(context_->CopiedBytes, 300010u);
    EXPECT_EQ(DestBytes("data/level.dat"), SourceBytes("data/level.dat"));
    EXPECT_EQ(Level().RecordSize, 0u);
  }
};

TEST_F(CopyQuestions, MissingSourceAbortStops) {
  fs::remove(Host(kSource));
  Answer(ANSWER_ABORT);
  EXPECT_EQ(Run(), STATUS_SOURCE_MISSING);
  EXPECT_EQ(Boxes(), (BoxList{{18, Filled(5004, kSource)}}));
  ExpectStoppedAtLevel();
  EXPECT_FALSE(DestExists("data/level.dat"));
}

TEST_F(CopyQuestions, MissingSourceRetryAfterTheFileAppears) {
  const std::vector<unsigned char> bytes = testing::ReadBytes(Host(kSource));
  fs::remove(Host(kSource));
  Answer(ANSWER_RETRY);  // still missing
  Answer(ANSWER_RETRY, [&] { testing::WriteBytes(Host(kSource), bytes); });
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(), (BoxList{{18, Filled(5004, kSource)}, {18, Filled(5004, kSource)}}));
  ExpectLevelCopied();
}

// The skipped file counts as handled: its bytes, its record and the count, as if it had been copied.
TEST_F(CopyQuestions, MissingSourceIgnoreCountsTheFileAsHandled) {
  fs::remove(Host(kSource));
  Answer(ANSWER_IGNORE);
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Logged(),
            (Lines{"File readme logged.", "Directory DATA\\ logged.", "File data\\level.dat logged."}));
  EXPECT_EQ(context_->CopiedFileCount, 2u);
  EXPECT_EQ(context_->CopiedBytes, 300010u);
  EXPECT_FALSE(DestExists("data/level.dat"));
  EXPECT_EQ(Level().RecordSize, 0u);
}

TEST_F(CopyQuestions, ReadFailureRetryThenCancelDeletesThePartlyWrittenFile) {
  // The readme takes the first read; the level's second block fails twice.
  faulty_.fail_read = 3;
  Answer(ANSWER_RETRY, [&] {
    EXPECT_FALSE(DestExists("data/level.dat"));
    faulty_.fail_read = 5;
  });
  Answer(ANSWER_CANCEL);
  EXPECT_EQ(Run(), STATUS_READ_FAILED);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5007, kSource)}, {21, Filled(5007, kSource)}}));
  EXPECT_FALSE(DestExists("data/level.dat"));
  ExpectStoppedAtLevel();
}

TEST_F(CopyQuestions, ReadFailureRetrySucceeds) {
  faulty_.fail_read = 2;
  Answer(ANSWER_RETRY);
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5007, kSource)}}));
  ExpectLevelCopied();
}

TEST_F(CopyQuestions, WriteFailureRetrySucceedsAndCancelStops) {
  faulty_.fail_write = 3;  // the level's second block
  Answer(ANSWER_RETRY, [&] { EXPECT_FALSE(DestExists("data/level.dat")); });
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5006, kDest)}}));
  ExpectLevelCopied();
}

TEST_F(CopyQuestions, WriteFailureCancelStops) {
  faulty_.fail_write = 2;
  faulty_.short_write = true;
  Answer(ANSWER_CANCEL);
  EXPECT_EQ(Run(), STATUS_WRITE_FAILED);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5006, kDest)}}));
  EXPECT_FALSE(DestExists("data/level.dat"));
  ExpectStoppedAtLevel();
}

// The NT family's number for a full disk asks the disk-full question, not the write-failure one.
TEST_F(CopyQuestions, NtDiskFullNumberCountsAsAFullDisk) {
  faulty_.fail_write = 3;
  faulty_.error = platform::ERR_DISK_FULL;
  Answer(ANSWER_CANCEL);
  EXPECT_EQ(Run(), STATUS_DISK_FULL);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5008, kDest)}}));
  EXPECT_FALSE(DestExists("data/level.dat"));
}

TEST_F(CopyQuestions, ExistingFileOkReplacesItAndEveryLaterOne) {
  fs::create_directories(DestHost("data"));
  testing::WriteText(DestHost("data/level.dat"), "old");
  testing::WriteText(DestHost("readme"), "old");
  Answer(ANSWER_OK);
  EXPECT_EQ(Run(), STATUS_DONE);
  // One question for the readme; the existing directory and file after it are reused without asking.
  EXPECT_EQ(Boxes(), (BoxList{{17, Filled(5005, "D:\\GAME\\readme")}}));
  EXPECT_TRUE(context_->OverwriteAll);
  EXPECT_EQ(DestBytes("readme"), SourceBytes("readme"));
  ExpectLevelCopied();
}

TEST_F(CopyQuestions, ExistingFileCancelKeepsIt) {
  testing::WriteText(DestHost("readme"), "old");
  Answer(ANSWER_CANCEL);
  EXPECT_EQ(Run(), STATUS_DECLINED);
  EXPECT_EQ(Boxes(), (BoxList{{17, Filled(5005, "D:\\GAME\\readme")}}));
  EXPECT_EQ(testing::ReadText(DestHost("readme")), "old");
  EXPECT_TRUE(Logged().empty());
  EXPECT_EQ(context_->CopiedFileCount, 0u);
  EXPECT_FALSE(context_->OverwriteAll);
}

// A Yes to an existing directory also lets the existing files in it be replaced without a question.
TEST_F(CopyQuestions, ExistingDirectoryYesAlsoReplacesExistingFiles) {
  fs::create_directories(DestHost("data"));
  testing::WriteText(DestHost("data/level.dat"), "old");
  Answer(ANSWER_YES);
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(), (BoxList{{68, Filled(5003, "D:\\GAME\\DATA")}}));
  ExpectLevelCopied();
}

TEST_F(CopyQuestions, ExistingDirectoryYesAsksOnceAndNoStops) {
  AddDir("MORE\\");
  AddFile("more\\x", 1);
  fs::create_directories(DestHost("DATA"));
  fs::create_directories(DestHost("MORE"));
  Answer(ANSWER_YES);
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(), (BoxList{{68, Filled(5003, "D:\\GAME\\DATA")}}));
  EXPECT_EQ(Logged(),
            (Lines{"File readme logged.", "Directory DATA\\ logged.", "File data\\level.dat logged.",
                   "Directory MORE\\ logged.", "File more\\x logged."}));
}

TEST_F(CopyQuestions, ExistingDirectoryNoStops) {
  fs::create_directories(DestHost("DATA"));
  Answer(ANSWER_NO);
  EXPECT_EQ(Run(), STATUS_DECLINED);
  EXPECT_EQ(Boxes(), (BoxList{{68, Filled(5003, "D:\\GAME\\DATA")}}));
  EXPECT_EQ(Logged(), (Lines{"File readme logged."}));
  EXPECT_EQ(pack_.Dirs[0].RecordSize, RECORD_SIZE_DIR);
}

// An aborted file that fails its checksum is gone: it is in no log, so nothing would ever remove it.
TEST_F(CopyQuestions, ChecksumMismatchAbortDeletesTheFile) {
  Level().Crc ^= 1;
  Answer(ANSWER_ABORT);
  EXPECT_EQ(Run(), STATUS_DECLINED);
  EXPECT_EQ(Boxes(), (BoxList{{18, Filled(5010, kDest)}}));
  EXPECT_FALSE(DestExists("data/level.dat"));
  ExpectStoppedAtLevel();
}

// Retry meets the file just written, so the existing-file question comes first; an OK copies again.
TEST_F(CopyQuestions, ChecksumMismatchRetryAsksAboutTheExistingFileThenIgnoreAccepts) {
  Level().Crc ^= 1;
  Answer(ANSWER_RETRY);
  Answer(ANSWER_OK);
  Answer(ANSWER_IGNORE);
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(),
            (BoxList{{18, Filled(5010, kDest)}, {17, Filled(5005, kDest)}, {18, Filled(5010, kDest)}}));
  ExpectLevelCopied();
}

TEST_F(CopyQuestions, ChecksumsAreNotComparedWhenCheckingIsOff) {
  Level().Crc ^= 1;
  context_->CheckCrc = false;
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_TRUE(Boxes().empty());
  ExpectLevelCopied();
}

// A drive with room for little more than the readme.
class CopyOnFullDisk : public CopyFixture {
 protected:
  static constexpr char kSmallDrive[] =
      "[Drive C]\nFolder = drive_c\nType = fixed\n"
      "[Drive D]\nFolder = drive_d\nType = fixed\nFreeBytes = 250000\nClusterSize = 512\n";
  CopyOnFullDisk() : CopyFixture(kSmallDrive) {
    AddFile("big", 200000);
    // Something else on the drive that the user can remove.
    testing::WriteBytes(Host("D:\\filler"), testing::RandomBytes(100000, 5));
  }
};

TEST_F(CopyOnFullDisk, RetryAfterRoomIsFreed) {
  Answer(ANSWER_RETRY, [&] {
    EXPECT_FALSE(DestExists("big"));
    ASSERT_EQ(machine_.System().Files().Delete("D:\\filler"), platform::ERR_NONE);
  });
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5008, "D:\\GAME\\big")}}));
  EXPECT_EQ(DestBytes("big"), SourceBytes("big"));
  EXPECT_EQ(Logged(), (Lines{"File big logged."}));
  EXPECT_EQ(Positions(), (Lines{"100 of 100"}));
}

TEST_F(CopyOnFullDisk, CancelStopsWithoutALeftover) {
  Answer(ANSWER_CANCEL);
  EXPECT_EQ(Run(), STATUS_DISK_FULL);
  EXPECT_EQ(Boxes(), (BoxList{{21, Filled(5008, "D:\\GAME\\big")}}));
  EXPECT_FALSE(DestExists("big"));
  EXPECT_TRUE(Logged().empty());
  EXPECT_EQ(context_->CopiedFileCount, 0u);
}

}  // namespace
}  // namespace vtsetup

namespace vtsetup {
namespace {

class CopyOnReadOnlyDrive : public CopyFixture {
 protected:
  CopyOnReadOnlyDrive()
      : CopyFixture(
            "[Drive C]\nFolder = drive_c\nType = fixed\n[Drive D]\nFolder = drive_d\nType = fixed\nReadOnly "
            "= Yes\n") {}
};

// A directory that cannot be made ends the copy without a question.
TEST_F(CopyOnReadOnlyDrive, DirectoryThatCannotBeMadeStops) {
  AddDir("DATA\\");
  AddFile("data\\level.dat", 5);
  EXPECT_EQ(Run(), STATUS_CREATE_FAILED);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(Logged().empty());
  EXPECT_EQ(pack_.Dirs[0].RecordSize, RECORD_SIZE_DIR);
}

}  // namespace
}  // namespace vtsetup
