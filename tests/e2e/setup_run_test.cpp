// The setup program from the CD on temporary machines, answered from answers files: exit codes, the
// installed files, "dinstall.log" walked record by record, the registry, the shortcuts and the
// transcript.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/system.h"
#include "setupdb/setup_file.h"
#include "tests/e2e/setup_fixture.h"
#include "tests/support/bitmap_layout.h"
#include "tests/support/held_by_other_process.h"
#include "tests/support/shell_link_reader.h"

namespace vtsetup::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kDestination[] = "C:\\Program Files\\Vantor\\Orvella";
constexpr char kTitle[] = "\"Vantor Setup\"";
// The whole wizard with the default choices, the readme, and "Wyjście" at the end.
constexpr char kDefaultAnswers[] =
    "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\npage 8: press 1\npage 5: press 1\n";

class SetupRun : public SetupRunTest {
 protected:
  // Changes this test's own medium's database as a script with other settings would have made it.
  void ChangeDatabase(const std::function<void(SetupInfo&)>& change) {
    const fs::path medium = OwnMedium();
    std::string path = "Z:" + (medium / "SETUP.INF").string();
    std::replace(path.begin(), path.end(), '/', '\\');
    platform::FileSystem& files = platform::TheSystem().Files();
    std::unique_ptr<SetupInfo> info;
    ASSERT_EQ(ReadSetupFile(files, path.c_str(), info), SETUP_FILE_OK);
    change(*info);
    ASSERT_EQ(WriteSetupFile(files, *info, path.c_str()), SETUP_FILE_OK);
  }

  // A medium whose database asks for the DirectX setup, with the test library in its folder.
  void WithDirectXSetup(const std::string& result) {
    ChangeDatabase([](SetupInfo& info) {
      info.Options.InstallDirectX = true;
      info.Options.DirectXDir = "DIRECTX";
    });
    fs::create_directories(dir_.Path() / "medium" / "DIRECTX");
    fs::copy_file(VT_DSETUP_STUB, dir_.Path() / "medium" / "DIRECTX" / "DSETUP.DLL");
    AddEnvironment("VTSETUP_DSETUP_RESULT=" + result);
  }

  // An earlier installation of the game on this machine, as its program key and executable show it.
  void InstallEarlierGame() {
    PrepareMachine();
    std::ofstream(MachineRoot() / "registry.reg", std::ios::app)
        << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor "
           "Software\\Orvella\\1.0]\r\n@=\"C:\\\\Gry\\\\Orvella\"\r\n\r\n";
    fs::create_directories(OnDriveC("C:\\Gry\\Orvella"));
    std::ofstream(OnDriveC("C:\\Gry\\Orvella\\orv.exe")) << "#!/bin/sh\nexit 0\n";
  }

  bool Installed(const std::string& relative) const {
    return fs::is_regular_file(OnDriveC(std::string(kDestination) + "\\" + relative));
  }
};

