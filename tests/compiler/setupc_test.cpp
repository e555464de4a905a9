#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "compiler/database_json.h"
#include "compiler/setupc_options.h"
#include "platform/system.h"
#include "setupdb/setup_file.h"
#include "tests/setupdb/database_fixtures.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

const char kSynopsisStart[] = "usage: setupc [--strict] SCRIPT [-o FILE]\n";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const std::filesystem::path& path) {
  const std::vector<unsigned char> bytes = ReadBytes(path.string());
  return {bytes.begin(), bytes.end()};
}

std::string SystemText(platform::SystemError error) {
  return platform::TheSystem().Files().ErrorText(error).Data();
}

class SetupcTest : public ::testing::Test {
 protected:
  // Runs the built program in the work folder. The shell hands the exit status over in a file, so
  // the test needs no process interfaces of its own; a program that hangs is ended with status 124.
  Outcome Setupc(const std::string& arguments, const std::string& environment = "") {
    const std::filesystem::path& capture = capture_.Path();
    const std::string command = "cd '" + work_.Path().string() + "' && " + environment +
                                " timeout 120 '" SETUPC_PATH "' " + arguments + " >'" +
                                (capture / "out").string() + "' 2>'" + (capture / "err").string() +
                                "'; echo $? >'" + (capture / "status").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return {std::stoi(ReadText(capture / "status")), ReadText(capture / "out"), ReadText(capture / "err")};
  }

  std::string WorkFile(const std::string& name) const { return work_.File(name); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(work_.Path() / name); }

  // A small medium's script, whole or with one fault that ends the compilation. `options` are the
  // lines of section Options; `dir1` the value of Dir1.
  enum class Fault { None, NoBitmaps, NoProduct, BadFilesEntry };
  void WriteScript(Fault fault = Fault::None, const std::string& options = "CheckCRC=1\r\n",
                   const std::string& dir1 = "DATA\\") {
    std::filesystem::create_directories(work_.Path() / "src" / "DATA");
    std::filesystem::create_directories(work_.Path() / "src" / "MISC");
    WriteBytes(WorkFile("src/game.exe"), {'M', 'Z', 0, 1});
    WriteBytes(WorkFile("src/DATA/level.dat"), {1, 2, 3});
    WriteBytes(WorkFile("src/MISC/helper.dll"), {4, 5});
    std::ofstream script(WorkFile("setup.ini"), std::ios::binary);
    script << "[Proginfo]\r\n"
           << (fault == Fault::NoProduct ? "" : "Product=Gra\r\n") << "Version=1.0\r\nFilename=game.exe\r\n"
           << "[Options]\r\n"
           << options << (fault == Fault::NoBitmaps ? "" : "[Bitmaps]\r\nBackground640x480=bg.bmp\r\n")
           << "[Sources]\r\nSrcDir=src\r\nSrcDirMisc=MISC\\\r\nFile1=game.exe\r\nDir1=" << dir1 << "\r\n"
           << "[Pack1]\r\nTypename=Full\r\nTypedesc=Everything\r\n"
           << (fault == Fault::BadFilesEntry ? "Files=Dir1\r\n" : "Files=File1\r\n") << "Dirs=Dir1\r\n";
  }

  // Runs the built program at a pseudo-terminal made by script(1), which shows both streams; what the
  // terminal got, its line ends as a terminal makes them.
  std::string OnTerminal(const std::string& arguments) {
    const std::string screen = (capture_.Path() / "screen").string();
    const std::string command = "cd '" + work_.Path().string() +
                                "' && printf '' | script -qc \"timeout 120 '" SETUPC_PATH "' " + arguments +
                                "\" /dev/null >'" + screen + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadText(screen);
  }

  // Every file below a folder of the work folder with its bytes.
  std::map<std::string, std::vector<unsigned char>> Snapshot(const std::string& folder) const {
    std::map<std::string, std::vector<unsigned char>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(work_.Path() / folder)) {
      if (entry.is_regular_file()) {
        files[entry.path().string()] = ReadBytes(entry.path().string());
      }
    }
    return files;
  }

  std::vector<std::string> NamesIn(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(work_.Path() / folder)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir work_;
  TempDir capture_;
};

TEST_F(SetupcTest, PrintsHelpAndVersionOnTheStandardOutput) {
  for (const char* arguments : {"--help", "setup.ini --help"}) {
    const Outcome help = Setupc(arguments);
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith(kSynopsisStart));
    EXPECT_THAT(help.out, HasSubstr("--dump FILE"));
    EXPECT_THAT(help.out, HasSubstr("--strict"));
    EXPECT_EQ(help.err, "");
  }
  const Outcome version = Setupc("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "setupc " VTSETUP_VERSION "\n");
  EXPECT_EQ(version.err, "");
}

