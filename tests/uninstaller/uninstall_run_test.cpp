// Whole runs of the uninstaller over installations on temporary machines, answered from answers texts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/current_folder.h"
#include "tests/support/held_by_other_process.h"
#include "tests/support/log_layout.h"
#include "tests/uninstaller/uninstall_fixture.h"
#include "uninstaller/destination_parents.h"

namespace vtsetup::uninstaller {
namespace {

using Lines = std::vector<std::string>;

// The boxes as the transcript shows them: the style, the text in UTF-8 (line breaks escaped), the answer.
const std::string kConfirm =
    "36: Czy na pewno chcesz usunąć grę Orvella i wszystkie jej składniki z tego komputera?";
const std::string kDamaged =
    "52: Dziennik instalacji C:\\Gry\\Orvella\\dinstall.log jest uszkodzony. Można usunąć tylko to, co "
    "wymienia jego nieuszkodzona część.\\r\\nCzy chcesz to usunąć?";
const std::string kUnreadable =
    "16: Nie można odczytać dziennika instalacji C:\\Gry\\Orvella\\dinstall.log. Gra nie zostanie usunięta.";
const std::string kAllRemoved = "64: Gra Orvella została usunięta z tego komputera.";
const std::string kSomeKept =
    "48: Gra Orvella została usunięta, ale nie wszystko udało się usunąć. Pozostało:\\r\\n";

TEST_F(UninstallTest, ConfirmedRunRemovesEverythingLatestFirst) {
  InstallOrvella();
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_ALL_REMOVED);
  ExpectAllGone();
  EXPECT_EQ(Boxes(), (Lines{kConfirm + " -> yes", kAllRemoved + " -> ok"}));
  const Lines trace = {
      "Removed file C:\\Gry\\Orvella\\dinstall.log.\r\n",
      "Removed key HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella\\1.0.\r\n",
      "Removed empty parent key HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella.\r\n",
      "Removed empty parent key HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor.\r\n",
      "Removed key HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvella.\r\n",
      "Removed file C:\\Windows\\Desktop\\Orvella.LNK.\r\n",
      "Removed file C:\\Windows\\Start Menu\\Programs\\Orvella\\Orvella.LNK.\r\n",
      "Removed group C:\\Windows\\Start Menu\\Programs\\Orvella.\r\n",
      "Removed file C:\\Gry\\Orvella\\DATA\\MAPS\\two.map.\r\n",
      "Removed file C:\\Gry\\Orvella\\DATA\\MAPS\\one.map.\r\n",
      "Removed file C:\\Gry\\Orvella\\DATA\\level1.dat.\r\n",
      "Removed file C:\\Gry\\Orvella\\dinstall.exe.\r\n",
      "Removed file C:\\Gry\\Orvella\\orv.exe.\r\n",
      "Removed folder C:\\Gry\\Orvella\\DATA\\MAPS.\r\n",
      "Removed folder C:\\Gry\\Orvella\\DATA.\r\n",
      "Removed folder C:\\Gry\\Orvella.\r\n",
  };
  ASSERT_FALSE(debug_.lines.empty());
  EXPECT_THAT(debug_.lines[0],
              ::testing::StartsWith("Install log C:\\Gry\\Orvella\\dinstall.log is complete: 15 records."));
  EXPECT_EQ(Lines(debug_.lines.begin() + 1, debug_.lines.end()), trace);
}

TEST_F(UninstallTest, DecliningRemovesNothing) {
  InstallOrvella();
  EXPECT_EQ(Run("message no\n"), EXIT_DECLINED);
  ExpectAllThere();
  EXPECT_EQ(Boxes(), Lines{kConfirm + " -> no"});
  // Answers that run out count as the box's cancelling answer: nobody agreed.
  EXPECT_EQ(Run(""), EXIT_DECLINED);
  ExpectAllThere();
}

TEST_F(UninstallTest, QuietRunAsksAndShowsNothing) {
  InstallOrvella();
  EXPECT_EQ(RunQuiet(), EXIT_ALL_REMOVED);
  ExpectAllGone();
  EXPECT_EQ(Boxes(), Lines{});
}

TEST_F(UninstallTest, AnUnreadableLogIsReportedAndNothingRemoved) {
  InstallOrvella();
  const std::vector<std::uint8_t> log = LogBytes();
  std::vector<unsigned char> bytes(log.begin(), log.end());
  bytes[0] = 'X';
  PutLog(bytes);
  EXPECT_EQ(Run("message ok\n"), EXIT_LOG_UNUSABLE);
  EXPECT_EQ(RunQuiet(), EXIT_LOG_UNUSABLE);
  ExpectAllThere();
  // A missing log, named relative to the current folder, is reported by its full path.
  const testing::CurrentFolder in_game(machine_.Host(kGame));
  EXPECT_EQ(Run("message ok\n", "missing.log"), EXIT_LOG_UNUSABLE);
  EXPECT_EQ(Boxes(),
            (Lines{kUnreadable + " -> ok",
                   "16: Nie można odczytać dziennika instalacji C:\\Gry\\Orvella\\missing.log. Gra nie "
                   "zostanie usunięta. -> ok"}));
}

// What the person added to a folder of the game stays, and so does the folder with every folder
// around it; all the rest goes.
TEST_F(UninstallTest, AFolderHoldingTheUsersFileIsKeptAndListed) {
  InstallOrvella();
  Put("C:\\Gry\\Orvella\\DATA\\MAPS\\mine.sav", "saved game");
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(), (Lines{kConfirm + " -> yes",
                            kSomeKept + "C:\\Gry\\Orvella\\DATA\\MAPS (folder nie jest pusty)\\r\\n"
                                        "C:\\Gry\\Orvella\\DATA (folder nie jest pusty)\\r\\n"
                                        "C:\\Gry\\Orvella (folder nie jest pusty) -> ok"}));
  EXPECT_EQ(testing::ReadText(machine_.Host("C:\\Gry\\Orvella\\DATA\\MAPS\\mine.sav")), "saved game");
  for (const std::string& file : GameFiles()) {
    EXPECT_FALSE(Exists(std::string(kGame) + "\\" + file)) << file;
  }
  EXPECT_FALSE(Exists(kLog));
  EXPECT_FALSE(Exists(kGroup));
  EXPECT_FALSE(KeyExists(kProgramKey));
}