TEST_F(SetupRun, FullInstallationGoesWhereTheUserSawIt) {
  const Run run = RunSetup(kDefaultAnswers);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  for (const char* file : {"orv.exe", "orv.cfg", "manual.txt", "DATA\\world.dat", "DATA\\MAPS\\map01.dat",
                           "MUSIC\\theme.dat", "SAVE\\slot0.sav"}) {
    EXPECT_TRUE(Installed(file)) << file;
  }
  const WalkedLog log = InstalledLog(kDestination);
  ASSERT_TRUE(log.well_formed) << log.why;
  EXPECT_EQ(log.program_name, "Orvella");
  ASSERT_FALSE(log.records.empty());
  EXPECT_EQ(log.records.front().type, 2);
  EXPECT_EQ(log.records.front().texts, std::vector<std::string>{"."});
  EXPECT_EQ(log.records.back().type, 3);
  EXPECT_EQ(log.records.back().texts, std::vector<std::string>{"dinstall.log"});
  // The shortcuts where the person looks for them, each pointing at the installed file, and logged.
  const ParsedLink game =
      ParseLink(ReadBytes(OnDriveC("C:\\Windows\\Start Menu\\Programs\\Orvella\\Orvella.LNK").string()));
  EXPECT_FALSE(game.broken);
  EXPECT_EQ(game.local_base_path, "C:\\Program Files\\Vantor\\Orvella\\orv.exe");
  EXPECT_TRUE(fs::is_regular_file(OnDriveC("C:\\Windows\\Desktop\\Orvella.LNK")));
  const std::string url =
      ReadText(OnDriveC("C:\\Windows\\Start Menu\\Programs\\Orvella\\Orvella w sieci.URL").string());
  EXPECT_NE(url.find("URL="), std::string::npos) << url;
  const auto logged = [&](std::uint8_t type) {
    return std::count_if(log.records.begin(), log.records.end(),
                         [&](const WalkedRecord& record) { return record.type == type; });
  };
  EXPECT_EQ(logged(6), 1);  // the program group
  EXPECT_EQ(logged(5), 2);  // the game's and the manual's links in the group
  // Every link file by its full path: those two, the desktop's, the web page's and the uninstaller's.
  EXPECT_EQ(
      std::count_if(log.records.begin(), log.records.end(),
                    [](const WalkedRecord& record) { return record.type == 3 && record.flags == 0x100; }),
      5);
  EXPECT_EQ(logged(4), 2);  // the uninstall entry and the program key
  const std::string registry = Registry();
  EXPECT_NE(registry.find(
                "\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\Vantor\\\\Orvella\\\\dinstall.exe\\\"\""),
            std::string::npos)
      << registry;
  EXPECT_TRUE(TranscriptHas("exit code 0"));
}

TEST_F(SetupRun, TheMinimalInstallationLeavesTheMusicOnTheCd) {
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: select 1000 0; press 1\npage 4: press 1\npage 8: press 1\n"
      "page 5: press 1\n");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(Installed("orv.exe"));
  EXPECT_TRUE(Installed("DATA\\MAPS\\map02.dat"));
  EXPECT_FALSE(Installed("manual.txt"));
  EXPECT_FALSE(fs::exists(OnDriveC(std::string(kDestination) + "\\MUSIC")));
  EXPECT_TRUE(InstalledLog(kDestination).well_formed);
}

class CancelOnAPage : public SetupRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelOnAPage, EndsWithTenAndCreatesNothing) {
  const Run run = RunSetup(GetParam());
  EXPECT_EQ(run.exit_code, 10) << run.err;
  EXPECT_FALSE(fs::exists(OnDriveC("C:\\Program Files\\Vantor")));
  EXPECT_EQ(Registry().find("Orvella"), std::string::npos);
  EXPECT_FALSE(TranscriptHasLineStarting("progress dialog 108"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryPage, CancelOnAPage,
    ::testing::Values("page 1: press 2\n", "page 1: press 1\npage 2: key escape\n",
                      "page 1: press 1\npage 2: press 1\npage 3: key escape\n",
                      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 2\n"));

TEST_F(SetupRun, TheGameRunningEndsWithOneAndShowsNothing) {
  PrepareMachine();
  const Run first = RunSetup("");  // makes the machine's registry
  ASSERT_EQ(first.exit_code, 10);
  InstallEarlierGame();
  std::string executable = "Z:" + OnDriveC("C:\\Gry\\Orvella\\orv.exe").string();
  std::replace(executable.begin(), executable.end(), '/', '\\');
  fs::remove(dir_.File("transcript.txt"));
  const Run run = WhileAnotherProcessHolds(platform::TheSystem().Files(), executable.c_str(),
                                           [&] { return RunSetup(kDefaultAnswers); });
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(Transcript(), std::vector<std::string>{"exit code 1"});
}

TEST_F(SetupRun, AMissingDatabaseIsToldAndEndsWithNine) {
  fs::remove(OwnMedium() / "SETUP.INF");
  const Run run = RunSetup("");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  EXPECT_TRUE(
      TranscriptHasLineStarting("message box (style 16) " + std::string(kTitle) + ": \"Plik SETUP.INF, "));
  EXPECT_FALSE(TranscriptHasLineStarting("page 1 shown"));
}

TEST_F(SetupRun, ADamagedDatabaseIsToldAndEndsWithNine) {
  const fs::path database = OwnMedium() / "SETUP.INF";
  std::vector<unsigned char> bytes = ReadBytes(database.string());
  ASSERT_GT(bytes.size(), 40u);
  bytes[bytes.size() / 2] ^= 0x5A;
  WriteBytes(database.string(), bytes);
  const Run run = RunSetup("");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 16) " + std::string(kTitle) +
                                        ": \"Plik SETUP.INF jest uszkodzony."));
  EXPECT_FALSE(TranscriptHasLineStarting("page 1 shown"));
}

TEST_F(SetupRun, NoDriveWithRoomAsksAndCancelEndsWithNine) {
  AddDriveCSettings("FreeBytes = 1000\n");
  const Run run = RunSetup("message cancel\n");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 65)"));
  EXPECT_FALSE(TranscriptHasLineStarting("page 1 shown"));
}

