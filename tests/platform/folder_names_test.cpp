#include "platform/host/files/folder_names.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform::host {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::TestMachine;
using testing::WriteText;

// Runs `work` in a child process and waits for it; false when the child failed.
template <typename Work>
bool InAnotherProcess(Work work) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(work() ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class FolderNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!FolderNames::CanKeep(folder_)) {
      GTEST_SKIP() << "the temporary folder's file system does not report its changes to a watch";
    }
    // The host gives each user a small number of watches; other programs may hold them all.
    const int watch = ::inotify_init1(IN_CLOEXEC);
    if (watch < 0) {
      GTEST_SKIP() << "no watch is to be had";
    }
    ::close(watch);
    WriteText(dir_.File("Level.DAT"), "level");
  }

  std::string Find(const std::string& name) {
    struct stat info {};
    EXPECT_EQ(::stat(folder_.c_str(), &info), 0);
    return names_.FindName(folder_, info, name).value_or("(unreadable)");
  }

  TempDir dir_;
  const std::string folder_ = dir_.Path().string();
  FolderNames names_;
};

TEST_F(FolderNamesTest, KeptListingAnswersHitsAndMissesWithoutReadingAgain) {
  EXPECT_FALSE(names_.Keeps(folder_));
  EXPECT_EQ(Find("level.dat"), "Level.DAT");
  EXPECT_TRUE(names_.Keeps(folder_));
  EXPECT_EQ(Find("LEVEL.DAT"), "Level.DAT");
  EXPECT_EQ(Find("Level.DAT"), "Level.DAT");
  EXPECT_EQ(Find("missing.dat"), "");
  EXPECT_EQ(Find("Level.DA"), "");
  EXPECT_EQ(names_.FoldersRead(), 1u);
}

// A folder whose permissions may have changed could now deny what its names promise.
TEST_F(FolderNamesTest, FolderWhoseAttributesChangedIsReadAgain) {
  ASSERT_EQ(Find("level.dat"), "Level.DAT");
  fs::permissions(folder_, fs::perms::owner_all);
  EXPECT_EQ(Find("level.dat"), "Level.DAT");
  EXPECT_EQ(names_.FoldersRead(), 2u);
}

// Whoever changes the folder, through whatever call: the next answer knows it, and the folder is not
// read again for it.
TEST_F(FolderNamesTest, NamesMadeMovedAndRemovedOutsideAreSeen) {
  ASSERT_EQ(Find("new.txt"), "");
  WriteText(dir_.File("NEW.txt"), "new");
  EXPECT_EQ(Find("new.TXT"), "NEW.txt");
  fs::rename(dir_.File("NEW.txt"), dir_.File("Other.txt"));
  EXPECT_EQ(Find("new.txt"), "");
  EXPECT_EQ(Find("OTHER.TXT"), "Other.txt");
  fs::remove(dir_.File("Other.txt"));
  EXPECT_EQ(Find("other.txt"), "");
  fs::create_directory(dir_.File("Sub"));
  EXPECT_EQ(Find("SUB"), "Sub");
  ASSERT_TRUE(InAnotherProcess([this] {
    std::ofstream(dir_.File("Child.DAT")) << "child";
    return fs::remove(dir_.File("Level.DAT"));
  }));
  EXPECT_EQ(Find("child.dat"), "Child.DAT");
  EXPECT_EQ(Find("level.dat"), "");
  EXPECT_EQ(names_.FoldersRead(), 1u);
}

// A child shares its parent's watch; what it asks must not take the reports that the parent needs.
TEST_F(FolderNamesTest, ChildProcessLeavesItsParentsReportsAlone) {
  ASSERT_EQ(Find("level.dat"), "Level.DAT");
  ASSERT_TRUE(InAnotherProcess([this] {
    std::ofstream(dir_.File("Made.By.Child")) << "child";
    return Find("made.by.child") == "Made.By.Child";
  }));
  EXPECT_EQ(Find("MADE.BY.CHILD"), "Made.By.Child");
}

TEST_F(FolderNamesTest, FolderPutInPlaceOfTheKeptOneIsReadAnew) {
  ASSERT_EQ(Find("level.dat"), "Level.DAT");
  const std::string kept_aside = folder_ + ".old";
  fs::rename(folder_, kept_aside);
  fs::create_directory(folder_);
  WriteText(dir_.File("LEVEL.dat"), "new level");
  EXPECT_EQ(Find("level.dat"), "LEVEL.dat");
  EXPECT_EQ(names_.FoldersRead(), 2u);
  fs::remove_all(kept_aside);
}

// "Not there" and "cannot tell" differ: a caller takes the one for a missing file, the other for an
// open that would fail on its own.
TEST_F(FolderNamesTest, FolderThatCannotBeReadAnswersNothing) {
  struct stat info {};
  ASSERT_EQ(::stat(folder_.c_str(), &info), 0);
  fs::remove_all(folder_);
  EXPECT_EQ(names_.FindName(folder_, info, "level.dat"), std::nullopt);
  EXPECT_EQ(ListedName(folder_, "level.dat"), std::nullopt);
}

