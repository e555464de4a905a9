#include "app/game_running_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/earlier_installation.h"
#include "tests/support/held_by_other_process.h"
#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using platform::RegistryAccess;

class GameRunningTest : public ::testing::Test {
 protected:
  void RecordInstalledFolder(const char* folder) { testing::RecordInstalledFolder(machine_, folder); }
  void InstallGame() { testing::PlaceInstalledGame(machine_); }
  bool Running() { return IsGameRunning(machine_.System().LocalMachine(), machine_.System().Files()); }

  // The answer while another process runs the game, holding its executable open without sharing.
  bool RunningWhileAnotherProcessHolds(const char* executable) {
    return testing::WhileAnotherProcessHolds(machine_.System().Files(), executable,
                                             [&] { return Running(); });
  }

  testing::TestMachine machine_;
};

TEST_F(GameRunningTest, NoEarlierInstallationLetsTheSetupRun) {
  InstallGame();
  EXPECT_FALSE(Running());
  // The key without its default value records no folder either.
  RecordInstalledFolder(nullptr);
  EXPECT_FALSE(Running());
}

TEST_F(GameRunningTest, AFolderWithoutTheGameOrWithTheGameAtRestLetsTheSetupRun) {
  RecordInstalledFolder("C:\\Gry\\Orvella");
  EXPECT_FALSE(Running());
  InstallGame();
  EXPECT_FALSE(Running());
  // Not the game's file at all: opening it is refused for another reason than its use.
  std::filesystem::remove(machine_.Host("C:\\Gry\\Orvella\\orv.exe"));
  std::filesystem::create_directories(machine_.Host("C:\\Gry\\Orvella\\orv.exe"));
  EXPECT_FALSE(Running());
}

TEST_F(GameRunningTest, TheGameRunningFromTheRecordedFolderIsFound) {
  InstallGame();
  RecordInstalledFolder("C:\\Gry\\Orvella");
  EXPECT_TRUE(RunningWhileAnotherProcessHolds("C:\\Gry\\Orvella\\orv.exe"));
  RecordInstalledFolder("C:\\Gry\\Orvella\\");
  EXPECT_TRUE(RunningWhileAnotherProcessHolds("c:\\gry\\orvella\\ORV.EXE"));
  // The game has ended: the check leaves the file as it found it.
  EXPECT_FALSE(Running());
  EXPECT_TRUE(std::filesystem::is_regular_file(machine_.Host("C:\\Gry\\Orvella\\orv.exe")));
}

// Another game's key or version is not this game.
TEST_F(GameRunningTest, OnlyTheFixedKeyCounts) {
  InstallGame();
  platform::KeyOpen software = machine_.System().LocalMachine().Open("SOFTWARE", RegistryAccess::Write);
  ASSERT_NE(software.key, nullptr);
  platform::KeyOpen other = software.key->Create("Vantor Software\\Orvella\\2.0");
  ASSERT_NE(other.key, nullptr);
  ASSERT_EQ(other.key->SetString(nullptr, "C:\\Gry\\Orvella"), platform::ERR_NONE);
  EXPECT_FALSE(RunningWhileAnotherProcessHolds("C:\\Gry\\Orvella\\orv.exe"));
}

}  // namespace
}  // namespace vtsetup::app