TEST_F(SetupRun, NoDriveWithRoomAsksAndOkGoesOnWithoutADriveToChoose) {
  AddDriveCSettings("FreeBytes = 1000\n");
  const Run run =
      RunSetup("message ok\npage 1: press 1\npage 2: press 1\npage 3: press 1\npage 3: press 2\n");
  EXPECT_EQ(run.exit_code, 10) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("page 3 shown"));
  EXPECT_FALSE(fs::exists(OnDriveC(kDestination)));
}

TEST_F(SetupRun, AnEarlierLogIsReplacedWithoutAQuestion) {
  fs::create_directories(OnDriveC(kDestination));
  PrepareMachine();
  WriteText((OnDriveC(kDestination) / "dinstall.log").string(), "an earlier installation's log");
  const Run run = RunSetup(kDefaultAnswers);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const WalkedLog log = InstalledLog(kDestination);
  EXPECT_TRUE(log.well_formed) << log.why;
  EXPECT_FALSE(TranscriptHasLineStarting("message box (style 20)"));
}

TEST_F(SetupRun, ACopyThatFailsAfterSomeFilesIsRolledBackThroughTheUninstaller) {
  // The manual comes fourth: the uninstaller, the game and its settings are copied before its question.
  fs::remove(OwnMedium() / "GAME" / "manual.txt");
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\nmessage abort\nmessage ok\n");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 16) " + std::string(kTitle)));
  const std::string rollback =
      "show 0: \"C:\\Program Files\\Vantor\\Orvella\\dinstall.exe\" "
      "\"C:\\Program Files\\Vantor\\Orvella\\dinstall.log\" -quiet";
  const std::vector<std::string> lines = Transcript();
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.find(rollback) != std::string::npos;
  })) << rollback;
  // What the uninstaller leaves is the concern of its own tests; here it only has to end before the
  // machine goes.
  EXPECT_TRUE(WaitForTranscriptLines("exit code ", 2));
}

TEST_F(SetupRun, ACopyThatFailsBeforeAnyFileStartsNoUninstaller) {
  // The uninstaller is the first file of every pack.
  fs::remove(OwnMedium() / "GAME" / "dinstall.exe");
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\nmessage abort\nmessage ok\n");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  EXPECT_FALSE(TranscriptHasLineStarting("program"));
}

TEST_F(SetupRun, ClearingTheGameOnTheOptionsPageInstallsNothingAndStartsTheInstalledGame) {
  PrepareMachine();
  ASSERT_EQ(RunSetup("").exit_code, 10);
  InstallEarlierGame();
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: uncheck 1028; press 1\n"
      "page 5: press 6\n");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_FALSE(fs::exists(OnDriveC(kDestination)));
  EXPECT_FALSE(TranscriptHasLineStarting("progress dialog 108"));
  EXPECT_TRUE(TranscriptHasLineStarting(
      "program not started (error 3): show 1: \"C:\\Program Files\\Vantor\\Orvella\\orv.exe\""));
}

TEST_F(SetupRun, TheStartButtonOfTheFinishedPageStartsTheGame) {
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\npage 8: press 1\npage 5: press "
      "6\n");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(
      TranscriptHasLineStarting("program started: show 1: \"C:\\Program Files\\Vantor\\Orvella\\orv.exe\""));
}