// A log is a file anyone can change: a relative record that climbs out of the game's folder and an
// absolute one that is no shortcut are listed and never touched, while everything else goes.
TEST_F(UninstallTest, RecordsOutsideTheGameAreSkippedAndListed) {
  Put("C:\\Gry\\outside.txt", "someone else's");
  Put("C:\\Windows\\SYSTEM.INI", "[boot]");
  InstallOrvella(true, [](InstallLog& log) {
    log.LogFile("..\\outside.txt", false);
    log.LogFile("C:\\Windows\\SYSTEM.INI", true);
    log.LogDirectory("..\\");
  });
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(), (Lines{kConfirm + " -> yes",
                            kSomeKept + "..\\ (pominięto: poza folderem gry)\\r\\n"
                                        "C:\\Windows\\SYSTEM.INI (pominięto: poza folderem gry)\\r\\n"
                                        "..\\outside.txt (pominięto: poza folderem gry) -> ok"}));
  EXPECT_TRUE(Exists("C:\\Gry\\outside.txt"));
  EXPECT_TRUE(Exists("C:\\Windows\\SYSTEM.INI"));
  ExpectAllGone();
}

TEST_F(UninstallTest, AFileInUseIsKeptAfterItsRetriesAndTheRunGoesOn) {
  InstallOrvella();
  const std::string game = std::string(kGame) + "\\orv.exe";
  const testing::AnotherProcessHold running(machine_.System().Files(), game.c_str());
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(),
            (Lines{kConfirm + " -> yes", kSomeKept + "C:\\Gry\\Orvella\\orv.exe (plik jest używany)\\r\\n"
                                                     "C:\\Gry\\Orvella (folder nie jest pusty) -> ok"}));
  EXPECT_TRUE(Exists(game));
  EXPECT_FALSE(Exists("C:\\Gry\\Orvella\\DATA"));
  EXPECT_FALSE(Exists(kGroup));
  EXPECT_FALSE(KeyExists(kUninstallKey));
}

