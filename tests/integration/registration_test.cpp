#include "integration/registration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/integration/registration_fixture.h"

namespace vtsetup::testing {
namespace {

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvella";
constexpr char kUninstallKeyNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall\\Orvella";
constexpr char kUninstallList[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kUninstallListNt[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Uninstall";
constexpr char kProgramKey[] = "SOFTWARE\\Vantor Software\\Orvella\\1.0";
constexpr char kLoggedUninstallKey[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvella";
constexpr char kLoggedProgramKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor Software\\Orvella\\1.0\\";
constexpr char kMissing[] = "<missing>";

class RegistrationTest : public RegistrationFixture {
 protected:
  RegistrationTest() {
    // The shortcuts have tests of their own; here they would only lengthen every expected log. Without
    // a group the uninstall link is left out too, while the entry is written.
    info_.GroupName.reset();
  }
  std::string RegistryFile() const {
    std::ifstream in(machine_.Root() / "machine" / "registry.reg");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(RegistrationTest, UninstallEntryAndProgramKeyAreWrittenAndLogged) {
  EXPECT_EQ(Register(), REGISTER_DONE);

  EXPECT_EQ(RegistryValue(kUninstallKey, "DisplayName"), "Orvella");
  // Quoted, so that Windows does not try "C:\Program.exe" first.
  EXPECT_EQ(RegistryValue(kUninstallKey, "UninstallString"), "\"C:\\Program Files\\Orvella\\dinstall.exe\"");
  EXPECT_EQ(RegistryValue(kProgramKey, nullptr), "C:\\Program Files\\Orvella");
  // As regedit would show it.
  EXPECT_NE(
      RegistryFile().find("\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\Orvella\\\\dinstall.exe\\\"\""),
      std::string::npos)
      << RegistryFile();
  EXPECT_EQ(ClosedLog(), ExpectedLog().Key(kLoggedUninstallKey).Key(kLoggedProgramKey).Closed());
}

TEST_F(RegistrationTest, DestinationEndingInABackslashGetsNoSecondOne) {
  EXPECT_EQ(Register("C:\\Gry\\Orvella\\"), REGISTER_DONE);
  EXPECT_EQ(RegistryValue(kUninstallKey, "UninstallString"), "\"C:\\Gry\\Orvella\\dinstall.exe\"");
  EXPECT_EQ(RegistryValue(kProgramKey, ""), "C:\\Gry\\Orvella\\");
}

TEST_F(RegistrationTest, SecondInstallationOverwritesTheSameEntry) {
  EXPECT_EQ(Register("C:\\Gry\\Stara"), REGISTER_DONE);
  EXPECT_EQ(Register(), REGISTER_DONE);
  EXPECT_EQ(RegistryValue(kUninstallKey, "UninstallString"), "\"C:\\Program Files\\Orvella\\dinstall.exe\"");
  EXPECT_EQ(RegistryValue(kProgramKey, ""), "C:\\Program Files\\Orvella");
}

TEST_F(RegistrationTest, WithoutUninstallerNoEntryNoKeyNoRecordsButTheShortcutsStay) {
  info_.GroupName = TextString("Orvella");
  info_.Options.Uninstall = false;
  EXPECT_EQ(Register(), REGISTER_DONE);
  EXPECT_EQ(RegistryValue(kUninstallKey, "DisplayName"), kMissing);
  EXPECT_EQ(RegistryValue(kProgramKey, ""), kMissing);
  EXPECT_TRUE(Exists(std::string(kGroupFolder) + "\\Orvella.LNK"));
  EXPECT_FALSE(Exists(std::string(kGroupFolder) + "\\" + kUninstallLinkName + ".LNK"));
  const std::vector<unsigned char> log = ClosedLog();
  EXPECT_EQ(std::search(log.begin(), log.end(), kLoggedUninstallKey, kLoggedUninstallKey + 20), log.end());
}

// A system that keeps the list only under the NT key gets the entry there; the log names it as
// always, by the key the uninstaller looks for.
TEST_F(RegistrationTest, EntryGoesUnderTheNtListWhenTheOtherCannotBeOpened) {
  machine_.System()
      .LocalMachine()
      .Open("SOFTWARE", platform::RegistryAccess::Write)
      .key->Create("Microsoft\\Windows NT\\CurrentVersion\\Uninstall");
  registry_.refuse_open = {kUninstallList};
  EXPECT_EQ(Register(), REGISTER_DONE);
  EXPECT_EQ(RegistryValue(kUninstallKeyNt, "UninstallString"),
            "\"C:\\Program Files\\Orvella\\dinstall.exe\"");
  EXPECT_EQ(RegistryValue(kUninstallKey, "DisplayName"), kMissing);
  EXPECT_EQ(ClosedLog(), ExpectedLog().Key(kLoggedUninstallKey).Key(kLoggedProgramKey).Closed());
}

// Each write of the uninstall entry that fails ends the step with 14 before anything else is logged
// and before the DirectX setup, whose missing library would otherwise show a box.
TEST_F(RegistrationTest, EveryFailedUninstallWriteGives14) {
  info_.Options.InstallDirectX = true;
  const auto refuse_open = [](FaultyRegistry& r) { r.refuse_open = {kUninstallList, kUninstallListNt}; };
  const auto refuse_create = [](FaultyRegistry& r) { r.refuse_create = {"Orvella"}; };
  const auto refuse_name = [](FaultyRegistry& r) { r.refuse_set = {"DisplayName"}; };
  const auto refuse_command = [](FaultyRegistry& r) { r.refuse_set = {"UninstallString"}; };
  for (const auto& refuse : {+refuse_open, +refuse_create, +refuse_name, +refuse_command}) {
    registry_.refuse_open.clear();
    registry_.refuse_create.clear();
    registry_.refuse_set.clear();
    refuse(registry_);
    EXPECT_EQ(Register(), REGISTER_UNINSTALL_ENTRY_FAILED);
  }
  EXPECT_EQ(RegistryValue(kProgramKey, ""), kMissing);
  EXPECT_EQ(ClosedLog(), ExpectedLog().Closed());
  EXPECT_EQ(machine_.TranscriptLines(), std::vector<std::string>{});
}

// The program key serves later setups only: failing to write it is silent, and its record is
// logged once SOFTWARE was open.
TEST_F(RegistrationTest, ProgramKeyFailuresAreSilent) {
  registry_.refuse_create = {"Vantor Software\\Orvella\\1.0\\"};
  EXPECT_EQ(Register(), REGISTER_DONE);
  registry_.refuse_open = {"SOFTWARE\\"};
  EXPECT_EQ(Register(), REGISTER_DONE);
  EXPECT_EQ(RegistryValue(kProgramKey, ""), kMissing);
  EXPECT_EQ(ClosedLog(),
            ExpectedLog().Key(kLoggedUninstallKey).Key(kLoggedProgramKey).Key(kLoggedUninstallKey).Closed());
}

}  // namespace
}  // namespace vtsetup::testing
