#include "uninstaller/record_safety.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_machine.h"

namespace vtsetup::uninstaller {
namespace {

TEST(RecordSafetyTest, RelativeTextsStayInTheDestination) {
  for (const char* inside :
       {"dinstall.log", "DATA\\MAPS\\one.map", "DATA/one.map", "a.b.c", "..a", "a..", "Moja gra\\plik.txt"}) {
    EXPECT_TRUE(StaysInDestination(inside, false)) << inside;
    EXPECT_TRUE(StaysInDestination(inside, true)) << inside;
  }
  for (const char* outside :
       {"", ".", "..", "..\\x", "DATA\\..\\..\\x", "DATA\\..", "a\\.\\b", ".\\a", "\\WINDOWS\\x", "/etc/x",
        "C:\\WINDOWS\\SYSTEM.INI", "C:x", "a:b", "a\\\\b", "...\\x", ".. \\x", "a\\ .", "a/../../b"}) {
    EXPECT_FALSE(StaysInDestination(outside, false)) << outside;
  }
  // A directory is "." for the destination, and may end in its separator; a file may not.
  EXPECT_TRUE(StaysInDestination(".", true));
  EXPECT_TRUE(StaysInDestination("DATA\\", true));
  EXPECT_TRUE(StaysInDestination("DATA\\MAPS/", true));
  EXPECT_FALSE(StaysInDestination("DATA\\", false));
  for (const char* outside : {".\\", "..\\", "\\", "DATA\\\\", "DATA\\..\\", "C:\\"}) {
    EXPECT_FALSE(StaysInDestination(outside, true)) << outside;
  }
}

TEST(RecordSafetyTest, AbsoluteFilesAreShortcutsWithFullPaths) {
  for (const char* shortcut : {"C:\\WINDOWS\\Start Menu\\Programs\\Orvella\\Orvella.LNK", "d:\\x.url",
                               "C:\\Desktop\\Gra.pif", "C:\\a\\b.Lnk", "C:\\a/b.lnk"}) {
    EXPECT_TRUE(IsShortcutFilePath(shortcut)) << shortcut;
  }
  for (const char* other :
       {"C:\\WINDOWS\\SYSTEM.INI", "C:\\x.lnk.exe", "x.lnk", "\\x.lnk", "C:x.lnk", "C:\\.lnk\\a", "C:\\",
        "1:\\x.lnk", "\\\\server\\share\\x.lnk", "C:\\a\\..\\..\\x.lnk", "C:\\..\\x.lnk", "C:\\a\\.\\x.lnk",
        "C:\\a.txt:x.lnk", "C:\\a\\\\x.lnk", "C:\\lnk", ".lnk"}) {
    EXPECT_FALSE(IsShortcutFilePath(other)) << other;
  }
}

TEST(RecordSafetyTest, KeysLieAtLeastTwoLevelsBelowTheLocalMachine) {
  EXPECT_EQ(KeyBelowLocalMachine("HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor"),
            std::optional<std::string>("SOFTWARE\\Vantor"));
  // The program key is logged with a trailing backslash.
  EXPECT_EQ(KeyBelowLocalMachine("hkey_local_machine\\SOFTWARE\\Vantor\\Orvella\\1.0\\"),
            std::optional<std::string>("SOFTWARE\\Vantor\\Orvella\\1.0"));
  EXPECT_EQ(
      KeyBelowLocalMachine(
          "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Orvella"),
      std::optional<std::string>("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Orvella"));
  for (const char* refused :
       {"HKEY_LOCAL_MACHINE\\SOFTWARE", "HKEY_LOCAL_MACHINE\\SOFTWARE\\", "HKEY_LOCAL_MACHINE\\",
        "HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER\\SOFTWARE\\Vantor", "SOFTWARE\\Vantor",
        "HKEY_LOCAL_MACHINE\\\\SOFTWARE\\Vantor", "HKEY_LOCAL_MACHINE\\SOFTWARE\\\\Vantor",
        "HKEY_LOCAL_MACHINEX\\SOFTWARE\\Vantor", "",
        // The system's own keys: only a setup's entry in a list of uninstallable programs is ours there.
        "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Run",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\UninstallX\\Game"}) {
    EXPECT_EQ(KeyBelowLocalMachine(refused), std::nullopt) << refused;
  }
}

TEST(RecordSafetyTest, GroupsAreFoldersBelowThePrograms) {
  for (const char* group : {"Orvella", "Vantor\\Orvella", "Gra 1.0", "..Gra"}) {
    EXPECT_TRUE(IsGroupName(group)) << group;
  }
  for (const char* refused : {"", ".", "..", "...", "..\\x", "Vantor\\..", "\\Orvella", "Orvella\\",
                              "C:Orvella", "C:\\Orvella", "a/b", "Vantor\\\\Orvella"}) {
    EXPECT_FALSE(IsGroupName(refused)) << refused;
  }
}

// Every text the checks let through, resolved as the system resolves paths, stays where it belongs: a
// relative one below the destination, a shortcut where it says. All texts of up to five pieces from the
// ones that matter are tried.
TEST(RecordSafetyTest, NothingLetThroughResolvesElsewhere) {
  testing::TestMachine machine;
  platform::FileSystem& files = machine.System().Files();
  const std::string destination = "C:\\Gry\\Orvella";
  const std::vector<std::string> pieces = {"a", ".", "..", "\\", "/", ":", " ", "x.lnk"};
  std::vector<std::string> texts = {""};
  for (std::size_t from = 0, length = 0; length < 5; ++length) {
    const std::size_t to = texts.size();
    for (std::size_t i = from; i < to; ++i) {
      for (const std::string& piece : pieces) {
        texts.push_back(texts[i] + piece);
      }
    }
    from = to;
  }
  int accepted = 0;
  for (const std::string& text : texts) {
    for (const bool directory : {false, true}) {
      if (!StaysInDestination(text, directory) || text == ".") {
        continue;
      }
      ++accepted;
      const std::string resolved = files.FullPath((destination + "\\" + text).c_str()).Data();
      EXPECT_TRUE(resolved.starts_with(destination + "\\") && resolved.size() > destination.size() + 1)
          << text << " -> " << resolved;
    }
    const std::string path = "C:\\" + text;
    if (IsShortcutFilePath(path)) {
      ++accepted;
      std::string expected = path;
      std::replace(expected.begin(), expected.end(), '/', '\\');
      EXPECT_EQ(std::string(files.FullPath(path.c_str()).Data()), expected) << path;
    }
  }
  EXPECT_GT(accepted, 1000);
}

}  // namespace
}  // namespace vtsetup::uninstaller
