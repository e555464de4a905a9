// The built uninstaller, copied into the game's folder as the setup copies it, run on the test's machine.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/uninstaller/uninstall_fixture.h"

namespace vtsetup::uninstaller {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr char kProgram[] = "C:\\Gry\\Orvella\\dinstall.exe";

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  quoted += '\'';
  return quoted;
}

class DinstallProgramTest : public UninstallTest {
 protected:
  void SetUp() override {
    InstallOrvella();
    fs::copy_file(VT_DINSTALL, machine_.Host(kProgram), fs::copy_options::overwrite_existing);
  }

  // Runs the game's copy of the program with the arguments (a shell text) and the answers; without
  // answers the answers file is missing, which a run that shows anything cannot use.
  int RunProgram(const std::string& arguments, const char* answers) {
    std::string command = "env VTSETUP_MACHINE=" + ShellQuoted((machine_.Root() / "machine").string());
    command += " VTSETUP_TRANSCRIPT=" + ShellQuoted(files_.File("transcript.txt"));
    command += " VTSETUP_ANSWERS=" + ShellQuoted(files_.File("answers.txt"));
    fs::remove(files_.File("answers.txt"));
    if (answers != nullptr) {
      testing::WriteText(files_.File("answers.txt"), answers);
    }
    command += ' ';
    command += ShellQuoted(machine_.Host(kProgram));
    command += ' ';
    command += arguments;
    command += " </dev/null >/dev/null 2>" + ShellQuoted(files_.File("err"));
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  Lines Transcript() const {
    Lines lines;
    std::ifstream in(files_.File("transcript.txt"));
    for (std::string line; std::getline(in, line);) {
      lines.push_back(line);
    }
    return lines;
  }

  testing::TempDir files_;
};

// Without a path the log beside the program is read; the program's own file goes with the rest, and
// with it the last thing that kept the game's folder.
TEST_F(DinstallProgramTest, RemovesTheGameByTheLogBesideItAndItself) {
  EXPECT_EQ(RunProgram("", "message yes\nmessage ok\n"), EXIT_ALL_REMOVED)
      << testing::ReadText(files_.File("err"));
  ExpectAllGone();
  const Lines transcript = Transcript();
  EXPECT_EQ(
      BoxesIn(transcript),
      (Lines{"36: Czy na pewno chcesz usunąć grę Orvella i wszystkie jej składniki z tego komputera? -> yes",
             "64: Gra Orvella została usunięta z tego komputera. -> ok"}));
  ASSERT_FALSE(transcript.empty());
  EXPECT_EQ(transcript.back(), "exit code 0");
}

// A quiet run never asks for the user interface: an answers file that it could not use does not stop
// it, while the same file ends a run that would ask with the system's own exit code.
TEST_F(DinstallProgramTest, AQuietRunNeverAsksForTheUserInterface) {
  EXPECT_EQ(RunProgram("", nullptr), 78);
  ExpectAllThere();
  EXPECT_EQ(RunProgram("'C:\\Gry\\Orvella\\dinstall.log' -quiet", nullptr), EXIT_ALL_REMOVED)
      << testing::ReadText(files_.File("err"));
  ExpectAllGone();
  EXPECT_EQ(BoxesIn(Transcript()), Lines{});
}

// Words the program cannot use end it with the log's exit code before anything is removed: a person is
// told which, a quiet run is not.
TEST_F(DinstallProgramTest, WordsItCannotUseEndTheRunUntouched) {
  EXPECT_EQ(RunProgram("a.log b.log", "message ok\n"), EXIT_LOG_UNUSABLE);
  EXPECT_EQ(RunProgram("-quiet -x", nullptr), EXIT_LOG_UNUSABLE);
  ExpectAllThere();
  EXPECT_EQ(BoxesIn(Transcript()),
            Lines{"16: Nie można odczytać dziennika instalacji b.log. Gra nie zostanie usunięta. -> ok"});
  EXPECT_NE(testing::ReadText(files_.File("err")).find("-x"), std::string::npos);
}

}  // namespace
}  // namespace vtsetup::uninstaller
