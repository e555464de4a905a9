#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

const char kSynopsisStart[] = "usage: setupc SCRIPT [-o FILE]\n";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const std::filesystem::path& path) {
  const std::vector<unsigned char> bytes = ReadBytes(path.string());
  return {bytes.begin(), bytes.end()};
}

class SetupcTest : public ::testing::Test {
 protected:
  // Runs the built program in the work folder. The shell hands the exit status over in a file, so
  // the test needs no process interfaces of its own.
  Outcome Setupc(const std::string& arguments, const std::string& environment = "") {
    const std::filesystem::path& capture = capture_.Path();
    const std::string command = "cd '" + work_.Path().string() + "' && " + environment +
                                " '" SETUPC_PATH "' " + arguments + " >'" + (capture / "out").string() +
                                "' 2>'" + (capture / "err").string() + "'; echo $? >'" +
                                (capture / "status").string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return {std::stoi(ReadText(capture / "status")), ReadText(capture / "out"), ReadText(capture / "err")};
  }

  std::string WorkFile(const std::string& name) const { return work_.File(name); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(work_.Path() / name); }

  // A small medium's script, whole or with one fault that ends the compilation.
  enum class Fault { None, NoBitmaps, NoProduct, BadFilesEntry };
  void WriteScript(Fault fault = Fault::None) {
    std::filesystem::create_directories(work_.Path() / "src" / "DATA");
    WriteBytes(WorkFile("src/game.exe"), {'M', 'Z', 0, 1});
    WriteBytes(WorkFile("src/DATA/level.dat"), {1, 2, 3});
    std::ofstream script(WorkFile("setup.ini"), std::ios::binary);
    script << "[Proginfo]\r\n"
           << (fault == Fault::NoProduct ? "" : "Product=Gra\r\n") << "Version=1.0\r\nFilename=game.exe\r\n"
           << "[Options]\r\nCheckCRC=1\r\n"
           << (fault == Fault::NoBitmaps ? "" : "[Bitmaps]\r\nBackground640x480=bg.bmp\r\n")
           << "[Sources]\r\nSrcDir=src\r\nFile1=game.exe\r\nDir1=DATA\\\r\n"
           << "[Pack1]\r\nTypename=Full\r\nTypedesc=Everything\r\n"
           << (fault == Fault::BadFilesEntry ? "Files=Dir1\r\n" : "Files=File1\r\n") << "Dirs=Dir1\r\n";
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
  } cases[] = {
      {{"setupc", "game.ini"}, SetupcAction::Compile, "game.ini", "SETUP.INF"},
      {{"setupc", "-o", "out.inf", "game.ini"}, SetupcAction::Compile, "game.ini", "out.inf"},
      {{"setupc", "game.ini", "-o", "a.inf", "-o", "b.inf"}, SetupcAction::Compile, "game.ini", "b.inf"},
      {{"setupc", "-"}, SetupcAction::Compile, "-", "SETUP.INF"},
      {{"setupc", "db.inf", "--dump"}, SetupcAction::Dump, "db.inf", "SETUP.INF"},
  };
  for (const auto& c : cases) {
    SetupcOptions options;
    std::string error;
    ASSERT_TRUE(ParseSetupcArguments(static_cast<int>(c.argv.size()), c.argv.data(), options, error))
        << error;
    EXPECT_EQ(options.Action, c.action) << c.argv[1];
    EXPECT_EQ(options.Input, c.input) << c.argv[1];
    EXPECT_EQ(options.Output, c.output) << c.argv[1];
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
  EXPECT_EQ(unwritable.err, "setupc: cannot write nowhere/SETUP.INF\n");
  EXPECT_FALSE(Exists("SETUP.INF"));
}

}  // namespace
}  // namespace vtsetup::testing
