#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "compiler/compile_script.h"
#include "compiler/file_measurer.h"
#include "platform/system.h"
#include "tests/compiler/script_fixture.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

// What the compiler refuses rather than store a database that describes other files than those it was
// made from.

std::string ErrorText(platform::SystemError error) {
  return platform::TheSystem().Files().ErrorText(error).Data();
}

// Tests run as root, whom no permission stops, so the folder's listing fails by injection.
TEST_F(CompileScriptTest, AFolderThatIsThereAndCannotBeListedFailsTheCompilation) {
  FaultyFileSystem counting(platform::TheSystem().Files());
  ASSERT_EQ(Compile(BaseScript(), &counting), COMPILE_OK) << console_;
  // A listed directory, a folder found below it, and the folder of the temporary files.
  for (const std::string folder : {"src\\DATA\\", "src\\DATA\\SND\\", "src\\MISC\\"}) {
    const auto listed = std::find(counting.finds.begin(), counting.finds.end(), folder + "*.*");
    ASSERT_NE(listed, counting.finds.end()) << folder;
    FaultyFileSystem faulty(platform::TheSystem().Files());
    faulty.fail_find = static_cast<int>(listed - counting.finds.begin()) + 1;
    faulty.error = platform::ERR_ACCESS_DENIED;
    EXPECT_EQ(Compile(BaseScript(), &faulty), COMPILE_CANNOT_OPEN) << folder;
    EXPECT_THAT(notes_, HasSubstr("setupc: the folder " + folder +
                                  " cannot be listed: " + ErrorText(platform::ERR_ACCESS_DENIED) + "\n"));
  }
}

// Sparse files are large without costing the disk; without checksums nothing reads them.
TEST_F(CompileScriptTest, SizesBeyondWhatTheDatabaseHoldsFail) {
  constexpr std::uintmax_t kGiB = std::uintmax_t{1} << 30;
  struct Case {
    std::vector<std::pair<std::string, std::uintmax_t>> sizes;
    const char* pack2_files;
    std::string reason;
  };
  const Case cases[] = {
      {{{"src/big.dat", 5 * kGiB}},
       "File1,File3",
       "setupc: src\\big.dat holds 5368709120 bytes; a database holds a file's size in 32 bits, so at most "
       "4294967295\n"},
      // The largest size a file entry holds, whose remainder past 2-byte units no space figure holds.
      {{{"src/big.dat", 0xFFFFFFFFu}},
       "File3",
       "setupc: the files of [Pack2] up to big.dat need 4294967296 bytes on a drive of 2-byte units; a "
       "database holds its space figures in 32 bits, so at most 4294967295\n"},
      {{{"src/orv.exe", 3 * kGiB}, {"src/big.dat", 3 * kGiB}},
       "File1,File3",
       "setupc: the files of [Pack2] up to big.dat need 6442450944 bytes on a drive of 1-byte units; a "
       "database holds its space figures in 32 bits, so at most 4294967295\n"},
      {{{"src/MISC/helper.dll", 3 * kGiB}, {"src/MISC/more.dll", 3 * kGiB}},
       "File1,File3",
       "setupc: the temporary files up to MISC\\more.dll hold 6442450944 bytes; a database holds their total "
       "in 32 bits, so at most 4294967295\n"},
  };
  for (const Case& c : cases) {
    for (const auto& [path, size] : c.sizes) {
      WriteBytes(path, {});
      std::filesystem::resize_file(path, size);
    }
    Sections script = BaseScript();
    Set(script, "Options", "CheckCRC", "0");
    Set(script, "Pack2", "Files", c.pack2_files);
    EXPECT_EQ(Compile(script), COMPILE_CANNOT_OPEN) << c.reason;
    EXPECT_THAT(notes_, HasSubstr(c.reason));
    for (const auto& [path, size] : c.sizes) {
      std::filesystem::remove(path);
      if (files_.count(path) != 0) {
        WriteBytes(path, files_.at(path));
      }
    }
  }
}

struct MeasureOutcome {
  Measured measured;
  FileMeasurement measurement;
  std::string notes;
};

