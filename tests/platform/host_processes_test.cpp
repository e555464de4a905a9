#include "platform/host/processes/host_processes.h"

#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/processes/command_line.h"
#include "tests/support/current_folder.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace {

namespace fs = std::filesystem;
using ::testing::UnorderedElementsAre;
using vtsetup::SplitArguments;
using vtsetup::platform::Processes;
using vtsetup::platform::host::ProgramReadings;
using vtsetup::testing::CurrentFolder;
using vtsetup::testing::ScopedVariable;
using vtsetup::testing::TempDir;
using vtsetup::testing::TestMachine;
using Lines = std::vector<std::string>;

constexpr char kGameFolder[] = R"(C:\Program Files\Test Game)";

Lines ReadLines(const std::string& path) {
  Lines lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

// A file that a started program writes, waited for a bounded time.
Lines AwaitLines(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(path) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return ReadLines(path);
}

// What the own-program probe tells of itself when it was started on a machine from a Windows path.
struct ProbeReport {
  std::string command_line;
  std::string module_before;
  std::string removal;
  std::string module_after;
};

// Starts a copy of the probe at `windows_path` of the machine, sharing the machine and its transcript.
ProbeReport RunOwnProgramProbe(TestMachine& machine, const std::string& windows_path,
                               const std::string& line) {
  fs::copy_file(VT_OWN_PROGRAM_PROBE, machine.Host(windows_path));
  const std::string output = (machine.Root() / "probe.txt").string();
  const ScopedVariable machine_named("VTSETUP_MACHINE", machine.Machine().Root());
  const ScopedVariable transcript("VTSETUP_TRANSCRIPT", machine.TranscriptFile());
  const ScopedVariable output_named("VTSETUP_PROBE_OUTPUT", output);
  EXPECT_GT(machine.System().Programs().Start(line.c_str(), 1), 31u) << line;
  Lines told = AwaitLines(output);
  told.resize(4);
  return {told[0], told[1], told[2], told[3]};
}

class HostProcessesTest : public ::testing::Test {
 protected:
  HostProcessesTest() { fs::create_directories(machine_.Host(kGameFolder)); }

  // A host program at `windows_path` that writes its arguments, then its show command and HOME, to
  // the file Output() names; it renames the file into place so that a reader never sees half of it.
  void WriteRecordingScript(const std::string& windows_path, fs::perms mode = fs::perms::owner_all |
                                                                              fs::perms::group_read |
                                                                              fs::perms::others_read) {
    const std::string host = machine_.Host(windows_path);
    std::ofstream(host) << "#!/bin/sh\n"
                        << "out='" << Output() << "'\n"
                        << "{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done\n"
                        << "  printf 'show=%s\\nhome=%s\\n' \"$VTSETUP_SHOW\" \"$HOME\"; } > \"$out.tmp\"\n"
                        << "mv \"$out.tmp\" \"$out\"\n";
    fs::permissions(host, mode);
  }
  std::string Output() const { return (machine_.Root() / "output.txt").string(); }

  // The started program's output, waited for a bounded time.
  Lines AwaitOutput() const { return AwaitLines(Output()); }
  static Lines Expected(Lines arguments, unsigned show) {
    const char* home = std::getenv("HOME");
    arguments.push_back("show=" + std::to_string(show));
    arguments.push_back(std::string("home=") + (home != nullptr ? home : ""));
    return arguments;
  }

  TestMachine machine_{"", true};
  Processes& programs_ = machine_.System().Programs();
};

TEST_F(HostProcessesTest, StartsAQuotedProgramDetachedWithItsArguments) {
  WriteRecordingScript(std::string(kGameFolder) + R"(\run.exe)");
  const std::string line = R"("C:\Program Files\Test Game\run.exe" -x "a b" c\"d C:\Data\)";
  EXPECT_GT(programs_.Start(line.c_str(), 1), 31u);
  // The program belongs to the system, not to us: nothing of ours is left to wait for.
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_EQ(AwaitOutput(), Expected({"-x", "a b", "c\"d", R"(C:\Data\)"}, 1));
  EXPECT_EQ(machine_.TranscriptLines(), Lines{"program started: show 1: " + line});
}

TEST_F(HostProcessesTest, StartsAnUnquotedPathWithBlanks) {
  WriteRecordingScript(std::string(kGameFolder) + R"(\dinstall.exe)");
  const std::string line =
      R"(C:\Program Files\Test Game\dinstall.exe "C:\Program Files\Test Game\dinstall.log" -quiet)";
  EXPECT_GT(programs_.Start(line.c_str(), 0), 31u);
  EXPECT_EQ(AwaitOutput(), Expected({R"(C:\Program Files\Test Game\dinstall.log)", "-quiet"}, 0));
}

TEST_F(HostProcessesTest, FindsARelativeNameWithoutExtensionInTheCurrentFolder) {
  WriteRecordingScript(std::string(kGameFolder) + R"(\Run.EXE)");
  const CurrentFolder inside(machine_.Host(kGameFolder));
  EXPECT_GT(programs_.Start("run   first", 10), 31u);
  EXPECT_EQ(AwaitOutput(), Expected({"first"}, 10));
}

// A copy made by an installation has no execute bits; what it holds decides, as on Windows.
TEST_F(HostProcessesTest, HostProgramsRunByTheirContentWhateverTheirModeBits) {
  const std::string script = std::string(kGameFolder) + R"(\dinstall.exe)";
  WriteRecordingScript(script, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_GT(programs_.Start((script + " -quiet").c_str(), 0), 31u);
  EXPECT_EQ(AwaitOutput(), Expected({"-quiet"}, 0));
  EXPECT_EQ(fs::status(machine_.Host(script)).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::owner_exec | fs::perms::group_read |
                fs::perms::group_exec);

  const std::string image = std::string(kGameFolder) + R"(\game.exe)";
  fs::copy_file("/bin/sh", machine_.Host(image));
  fs::permissions(machine_.Host(image), fs::perms::owner_read | fs::perms::owner_write);
  fs::remove(Output());
  const std::string line = image + " -c \"echo elf > '" + Output() + "'\"";
  EXPECT_GT(programs_.Start(line.c_str(), 1), 31u);
  EXPECT_EQ(AwaitOutput(), Lines{"elf"});
}

TEST_F(HostProcessesTest, TheExitCodeClosesTheTranscript) {
  EXPECT_EQ(programs_.Start(R"(C:\Gone\a.exe)", 1), 3u);
  programs_.ReportExit(9);
  EXPECT_EQ(machine_.TranscriptLines(),
            (Lines{R"(program not started (error 3): show 1: C:\Gone\a.exe)", "exit code 9"}));
}

TEST_F(HostProcessesTest, AWindowsProgramTheHostCannotRunCountsAsStarted) {
  fs::create_directories(machine_.Host(R"(C:\Setup)"));
  std::ofstream(machine_.Host(R"(C:\Setup\game.exe)")) << "MZ\x90";
  const std::string executable = machine_.Host(R"(C:\Setup\marked.exe)");
  std::ofstream(executable) << "MZ\x90";
  fs::permissions(executable, fs::perms::owner_all);
  EXPECT_EQ(programs_.Start(R"(C:\Setup\game.exe -opt)", 10), 33u);
  EXPECT_EQ(programs_.Start(R"(c:\setup\MARKED)", 1), 33u);
  EXPECT_EQ(machine_.TranscriptLines(), (Lines{R"(program started: show 10: C:\Setup\game.exe -opt)",
                                               R"(program started: show 1: c:\setup\MARKED)"}));
}

TEST_F(HostProcessesTest, ReportsWhatIsMissingAsWindowsDoes) {
  struct Case {
    const char* line;
    std::uint32_t result;
  };
  const Case cases[] = {
      {R"(C:\Program Files\Test Game\missing.exe -x)", 2},
      {R"(C:\Gone\a.exe)", 3},
      {R"(C:\Program Files\Gone Game\a.exe -x)", 3},
      {R"(Q:\a.exe)", 3},
      {"", 11},
      {"  ", 11},
  };
  Lines expected;
  for (const Case& c : cases) {
    EXPECT_EQ(programs_.Start(c.line, 1), c.result) << c.line;
    expected.push_back("program not started (error " + std::to_string(c.result) + "): show 1: " + c.line);
  }
  EXPECT_EQ(machine_.TranscriptLines(), expected);
}

// The uninstaller reads its arguments from its command line and removes its own file last: the line
// that Start split comes back from CommandLine with the same arguments, and the file goes while the
// program runs, whose module path still names it.
TEST_F(HostProcessesTest, AStartedProgramGetsItsLineBackAndRemovesItsOwnFile) {
  const std::string program = std::string(kGameFolder) + R"(\Own Probe.exe)";
  const std::string arguments = R"(-quiet  "C:\Program Files\Test Game\dinstall.log" c\"d "e f\\" "" x\\y)";
  const std::string line = "\"" + program + "\" " + arguments;
  const ProbeReport report = RunOwnProgramProbe(machine_, program, line);
  const auto readings = ProgramReadings(report.command_line);
  ASSERT_FALSE(readings.empty()) << report.command_line;
  EXPECT_EQ(readings[0].program, program);
  EXPECT_EQ(SplitArguments(readings[0].rest), (Lines{"-quiet", R"(C:\Program Files\Test Game\dinstall.log)",
                                                     "c\"d", R"(e f\)", "", R"(x\\y)"}));
  EXPECT_EQ(report.module_before, program);
  EXPECT_EQ(report.removal, "0");
  EXPECT_EQ(report.module_after, program);
  EXPECT_FALSE(fs::exists(machine_.Host(program)));
  EXPECT_TRUE(fs::exists(VT_OWN_PROGRAM_PROBE));
  // The two processes write their lines in either order.
  EXPECT_THAT(machine_.TranscriptLines(), UnorderedElementsAre("program started: show 1: " + line,
                                                               "own program file removed: " + program));
}

// A program on a medium that cannot be written keeps its file, and says why.
TEST(HostOwnProgramFile, StaysOnAMediumThatRefusesChanges) {
  TempDir medium;
  TestMachine machine("[Drive C]\nFolder = drive_c\n[Drive M]\nFolder = " + medium.Path().string() +
                          "\nType = cdrom\n[Drive Z]\nFolder = /\nType = remote\n",
                      true);
  const ProbeReport report = RunOwnProgramProbe(machine, "M:\\SETUP.EXE", "M:\\SETUP.EXE");
  EXPECT_EQ(report.command_line, "M:\\SETUP.EXE");
  EXPECT_EQ(report.removal, "5");
  EXPECT_TRUE(fs::exists(medium.File("SETUP.EXE")));
  EXPECT_THAT(machine.TranscriptLines(),
              UnorderedElementsAre("program started: show 1: M:\\SETUP.EXE",
                                   "own program file not removed (error 5): M:\\SETUP.EXE"));
}

TEST(HostRestart, IsAcceptedOrRefusedAsTheMachineSays) {
  TestMachine accepting("", true);
  EXPECT_TRUE(accepting.System().Programs().RequestRestart(2));
  EXPECT_EQ(accepting.TranscriptLines(), Lines{"restart requested: flags 2: accepted"});

  TestMachine refusing("[Drive C]\nFolder = drive_c\nType = fixed\n\n[System]\nAcceptRestart = no\n", true);
  EXPECT_FALSE(refusing.System().Programs().RequestRestart(2));
  EXPECT_EQ(refusing.TranscriptLines(), Lines{"restart requested: flags 2: refused"});
}

TEST(HostTickCount, MovesForwardAcrossASleep) {
  TestMachine machine;
  Processes& programs = machine.System().Programs();
  const std::uint32_t before = programs.TickCount();
  programs.Sleep(30);
  const std::uint32_t elapsed = programs.TickCount() - before;
  EXPECT_GE(elapsed, 30u);
  EXPECT_LT(elapsed, 10000u);
}

}  // namespace
