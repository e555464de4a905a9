#include "engine/workers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "setupdb/checksum_flag.h"
#include "tests/engine/worker_fixture.h"
#include "tests/support/bitmap_layout.h"
#include "tests/support/temp_dir.h"

namespace vtsetup {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr std::uint32_t kRed = 0xFF0000;

class WorkersTest : public testing::WorkerFixture {
 protected:
  std::int32_t Start(std::uint32_t type_index = 0) {
    return workers_->StartWorkers(info_, kDestination, kSource, type_index, progress_, 1008);
  }
  // Pumps as the main thread would until the slideshow's first picture is up, so that the end of the
  // run has a billboard to take away.
  void PumpUntilTheBillboardIsUp() {
    while (BillboardWidth() != 3) {
      background_->PumpPendingMessages();
    }
  }
  bool Copied(const std::string& relative) const {
    const std::string destination = Host(std::string(kDestination) + "\\" + relative);
    return fs::exists(destination) &&
           testing::ReadBytes(destination) == testing::ReadBytes(Host(kSource + relative));
  }
  Lines CopyTrace() const {
    Lines lines;
    for (const std::string& line : TraceLines()) {
      if (line.starts_with("Kopiere ") || line.starts_with("Lege Verzeichnis ")) {
        lines.push_back(line);
      }
    }
    return lines;
  }
  // Every snapshot shows the background at the billboard's place.
  bool BillboardNeverShown() const {
    for (const std::string& file : Snapshots()) {
      if (testing::SnapshotPixel(testing::ReadBytes(file), app::kBillboardLeft, app::kBillboardTop) !=
          kBackgroundColour) {
        return false;
      }
    }
    return true;
  }
};

// Puts the program-wide checksum switch back as it was.
class ChecksumVerificationOff {
 public:
  ChecksumVerificationOff() : before_(ChecksumVerification()) { SetChecksumVerification(false); }
  ~ChecksumVerificationOff() { SetChecksumVerification(before_); }

 private:
  bool before_;
};

TEST_F(WorkersTest, ACopyThatSucceedsGivesZeroAndLeavesTheBackgroundWithoutBillboard) {
  AddFile("a.dat", 3000);
  AddDir("SUB\\");
  AddFile("SUB\\b.dat", 250000);
  WriteBillboard(1, 3, kRed);
  Prepare();
  ASSERT_EQ(Start(), WORKERS_OK);
  PumpUntilTheBillboardIsUp();
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_OK);

  EXPECT_EQ(workers_->CopiedFileCount(), 2u);
  EXPECT_TRUE(Copied("a.dat"));
  EXPECT_TRUE(Copied("SUB\\b.dat"));
  EXPECT_EQ(CopyTrace(),
            (Lines{"Kopiere C:\\SRC\\a.dat nach D:\\GAME\\a.dat.", "Lege Verzeichnis D:\\GAME\\SUB an.",
                   "Kopiere C:\\SRC\\SUB\\b.dat nach D:\\GAME\\SUB\\b.dat."}));
  const Lines positions = TranscriptWith("progress dialog 108: ");
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.back(), "progress dialog 108: 100 of 100");
  for (const FileEntry& entry : info_.Packs[0].Files) {
    EXPECT_EQ(entry.RecordSize, 0u);
  }
  EXPECT_EQ(BillboardWidth(), -1);
  EXPECT_EQ(LastSnapshotBillboardCorner(), kBackgroundColour);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(WorkersTest, ADeclinedCopyGivesNineOnlyAfterTheSlideshowStoppedAndItsBillboardWentAway) {
  AddFile("a.dat", 100);
  AddDir("SUB\\");
  AddFile("SUB\\b.dat", 100);
  fs::create_directories(Host("D:\\GAME\\SUB"));
  WriteBillboard(1, 3, kRed);
  WriteBillboard(2, 5, 0x00FF00);
  Prepare("message no\n");
  ASSERT_EQ(Start(), WORKERS_OK);
  PumpUntilTheBillboardIsUp();
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_COPY_FAILED);

  EXPECT_EQ(workers_->CopiedFileCount(), 1u);
  EXPECT_TRUE(Copied("a.dat"));
  EXPECT_FALSE(fs::exists(Host("D:\\GAME\\SUB\\b.dat")));
  EXPECT_EQ(TranscriptWith("message box").size(), 1u);
  EXPECT_EQ(TranscriptWith("message box (style 68)").size(), 1u);
  EXPECT_EQ(BillboardWidth(), -1);
  EXPECT_EQ(LastSnapshotBillboardCorner(), kBackgroundColour);
}