TEST_F(SetupcTest, RejectsCommandLinesThatMakeNoSense) {
  const struct {
    const char* arguments;
    const char* reason;
  } cases[] = {
      {"", "no setup script given"},
      {"--bogus setup.ini", "unknown option '--bogus'"},
      {"setup.ini -o", "-o needs a file name"},
      {"a.ini b.ini", "more than one script given: 'a.ini' and 'b.ini'"},
      {"--dump", "--dump needs a database file"},
      {"A.INF --dump B.INF", "more than one database given: 'A.INF' and 'B.INF'"},
      {"--dump A.INF -o B.INF", "-o does not go with --dump"},
      {"--dump A.INF --strict", "--strict does not go with --dump"},
  };
  for (const auto& c : cases) {
    const Outcome run = Setupc(c.arguments);
    EXPECT_EQ(run.status, 64) << c.arguments;
    EXPECT_EQ(run.err, std::string("setupc: ") + c.reason + "\n" + SetupcSynopsis()) << c.arguments;
    EXPECT_EQ(run.out, "") << c.arguments;
  }
}

TEST_F(SetupcTest, StopsWhenItsMachineCannotBeUsed) {
  WriteScript();
  std::filesystem::create_directories(work_.Path() / "machine");
  std::ofstream(WorkFile("machine/machine.ini")) << "[System]\nScreenWidth = wide\n";
  const Outcome run = Setupc("setup.ini", "VTSETUP_MACHINE='" + WorkFile("machine") + "'");
  EXPECT_EQ(run.status, 78);
  EXPECT_EQ(run.err, "vtsetup: " + WorkFile("machine/machine.ini") +
                         " line 2: screenwidth must be a number, not \"wide\"\n");
  EXPECT_FALSE(Exists("SETUP.INF"));
}

TEST(SetupcArguments, TakeOptionsInAnyOrder) {
  const struct {
    std::vector<const char*> argv;
    SetupcAction action;
    const char* input;
    const char* output;
    bool strict;
  } cases[] = {
      {{"setupc", "game.ini"}, SetupcAction::Compile, "game.ini", "SETUP.INF", false},
      {{"setupc", "-o", "out.inf", "game.ini"}, SetupcAction::Compile, "game.ini", "out.inf", false},
      {{"setupc", "game.ini", "-o", "a.inf", "-o", "b.inf"},
       SetupcAction::Compile,
       "game.ini",
       "b.inf",
       false},
      {{"setupc", "-"}, SetupcAction::Compile, "-", "SETUP.INF", false},
      {{"setupc", "db.inf", "--dump"}, SetupcAction::Dump, "db.inf", "SETUP.INF", false},
      {{"setupc", "game.ini", "--strict"}, SetupcAction::Compile, "game.ini", "SETUP.INF", true},
  };
  for (const auto& c : cases) {
    SetupcOptions options;
    std::string error;
    ASSERT_TRUE(ParseSetupcArguments(static_cast<int>(c.argv.size()), c.argv.data(), options, error))
        << error;
    EXPECT_EQ(options.Action, c.action) << c.argv[1];
    EXPECT_EQ(options.Input, c.input) << c.argv[1];
    EXPECT_EQ(options.Output, c.output) << c.argv[1];
    EXPECT_EQ(options.Strict, c.strict) << c.argv[1];
  }
}

TEST_F(SetupcTest, DumpsADatabaseAsJson) {
  SetupInfo info;
  info.Product = "\xA3\xF3\x64\x9F";  // Łódź in code page 1250
  info.Filename = "GRA.EXE";
  info.Packs.emplace_back().Typename = "Pe\xB3na";
  ASSERT_EQ(WriteSetupFile(platform::TheSystem().Files(), info, WorkFile("SETUP.INF").c_str()),
            SETUP_FILE_OK);

  const Outcome run = Setupc("--dump SETUP.INF");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, DatabaseJson(info));
  EXPECT_THAT(run.out, HasSubstr("\n  \"Product\": \"Łódź\",\n"));
}