struct DirectXCase {
  const char* result;  // what the DirectX setup library answers
  const char* final_answers;
  int exit_code;
  const char* final_page;  // null: the run ends without one
};

class DirectXSetup : public SetupRun, public ::testing::WithParamInterface<DirectXCase> {};

TEST_P(DirectXSetup, ItsResultLeadsToItsPageAndCode) {
  const DirectXCase& c = GetParam();
  WithDirectXSetup(c.result);
  const Run run = RunSetup(
      std::string("page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\n") + c.final_answers);
  EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  EXPECT_EQ(TranscriptHasLineStarting("page 5 shown") || TranscriptHasLineStarting("page 6 shown"),
            c.final_page != nullptr);
  if (c.final_page != nullptr) {
    EXPECT_TRUE(TranscriptHasLineStarting(c.final_page));
  }
  // Whatever the DirectX setup said, the files stay and the log is closed with itself in it.
  const WalkedLog log = InstalledLog(kDestination);
  EXPECT_TRUE(log.well_formed) << log.why;
}

INSTANTIATE_TEST_SUITE_P(
    Results, DirectXSetup,
    ::testing::Values(DirectXCase{"0", "page 8: press 1\npage 5: press 1\n", 0, "page 5 shown"},
                      DirectXCase{"1", "page 8: press 1\npage 6: press 1\n", 0, "page 6 shown"},
                      DirectXCase{"-12", "", 10, nullptr}, DirectXCase{"7", "", 9, nullptr}));

TEST_F(SetupRun, ARestartThatIsAcceptedEndsWithZero) {
  WithDirectXSetup("1");
  AddMachineSettings("[System]\nAcceptRestart = yes\n");
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\npage 8: press 1\n"
      "page 6: press 6\n");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(TranscriptHas("restart requested: flags 2: accepted"));
}

TEST_F(SetupRun, ARestartThatIsRefusedIsToldAndEndsWithTen) {
  WithDirectXSetup("1");
  AddMachineSettings("[System]\nAcceptRestart = no\n");
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\npage 8: press 1\n"
      "page 6: press 6\nmessage ok\n");
  EXPECT_EQ(run.exit_code, 10) << run.err;
  EXPECT_TRUE(TranscriptHas("restart requested: flags 2: refused"));
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 16)"));
}

TEST_F(SetupRun, ADirectXSetupMissingFromTheCdEndsWithFifteen) {
  ChangeDatabase([](SetupInfo& info) {
    info.Options.InstallDirectX = true;
    info.Options.DirectXDir = "DIRECTX";
  });
  const Run run =
      RunSetup("page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\nmessage ok\n");
  EXPECT_EQ(run.exit_code, 15) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 16)"));
  EXPECT_FALSE(TranscriptHasLineStarting("page 5 shown"));
  EXPECT_TRUE(InstalledLog(kDestination).well_formed);
}

TEST_F(SetupRun, AnUninstallListThatCannotBeWrittenEndsWithFourteen) {
  // A registry without the list of uninstallable programs, under either name.
  PrepareMachine();
  WriteText((MachineRoot() / "registry.reg").string(),
            "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
            "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n\r\n");
  const Run run = RunSetup("page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\n");
  EXPECT_EQ(run.exit_code, 14) << run.err;
  EXPECT_FALSE(TranscriptHasLineStarting("page 5 shown"));
  EXPECT_TRUE(InstalledLog(kDestination).well_formed);
}