// Any other failure is listed with its number; things already gone count as removed.
TEST_F(UninstallTest, OtherFailuresAreListedWithTheirNumbersAndMissingThingsCountAsRemoved) {
  InstallOrvella(true, [](InstallLog& log) {
    log.LogFile("DATA\\MAPS", false);  // a folder: no file to delete
    log.LogFile("never_made.txt", false);
    log.LogDirectory("NEVER\\MADE\\");
    log.LogKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Never");
  });
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(),
            (Lines{kConfirm + " -> yes", kSomeKept + "C:\\Gry\\Orvella\\DATA\\MAPS (błąd 5) -> ok"}));
  ExpectAllGone();

  InstallOrvella(true, [](InstallLog& log) {
    log.LogFile("never_made.txt", false);
    log.LogDirectory("NEVER\\MADE\\");
    log.LogKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Never");
  });
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_ALL_REMOVED);
  ExpectAllGone();
}

// A log whose writer never closed it, and one whose last record a full disk cut short, are read as far
// as they are whole, and without a question beyond the usual one.
TEST_F(UninstallTest, AnUnclosedLogAndOneCutShortAreRemovedFully) {
  InstallOrvella(false);
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_ALL_REMOVED);
  ExpectAllGone();

  InstallOrvella(false);
  std::vector<std::uint8_t> cut = LogBytes();
  // The start of a key record that the disk had no room for.
  for (const unsigned char byte : {18, 0, 0, 0, 15, 0, 0, 0, 4, 40}) {
    cut.push_back(byte);
  }
  PutLog({cut.begin(), cut.end()});
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_ALL_REMOVED);
  ExpectAllGone();
  EXPECT_EQ(Boxes(), (Lines{kConfirm + " -> yes", kAllRemoved + " -> ok", kConfirm + " -> yes",
                            kAllRemoved + " -> ok"}));
}

class DamagedLogTest : public UninstallTest {
 protected:
  // The installation with its log broken at the record of "DATA\level1.dat": the records before it
  // (the folders, orv.exe and dinstall.exe) are the intact part.
  void InstallWithDamagedLog() {
    InstallOrvella();
    std::vector<std::uint8_t> bytes = LogBytes();
    const std::string text = "DATA\\level1.dat";
    const auto found = std::search(bytes.begin(), bytes.end(), text.begin(), text.end());
    ASSERT_NE(found, bytes.end());
    const std::size_t record = static_cast<std::size_t>(found - bytes.begin()) - 16 - 18;
    ASSERT_EQ(bytes[record + 4], 15);
    bytes[record + 4] = 99;
    PutLog({bytes.begin(), bytes.end()});
  }
};

TEST_F(DamagedLogTest, AgreeingRemovesWhatTheIntactPartNames) {
  InstallWithDamagedLog();
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(), (Lines{kDamaged + " -> yes",
                            kSomeKept + "C:\\Gry\\Orvella\\DATA\\MAPS (folder nie jest pusty)\\r\\n"
                                        "C:\\Gry\\Orvella\\DATA (folder nie jest pusty)\\r\\n"
                                        "C:\\Gry\\Orvella (folder nie jest pusty) -> ok"}));
  EXPECT_FALSE(Exists("C:\\Gry\\Orvella\\orv.exe"));
  EXPECT_FALSE(Exists("C:\\Gry\\Orvella\\dinstall.exe"));
  EXPECT_TRUE(Exists("C:\\Gry\\Orvella\\DATA\\level1.dat"));
  EXPECT_TRUE(Exists(kLog));
  EXPECT_TRUE(Exists(kGroupLink));
  EXPECT_TRUE(KeyExists(kProgramKey));
}