TEST_F(SetupcTest, DumpEndsWithTheReadersResult) {
  const Outcome missing = Setupc("--dump MISSING.INF");
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.out, HasSubstr("MISSING.INF nicht oeffnen"));
  EXPECT_EQ(missing.err, "setupc: reading MISSING.INF failed with code 2\n");

  // A sound header and checksum over a body that ends before the first text.
  std::vector<unsigned char> header_only = {'V', 'T', 'S', 'I', 6, 0, 0, 0, 0, 0, 0, 0};
  SealDatabase(header_only);
  WriteBytes(WorkFile("SETUP.INF"), header_only);
  const Outcome truncated = Setupc("--dump SETUP.INF");
  EXPECT_EQ(truncated.status, 7);
  EXPECT_EQ(truncated.err, "setupc: reading SETUP.INF failed with code 7\n");

  ASSERT_EQ(WriteSetupFile(platform::TheSystem().Files(), SetupInfo(), WorkFile("SETUP.INF").c_str()),
            SETUP_FILE_OK);
  std::vector<unsigned char> bytes = ReadBytes(WorkFile("SETUP.INF"));
  bytes.back() ^= 0x01;
  WriteBytes(WorkFile("SETUP.INF"), bytes);
  const Outcome corrupted = Setupc("--dump SETUP.INF");
  EXPECT_EQ(corrupted.status, 8);
  EXPECT_THAT(corrupted.out, Not(HasSubstr("{")));
  EXPECT_EQ(corrupted.err, "setupc: reading SETUP.INF failed with code 8\n");
}

TEST_F(SetupcTest, CompilesAndWritesTheDatabase) {
  WriteScript();
  const Outcome run = Setupc("setup.ini");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.err, "setupc: wrote SETUP.INF\n");
  EXPECT_THAT(run.out, HasSubstr("Product:      Gra\n"));  // the compiler's own report

  const Outcome dump = Setupc("--dump SETUP.INF");
  ASSERT_EQ(dump.status, 0) << dump.out;
  EXPECT_THAT(dump.out, HasSubstr("\"Product\": \"Gra\""));
  EXPECT_THAT(dump.out, HasSubstr("{\"Path\": \"game.exe\", \"FileSize\": 4, "));
  EXPECT_THAT(dump.out, HasSubstr("{\"Path\": \"DATA\\\\level.dat\", \"FileSize\": 3, "));

  std::filesystem::create_directory(work_.Path() / "out");
  const Outcome elsewhere = Setupc("-o out/MEDIUM.INF setup.ini");
  EXPECT_EQ(elsewhere.status, 0) << elsewhere.out;
  EXPECT_EQ(elsewhere.err, "setupc: wrote out/MEDIUM.INF\n");
  EXPECT_EQ(ReadBytes(WorkFile("out/MEDIUM.INF")), ReadBytes(WorkFile("SETUP.INF")));
}

TEST_F(SetupcTest, EndsWithTheCompilersResultAndWritesNothing) {
  const Outcome missing = Setupc("missing.ini");
  EXPECT_EQ(missing.status, 2);
  EXPECT_THAT(missing.out, HasSubstr("missing.ini"));
  EXPECT_EQ(missing.err, "setupc: compiling missing.ini failed with code 2\n");

  // The compiler hands out a partly built tree for these, which must not reach the file.
  const struct {
    Fault fault;
    int status;
  } cases[] = {{Fault::NoBitmaps, 1}, {Fault::NoProduct, 3}, {Fault::BadFilesEntry, 4}};
  for (const auto& c : cases) {
    WriteScript(c.fault);
    const Outcome run = Setupc("setup.ini");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, "setupc: compiling setup.ini failed with code " + std::to_string(c.status) + "\n");
    EXPECT_FALSE(Exists("SETUP.INF")) << c.status;
  }
}

// The machine's record of a run closes with its exit status, whichever way the run ended.
TEST_F(SetupcTest, TheTranscriptEndsWithTheExitStatus) {
  WriteScript();
  const std::string transcript = "VTSETUP_TRANSCRIPT='" + WorkFile("transcript") + "'";
  ASSERT_EQ(Setupc("setup.ini", transcript).status, 0);
  ASSERT_EQ(Setupc("missing.ini", transcript).status, 2);
  ASSERT_EQ(Setupc("--dump missing.inf", transcript).status, 2);
  EXPECT_EQ(ReadText(WorkFile("transcript")), "exit code 0\nexit code 2\nexit code 2\n");
}

TEST_F(SetupcTest, EndsWithSixWhenTheDatabaseCannotBeWritten) {
  WriteScript();
  const Outcome unwritable = Setupc("setup.ini -o nowhere/SETUP.INF");
  EXPECT_EQ(unwritable.status, 6);
  EXPECT_EQ(unwritable.err,
            "setupc: cannot write nowhere/SETUP.INF: " +
                std::string(platform::TheSystem().Files().ErrorText(platform::ERR_PATH_NOT_FOUND).Data()) +
                "\n");
  EXPECT_FALSE(Exists("SETUP.INF"));
}

