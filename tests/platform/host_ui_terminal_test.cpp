#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A person at a terminal answers page 5: the program runs under a pseudo-terminal made by script(1),
// sees a terminal on its standard input, draws the page and takes the typed verb.
TEST(HostUiTerminal, APersonAnswersAPageAtAPseudoTerminal) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "script(1) is not installed";
  }
  TempDir dir;
  const std::string command = "cd '" + dir.Path().string() +
                              "' && printf 'press 6\\n' | env -u VTSETUP_ANSWERS" + " VTSETUP_MACHINE='" +
                              dir.File("machine") + "' VTSETUP_TRANSCRIPT='" + dir.File("transcript") +
                              "' script -qec \"'" VT_UI_PROBE "' 113\" /dev/null >'" + dir.File("screen") +
                              "' 2>&1; echo $? >'" + dir.File("status") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadText(dir.File("status")), "6\n") << ReadText(dir.File("screen"));
  const std::string screen = ReadText(dir.File("screen"));
  EXPECT_NE(screen.find("&Rozpoczęcie"), std::string::npos) << screen;
  EXPECT_NE(screen.find("result 6"), std::string::npos) << screen;
  const std::string transcript = ReadText(dir.File("transcript"));
  EXPECT_NE(transcript.find("page 5 shown: "), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("page 5: press 6\nexit code 6\n"), std::string::npos) << transcript;
  EXPECT_TRUE(transcript.ends_with("exit code 6\n")) << transcript;
}

// The user interface cannot be had; the program's entry hears why and ends the run itself.
TEST(HostUiTerminal, AnAnswersFileThatCannotBeUsedReachesTheProgramsEntry) {
  TempDir dir;
  std::ofstream(dir.File("answers")) << "page 5: press\n";
  const std::string command = "VTSETUP_ANSWERS='" + dir.File("answers") + "' VTSETUP_MACHINE='" +
                              dir.File("machine") + "' VTSETUP_TRANSCRIPT='" + dir.File("transcript") +
                              "' '" VT_UI_PROBE "' 113 </dev/null >'" + dir.File("screen") + "' 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 78);
  const std::string screen = ReadText(dir.File("screen"));
  EXPECT_TRUE(screen.starts_with("ui_probe: ")) << screen;
  EXPECT_NE(screen.find("line 1"), std::string::npos) << screen;
  EXPECT_EQ(ReadText(dir.File("transcript")), "exit code 78\n");
}

}  // namespace
}  // namespace vtsetup::testing