TEST_F(WorkersTest, TheCopysBoxesAreAnsweredWhileTheMainThreadPumps) {
  AddDir("SUB\\");
  AddFile("SUB\\b.dat", 100);
  AddFile("SUB\\gone.dat", 100);
  AddFile("SUB\\c.dat", 100);
  fs::remove(Host("C:\\SRC\\SUB\\gone.dat"));
  fs::create_directories(Host("D:\\GAME\\SUB"));
  Prepare("message yes\nmessage ignore\n");
  ASSERT_EQ(Start(), WORKERS_OK);
  // The copy now waits for its first answer, which only the pump below can bring; starting anew
  // meanwhile is refused rather than waiting for a worker that waits for us.
  EXPECT_EQ(Start(), WORKERS_NO_THREAD);
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_OK);

  const Lines boxes = TranscriptWith("message box");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_TRUE(boxes[0].starts_with("message box (style 68)")) << boxes[0];
  EXPECT_TRUE(boxes[0].ends_with("-> 6 (yes)")) << boxes[0];
  EXPECT_TRUE(boxes[1].starts_with("message box (style 18)")) << boxes[1];
  EXPECT_TRUE(boxes[1].ends_with("-> 5 (ignore)")) << boxes[1];
  EXPECT_TRUE(Copied("SUB\\b.dat"));
  EXPECT_TRUE(Copied("SUB\\c.dat"));
  // An ignored file counts as handled.
  EXPECT_EQ(workers_->CopiedFileCount(), 3u);
  EXPECT_EQ(errors_.str(), "");
}

TEST_F(WorkersTest, AbortingAtAMissingSourceGivesNineWithTheFilesCopiedBeforeCounted) {
  AddFile("a.dat", 100);
  AddFile("gone.dat", 100);
  AddFile("c.dat", 100);
  fs::remove(Host("C:\\SRC\\gone.dat"));
  Prepare("message abort\n");
  ASSERT_EQ(Start(), WORKERS_OK);
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_COPY_FAILED);
  EXPECT_EQ(workers_->CopiedFileCount(), 1u);
  EXPECT_TRUE(TranscriptWith("message box (style 18)").at(0).ends_with("-> 3 (abort)"));
  EXPECT_FALSE(fs::exists(Host("D:\\GAME\\c.dat")));
}

TEST_F(WorkersTest, WithoutAThreadForTheCopyNothingIsCopiedAndTheWaitGivesNine) {
  AddFile("a.dat", 100);
  WriteBillboard(1, 3, kRed);
  Prepare("", 0);
  EXPECT_EQ(Start(), WORKERS_NO_THREAD);
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_COPY_FAILED);
  EXPECT_EQ(workers_->CopiedFileCount(), 0u);
  EXPECT_FALSE(fs::exists(Host("D:\\GAME\\a.dat")));
  EXPECT_EQ(info_.Packs[0].Files[0].RecordSize, RECORD_SIZE_FILE);
  EXPECT_TRUE(BillboardNeverShown());
}

TEST_F(WorkersTest, WithoutAThreadForTheSlideshowTheCopyStillRunsToItsEnd) {
  AddFile("a.dat", 100);
  WriteBillboard(1, 3, kRed);
  Prepare("", 1);
  EXPECT_EQ(Start(), WORKERS_NO_THREAD);
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_OK);
  EXPECT_TRUE(Copied("a.dat"));
  EXPECT_EQ(processes_.Naps().size(), 0u);
  EXPECT_TRUE(BillboardNeverShown());
}

TEST_F(WorkersTest, ATypeTheDatabaseLacksCopiesNothingAndGivesNine) {
  AddFile("a.dat", 100);
  Prepare();
  ASSERT_EQ(Start(1), WORKERS_OK);
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_COPY_FAILED);
  EXPECT_EQ(workers_->CopiedFileCount(), 0u);
  EXPECT_FALSE(fs::exists(Host("D:\\GAME\\a.dat")));
}

TEST_F(WorkersTest, TheCopyFollowsTheProgramWideChecksumSwitch) {
  AddFile("a.dat", 100);
  info_.Packs[0].Files[0].Crc ^= 1;
  const ChecksumVerificationOff off;
  Prepare();
  ASSERT_EQ(Start(), WORKERS_OK);
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_OK);
  EXPECT_TRUE(Copied("a.dat"));
  EXPECT_TRUE(TranscriptWith("message box").empty());
}

TEST_F(WorkersTest, WorkersLeftRunningAreWaitedForPumpingWhenTheirOwnerGoes) {
  AddDir("SUB\\");
  AddFile("SUB\\b.dat", 100);
  fs::create_directories(Host("D:\\GAME\\SUB"));
  WriteBillboard(1, 3, kRed);
  Prepare("message yes\n");
  ASSERT_EQ(Start(), WORKERS_OK);
  workers_.reset();
  EXPECT_TRUE(Copied("SUB\\b.dat"));
  EXPECT_EQ(BillboardWidth(), -1);
}

TEST_F(WorkersTest, TheSlideshowEndsWithinOneDelayOfTheCopysEnd) {
  constexpr std::int32_t kDelay = 400;
  info_.Options.SplashDelay = kDelay;
  AddFile("a.dat", 100);
  WriteBillboard(1, 3, kRed);
  Prepare();
  ASSERT_EQ(Start(), WORKERS_OK);
  PumpUntilTheBillboardIsUp();
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(workers_->WaitForWorkers(), WORKERS_OK);
  const auto waited =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before);
  // One delay, and room for a machine that is busy with other work.
  EXPECT_LT(waited.count(), kDelay + 600);
  EXPECT_LE(processes_.Naps().size(), 2u);
}

}  // namespace
}  // namespace vtsetup
