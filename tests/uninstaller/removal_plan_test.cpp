#include "uninstaller/removal_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtsetup::uninstaller {
namespace {

LogRecord Record(LogRecordType type, bool absolute, const char* text, const char* shortcut = "") {
  return LogRecord{type, absolute, text, shortcut, 0};
}

// A step as one line, so that a whole plan compares at a glance.
std::string Line(const RemovalStep& step) {
  static const char* const kActions[] = {"delete", "own", "rmdir", "key", "skip", "unreachable"};
  static const char* const kKinds[] = {"file", "folder", "key", "group"};
  std::string line = std::string(kActions[static_cast<int>(step.action)]) + " " +
                     kKinds[static_cast<int>(step.kind)] + " " + step.target.Data();
  if (!(step.shown == step.target)) {
    line += " (" + std::string(step.shown.Data()) + ")";
  }
  return line;
}

std::vector<std::string> Plan(const std::vector<LogRecord>& records, const RemovalPlaces& places) {
  std::vector<std::string> lines;
  for (const RemovalStep& step : PlanRemoval(records, places)) {
    lines.push_back(Line(step));
  }
  return lines;
}

const RemovalPlaces kPlaces{"C:\\Gry\\Orvella", "C:\\GRY\\ORVELLA\\DINSTALL.EXE", "C:\\Menu\\Programs"};

TEST(RemovalPlanTest, WalksTheRecordsBackwardsAndTakesTheDestinationLast) {
  using T = LogRecordType;
  const std::vector<LogRecord> records = {
      Record(T::Directory, false, "."),
      Record(T::Directory, false, "DATA\\"),
      Record(T::Directory, false, "DATA\\MAPS\\"),
      Record(T::File, false, "DATA\\MAPS\\one.map"),
      Record(T::File, false, "dinstall.exe"),
      Record(T::Group, true, "Orvella"),
      Record(T::Shortcut, true, "Orvella", "Graj"),
      Record(T::File, true, "C:\\Menu\\Programs\\Orvella\\Graj.LNK"),
      Record(T::Key, true, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella\\1.0\\"),
      Record(T::File, false, "dinstall.log"),
      // A second "." changes nothing: the destination goes once, at the end.
      Record(T::Directory, false, "."),
  };
  const std::vector<std::string> expected = {
      "delete file C:\\Gry\\Orvella\\dinstall.log",
      "key key SOFTWARE\\Vantor\\Orvella\\1.0 (HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor\\Orvella\\1.0)",
      "delete file C:\\Menu\\Programs\\Orvella\\Graj.LNK",
      "rmdir group C:\\Menu\\Programs\\Orvella",
      // The module's path in other letters is still the running program.
      "own file C:\\Gry\\Orvella\\dinstall.exe",
      "delete file C:\\Gry\\Orvella\\DATA\\MAPS\\one.map",
      "rmdir folder C:\\Gry\\Orvella\\DATA\\MAPS",
      "rmdir folder C:\\Gry\\Orvella\\DATA",
      "rmdir folder C:\\Gry\\Orvella",
  };
  EXPECT_EQ(Plan(records, kPlaces), expected);
}

TEST(RemovalPlanTest, RecordsThatLeaveTheirPlaceAreSkippedAsLogged) {
  using T = LogRecordType;
  const std::vector<LogRecord> records = {
      Record(T::File, false, "..\\boot.ini"),
      Record(T::File, true, "C:\\WINDOWS\\SYSTEM.INI"),
      Record(T::File, false, "C:\\x.lnk"),
      Record(T::Directory, false, "\\WINDOWS\\"),
      Record(T::Directory, true, "C:\\Gry\\Orvella\\DATA"),
      Record(T::Key, true, "HKEY_LOCAL_MACHINE\\SOFTWARE"),
      Record(T::Key, true, "HKEY_CURRENT_USER\\Software\\Vantor"),
      Record(T::Group, true, ".."),
      Record(T::File, false, "ok.txt"),
  };
  const std::vector<std::string> expected = {
      "delete file C:\\Gry\\Orvella\\ok.txt",
      "skip group ..",
      "skip key HKEY_CURRENT_USER\\Software\\Vantor",
      "skip key HKEY_LOCAL_MACHINE\\SOFTWARE",
      "skip folder C:\\Gry\\Orvella\\DATA",
      "skip folder \\WINDOWS\\",
      "skip file C:\\x.lnk",
      "skip file C:\\WINDOWS\\SYSTEM.INI",
      "skip file ..\\boot.ini",
  };
  EXPECT_EQ(Plan(records, kPlaces), expected);
}

TEST(RemovalPlanTest, PlacesJoinWithOneBackslashAndAnUnknownProgramsFolderIsReported) {
  using T = LogRecordType;
  const std::vector<LogRecord> records = {Record(T::Directory, false, "."), Record(T::File, false, "a.txt"),
                                          Record(T::Group, true, "Vantor\\Orvella")};
  EXPECT_EQ(Plan(records, RemovalPlaces{"C:\\", "", "C:\\Menu\\Programs\\"}),
            (std::vector<std::string>{"rmdir group C:\\Menu\\Programs\\Vantor\\Orvella",
                                      "delete file C:\\a.txt", "rmdir folder C:\\"}));
  EXPECT_EQ(Plan(records, RemovalPlaces{"C:\\G", "", ""}),
            (std::vector<std::string>{"unreachable group Vantor\\Orvella", "delete file C:\\G\\a.txt",
                                      "rmdir folder C:\\G"}));
  // Without a "." record the destination stays, whatever it holds.
  EXPECT_EQ(Plan({Record(T::File, false, "a.txt")}, kPlaces),
            std::vector<std::string>{"delete file C:\\Gry\\Orvella\\a.txt"});
}

}  // namespace
}  // namespace vtsetup::uninstaller