// The database is never written over what it is made from, whatever the name that reaches that file.
TEST_F(SetupcTest, NeverWritesTheDatabaseOverTheScriptOrItsFiles) {
  WriteScript();
  const std::string script = ReadText(WorkFile("setup.ini"));
  std::filesystem::rename(WorkFile("setup.ini"), WorkFile("setup.inf"));
  const Outcome default_output = Setupc("setup.inf");  // SETUP.INF, the script in other letters
  EXPECT_EQ(default_output.status, 64);
  EXPECT_EQ(default_output.err,
            "setupc: SETUP.INF is the script setup.inf itself; name the database file with -o\n");
  EXPECT_EQ(default_output.out, "");
  EXPECT_EQ(ReadText(WorkFile("setup.inf")), script);

  std::filesystem::rename(WorkFile("setup.inf"), WorkFile("setup.ini"));
  std::filesystem::create_symlink("setup.ini", work_.Path() / "script.lnk");
  for (const char* output : {"SETUP.INI", "script.lnk"}) {
    const Outcome run = Setupc(std::string("setup.ini -o ") + output);
    EXPECT_EQ(run.status, 64) << output;
    EXPECT_EQ(ReadText(WorkFile("setup.ini")), script) << output;
  }

  const auto sources = Snapshot("src");
  const struct {
    const char* output;
    const char* source;
  } cases[] = {
      {"src/game.exe", "src\\game.exe"},
      {"SRC/Game.Exe", "src\\game.exe"},
      {"src/DATA/level.dat", "src\\DATA\\level.dat"},    // found by the walk
      {"src/MISC/helper.dll", "src\\MISC\\helper.dll"},  // a temporary file
  };
  for (const auto& c : cases) {
    const Outcome run = Setupc(std::string("setup.ini -o ") + c.output);
    EXPECT_EQ(run.status, 64) << c.output;
    EXPECT_EQ(run.err,
              std::string("setupc: ") + c.output + " is " + c.source +
                  ", a file that the script setup.ini takes into the database; name the database file "
                  "with -o\n");
    EXPECT_EQ(Snapshot("src"), sources) << c.output;
  }
}

// Drive D: holds 4096 bytes; a first database and a filler take all of it.
TEST_F(SetupcTest, AFullDiskKeepsTheOldDatabaseWhole) {
  WriteScript();
  std::filesystem::create_directories(work_.Path() / "machine" / "d");
  std::ofstream(WorkFile("machine/machine.ini"))
      << "[Drive Z]\nFolder = /\nType = remote\n"
      << "[Drive D]\nFolder = d\nType = removable\nFreeBytes = 4096\nClusterSize = 512\n";
  const std::string machine = "VTSETUP_MACHINE='" + WorkFile("machine") + "'";
  ASSERT_EQ(Setupc("setup.ini -o 'D:\\SETUP.INF'", machine).status, 0);
  const std::vector<unsigned char> old_database = ReadBytes(WorkFile("machine/d/SETUP.INF"));
  ASSERT_LE(old_database.size(), 512u);
  WriteBytes(WorkFile("machine/d/filler.bin"), std::vector<unsigned char>(4096 - 512, 0));

  WriteScript(Fault::None, "CheckCRC=0\r\n");  // a database that differs
  const Outcome full = Setupc("setup.ini -o 'D:\\SETUP.INF'", machine);
  EXPECT_EQ(full.status, 6);
  EXPECT_EQ(full.err,
            "setupc: cannot write D:\\SETUP.INF: " + SystemText(platform::ERR_HANDLE_DISK_FULL) + "\n");
  EXPECT_THAT(full.out, HasSubstr("Fehler beim Schreiben von D:\\SETUP.INF => Abbruch.\n"));
  EXPECT_EQ(ReadBytes(WorkFile("machine/d/SETUP.INF")), old_database);
  EXPECT_EQ(NamesIn("machine/d"), (std::vector<std::string>{"SETUP.INF", "filler.bin"}));
}