// The billboards are put over the background while the files are copied and taken away after: some
// picture of the run differs from the last one where the billboard goes, and the last one is the
// background as it was before the copy.
TEST_F(SetupRun, BillboardsShowDuringTheCopyAndGoAfterIt) {
  const fs::path snapshots = dir_.Path() / "snapshots";
  fs::create_directories(snapshots);
  AddEnvironment("VTSETUP_SNAPSHOTS=" + snapshots.string());
  ASSERT_EQ(RunSetup(kDefaultAnswers).exit_code, 0);
  std::vector<fs::path> pictures;
  for (const fs::directory_entry& entry : fs::directory_iterator(snapshots)) {
    pictures.push_back(entry.path());
  }
  std::sort(pictures.begin(), pictures.end());
  ASSERT_GE(pictures.size(), 3u);
  const Bytes first = ReadBytes(pictures.front().string());
  const Bytes last = ReadBytes(pictures.back().string());
  const auto same_where_the_billboard_goes = [](const Bytes& a, const Bytes& b) {
    for (std::int32_t y = 40; y < 60; ++y) {
      for (std::int32_t x = 50; x < 70; ++x) {
        if (SnapshotPixel(a, x, y) != SnapshotPixel(b, x, y)) {
          return false;
        }
      }
    }
    return true;
  };
  EXPECT_TRUE(same_where_the_billboard_goes(first, last));
  EXPECT_TRUE(std::any_of(pictures.begin() + 1, pictures.end() - 1, [&](const fs::path& picture) {
    return !same_where_the_billboard_goes(ReadBytes(picture.string()), last);
  }));
}

// A log that cannot be made (a folder stands where it would go) is asked about: No ends the run,
// Yes goes on without one.
TEST_F(SetupRun, ALogThatCannotBeMadeAnsweredNoEndsWithTen) {
  PrepareMachine();
  fs::create_directories(OnDriveC(std::string(kDestination) + "\\dinstall.log"));
  const Run run =
      RunSetup("page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\nmessage no\n");
  EXPECT_EQ(run.exit_code, 10) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 20) " + std::string(kTitle) + ": \"Nie mo"));
  EXPECT_TRUE(fs::is_directory(OnDriveC(kDestination)));
  EXPECT_FALSE(Installed("orv.exe"));
}

TEST_F(SetupRun, ALogThatCannotBeMadeAnsweredYesInstallsWithoutOne) {
  PrepareMachine();
  fs::create_directories(OnDriveC(std::string(kDestination) + "\\dinstall.log"));
  const Run run = RunSetup(
      "page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\nmessage yes\n"
      "page 8: press 1\npage 5: press 1\n");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(Installed("orv.exe"));
  EXPECT_TRUE(fs::is_directory(OnDriveC(std::string(kDestination) + "\\dinstall.log")));
}

TEST_F(SetupRun, TheStartButtonOfTheWelcomePageStartsTheInstalledGameAndEndsWithTen) {
  PrepareMachine();
  ASSERT_EQ(RunSetup("").exit_code, 10);
  InstallEarlierGame();
  fs::permissions(OnDriveC("C:\\Gry\\Orvella\\orv.exe"), fs::perms::owner_exec, fs::perm_options::add);
  const Run run = RunSetup("page 1: press 6\n");
  EXPECT_EQ(run.exit_code, 10) << run.err;
  EXPECT_TRUE(TranscriptHas("program started: show 10: \"C:\\Gry\\Orvella\\orv.exe\""));
  EXPECT_FALSE(TranscriptHasLineStarting("page 2 shown"));
}

TEST_F(SetupRun, ADestinationThatCannotBeMadeIsToldAndEndsWithNine) {
  PrepareMachine();
  fs::create_directories(OnDriveC("C:\\Program Files"));
  WriteText(OnDriveC("C:\\Program Files\\Vantor").string(), "a file where a folder should go");
  const Run run =
      RunSetup("page 1: press 1\npage 2: press 1\npage 3: press 1\npage 4: press 1\nmessage ok\n");
  EXPECT_EQ(run.exit_code, 9) << run.err;
  EXPECT_TRUE(TranscriptHasLineStarting("message box (style 16) " + std::string(kTitle)));
  EXPECT_EQ(ReadText(OnDriveC("C:\\Program Files\\Vantor").string()), "a file where a folder should go");
}

TEST_F(SetupRun, AnAnswersFileThatCannotBeReadEndsWithSeventyEightBeforeAnythingIsShown) {
  const Run run = RunSetup("page one: press 1\n");
  EXPECT_EQ(run.exit_code, 78);
  EXPECT_NE(run.err.find("answers.txt"), std::string::npos) << run.err;
  EXPECT_EQ(Transcript(), std::vector<std::string>{"exit code 78"});
}

}  // namespace
}  // namespace vtsetup::testing
