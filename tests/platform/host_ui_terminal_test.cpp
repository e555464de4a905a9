#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/terminal_width.h"

namespace vtsetup::testing {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool HasScript() {
  return std::system("command -v script >/dev/null 2>&1") == 0;
}

struct TerminalRun {
  std::string screen;  // everything the terminal got, with its line breaks as "\r\n"
  std::string status;
  std::string transcript;
};

// Runs the probe with `arguments` under a pseudo-terminal of `columns` columns made by script(1), with
// `typed` as the person's input and `environment` set. Echo is off, so that typing ahead cannot land in
// the middle of what the program draws.
TerminalRun RunAtTerminal(const TempDir& dir, const std::string& typed, const std::string& environment,
                          const std::string& arguments, int columns) {
  const std::string command =
      "cd '" + dir.Path().string() + "' && printf '" + typed + "' | env -u VTSETUP_ANSWERS " + environment +
      " VTSETUP_MACHINE='" + dir.File("machine") + "' VTSETUP_TRANSCRIPT='" + dir.File("transcript") +
      "' script -qec \"stty cols " + std::to_string(columns) + " -echo; '" VT_UI_PROBE "' " + arguments +
      "\" /dev/null >'" + dir.File("screen") + "' 2>&1; echo $? >'" + dir.File("status") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return {ReadText(dir.File("screen")), ReadText(dir.File("status")), ReadText(dir.File("transcript"))};
}

// A person at a terminal answers page 5: the program runs under a pseudo-terminal made by script(1),
// sees a terminal on its standard input, draws the page and takes the typed verb.
TEST(HostUiTerminal, APersonAnswersAPageAtAPseudoTerminal) {
  if (!HasScript()) {
    GTEST_SKIP() << "script(1) is not installed";
  }
  TempDir dir;
  const TerminalRun run = RunAtTerminal(dir, "press 6\\n", "", "113", 80);
  EXPECT_EQ(run.status, "6\n") << run.screen;
  EXPECT_NE(run.screen.find("&Rozpoczęcie"), std::string::npos) << run.screen;
  EXPECT_NE(run.screen.find("result 6"), std::string::npos) << run.screen;
  EXPECT_NE(run.transcript.find("page 5 shown: "), std::string::npos) << run.transcript;
  EXPECT_NE(run.transcript.find("page 5: press 6\nexit code 6\n"), std::string::npos) << run.transcript;
  EXPECT_TRUE(run.transcript.ends_with("exit code 6\n")) << run.transcript;
}

// The copy at a terminal of 50 columns: the progress line is redrawn in place, the billboard's name
// takes a line above it, a question ends it first, and closing the dialog ends it for good. The
// terminal's own width, not the default, is what the lines fit.
TEST(HostUiTerminal, TheCopyIsOneLineRedrawnInPlaceThatABoxInterrupts) {
  if (!HasScript()) {
    GTEST_SKIP() << "script(1) is not installed";
  }
  TempDir dir;
  const TerminalRun run = RunAtTerminal(dir, "yes\\n", "", "copy", 50);
  EXPECT_EQ(run.status, "6\n") << run.screen;
  const std::string& screen = run.screen;

  const std::size_t first = screen.find("\r[");
  const std::size_t box =
      screen.find("-- message box (stop): Vantor Setup --\r\nPlik już istnieje.\r\n[6] yes  [7] no");
  ASSERT_NE(first, std::string::npos) << screen;
  ASSERT_NE(box, std::string::npos) << screen;
  ASSERT_LT(first, box) << screen;
  const std::string copying = screen.substr(first, box - first);
  // Only the billboard's line and the end before the box go down a line.
  EXPECT_EQ(std::count(copying.begin(), copying.end(), '\n'), 2) << copying;
  const std::string at30 = "\r[######..............]  30%  level1.map\x1b[K";
  EXPECT_NE(copying.find(at30 + "\r-- billboard: splash001.bmp --\x1b[K\r\n" + at30), std::string::npos)
      << copying;
  EXPECT_TRUE(copying.ends_with("\r[############........]  60%  ...okiego_koniec.map\x1b[K\r\n")) << copying;
  EXPECT_TRUE(screen.ends_with("\r[####################] 100%  ...okiego_koniec.map\x1b[K\r\n")) << screen;

  std::size_t lines = 0;
  for (std::size_t end = screen.find("\x1b[K"); end != std::string::npos;
       end = screen.find("\x1b[K", end + 1)) {
    const std::size_t start = screen.rfind('\r', end);
    ASSERT_NE(start, std::string::npos);
    const std::string line = screen.substr(start + 1, end - start - 1);
    EXPECT_LE(TerminalWidth(line), 49u) << line;
    ++lines;
  }
  EXPECT_EQ(lines, 8u) << screen;

  for (const char* event : {"progress dialog 108 opened\n", "progress dialog 108: 30 of 100\n",
                            "message box (style 20) \"Vantor Setup\": \"Plik już istnieje.\" -> 6 (yes)\n",
                            "progress dialog 108: 100 of 100\nprogress dialog 108 closed\n"}) {
    EXPECT_NE(run.transcript.find(event), std::string::npos) << event << run.transcript;
  }
}

TEST(HostUiTerminal, AnAnswersFileKeepsTheTerminalQuietDuringTheCopy) {
  if (!HasScript()) {
    GTEST_SKIP() << "script(1) is not installed";
  }
  TempDir dir;
  std::ofstream(dir.File("answers")) << "message yes\n";
  const TerminalRun run = RunAtTerminal(dir, "", "VTSETUP_ANSWERS='" + dir.File("answers") + "'", "copy", 50);
  EXPECT_EQ(run.status, "6\n") << run.screen;
  EXPECT_EQ(run.screen, "");
  EXPECT_NE(run.transcript.find("progress dialog 108: 60 of 100\n"), std::string::npos) << run.transcript;
  EXPECT_NE(run.transcript.find("-> 6 (yes)\n"), std::string::npos) << run.transcript;
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
