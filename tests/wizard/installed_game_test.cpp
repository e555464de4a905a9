#include "wizard/installed_game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/earlier_installation.h"
#include "tests/support/held_by_other_process.h"
#include "tests/support/test_machine.h"

namespace vtsetup::wizard {
namespace {

class InstalledGameTest : public ::testing::Test {
 protected:
  InstalledGameTest() {
    info_.Company = "Vantor Software";
    info_.Product = "Orvella";
    info_.Version = "1.0";
    info_.Filename = "orv.exe";
  }
  void RecordInstalledFolder(const char* folder) { testing::RecordInstalledFolder(machine_, folder); }
  void InstallGame() { testing::PlaceInstalledGame(machine_); }
  bool Find() {
    return FindInstalledGame(info_, machine_.System().LocalMachine(), machine_.System().Files(), path_);
  }

  testing::TestMachine machine_;
  SetupInfo info_;
  TextString path_ = "left from before";
};

TEST_F(InstalledGameTest, WithoutTheKeyOrItsFolderValueThePathIsKept) {
  InstallGame();
  EXPECT_FALSE(Find());
  EXPECT_EQ(path_, "left from before");
  RecordInstalledFolder(nullptr);
  EXPECT_FALSE(Find());
  EXPECT_EQ(path_, "left from before");
}

TEST_F(InstalledGameTest, TheExecutableInTheRecordedFolderIsFoundWithOrWithoutItsBackslash) {
  InstallGame();
  RecordInstalledFolder("C:\\Gry\\Orvella");
  EXPECT_TRUE(Find());
  EXPECT_EQ(path_, "C:\\Gry\\Orvella\\orv.exe");
  RecordInstalledFolder("C:\\Gry\\Orvella\\");
  path_ = "";
  EXPECT_TRUE(Find());
  EXPECT_EQ(path_, "C:\\Gry\\Orvella\\orv.exe");
}

TEST_F(InstalledGameTest, AFolderWithoutTheExecutableEmptiesThePath) {
  RecordInstalledFolder("C:\\Gry\\Orvella");
  EXPECT_FALSE(Find());
  EXPECT_EQ(path_, "");
}

// The game running from its folder holds the executable: no copy to start is found then.
TEST_F(InstalledGameTest, AGameHeldOpenByAnotherProcessIsNotFound) {
  InstallGame();
  RecordInstalledFolder("C:\\Gry\\Orvella");
  EXPECT_FALSE(testing::WhileAnotherProcessHolds(machine_.System().Files(), "C:\\Gry\\Orvella\\orv.exe",
                                                 [&] { return Find(); }));
  EXPECT_EQ(path_, "");
  // Once the game has ended the same copy is found again.
  EXPECT_TRUE(Find());
  EXPECT_EQ(path_, "C:\\Gry\\Orvella\\orv.exe");
}

}  // namespace
}  // namespace vtsetup::wizard
