#include "integration/shortcuts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/integration/registration_fixture.h"
#include "tests/support/absent_user.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using platform::SHELL_INVALID_ARGUMENT;
using platform::SHELL_OK;

class ShortcutsTest : public RegistrationFixture {
 protected:
  void MakeAll() { MakeShortcuts(Shortcuts(), info_, &info_.Packs[0], kDestination, log_); }
  static std::string InGroup(const std::string& file) { return std::string(kGroupFolder) + "\\" + file; }
  static std::string OnDesktop(const std::string& file) { return std::string(kDesktop) + "\\" + file; }
  // What a link starts, as the shell reads it back.
  std::string TargetOf(const std::string& link) { return Link(link).local_base_path; }
  std::string UrlIn(const std::string& file) {
    return machine_.System()
        .Profiles()
        .ReadString(file.c_str(), "InternetShortcut", "URL", "<none>", 1000)
        .Data();
  }
};

TEST_F(ShortcutsTest, GroupLinksInternetShortcutAndUninstallLinkAreMadeAndLogged) {
  MakeAll();

  // Each link starts the destination's file by its plain path, although the step hands it quoted, and
  // has no description.
  for (const auto& [link, target] :
       {std::pair{InGroup("Orvella.LNK"), "C:\\Program Files\\Orvella\\Orvella.exe"},
        std::pair{InGroup("Czytaj.LNK"), "C:\\Program Files\\Orvella\\DOC\\README.TXT"},
        std::pair{OnDesktop("Orvella.LNK"), "C:\\Program Files\\Orvella\\Orvella.exe"},
        std::pair{InGroup(std::string(kUninstallLinkName) + ".LNK"),
                  "C:\\Program Files\\Orvella\\dinstall.exe"}}) {
    const ParsedLink parsed = Link(link);
    ASSERT_FALSE(parsed.broken) << link;
    EXPECT_EQ(parsed.local_base_path, target) << link;
    EXPECT_EQ(parsed.flags & kHasName, 0u) << link;
  }
  EXPECT_EQ(UrlIn(InGroup("Vantor w sieci.URL")), "http://www.vantor.example/orvella");

  const std::vector<unsigned char> expected =
      ExpectedLog()
          .Group("Orvella")
          .Shortcut("Orvella", "Orvella")
          .AbsoluteFile(InGroup("Orvella.LNK"))
          .Shortcut("Czytaj", "Orvella")
          .AbsoluteFile(InGroup("Czytaj.LNK"))
          .AbsoluteFile(OnDesktop("Orvella.LNK"))
          .AbsoluteFile(InGroup("Vantor w sieci.URL"))
          .AbsoluteFile(InGroup(std::string(kUninstallLinkName) + ".LNK"))
          .Closed();
  EXPECT_EQ(ClosedLog(), expected);
  EXPECT_EQ(OtherTrace(), Lines{});
}

TEST_F(ShortcutsTest, WithoutGroupNameNothingIsMadeEvenForTheUninstaller) {
  info_.GroupName.reset();
  MakeAll();
  EXPECT_FALSE(Exists(kGroupFolder));
  EXPECT_FALSE(Exists(OnDesktop("Orvella.LNK")));
  EXPECT_EQ(ClosedLog(), ExpectedLog().Closed());
}

