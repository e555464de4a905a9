#include "engine/slideshow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/worker_fixture.h"
#include "tests/support/temp_dir.h"

namespace vtsetup {
namespace {

using testing::Nap;

// The slideshow on a thread of its own while this thread pumps, as the main thread does during the
// copy; stopped at the start of pause `stop_at_nap`.
class SlideshowTest : public testing::WorkerFixture {
 protected:
  struct Outcome {
    WorkerStatus exit_code = 0;
    WorkerStatus status = 0;
    std::vector<Nap> naps;
  };

  Outcome Run(std::size_t stop_at_nap, const char* source = kSource) {
    Prepare();
    SlideshowJob job;
    job.database = &info_;
    job.source_folder = source;
    processes_.on_nap = [&](std::size_t naps) {
      if (naps == stop_at_nap) {
        Publish(job.stop, STOP_REQUEST);
      }
    };
    Slideshow slideshow(
        {machine_.System().Files(), machine_.System().Pictures(), *ui_, processes_, *background_});
    Outcome outcome;
    std::thread worker([&] { outcome.exit_code = slideshow.SlideshowWorker(job); });
    while (Observe(job.status) != STATUS_DONE) {
      background_->PumpPendingMessages();
    }
    worker.join();
    outcome.status = Observe(job.status);
    outcome.naps = processes_.Naps();
    return outcome;
  }

  static std::vector<std::int32_t> Widths(const std::vector<Nap>& naps) {
    std::vector<std::int32_t> widths;
    for (const Nap& nap : naps) {
      widths.push_back(nap.billboard_width);
    }
    return widths;
  }
};

TEST(BillboardName, ThreeDigitsWithLeadingZerosAndFourFromOneThousand) {
  EXPECT_STREQ(BillboardName(1).Data(), "splash001.bmp");
  EXPECT_STREQ(BillboardName(42).Data(), "splash042.bmp");
  EXPECT_STREQ(BillboardName(1000).Data(), "splash1000.bmp");
}

TEST_F(SlideshowTest, PicturesCycleInOrderEachShownForTheDelayAndTheWrapAddsNoPause) {
  WriteBillboard(1, 3, 0xFF0000);
  WriteBillboard(2, 5, 0x00FF00);
  WriteBillboard(3, 7, 0x0000FF);
  // Number 5 is never reached: the gap at 4 ends each round.
  WriteBillboard(5, 9, 0xFFFFFF);
  const Outcome outcome = Run(7);
  EXPECT_EQ(outcome.exit_code, STATUS_DONE);
  EXPECT_EQ(outcome.status, STATUS_DONE);
  EXPECT_EQ(Widths(outcome.naps), (std::vector<std::int32_t>{3, 5, 7, 3, 5, 7, 3}));
  for (const Nap& nap : outcome.naps) {
    EXPECT_EQ(nap.milliseconds, 5u);
  }
  // The stop came during the seventh pause and ended the show after it, the last picture still up.
  EXPECT_EQ(BillboardWidth(), 3);
  // Each picture was painted at once, over the background, where the person sees it.
  EXPECT_GE(Snapshots().size(), 1 + outcome.naps.size());
  EXPECT_EQ(LastSnapshotBillboardCorner(), 0xFF0000u);
}

TEST_F(SlideshowTest, ALonePictureIsReloadedAndRepaintedEveryDelay) {
  WriteBillboard(1, 4, 0x123456);
  const Outcome outcome = Run(3);
  EXPECT_EQ(Widths(outcome.naps), (std::vector<std::int32_t>{4, 4, 4}));
  EXPECT_GE(Snapshots().size(), 1 + 3u);
  EXPECT_EQ(LastSnapshotBillboardCorner(), 0x123456u);
}

TEST_F(SlideshowTest, WithoutAFirstPictureTheShowEndsAtOnceShowingNothing) {
  WriteBillboard(2, 5, 0x00FF00);
  const Outcome outcome = Run(1);
  EXPECT_EQ(outcome.exit_code, STATUS_SOURCE_MISSING);
  EXPECT_EQ(outcome.status, STATUS_DONE);
  EXPECT_TRUE(outcome.naps.empty());
  EXPECT_EQ(BillboardWidth(), -1);
  EXPECT_EQ(Snapshots().size(), 1u);
}

TEST_F(SlideshowTest, APictureThatCannotBeLoadedShowsNothingForItsTimeAndTheRoundGoesOn) {
  WriteBillboard(1, 3, 0xFF0000);
  testing::WriteBytes(Host("C:\\SRC\\BILDER\\splash002.bmp"), {'B', 'M', 0, 0});
  const Outcome outcome = Run(4);
  EXPECT_EQ(Widths(outcome.naps), (std::vector<std::int32_t>{3, 0, 3, 0}));
  EXPECT_EQ(LastSnapshotBillboardCorner(), kBackgroundColour);
}

TEST_F(SlideshowTest, PercentSignsInTheFoldersAreNoFormatDirectives) {
  info_.Options.BitmapDir = "B%s%n";
  std::filesystem::create_directories(Host("C:\\100%d\\B%s%n"));
  std::filesystem::copy_file(Host("C:\\back.bmp"), Host("C:\\100%d\\B%s%n\\splash001.bmp"));
  const Outcome outcome = Run(1, "C:\\100%d");
  EXPECT_EQ(Widths(outcome.naps), (std::vector<std::int32_t>{kBackgroundWidth}));
}

TEST_F(SlideshowTest, ANegativeDelayDoesNotPauseForWeeks) {
  info_.Options.SplashDelay = -1;
  WriteBillboard(1, 3, 0xFF0000);
  const Outcome outcome = Run(2);
  ASSERT_EQ(outcome.naps.size(), 2u);
  EXPECT_EQ(outcome.naps[0].milliseconds, 0u);
}

}  // namespace
}  // namespace vtsetup