TEST_F(SetupcTest, AFolderOrAPipeAtTheOutputIsNotReplaced) {
  WriteScript();
  std::filesystem::create_directory(work_.Path() / "out");
  const Outcome folder = Setupc("setup.ini -o out");
  EXPECT_EQ(folder.status, 6);
  EXPECT_EQ(folder.err, "setupc: cannot write out: " + SystemText(platform::ERR_ACCESS_DENIED) + "\n");
  EXPECT_TRUE(std::filesystem::is_directory(WorkFile("out")));

  ASSERT_EQ(std::system(("mkfifo '" + WorkFile("pipe") + "'").c_str()), 0);
  const Outcome pipe = Setupc("setup.ini -o pipe");
  EXPECT_EQ(pipe.status, 6);
  EXPECT_EQ(pipe.err, "setupc: cannot write pipe: " + SystemText(platform::ERR_ACCESS_DENIED) + "\n");
  EXPECT_TRUE(std::filesystem::is_fifo(WorkFile("pipe")));
  EXPECT_EQ(NamesIn(""), (std::vector<std::string>{"out", "pipe", "setup.ini", "src"}));
}

// Two links back to their own folder would make the walk branch for ever.
TEST_F(SetupcTest, ALinkLoopEndsTheWalkWithItsPath) {
  WriteScript(Fault::None, "CheckCRC=1\r\n", "DATA\\ /SUBDIRS");
  std::filesystem::create_directory_symlink(".", work_.Path() / "src" / "DATA" / "a");
  std::filesystem::create_directory_symlink(".", work_.Path() / "src" / "DATA" / "b");
  const Outcome run = Setupc("setup.ini");
  EXPECT_EQ(run.status, 2);
  EXPECT_THAT(run.err, HasSubstr("setupc: the folder src\\DATA\\a\\ is src\\DATA\\ again, which the walk is "
                                 "inside already: a link leads back into it\n"));
  EXPECT_FALSE(Exists("SETUP.INF"));
}

TEST_F(SetupcTest, StrictTurnsEveryWarningIntoAFailure) {
  WriteScript(Fault::None, "CheckCRC=yes\r\n");
  const Outcome lenient = Setupc("setup.ini");
  EXPECT_EQ(lenient.status, 0);
  EXPECT_THAT(lenient.err, StartsWith("setupc: warning: [Options] CheckCRC=yes in "));
  EXPECT_THAT(lenient.err,
              HasSubstr("setup.ini is read as 0, off; the key takes 0 or 1\nsetupc: wrote SETUP.INF\n"));
  std::filesystem::remove(WorkFile("SETUP.INF"));

  const Outcome strict = Setupc("--strict setup.ini");
  EXPECT_EQ(strict.status, 4);
  EXPECT_EQ(strict.out, lenient.out);
  EXPECT_THAT(strict.err, StartsWith("setupc: warning: [Options] CheckCRC=yes in "));
  EXPECT_THAT(strict.err, HasSubstr("\nsetupc: 1 warning(s) with --strict; SETUP.INF is not written\n"));
  EXPECT_FALSE(Exists("SETUP.INF"));

  WriteScript();
  const Outcome clean = Setupc("--strict setup.ini");
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.err, "setupc: wrote SETUP.INF\n");
}

TEST_F(SetupcTest, ATerminalShowsUtf8AndNoControlCharactersWhilePipesGetTheBytes) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "script(1) is not installed";
  }
  // "grał.ini" and "geöffnet" in code page 1250.
  const Outcome piped = Setupc("'gra\xB3.ini'");
  EXPECT_EQ(piped.out,
            "Die Datei gra\xB3.ini konnte nicht ge\xF6"
            "ffnet werden => Abbruch\n");
  EXPECT_EQ(piped.err, "setupc: compiling gra\xB3.ini failed with code 2\n");
  const std::string shown = OnTerminal("'gra\xB3.ini'");
  EXPECT_THAT(shown, HasSubstr("Die Datei gra\xC5\x82.ini konnte nicht ge\xC3\xB6"
                               "ffnet werden => Abbruch"));
  EXPECT_THAT(shown, HasSubstr("setupc: compiling gra\xC5\x82.ini failed with code 2"));

  // A product name that would clear the screen.
  WriteScript();
  std::string script = ReadText(WorkFile("setup.ini"));
  script.replace(script.find("Product=Gra"), 11, "Product=\x1b[2JGra");
  WriteText(WorkFile("setup.ini"), script);
  const Outcome raw = Setupc("setup.ini");
  EXPECT_EQ(raw.status, 0);
  EXPECT_THAT(raw.out, HasSubstr("Product:      \x1b[2JGra\n"));
  const std::string written = OnTerminal("setup.ini");
  EXPECT_THAT(written, HasSubstr("Product:      \\x1b[2JGra"));
  EXPECT_EQ(written.find('\x1b'), std::string::npos) << written;
}

}  // namespace
}  // namespace vtsetup::testing
