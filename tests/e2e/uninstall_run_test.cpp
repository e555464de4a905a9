// The uninstaller installed with the game, started as the person starts it (the uninstall entry's
// command as the registry holds it) and as the setup starts it to roll a failed copy back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/setup_fixture.h"

namespace vtsetup::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kDestination[] = "C:\\Program Files\\Vantor\\Orvella";
constexpr char kUninstallCommand[] = "\"C:\\Program Files\\Vantor\\Orvella\\dinstall.exe\"";
// Yes to "remove the game?", then OK to the report.
constexpr char kAgree[] = "message yes\nmessage ok\n";

std::string AnswersForPack(int pack) {
  return "page 1: press 1\npage 2: press 1\npage 3: select 1000 " + std::to_string(pack) +
         "; press 1\npage 4: press 1\npage 8: press 1\npage 5: press 1\n";
}

// The paths on which two states of the machine differ, for a readable failure.
std::string Differences(const MachineState& before, const MachineState& after) {
  std::string text;
  for (const auto& [path, content] : before) {
    const auto found = after.find(path);
    if (found == after.end()) {
      text += "  gone: " + path + "\n";
    } else if (found->second != content) {
      text += "  changed: " + path + "\n";
    }
  }
  for (const auto& [path, content] : after) {
    // The host's lock beside the registry file is its own, not a part of the machine a program sees.
    if (!before.contains(path) && path != "registry.reg.lock") {
      text += "  left: " + path + "\n";
    }
  }
  return text;
}

class UninstallEntry : public SetupRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(UninstallEntry, LeavesTheMachineAsItWasBeforeTheInstallation) {
  const MachineState before = FreshMachineState();
  const Run install = RunSetup(AnswersForPack(GetParam()));
  ASSERT_EQ(install.exit_code, 0) << install.err;
  ASSERT_TRUE(fs::is_regular_file(OnDriveC(std::string(kDestination) + "\\dinstall.exe")));
  const std::string command = UninstallString("Orvella");
  ASSERT_EQ(command, kUninstallCommand);

  const Run uninstall = StartAndWait(command, kAgree);
  EXPECT_EQ(uninstall.exit_code, 0) << uninstall.err;
  EXPECT_EQ(Differences(before, CurrentMachineState()), "");
}

INSTANTIATE_TEST_SUITE_P(EachPack, UninstallEntry, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("Minimal") : std::string("Full");
                         });

TEST_F(SetupRunTest, TheUninstallerKeepsASavedGameAndItsFolder) {
  const Run install = RunSetup(AnswersForPack(1));
  ASSERT_EQ(install.exit_code, 0) << install.err;
  const fs::path saved = OnDriveC(std::string(kDestination) + "\\SAVE\\slot1.sav");
  std::ofstream(saved) << "the person's own saved game";

  const Run uninstall = StartAndWait(UninstallString("Orvella"), kAgree);
  EXPECT_EQ(uninstall.exit_code, 1) << uninstall.err;
  EXPECT_EQ(ReadText(saved.string()), "the person's own saved game");
  // What the installation put beside it is gone.
  EXPECT_FALSE(fs::exists(OnDriveC(std::string(kDestination) + "\\SAVE\\slot0.sav")));
  EXPECT_FALSE(fs::exists(OnDriveC(std::string(kDestination) + "\\orv.exe")));
  EXPECT_FALSE(fs::exists(OnDriveC(std::string(kDestination) + "\\dinstall.log")));
  EXPECT_EQ(UninstallString("Orvella"), "");
}

TEST_F(SetupRunTest, DecliningTheUninstallerRemovesNothing) {
  const Run install = RunSetup(AnswersForPack(1));
  ASSERT_EQ(install.exit_code, 0) << install.err;
  const MachineState installed = CurrentMachineState();

  const Run uninstall = StartAndWait(UninstallString("Orvella"), "message no\n");
  EXPECT_EQ(uninstall.exit_code, 10) << uninstall.err;
  EXPECT_EQ(Differences(installed, CurrentMachineState()), "");
}

TEST_F(SetupRunTest, ACopyThatFailsAfterSomeFilesLeavesNothingOfTheInstallationBehind) {
  // The manual comes fourth: the uninstaller, the game and its settings are copied before its question.
  fs::remove(OwnMedium() / "GAME" / "manual.txt");
  const MachineState before = FreshMachineState();
  const Run run =
      RunSetup(AnswersForPack(1).substr(0, AnswersForPack(1).find("page 8")) + "message abort\nmessage ok\n");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  // The setup's own end, then the uninstaller's, which it started hidden and did not wait for.
  ASSERT_TRUE(WaitForTranscriptLines("exit code ", 2));
  EXPECT_TRUE(TranscriptHas("exit code 0"));
  EXPECT_EQ(Differences(before, CurrentMachineState()), "");
}

}  // namespace
}  // namespace vtsetup::testing
