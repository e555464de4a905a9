#include "app/game_running_check.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/test_machine.h"

namespace vtsetup::app {
namespace {

using platform::FileAccess;
using platform::FileCreation;
using platform::RegistryAccess;

class GameRunningTest : public ::testing::Test {
 protected:
  // The program key as an earlier installation leaves it.
  void RecordInstalledFolder(const char* folder) {
    platform::KeyOpen software = machine_.System().LocalMachine().Open("SOFTWARE", RegistryAccess::Write);
    ASSERT_NE(software.key, nullptr);
    platform::KeyOpen program = software.key->Create("Vantor Software\\Orvella\\1.0");
    ASSERT_NE(program.key, nullptr);
    if (folder != nullptr) {
      ASSERT_EQ(program.key->SetString(nullptr, folder), platform::ERR_NONE);
    } else {
      ASSERT_EQ(program.key->SetString("Path", "C:\\Gry\\Orvella"), platform::ERR_NONE);
    }
  }
  void InstallGame() {
    std::filesystem::create_directories(machine_.Host("C:\\Gry\\Orvella"));
    std::ofstream(machine_.Host("C:\\Gry\\Orvella\\orv.exe")) << "game";
  }
  bool Running() { return IsGameRunning(machine_.System().LocalMachine(), machine_.System().Files()); }

  // The answer while another process runs the game, holding its executable open without sharing.
  bool RunningWhileAnotherProcessHolds(const char* executable) {
    int ready[2];
    int finish[2];
    EXPECT_EQ(::pipe(ready), 0);
    EXPECT_EQ(::pipe(finish), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      const platform::OpenResult held = machine_.System().Files().Open(
          executable, FileAccess::Read, platform::SHARE_NONE, FileCreation::OpenExisting);
      const char status = held.error == platform::ERR_NONE ? 'y' : 'n';
      char ignored = 0;
      const bool told = ::write(ready[1], &status, 1) == 1;
      const bool waited = ::read(finish[0], &ignored, 1) >= 0;
      ::_exit(told && waited ? 0 : 1);
    }
    char status = 0;
    const bool held = ::read(ready[0], &status, 1) == 1 && status == 'y';
    const bool running = Running();
    EXPECT_EQ(::write(finish[1], "x", 1), 1);
    int exit_status = 0;
    EXPECT_EQ(::waitpid(child, &exit_status, 0), child);
    for (const int descriptor : {ready[0], ready[1], finish[0], finish[1]}) {
      ::close(descriptor);
    }
    EXPECT_TRUE(held);
    return running;
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
