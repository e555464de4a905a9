// The built setupc on a machine and a medium that a careless or hostile hand prepared: pipes where files
// should be, machine files that are links looping on themselves. setupc must end at once with its own
// failure or the machine's exit status and a message, never wait and never abort.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "compiler/compile_result.h"
#include "platform/system.h"
#include "setupdb/setup_file.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

namespace fs = std::filesystem;

// What `timeout` exits with when it had to stop the program.
constexpr int kTimedOut = 124;

struct SetupcRun {
  int status = -1;
  std::string err;
};

bool IsPipe(const fs::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

class SetupcHostileMachine : public ::testing::Test {
 protected:
  // A program that waits on a pipe is stopped after a while, so a fault fails the test, not the suite.
  SetupcRun Setupc(const std::string& arguments) {
    const std::string command = "cd '" + work_.Path().string() + "' && VTSETUP_MACHINE='" + Machine() +
                                "' timeout 30 '" VT_SETUPC "' " + arguments + " >/dev/null 2>'" +
                                capture_.File("err") + "' </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(capture_.File("err"))};
  }
  std::string Machine() const { return machine_.File("machine"); }
  fs::path Work(const std::string& name) const { return work_.Path() / name; }
  void MakePipe(const std::string& name) const { ASSERT_EQ(::mkfifo(Work(name).c_str(), 0600), 0) << name; }

  void WriteScript(const std::string& file1 = "game.exe") const {
    fs::create_directories(Work("src/DATA"));
    WriteText(Work("src/game.exe").string(), "MZ");
    WriteText(Work("src/DATA/level.dat").string(), "level");
    WriteText(Work("setup.ini").string(),
              "[Proginfo]\r\nProduct=Gra\r\nVersion=1.0\r\nFilename=game.exe\r\n[Options]\r\nCheckCRC=1\r\n"
              "[Bitmaps]\r\nBackground640x480=bg.bmp\r\n[Sources]\r\nSrcDir=src\r\nFile1=" +
                  file1 +
                  "\r\nDir1=DATA\\\r\n[Pack1]\r\nTypename=Full\r\nTypedesc=Everything\r\nFiles=File1\r\n"
                  "Dirs=Dir1\r\n");
  }

  TempDir work_;
  TempDir machine_;
  TempDir capture_;
};

TEST_F(SetupcHostileMachine, PipesOnTheMediumAreRefusedAtOnce) {
  WriteScript();
  ASSERT_EQ(Setupc("setup.ini -o SETUP.INF").status, 0);

  MakePipe("pipe.ini");
  EXPECT_EQ(Setupc("pipe.ini -o SETUP.INF").status, static_cast<int>(COMPILE_CANNOT_OPEN));

  MakePipe("pipe.inf");
  EXPECT_EQ(Setupc("setup.ini -o pipe.inf").status, static_cast<int>(SETUP_FILE_WRITE_FAILED));
  EXPECT_TRUE(IsPipe(Work("pipe.inf")));
  EXPECT_EQ(Setupc("--dump pipe.inf").status, static_cast<int>(SETUP_FILE_CANNOT_OPEN));

  MakePipe("src/DATA/stream.dat");  // in a folder that the script takes whole
  EXPECT_EQ(Setupc("setup.ini -o SETUP.INF").status, static_cast<int>(COMPILE_CANNOT_OPEN));
  fs::remove(Work("src/DATA/stream.dat"));

  MakePipe("src/named.dat");  // named by the script's own list
  WriteScript("named.dat");
  EXPECT_EQ(Setupc("setup.ini -o SETUP.INF").status, static_cast<int>(COMPILE_CANNOT_OPEN));
}

TEST_F(SetupcHostileMachine, MachineIniThatIsAPipeStopsTheRun) {
  WriteScript();
  fs::create_directories(Machine());
  ASSERT_EQ(::mkfifo((Machine() + "/machine.ini").c_str(), 0600), 0);
  const SetupcRun run = Setupc("setup.ini -o SETUP.INF");
  EXPECT_EQ(run.status, platform::EXIT_SYSTEM_UNUSABLE);
  EXPECT_NE(run.err.find("machine.ini: Access is denied. (error 5)"), std::string::npos) << run.err;
}

TEST_F(SetupcHostileMachine, MachineIniThatLoopsStopsTheRunWithAMessage) {
  WriteScript();
  fs::create_directories(Machine());
  fs::create_symlink("machine.ini", Machine() + "/machine.ini");
  const SetupcRun run = Setupc("setup.ini -o SETUP.INF");
  EXPECT_EQ(run.status, platform::EXIT_SYSTEM_UNUSABLE);
  EXPECT_NE(run.err.find("machine.ini: The name of the file cannot be resolved by the system. (error 1921)"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(fs::is_symlink(Machine() + "/machine.ini"));
}

// The compiler reads no registry, so a registry that loops does not stop it; the registry's readers
// get the error (tests/platform).
TEST_F(SetupcHostileMachine, RegistryThatLoopsDoesNotAbortTheRun) {
  WriteScript();
  fs::create_directories(Machine());
  fs::create_symlink("registry.reg", Machine() + "/registry.reg");
  const SetupcRun run = Setupc("setup.ini -o SETUP.INF");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(Machine() + "/registry.reg"));
}

}  // namespace
}  // namespace vtsetup::testing