// Windows never has two of them; where the host does, the listing's first is taken, as a fresh reading
// of the folder takes it.
TEST_F(FolderNamesTest, SeveralSpellingsAreAnsweredAsTheListingOrdersThem) {
  WriteText(dir_.File("LEVEL.dat"), "other");
  ASSERT_EQ(Find("missing"), "");
  const std::string first = ListedName(folder_, "level.Dat").value_or("");
  EXPECT_TRUE(first == "Level.DAT" || first == "LEVEL.dat") << first;
  EXPECT_EQ(Find("level.Dat"), first);
  fs::remove(dir_.File(first));
  EXPECT_EQ(Find("level.Dat"), first == "Level.DAT" ? "LEVEL.dat" : "Level.DAT");
}

// More changes than the host queues for a watch: the reports lost in between cannot be applied, so the
// folder is read again.
TEST_F(FolderNamesTest, OverflowingTheQueueOfChangesReadsTheFolderAgain) {
  std::ifstream limit_file("/proc/sys/fs/inotify/max_queued_events");
  int limit = 0;
  if (!(limit_file >> limit) || limit <= 0 || limit > 1 << 20) {
    GTEST_SKIP() << "the host does not tell how many changes it queues";
  }
  ASSERT_EQ(Find("final.txt"), "");
  const std::string a = dir_.File("a");
  const std::string b = dir_.File("b");
  WriteText(a, "moved");
  // Each move is two reports.
  for (int i = 0; i < limit / 2 + 1; ++i) {
    ASSERT_EQ(std::rename(a.c_str(), b.c_str()), 0);
    ASSERT_EQ(std::rename(b.c_str(), a.c_str()), 0);
  }
  ASSERT_EQ(std::rename(a.c_str(), dir_.File("Final.txt").c_str()), 0);
  EXPECT_EQ(Find("FINAL.TXT"), "Final.txt");
  EXPECT_EQ(names_.FoldersRead(), 2u);
}

// Through the host's files: a name that another process makes in a folder that was searched before is
// opened under any case, a moved or deleted one is gone, and a file made anew takes the caller's name.
TEST(HostFilesWithKeptFolders, ChangesOfEveryKindAreSeenByTheNextOpen) {
  TestMachine machine;
  FileSystem& files = machine.System().Files();
  ASSERT_EQ(files.CreateFolder("C:\\GAME"), ERR_NONE);
  const auto open_error = [&files](const char* path, FileCreation creation) {
    return files.Open(path, FileAccess::Write, SHARE_NONE, creation).error;
  };
  EXPECT_EQ(open_error("C:\\GAME\\file.dat", FileCreation::OpenExisting), ERR_FILE_NOT_FOUND);
  const std::string host_game = machine.Host("C:\\GAME");
  ASSERT_TRUE(InAnotherProcess([&host_game] {
    std::ofstream(host_game + "/FILE.DAT") << "made elsewhere";
    return true;
  }));
  EXPECT_EQ(open_error("C:\\GAME\\file.dat", FileCreation::OpenExisting), ERR_NONE);
  EXPECT_EQ(open_error("C:\\game\\File.Dat", FileCreation::CreateAlways), ERR_NONE);
  EXPECT_FALSE(fs::exists(host_game + "/File.Dat"));

  OpenResult made = files.Open("C:\\GAME\\data.tmp", FileAccess::Write, SHARE_NONE, FileCreation::CreateNew);
  ASSERT_EQ(made.error, ERR_NONE);
  made.file.reset();
  EXPECT_EQ(open_error("C:\\GAME\\DATA.BIN", FileCreation::OpenExisting), ERR_FILE_NOT_FOUND);
  ASSERT_EQ(files.MoveReplacing("C:\\GAME\\data.tmp", "C:\\GAME\\Data.Bin"), ERR_NONE);
  EXPECT_EQ(open_error("C:\\GAME\\DATA.TMP", FileCreation::OpenExisting), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(open_error("C:\\GAME\\DATA.BIN", FileCreation::OpenExisting), ERR_NONE);
  ASSERT_EQ(files.Delete("c:\\game\\data.bin"), ERR_NONE);
  EXPECT_EQ(open_error("C:\\GAME\\DATA.BIN", FileCreation::OpenExisting), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(open_error("C:\\GAME\\DATA.BIN", FileCreation::CreateNew), ERR_NONE);
  EXPECT_TRUE(fs::exists(host_game + "/DATA.BIN"));
  EXPECT_FALSE(fs::exists(host_game + "/Data.Bin"));
}

}  // namespace
}  // namespace vtsetup::platform::host
