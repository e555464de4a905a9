#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "tests/support/current_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform {
namespace {

namespace fs = std::filesystem;
using testing::CurrentFolder;
using testing::ReadText;
using testing::TempDir;
using testing::TestMachine;
using testing::WriteText;

class HostRemoveFolderTest : public ::testing::Test {
 protected:
  std::string Host(const std::string& windows_path) const { return machine_.Host(windows_path); }
  void MakeFolder(const std::string& windows_path) { fs::create_directories(Host(windows_path)); }

  TestMachine machine_;
  FileSystem& files_ = machine_.System().Files();
};

TEST_F(HostRemoveFolderTest, RemovesAnEmptyFolderByAnySpelling) {
  MakeFolder("C:\\Gry\\Orvella\\Dane");
  MakeFolder("C:\\Gry\\Orvella\\Zapisy");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Orvella\\Dane"), ERR_NONE);
  EXPECT_FALSE(fs::exists(Host("C:\\Gry\\Orvella\\Dane")));
  // Letters of any case, a trailing separator and a relative path reach it as on Windows.
  EXPECT_EQ(files_.RemoveFolder("c:\\gry\\ORVELLA\\zapisy\\"), ERR_NONE);
  EXPECT_FALSE(fs::exists(Host("C:\\Gry\\Orvella\\Zapisy")));
  {
    const CurrentFolder in_gry(Host("C:\\Gry"));
    EXPECT_EQ(files_.RemoveFolder("Orvella"), ERR_NONE);
  }
  EXPECT_FALSE(fs::exists(Host("C:\\Gry\\Orvella")));
  EXPECT_TRUE(fs::is_directory(Host("C:\\Gry")));
}

TEST_F(HostRemoveFolderTest, AFolderThatHoldsAnythingStays) {
  MakeFolder("C:\\Gry\\Zapisy");
  WriteText(Host("C:\\Gry\\Zapisy") + "/gra1.sav", "saved");
  MakeFolder("C:\\Gry\\Puste\\Pod");
  WriteText(Host("C:\\Gry") + "/.ukryty", "");

  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Zapisy"), ERR_DIR_NOT_EMPTY);
  EXPECT_EQ(ReadText(Host("C:\\Gry\\Zapisy") + "/gra1.sav"), "saved");
  // An empty folder inside counts as much as a file; so does a hidden file.
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Puste"), ERR_DIR_NOT_EMPTY);
  EXPECT_TRUE(fs::is_directory(Host("C:\\Gry\\Puste\\Pod")));
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Puste\\Pod"), ERR_NONE);
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Puste"), ERR_NONE);
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Zapisy"), ERR_DIR_NOT_EMPTY);
  fs::remove(Host("C:\\Gry\\Zapisy") + "/gra1.sav");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Zapisy"), ERR_NONE);
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry"), ERR_DIR_NOT_EMPTY);
  EXPECT_TRUE(fs::exists(Host("C:\\Gry") + "/.ukryty"));
}

TEST_F(HostRemoveFolderTest, MissingFoldersAndDrivesAreReported) {
  MakeFolder("C:\\Gry");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Brak"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(files_.RemoveFolder("C:\\Brak\\Pod"), ERR_PATH_NOT_FOUND);
  EXPECT_EQ(files_.RemoveFolder("Q:\\Gry"), ERR_PATH_NOT_FOUND);
}

TEST_F(HostRemoveFolderTest, NothingButAFolderIsRemoved) {
  MakeFolder("C:\\Gry");
  WriteText(Host("C:\\Gry") + "/orv.exe", "program");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\orv.exe"), ERR_DIRECTORY);
  EXPECT_EQ(ReadText(Host("C:\\Gry") + "/orv.exe"), "program");
  // A link in a folder's place is no folder either, wherever it leads; neither it nor its target goes.
  MakeFolder("C:\\Cel");
  fs::create_directory_symlink(Host("C:\\Cel"), Host("C:\\Gry") + "/Skrot");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Skrot"), ERR_DIRECTORY);
  EXPECT_TRUE(fs::is_symlink(Host("C:\\Gry") + "/Skrot"));
  EXPECT_TRUE(fs::is_directory(Host("C:\\Cel")));
  // A drive's own folder is never removed, empty or not.
  TempDir empty_medium;
  TestMachine with_empty_drive("[Drive C]\nFolder = drive_c\n[Drive E]\nFolder = " +
                               empty_medium.Path().string() + "\n[Drive Z]\nFolder = /\nType = remote\n");
  EXPECT_EQ(with_empty_drive.System().Files().RemoveFolder("E:\\"), ERR_ACCESS_DENIED);
  EXPECT_EQ(with_empty_drive.System().Files().RemoveFolder(empty_medium.Path().string().c_str()),
            ERR_ACCESS_DENIED);
  EXPECT_TRUE(fs::is_directory(empty_medium.Path()));
}

TEST_F(HostRemoveFolderTest, ALinkOnTheWayNeverLeadsOffItsDrive) {
  TempDir elsewhere;
  fs::create_directories(elsewhere.Path() / "Pusty");
  MakeFolder("C:\\Gry");
  fs::create_directory_symlink(elsewhere.Path(), Host("C:\\Gry") + "/Obcy");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Obcy\\Pusty"), ERR_ACCESS_DENIED);
  EXPECT_TRUE(fs::is_directory(elsewhere.Path() / "Pusty"));
  // Nor does a file go that a link in the game's folder points at, while a link itself is a file there.
  WriteText((elsewhere.Path() / "list.txt").string(), "mine");
  EXPECT_EQ(files_.Delete("C:\\Gry\\Obcy\\list.txt"), ERR_ACCESS_DENIED);
  fs::create_symlink(elsewhere.Path() / "list.txt", Host("C:\\Gry") + "/list.lnk");
  EXPECT_EQ(files_.Delete("C:\\Gry\\list.lnk"), ERR_NONE);
  EXPECT_EQ(ReadText((elsewhere.Path() / "list.txt").string()), "mine");
  // One that stays on the drive is followed, as Windows follows a link within a volume.
  MakeFolder("C:\\Dane\\Pusty");
  fs::create_directory_symlink(Host("C:\\Dane"), Host("C:\\Gry") + "/Swoj");
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry\\Swoj\\Pusty"), ERR_NONE);
  EXPECT_FALSE(fs::exists(Host("C:\\Dane\\Pusty")));
}

TEST_F(HostRemoveFolderTest, TheCurrentFolderIsInUse) {
  MakeFolder("C:\\Gry");
  {
    const CurrentFolder in_gry(Host("C:\\Gry"));
    EXPECT_EQ(files_.RemoveFolder("C:\\Gry"), ERR_SHARING_VIOLATION);
  }
  EXPECT_EQ(files_.RemoveFolder("C:\\Gry"), ERR_NONE);
}

}  // namespace
}  // namespace vtsetup::platform
