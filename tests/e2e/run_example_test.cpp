// The example commands as a user runs them, aimed at folders that are not theirs to clear.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

namespace fs = std::filesystem;

struct ScriptRun {
  int status = -1;
  std::string out;
  std::string err;
};

ScriptRun RunScript(const TempDir& dir, const std::string& script, const std::string& target,
                    const std::string& options = "") {
  const std::string command = std::string("bash '") + script + "' --tools '" + VT_MEDIUM_TOOLS + "' " +
                              options + " '" + target + "' >'" + dir.File("out") + "' 2>'" + dir.File("err") +
                              "' </dev/null";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir.File("out")), ReadText(dir.File("err"))};
}

TEST(RunExample, NeverDeletesAMachineFolderItDidNotMake) {
  TempDir dir;
  fs::create_directories(dir.Path() / "x" / "machine");
  WriteText((dir.Path() / "x" / "machine" / "letter.txt").string(), "mine");
  const ScriptRun refused = RunScript(dir, VT_RUN_EXAMPLE, (dir.Path() / "x" / "medium").string());
  EXPECT_NE(refused.status, 0);
  EXPECT_NE(refused.err.find("was not made by run-example"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadText((dir.Path() / "x" / "machine" / "letter.txt").string()), "mine");
  EXPECT_FALSE(fs::exists(dir.Path() / "x" / "medium"));

  const ScriptRun same = RunScript(dir, VT_RUN_EXAMPLE, (dir.Path() / "y" / "machine").string());
  EXPECT_NE(same.status, 0);
  EXPECT_NE(same.err.find("the machine's own folder"), std::string::npos) << same.err;
}

// Without a terminal the example installs itself with its answers file; the standard output ends with
// where the game went, the exit code, and where the transcript and the snapshots are, while the build
// talks on the standard error. A second run starts again from a fresh machine.
TEST(RunExample, InstallsTheGameUnattendedAndSaysWhereItWent) {
  TempDir dir;
  const std::string medium = (dir.Path() / "medium").string();
  for (int run = 0; run < 2; ++run) {
    if (run == 1) {
      WriteText((dir.Path() / "machine" / "drive_c" / "stale.txt").string(), "old");
    }
    const ScriptRun made = RunScript(dir, VT_RUN_EXAMPLE, medium);
    ASSERT_EQ(made.status, 0) << made.err << made.out;
    EXPECT_NE(
        made.out.find("The game went to C:\\Program Files\\Vantor\\Orvella (on this computer: " +
                      (dir.Path() / "machine" / "drive_c" / "Program Files" / "Vantor" / "Orvella").string() +
                      ")."),
        std::string::npos)
        << made.out;
    EXPECT_NE(made.out.find("The setup ended with exit code 0."), std::string::npos) << made.out;
    EXPECT_NE(made.out.find("Transcript: " + (dir.Path() / "transcript.txt").string()), std::string::npos);
    EXPECT_NE(made.err.find("the medium of Orvella is in"), std::string::npos) << made.err;
    EXPECT_TRUE(ReadText((dir.Path() / "transcript.txt").string()).ends_with("exit code 0\n"));
    EXPECT_TRUE(fs::exists(dir.Path() / "snapshots" / "background-0001.bmp"));
    EXPECT_TRUE(fs::is_regular_file(dir.Path() / "machine" / "drive_c" / "Program Files" / "Vantor" /
                                    "Orvella" / "orv.exe"));
  }
  EXPECT_FALSE(fs::exists(dir.Path() / "machine" / "drive_c" / "stale.txt"));

  // The uninstall entry of what the last run installed takes the game away again.
  const ScriptRun removed = RunScript(dir, VT_RUN_EXAMPLE, medium, "--uninstall");
  EXPECT_EQ(removed.status, 0) << removed.err << removed.out;
  EXPECT_NE(removed.out.find("The game's folder is gone.\nThe uninstaller ended with exit code 0."),
            std::string::npos)
      << removed.out;
  EXPECT_FALSE(fs::exists(dir.Path() / "machine" / "drive_c" / "Program Files" / "Vantor"));
  EXPECT_TRUE(fs::exists(dir.Path() / "machine" / "drive_c" / "Program Files"));
}

TEST(BuildMedium, RefusesAFolderOfSomeoneElsesAndRebuildsItsOwn) {
  TempDir dir;
  fs::create_directories(dir.Path() / "docs" / "GAME");
  WriteText((dir.Path() / "docs" / "GAME" / "notes.txt").string(), "keep");
  const ScriptRun refused = RunScript(dir, VT_BUILD_MEDIUM, (dir.Path() / "docs").string());
  EXPECT_NE(refused.status, 0);
  EXPECT_NE(refused.err.find("was not made by build-medium"), std::string::npos) << refused.err;
  EXPECT_EQ(ReadText((dir.Path() / "docs" / "GAME" / "notes.txt").string()), "keep");

  const std::string medium = (dir.Path() / "medium").string();
  ASSERT_EQ(RunScript(dir, VT_BUILD_MEDIUM, medium).status, 0);
  const ScriptRun again = RunScript(dir, VT_BUILD_MEDIUM, medium);
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_TRUE(fs::is_regular_file(dir.Path() / "medium" / "SETUP.INF"));
}

}  // namespace
}  // namespace vtsetup::testing
