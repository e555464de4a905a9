#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "setupdb/setup_file.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::wizard {
namespace {

using testing::ReadText;

// A database of two types with the readme and the DirectX setup on, on a fresh machine's C:\Setup.
void WriteDatabase(testing::TestMachine& machine) {
  SetupInfo info;
  info.PrgName = "Orvella";
  info.DefDestDir = "%DefaultPrgDir%\\Vantor\\Orvella";
  info.GroupName = TextString("Vantor\\Orvella");
  info.Company = "Vantor Software";
  info.Product = "Orvella";
  info.Version = "1.0";
  info.Filename = "orv.exe";
  info.Options.InstallGame = true;
  info.Options.InstallDirectX = true;
  info.Options.Readme = true;
  info.Options.DefaultPack = 1;
  for (const std::uint32_t size : {1048576u, 3u * 1048576u}) {
    PackInfo& type = info.Packs.emplace_back();
    type.PackSizes.fill(size);
  }
  std::filesystem::create_directories(machine.Host("C:\\Setup"));
  ASSERT_EQ(WriteSetupFile(machine.System().Files(), info, "C:\\Setup\\SETUP.INF"), SETUP_FILE_OK);
}

// A person at a terminal walks through the wizard, back once, changes the type and an option: the
// program runs under a pseudo-terminal made by script(1) and takes the typed verbs page by page.
TEST(WizardAtATerminal, APersonWalksThroughThePagesWithTheirOwnProcedures) {
  if (std::system("command -v script >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "script(1) is not installed";
  }
  testing::TestMachine machine;
  WriteDatabase(machine);
  const testing::TempDir dir;
  const std::string typed =
      "press 1\\n"                 // welcome
      "press 7\\n"                 // licence: back
      "press 1\\n"                 // welcome again
      "key enter\\n"               // licence
      "select 1000 0; press 1\\n"  // the first type instead of the default second
      "uncheck 1027; press 1\\n"   // options: no readme
      "press 1\\n";                // finished: exit
  const std::string command =
      "printf '" + typed + "' | env -u VTSETUP_ANSWERS VTSETUP_MACHINE='" +
      (machine.Root() / "machine").string() + "' VTSETUP_TRANSCRIPT='" + dir.File("transcript") +
      "' script -qec \"'" VT_WIZARD_PROBE "' 'C:\\\\Setup\\\\SETUP.INF'\" /dev/null >'" + dir.File("screen") +
      "' 2>&1; echo $? >'" + dir.File("status") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string screen = ReadText(dir.File("screen"));
  EXPECT_EQ(ReadText(dir.File("status")), "0\n") << screen;
  EXPECT_NE(screen.find("-- page 3 --"), std::string::npos) << screen;
  EXPECT_NE(screen.find("[3.0 MB]"), std::string::npos) << screen;
  EXPECT_NE(screen.find("type 0 into C:\\Program Files\\Vantor\\Orvella; game yes, DirectX yes, "
                        "group Vantor\\Orvella, readme no"),
            std::string::npos)
      << screen;
  const std::string transcript = ReadText(dir.File("transcript"));
  EXPECT_NE(transcript.find("page 2: press 7\npage 1 shown: "), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("page 4: uncheck 1027\npage 4: press 1\n"), std::string::npos) << transcript;
  EXPECT_TRUE(transcript.ends_with("page 5: press 1\nexit code 0\n")) << transcript;
}

}  // namespace
}  // namespace vtsetup::wizard
