#include "engine/temp_files.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/copy_fixture.h"
#include "tests/support/random_bytes.h"
#include "tests/support/temp_dir.h"

namespace vtsetup {
namespace {

namespace fs = std::filesystem;
using testing::CopyFixture;
using testing::Filled;
using testing::ShownBox;
using BoxList = std::vector<ShownBox>;
using Lines = std::vector<std::string>;

// Temporary files from C:\SRC\ into C:\TEMP\ under the preparing dialog 107.
class TempFiles : public CopyFixture {
 protected:
  TempFiles()
      : CopyFixture(
            "[Drive C]\nFolder = drive_c\nType = fixed\n[Drive D]\nFolder = drive_d\nType = fixed\n"
            "[System]\nTempFolder = C:\\TEMP\n") {
    fs::create_directories(Host("C:\\TEMP"));
    preparing_ = ui_->CreateDialogWindow(107, nullptr, nullptr, nullptr);
    EXPECT_NE(preparing_, nullptr);
  }
  ~TempFiles() override { ui_->DestroyWindow(preparing_); }

  void AddTemp(const std::string& path, std::uint32_t size) {
    WriteSource(path, testing::RandomBytes(size, size + 11));
    FileEntry entry;
    entry.Path = path.c_str();
    entry.FileSize = size;
    info_.TempFiles.push_back(entry);
    info_.TempTotalSize += size;
  }
  std::int32_t Copy() {
    return CopyTempFiles(Files(), *ui_, info_, "C:\\SRC", temp_folder_, preparing_, 1008);
  }
  std::int32_t Delete() { return DeleteTempFiles(Files(), *messages_, info_, temp_folder_); }
  std::vector<std::string> PreparingPositions() const {
    std::vector<std::string> positions;
    const std::string prefix = "progress dialog 107: ";
    for (const std::string& line : machine_.TranscriptLines()) {
      if (line.starts_with(prefix)) {
        positions.push_back(line.substr(prefix.size()));
      }
    }
    return positions;
  }
  bool InTemp(const std::string& name) const { return fs::exists(Host("C:\\TEMP\\" + name)); }

  SetupInfo info_;
  TextString temp_folder_;
  platform::Window preparing_ = nullptr;
};

TEST_F(TempFiles, CopiedUnderTheirBareNamesReplacingWithoutAQuestion) {
  AddTemp("misc\\setup.dll", 300000);
  AddTemp("readme.txt", 100000);
  testing::WriteText(Host("C:\\TEMP\\readme.txt"), "stale");
  EXPECT_EQ(Copy(), TEMP_OK);
  EXPECT_EQ(temp_folder_, "C:\\TEMP\\");
  EXPECT_EQ(testing::ReadBytes(Host("C:\\TEMP\\setup.dll")), SourceBytes("misc/setup.dll"));
  EXPECT_EQ(testing::ReadBytes(Host("C:\\TEMP\\readme.txt")), SourceBytes("readme.txt"));
  EXPECT_TRUE(Boxes().empty());
  // 200000 and 300000 of 400000; 100 only when the last file is complete.
  EXPECT_EQ(PreparingPositions(), (Lines{"50 of 100", "75 of 100", "100 of 100"}));
  EXPECT_EQ(ui_->Text(preparing_, 1027), "readme.txt");
}

TEST_F(TempFiles, AFailedCopyEndsSilentlyAndKeepsTheFilesBefore) {
  AddTemp("one", 10);
  AddTemp("two", 10);
  AddTemp("three", 10);
  fs::remove(Host("C:\\SRC\\two"));
  EXPECT_EQ(Copy(), TEMP_COPY_FAILED);
  EXPECT_TRUE(InTemp("one"));
  EXPECT_FALSE(InTemp("two"));
  EXPECT_FALSE(InTemp("three"));
  EXPECT_TRUE(Boxes().empty());
}

// A call that a worker makes on the dialog is carried out only while the window thread pumps.
TEST_F(TempFiles, TheWindowThreadIsPumpedDuringTheCopy) {
  AddTemp("one", 10);
  std::atomic<bool> returned = false;
  std::thread worker([&] {
    ui_->SetText(preparing_, 1027, "from a worker");
    returned = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Copy(), TEMP_OK);
  for (int i = 0; i < 200 && !returned; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(returned);
  while (!returned) {
    ui_->PumpOne(nullptr);
  }
  worker.join();
}

TEST_F(TempFiles, DeletionAsksForAFileThatCannotBeRemoved) {
  AddTemp("one", 10);
  AddTemp("two", 10);
  AddTemp("three", 10);
  ASSERT_EQ(Copy(), TEMP_OK);
  fs::remove(Host("C:\\TEMP\\one"));
  Answer(platform::ANSWER_YES);
  EXPECT_EQ(Delete(), TEMP_OK);
  EXPECT_EQ(Boxes(), (BoxList{{20, Filled(5016, "C:\\TEMP\\one")}}));
  EXPECT_FALSE(InTemp("two"));
  EXPECT_FALSE(InTemp("three"));
}

TEST_F(TempFiles, NoToTheDeletionQuestionLeavesTheRest) {
  AddTemp("one", 10);
  AddTemp("two", 10);
  AddTemp("three", 10);
  ASSERT_EQ(Copy(), TEMP_OK);
  fs::remove(Host("C:\\TEMP\\two"));
  Answer(platform::ANSWER_NO);
  EXPECT_EQ(Delete(), TEMP_DELETE_STOPPED);
  EXPECT_EQ(Boxes(), (BoxList{{20, Filled(5016, "C:\\TEMP\\two")}}));
  EXPECT_FALSE(InTemp("one"));
  EXPECT_TRUE(InTemp("three"));
}

TEST_F(TempFiles, WithoutATemporaryFolderNothingIsDeleted) {
  AddTemp("one", 10);
  WriteSource("one", {1});
  EXPECT_EQ(Delete(), TEMP_OK);
  EXPECT_TRUE(fs::exists(Host("C:\\SRC\\one")));
  EXPECT_TRUE(Boxes().empty());
}

// Names that would reach outside the temporary folder are neither written nor deleted there.
TEST_F(TempFiles, NamesLeavingTheTemporaryFolderAreLeftAlone) {
  for (const char* path : {"misc\\..", "misc\\x/../../evil", "misc\\C:evil", "misc\\"}) {
    FileEntry entry;
    entry.Path = path;
    entry.FileSize = 1;
    info_.TempFiles.push_back(entry);
    EXPECT_TRUE(TempFileName(entry).IsEmpty()) << path;
  }
  AddTemp("misc\\good", 3);
  testing::WriteText(Host("C:\\evil"), "mine");
  EXPECT_EQ(Copy(), TEMP_OK);
  EXPECT_TRUE(InTemp("good"));
  EXPECT_EQ(Delete(), TEMP_OK);
  EXPECT_FALSE(InTemp("good"));
  EXPECT_EQ(testing::ReadText(Host("C:\\evil")), "mine");
  EXPECT_TRUE(Boxes().empty());
}

}  // namespace
}  // namespace vtsetup