TEST_F(DamagedLogTest, DecliningOrAQuietRunRemovesNothing) {
  InstallWithDamagedLog();
  EXPECT_EQ(Run("message no\n"), EXIT_DECLINED);
  ExpectAllThere();
  EXPECT_EQ(RunQuiet(), EXIT_LOG_UNUSABLE);
  ExpectAllThere();
  EXPECT_EQ(Boxes(), Lines{kDamaged + " -> no"});
}

// Keys go with every parent they leave empty, up to the first that holds anything else; a top-level key
// is never taken, neither as a parent nor as a record.
TEST_F(UninstallTest, KeysTakeTheirEmptyParentsAndNoOthers) {
  PutKey("SOFTWARE\\Vantor\\Orvella\\1.0", "", "C:\\Gry\\Orvella");
  PutKey("SOFTWARE\\Vantor\\Other\\2.0", "", "C:\\Gry\\Other");
  PutKey("SOFTWARE\\Valued\\Deep\\Key", "", "x");
  PutKey("SOFTWARE\\Valued", "Keep", "me");
  PutKey("LONELY\\Key", "", "x");
  PutKey("SOFTWARE\\Single", "", "x");
  PutKey("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Orvella", "DisplayName", "Orvella");
  // Registered under the NT list, logged by the name under the first one.
  PutKey("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Twin", "DisplayName", "Twin");
  testing::LogLayout log = testing::LogHeader("Orvella");
  log.Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella\\1.0\\")
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Valued\\Deep\\Key")
      .Key("HKEY_LOCAL_MACHINE\\LONELY\\Key")
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Single")
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Orvella")
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Twin")
      .Key("HKEY_LOCAL_MACHINE\\SOFTWARE");
  PutLog(log.Closed());
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(),
            (Lines{kConfirm + " -> yes",
                   kSomeKept + "HKEY_LOCAL_MACHINE\\SOFTWARE (pominięto: poza folderem gry)\\r\\n"
                               "HKEY_LOCAL_MACHINE\\LONELY\\Key (pominięto: poza folderem gry) -> ok"}));
  EXPECT_FALSE(KeyExists("SOFTWARE\\Vantor\\Orvella"));
  EXPECT_TRUE(KeyExists("SOFTWARE\\Vantor\\Other\\2.0"));
  EXPECT_FALSE(KeyExists("SOFTWARE\\Valued\\Deep"));
  EXPECT_TRUE(KeyExists("SOFTWARE\\Valued"));
  // Only keys below SOFTWARE are a setup's.
  EXPECT_TRUE(KeyExists("LONELY\\Key"));
  EXPECT_FALSE(KeyExists("SOFTWARE\\Single"));
  EXPECT_TRUE(KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
  // The system's list of uninstallable programs stays, empty, for the next setup to register with.
  EXPECT_FALSE(KeyExists("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Orvella"));
  EXPECT_TRUE(KeyExists("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall"));
  EXPECT_FALSE(KeyExists("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Twin"));
}

// On a fresh machine, where our entry is the only one in the list of uninstallable programs, the
// registry is afterwards what it was before the installation, byte for byte.
TEST_F(UninstallTest, TheRegistryIsLeftAsTheInstallationFoundIt) {
  other_game_ = false;
  const std::string before = testing::ReadText(machine_.Machine().RegistryFile());
  ASSERT_NE(before.find("\\Uninstall]"), std::string::npos) << before;
  InstallOrvella();
  EXPECT_EQ(RunQuiet(), EXIT_ALL_REMOVED);
  ExpectAllGone();
  EXPECT_EQ(testing::ReadText(machine_.Machine().RegistryFile()), before);
}