MeasureOutcome MeasureBigDat(platform::FileSystem& files) {
  CompileNotes notes;
  FileMeasurer measurer(files, notes);
  MeasureOutcome outcome{};
  platform::SystemError error = platform::ERR_NONE;
  CaptureStderr();
  outcome.measured = measurer.Measure("src\\big.dat", true, outcome.measurement, error);
  outcome.notes = GetCapturedStderr();
  return outcome;
}

// The size and the checksum come from the same bytes, read to the end of the file.
TEST_F(CompileScriptTest, AFileThatChangesWhileItIsMeasuredFails) {
  const struct {
    std::uintmax_t size_after;
    const char* reason;
  } cases[] = {
      {70010,
       "setupc: src\\big.dat changed while it was measured: 70000 bytes at first, at least 70010 when read"},
      {1000, "setupc: src\\big.dat changed while it was measured: 70000 bytes at first, 1000 when read"},
  };
  for (const auto& c : cases) {
    FaultyFileSystem changing(platform::TheSystem().Files());
    changing.after_size = [&](int) { std::filesystem::resize_file("src/big.dat", c.size_after); };
    const MeasureOutcome outcome = MeasureBigDat(changing);
    EXPECT_EQ(outcome.measured, Measured::Unusable) << c.size_after;
    EXPECT_THAT(outcome.notes, HasSubstr(c.reason));
    WriteBytes("src/big.dat", files_.at("src/big.dat"));
  }

  // A read that fails gives no checksum, rather than the checksum of what the buffer held.
  FaultyFileSystem failing(platform::TheSystem().Files());
  failing.fail_read = 1;
  const MeasureOutcome unread = MeasureBigDat(failing);
  EXPECT_EQ(unread.measured, Measured::Unusable);
  EXPECT_EQ(unread.notes,
            "setupc: src\\big.dat cannot be read: " + ErrorText(platform::ERR_GEN_FAILURE) + "\n");

  // The whole compilation fails, with the report's last file the one before.
  FaultyFileSystem growing(platform::TheSystem().Files());
  growing.after_size = [&](int) { WriteBytes("src/orv.exe", std::vector<unsigned char>(5001, 'x')); };
  EXPECT_EQ(Compile(BaseScript(), &growing), COMPILE_CANNOT_OPEN);
  EXPECT_THAT(notes_, HasSubstr("setupc: src\\orv.exe changed while it was measured"));
}

TEST_F(CompileScriptTest, AWalkNeverEntersAFolderItIsInside) {
  std::filesystem::create_directory_symlink("..", "src/DATA/SND/up");
  EXPECT_EQ(Compile(BaseScript()), COMPILE_CANNOT_OPEN);
  EXPECT_THAT(notes_,
              HasSubstr("setupc: the folder src\\DATA\\SND\\up\\ is src\\DATA\\ again, which the walk "
                        "is inside already: a link leads back into it\n"));

  // A second name for a folder beside the walk leads into no loop: its files come under both names.
  std::filesystem::remove("src/DATA/SND/up");
  std::filesystem::create_directory_symlink("SND", "src/DATA/again");
  ASSERT_EQ(Compile(BaseScript()), COMPILE_OK) << notes_;
  std::vector<std::string> paths;
  for (const FileEntry& file : info_->Packs[1].Files) {
    paths.push_back(file.Path.Data());
  }
  EXPECT_THAT(paths, ::testing::IsSupersetOf({"DATA\\again\\c.wav", "DATA\\SND\\c.wav"}));
}

// A front end keeps the database from being written over any of these.
TEST_F(CompileScriptTest, TheReportNamesEveryFileMeasuredOnceWithItsIdentity) {
  ASSERT_EQ(Compile(BaseScript()), COMPILE_OK) << console_;
  std::vector<std::string> paths;
  for (const MeasuredFile& file : report_.sources) {
    paths.push_back(file.path.Data());
    platform::FileIdentity identity;
    ASSERT_EQ(platform::TheSystem().Files().Identify(file.path.Data(), identity), platform::ERR_NONE);
    EXPECT_EQ(file.identity, identity) << file.path.Data();
  }
  EXPECT_EQ(paths,
            (std::vector<std::string>{"src\\orv.exe", "src\\big.dat", "src\\DATA\\A.bin", "src\\DATA\\b.bin",
                                      "src\\DATA\\SND\\c.wav", "src\\MISC\\helper.dll"}));
}

}  // namespace
}  // namespace vtsetup::testing