TEST_F(ShortcutsTest, PackWithoutShortcutsGetsItsGroupWithTheUninstallLinkOnly) {
  MakeShortcuts(Shortcuts(), info_, nullptr, kDestination, log_);
  Lines files;
  for (const auto& entry : fs::directory_iterator(Host(kGroupFolder))) {
    files.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(files, Lines{std::string(kUninstallLinkName) + ".LNK"});
  EXPECT_EQ(ClosedLog(), ExpectedLog()
                             .Group("Orvella")
                             .AbsoluteFile(InGroup(std::string(kUninstallLinkName) + ".LNK"))
                             .Closed());
}

TEST_F(ShortcutsTest, SameNameTwiceReplacesTheLinkAndLogsBoth) {
  info_.Packs[0].Shortcuts = {ShortcutEntry{0, "Graj", "a.exe"}, ShortcutEntry{0, "Graj", "b.exe"}};
  info_.Packs[0].DesktopShortcuts.clear();
  info_.Packs[0].InternetShortcuts.clear();
  info_.Options.Uninstall = false;
  MakeAll();
  EXPECT_EQ(TargetOf(InGroup("Graj.LNK")), "C:\\Program Files\\Orvella\\b.exe");
  EXPECT_EQ(ClosedLog(), ExpectedLog()
                             .Group("Orvella")
                             .Shortcut("Graj", "Orvella")
                             .AbsoluteFile(InGroup("Graj.LNK"))
                             .Shortcut("Graj", "Orvella")
                             .AbsoluteFile(InGroup("Graj.LNK"))
                             .Closed());
}

// The group cannot be made on a CD-ROM: its links and internet shortcut fail and leave no file
// records, while the group and shortcut records and the desktop link stay.
TEST(ShortcutsOnReadOnlyMenuTest, FailedGroupLeavesOnlyItsOwnRecords) {
  TempDir cd;
  fs::create_directories(cd.File("d"));
  TestMachine machine("[Drive C]\nFolder = drive_c\nType = fixed\n[Drive D]\nFolder = " + cd.File("d") +
                      "\nType = cdrom\n[System]\nProgramsFolder = D:\\Programs\n");
  RecordingSink trace;
  InstallLog log(machine.System().Files(), trace);
  fs::create_directories(machine.Host("C:\\Gry"));
  ASSERT_EQ(log.LogOpen("C:\\Gry\\dinstall.log", "Orvella", false), LogResult::LOG_OK);
  auto ui = std::make_unique<platform::host::HostUserInterface>(
      machine.Machine(), platform::host::UiResources{{}, {}}, std::make_unique<AbsentUser>(), "");
  ShortcutServices services{machine.System().UserShell(), machine.System().Profiles(),
                            machine.System().Files(), *ui, trace};
  SetupInfo info;
  info.PrgName = "Orvella";
  info.GroupName = TextString("Orvella");
  PackInfo pack;
  pack.Shortcuts = {ShortcutEntry{0, "Orvella", "Orvella.exe"}};
  pack.DesktopShortcuts = pack.Shortcuts;
  pack.InternetShortcuts = {ShortcutEntry{0, "Strona", "http://vantor.example/"}};

  MakeShortcuts(services, info, &pack, "C:\\Gry", log);

  EXPECT_FALSE(fs::exists(machine.Host("D:\\Programs\\Orvella")));
  EXPECT_EQ(ParseLink(ReadBytes(machine.Host("C:\\Windows\\Desktop\\Orvella.LNK"))).local_base_path,
            "C:\\Gry\\Orvella.exe");
  ASSERT_EQ(log.LogClose(), LogResult::LOG_OK);
  EXPECT_EQ(ReadBytes(machine.Host("C:\\Gry\\dinstall.log")),
            LogHeader("Orvella")
                .Group("Orvella")
                .Shortcut("Orvella", "Orvella")
                .AbsoluteFile("C:\\Windows\\Desktop\\Orvella.LNK")
                .Closed());
}

TEST(LeavesItsFolderTest, RefusesClimbingDrivesAndRootsOnly) {
  for (const char* name : {"", "..", "..\\..\\Evil", "Gry\\..\\..\\Evil", "../Evil", ".. ", "...", "\\Evil",
                           "/Evil", "C:\\Evil", "C:Evil", "Evil:stream"}) {
    EXPECT_TRUE(LeavesItsFolder(name)) << name;
  }
  for (const char* name : {"Orvella", "Orvella 1.0..beta", "..Orvella", "Orvella..", "Gry\\Orvella", ".",
                           "Usuni\xEA"
                           "cie Orvella"}) {
    EXPECT_FALSE(LeavesItsFolder(name)) << name;
  }
}

TEST_F(ShortcutsTest, NamesThatLeaveTheirFolderAreSkippedWithATraceLine) {
  info_.Packs[0].Shortcuts = {ShortcutEntry{0, "..\\..\\Evil", "a.exe"},
                              ShortcutEntry{0, "Orvella", "a.exe"}};
  info_.Packs[0].DesktopShortcuts = {ShortcutEntry{0, "C:\\Evil", "a.exe"}};
  info_.Packs[0].InternetShortcuts = {ShortcutEntry{0, "\\Evil", "http://vantor.example/"}};
  info_.PrgName = "..\\..\\..\\Evil";
  MakeAll();

  EXPECT_FALSE(Exists("C:\\Windows\\Evil.LNK"));
  EXPECT_FALSE(Exists("C:\\Evil.LNK"));
  EXPECT_FALSE(Exists("C:\\Evil.URL"));
  EXPECT_FALSE(Exists("C:\\Windows\\Start Menu\\Evil.LNK"));
  EXPECT_EQ(ClosedLog(), ExpectedLog()
                             .Group("Orvella")
                             .Shortcut("Orvella", "Orvella")
                             .AbsoluteFile(InGroup("Orvella.LNK"))
                             .Closed());
  EXPECT_EQ(OtherTrace(), (Lines{"Shortcut name \"..\\..\\Evil\" leaves its folder and is skipped.\r\n",
                                 "Shortcut name \"C:\\Evil\" leaves its folder and is skipped.\r\n",
                                 "Shortcut name \"\\Evil\" leaves its folder and is skipped.\r\n",
                                 "Shortcut name \"Usuni\xEA"
                                 "cie ..\\..\\..\\Evil\" leaves its folder and is skipped.\r\n"}));
}

TEST_F(ShortcutsTest, GroupNameThatLeavesTheMenuSkipsTheGroupAndItsShortcuts) {
  for (const char* group : {"..\\Evil", "D:\\Evil", "/Evil"}) {
    info_.GroupName = TextString(group);
    MakeAll();
  }
  EXPECT_FALSE(Exists("C:\\Windows\\Start Menu\\Evil"));
  EXPECT_FALSE(Exists("D:\\Evil"));
  // A refused group counts as one switched off: not even the desktop links are made.
  EXPECT_FALSE(Exists(OnDesktop("Orvella.LNK")));
  EXPECT_EQ(ClosedLog(), ExpectedLog().Closed());
  EXPECT_EQ(OtherTrace(), (Lines{"Group name \"..\\Evil\" leaves its folder and is skipped.\r\n",
                                 "Group name \"D:\\Evil\" leaves its folder and is skipped.\r\n",
                                 "Group name \"/Evil\" leaves its folder and is skipped.\r\n"}));
}

// Reported paths fill a caller's buffer of 500 bytes: 499 characters and the zero fit, 500 do not,
// although the group exists either way.
TEST_F(ShortcutsTest, ReportedPathMustFitTheCallersBufferWithItsZero) {
  // "C:\Windows\Start Menu\Programs\" has 31 characters.
  const std::string parents = std::string(200, 'x') + "\\" + std::string(200, 'y');
  fs::create_directories(Host("C:\\Windows\\Start Menu\\Programs\\" + parents));
  for (const auto& [length, result] : {std::pair{499u, SHELL_OK}, std::pair{500u, SHELL_INVALID_ARGUMENT}}) {
    const std::string group = parents + "\\" + std::string(length - 31 - parents.size() - 1, 'z');
    TextString reported("untouched");
    EXPECT_EQ(CreateProgramGroup(Shortcuts(), group.c_str(), {&reported, kShortcutPathBufferSize}), result);
    const std::string path = "C:\\Windows\\Start Menu\\Programs\\" + group;
    ASSERT_EQ(path.size(), length);
    EXPECT_TRUE(Exists(path));
    EXPECT_EQ(std::string(reported.Data()), result == SHELL_OK ? path : "untouched");
    EXPECT_EQ(CreateProgramGroup(Shortcuts(), group.c_str(), {}), SHELL_OK);
  }
}

}  // namespace
}  // namespace vtsetup::testing