// The setup made the levels above the game's folder without logging them: those left empty go, up to
// one that holds something, a folder the system names, or the drive's root.
TEST_F(UninstallTest, FoldersAboveTheGameGoWhenItLeavesThemEmpty) {
  InstallOrvella();
  std::filesystem::remove_all(machine_.Host("C:\\Gry\\Inna"));
  EXPECT_EQ(RunQuiet(), EXIT_ALL_REMOVED);
  EXPECT_FALSE(Exists("C:\\Gry"));

  PutFolder("C:\\Program Files\\Vantor");
  PutFolder("C:\\Temp\\Gry");
  platform::FileSystem& files = machine_.System().Files();
  const TextString system_folders[] = {"c:\\program files\\", "C:\\Windows\\Desktop"};
  RemoveEmptyFoldersAbove("C:\\Program Files\\Vantor\\Orvella", system_folders, files, debug_);
  EXPECT_FALSE(Exists("C:\\Program Files\\Vantor"));
  EXPECT_TRUE(Exists("C:\\Program Files"));
  // Nothing above a game at a drive's root, and nothing at all above one whose parent is not empty.
  PutFolder("C:\\Temp\\Gry\\Inna");
  RemoveEmptyFoldersAbove("C:\\Orvella", system_folders, files, debug_);
  RemoveEmptyFoldersAbove("C:\\Temp\\Gry\\Orvella", system_folders, files, debug_);
  EXPECT_TRUE(Exists("C:\\Temp\\Gry\\Inna"));
}

// The group's folder goes when empty; nested groups lose only their own folder; a shortcut the person
// put into the group keeps it.
TEST_F(UninstallTest, GroupFoldersGoWhenEmpty) {
  const std::string nested = std::string(kPrograms) + "\\Vantor\\Orvella";
  PutFolder(nested);
  Put(std::string(kPrograms) + "\\Kept\\mine.lnk");
  testing::LogLayout log = testing::LogHeader("Orvella");
  log.Group("Vantor\\Orvella").Group("Kept").Group("..");
  PutLog(log.Closed());
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  EXPECT_EQ(Boxes(),
            (Lines{kConfirm + " -> yes",
                   kSomeKept + ".. (pominięto: poza folderem gry)\\r\\n"
                               "C:\\Windows\\Start Menu\\Programs\\Kept (folder nie jest pusty) -> ok"}));
  EXPECT_FALSE(Exists(nested));
  EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Vantor"));
  EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Kept\\mine.lnk"));
}

// The list says as much as the box can hold and counts the rest.
TEST_F(UninstallTest, ALongListIsCutToTheBoxAndCounted) {
  testing::LogLayout log = testing::LogHeader("Orvella");
  for (int i = 0; i < 40; ++i) {
    std::string path = "C:\\Windows\\system";
    path += std::to_string(100 + i);
    path += ".dll";
    log.AbsoluteFile(path);
  }
  PutLog(log.Closed());
  EXPECT_EQ(Run("message yes\nmessage ok\n"), EXIT_SOMETHING_KEPT);
  const Lines boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  // Each line is "C:\Windows\systemNNN.dll (pominięto: poza folderem gry)", 55 characters in code page
  // 1250, and 2 more for the line break; the box's text has 77 of its own and 499 at most: 7 lines and
  // the count (11) fit in the 422 left.
  std::string expected = kSomeKept;
  for (int i = 139; i > 132; --i) {
    expected += "C:\\Windows\\system" + std::to_string(i) + ".dll (pominięto: poza folderem gry)\\r\\n";
  }
  EXPECT_EQ(boxes[1], expected + "i 33 innych -> ok");
}

}  // namespace
}  // namespace vtsetup::uninstaller
