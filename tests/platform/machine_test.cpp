#include "platform/host/machine/machine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/current_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform::host {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::TestMachine;

std::string OpenError(const std::string& machine_ini) {
  TempDir dir;
  std::ofstream(dir.File("machine.ini")) << machine_ini;
  const MachineOpen open = Machine::Open(dir.Path().string(), Transcript(""));
  EXPECT_EQ(open.machine, nullptr);
  return open.error.substr(open.error.find("machine.ini"));
}

// The README shows machine.ini by example; a user who copies it must get a machine, not a refusal.
TEST(Machine, TheReadmesExampleOpens) {
  std::ifstream readme(VT_README);
  std::string example;
  bool inside = false;
  for (std::string line; std::getline(readme, line);) {
    inside = inside || line == "      [Drive D]";
    if (inside && !line.starts_with("      ") && !line.empty()) {
      break;
    }
    if (inside) {
      example += line.substr(std::min<std::size_t>(line.size(), 6)) + "\n";
    }
  }
  ASSERT_NE(example.find("[System]"), std::string::npos) << example;
  TempDir dir;
  fs::create_directory(dir.Path() / "medium");
  std::ofstream(dir.File("machine.ini")) << example;
  const MachineOpen open = Machine::Open(dir.Path().string(), Transcript(""));
  EXPECT_NE(open.machine, nullptr) << open.error;
}

TEST(Machine, FreshMachineGetsDefaultFilesAndWindowsFolders) {
  TempDir dir;
  const std::string root = dir.File("new/machine");
  const MachineOpen open = Machine::Open(root, Transcript(""));
  ASSERT_NE(open.machine, nullptr) << open.error;
  std::ifstream registry(root + "/registry.reg");
  const std::string text((std::istreambuf_iterator<char>(registry)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("REGEDIT4\r\n", 0), 0u);
  EXPECT_NE(text.find("\"ProgramFilesDir\"=\"C:\\\\Program Files\""), std::string::npos);
  for (const char* folder :
       {"Program Files", "Windows/Temp", "Windows/Start Menu/Programs", "Windows/Desktop"}) {
    EXPECT_TRUE(fs::is_directory(root + "/drive_c/" + folder)) << folder;
  }
  const MachineConfig& config = open.machine->Config();
  EXPECT_TRUE(config.extended_free_space);
  EXPECT_FALSE(config.cap_plain_free_space);
  ASSERT_EQ(config.drives.size(), 2u);
  EXPECT_EQ(config.drives[0].letter, 'C');
  EXPECT_EQ(config.drives[0].type, DriveType::Fixed);
  EXPECT_EQ(config.drives[1].folder, "/");
  EXPECT_EQ(config.drives[1].type, DriveType::Remote);
  // Opening again keeps what is there.
  std::ofstream(root + "/registry.reg") << "REGEDIT4\r\n";
  ASSERT_NE(Machine::Open(root, Transcript("")).machine, nullptr);
  EXPECT_EQ(fs::file_size(root + "/registry.reg"), 10u);
}

TEST(Machine, RefusesMachineIniMistakesNamingTheLine) {
  EXPECT_EQ(OpenError("[System]\nScreenWidth = 800\nColour = blue\n"),
            "machine.ini line 3: unknown key \"colour\" in [System] (known: TempFolder, ProgramsFolder, "
            "DesktopFolder, SystemFolder, ScreenWidth, ScreenHeight, AcceptRestart, CodePage, Version, "
            "ExtendedFreeSpace, CapPlainFreeSpace)");
  EXPECT_EQ(OpenError("[Drive D]\nFolder = d\nWritable = no\n"),
            "machine.ini line 3: unknown key \"writable\" in [Drive D] (known: Folder, Type, FreeBytes, "
            "TotalBytes, ClusterSize, ReadOnly)");
  EXPECT_EQ(OpenError("[Drive D]\nFolder = d\nReadOnly = maybe\n"),
            "machine.ini line 3: ReadOnly must be yes or no, not \"maybe\"");
  EXPECT_EQ(OpenError("[System]\nCapPlainFreeSpace = 2\n"),
            "machine.ini line 2: CapPlainFreeSpace must be yes or no, not \"2\"");
  EXPECT_EQ(OpenError("; fine\n\n[Drive D]\nFolder = d\nthis is no entry\n"),
            "machine.ini line 5: \"this is no entry\" is neither a [section] nor a key = value entry");
  EXPECT_EQ(
      OpenError("[Drives]\n"),
      "machine.ini line 1: unknown section [Drives] (known: [System], [Drive C] to [Drive Z] and so on)");
  EXPECT_EQ(OpenError("[Drive D]\nType = cdrom\n[System]\n"), "machine.ini line 1: [Drive D] has no Folder");
  EXPECT_EQ(OpenError("[Drive D]\nFolder = d\nFreeBytes = lots\n"),
            "machine.ini line 3: freebytes must be a number of bytes, not \"lots\"");
  EXPECT_EQ(
      OpenError("[Drive D]\nFolder = d\nType = floppy\n"),
      "machine.ini line 3: unknown drive type \"floppy\" (known: fixed, removable, cdrom, remote, ramdisk, "
      "unknown)");
  EXPECT_EQ(OpenError("[Drive D]\nFolder = d\n[drive d]\nFolder = e\n"),
            "machine.ini line 3: the drive D: is given twice");
  EXPECT_EQ(OpenError("[System]\nAcceptRestart = no\nacceptrestart = yes\n"),
            "machine.ini line 3: the key \"acceptrestart\" is given twice in [System]");
  EXPECT_EQ(OpenError("Version = 4.0.950\n"),
            "machine.ini line 1: the entry \"version\" stands before any section");
  EXPECT_EQ(OpenError("[System]\nTempFolder = /tmp\n"),
            "machine.ini line 2: tempfolder must be a Windows path such as C:\\Windows, not \"/tmp\"");
  EXPECT_EQ(OpenError("[System]\nVersion = 4.10\n"),
            "machine.ini line 2: Version must read major.minor.build, not \"4.10\"");
}

// A machine.ini may hold anything; what a message quotes of it cannot clear or retitle a terminal.
TEST(Machine, MessagesShowTheFilesControlCharactersEscaped) {
  EXPECT_EQ(OpenError("[System]\n\x1b[2J\n"),
            "machine.ini line 2: \"\\x1B[2J\" is neither a [section] nor a key = value entry");
  const std::string key = OpenError("[System]\nName\x1b]0;owned\x07 = 1\n");
  EXPECT_EQ(key.substr(0, key.find(" (known")),
            "machine.ini line 2: unknown key \"name\\x1B]0;owned\\x07\" in [System]");
  const std::string section = OpenError("[Drive\x1b[8m D]\n");
  EXPECT_EQ(section.substr(0, section.find(" (known")),
            "machine.ini line 1: unknown section [Drive\\x1B[8m D]");
  EXPECT_EQ(
      OpenError("[Drive D]\nFolder = d\nType = \x7f\"\tcd\n"),
      "machine.ini line 3: unknown drive type \"\\x7F\\\"\\tcd\" (known: fixed, removable, cdrom, remote, "
      "ramdisk, unknown)");
}

// Editors that save UTF-8 may begin the file with a byte-order mark.
TEST(Machine, ByteOrderMarkIsNoPartOfTheFirstLine) {
  TestMachine machine("\xEF\xBB\xBF[Drive D]\nFolder = d\nType = cdrom\n");
  const DriveConfig* drive = machine.Machine().Config().Drive('D');
  ASSERT_NE(drive, nullptr);
  EXPECT_EQ(drive->type, DriveType::CdRom);
}

TEST(Machine, ReadsEverySetting) {
  TestMachine machine(
      "[Drive D]\nFolder = medium\nType = CDROM\n"
      "[Drive E]\nFolder = /\nType = ramdisk\nFreeBytes = 1000\nTotalBytes = 2000\nClusterSize = 512\n"
      "ReadOnly = Yes\n"
      "[System]\nTempFolder = D:\\TEMP\nProgramsFolder = E:\\P\nDesktopFolder = E:\\D\nSystemFolder = E:\\S\n"
      "ScreenWidth = 640\nScreenHeight = 480\nAcceptRestart = no\nCodePage = 1252\nVersion = 4.0.950\n"
      "ExtendedFreeSpace = no\nCapPlainFreeSpace = yes\n");
  const MachineConfig& config = machine.Machine().Config();
  ASSERT_EQ(config.drives.size(), 2u);
  EXPECT_EQ(config.drives[0].folder, (machine.Root() / "machine" / "medium").string());
  EXPECT_EQ(config.drives[0].type, DriveType::CdRom);
  EXPECT_EQ(config.drives[1].free_bytes, 1000u);
  EXPECT_EQ(config.drives[1].total_bytes, 2000u);
  EXPECT_EQ(config.drives[1].cluster_size, 512u);
  EXPECT_FALSE(config.drives[0].read_only);
  EXPECT_TRUE(config.drives[1].read_only);
  EXPECT_EQ(config.temp_folder, "D:\\TEMP");
  EXPECT_EQ(config.programs_folder, "E:\\P");
  EXPECT_EQ(config.desktop_folder, "E:\\D");
  EXPECT_EQ(config.system_folder, "E:\\S");
  EXPECT_EQ(config.screen_width, 640u);
  EXPECT_EQ(config.screen_height, 480u);
  EXPECT_FALSE(config.accept_restart);
  EXPECT_EQ(config.code_page, 1252u);
  EXPECT_EQ(config.version.build, 950u);
  EXPECT_FALSE(config.extended_free_space);
  EXPECT_TRUE(config.cap_plain_free_space);
  EXPECT_EQ(config.Drive('c'), nullptr);
  // The machine's own drive folders are made; a drive elsewhere is taken as it is.
  EXPECT_TRUE(std::filesystem::is_directory(machine.Root() / "machine" / "medium"));
}

TEST(Machine, MapsDrivesAndFindsExistingNamesWithoutCase) {
  TestMachine machine;
  const std::string c = (machine.Root() / "machine" / "drive_c").string();
  fs::create_directories(c + "/Games/data");
  std::ofstream(c + "/Games/data/Level.DAT") << "x";
  const Machine& m = machine.Machine();
  EXPECT_EQ(m.HostPathFor("C:\\GAMES\\DATA\\level.dat"), c + "/Games/data/Level.DAT");
  EXPECT_EQ(m.HostPathFor("c:/games/Data/"), c + "/Games/data/");
  // Only the last name differs in case, or is new, in a folder spelt as it is.
  EXPECT_EQ(m.HostPathFor("C:\\Games\\data\\LEVEL.dat"), c + "/Games/data/Level.DAT");
  EXPECT_EQ(m.HostPathFor("C:\\Games\\data\\Save\\"), c + "/Games/data/Save/");
  EXPECT_EQ(m.HostPathFor("C:\\Games"), c + "/Games");
  // New names keep the caller's spelling below the last level that exists.
  EXPECT_EQ(m.HostPathFor("C:\\games\\NEW\\Sub\\File.txt"), c + "/Games/NEW/Sub/File.txt");
  EXPECT_EQ(m.HostPathFor("C:\\..\\..\\Games\\.\\x"), c + "/Games/x");
  EXPECT_EQ(m.HostPathFor("C:\\"), c + "/");
  EXPECT_EQ(m.HostPathFor("Q:\\x"), "");
  // The closest drive names a host path; everything else is on Z:.
  EXPECT_EQ(m.WindowsPathFor(c + "/Games/data"), "C:\\Games\\data");
  EXPECT_EQ(m.WindowsPathFor(c), "C:\\");
  EXPECT_EQ(m.WindowsPathFor("/usr/lib"), "Z:\\usr\\lib");
  EXPECT_EQ(
      m.WindowsPathFor(c + "x/y"), "Z:" + [&] {
        std::string windows = c + "x\\y";
        for (char& ch : windows) {
          ch = ch == '/' ? '\\' : ch;
        }
        return windows;
      }());
}

TEST(Machine, RelativeAndRootedPathsFollowTheCurrentFolder) {
  TestMachine machine;
  const std::string c = (machine.Root() / "machine" / "drive_c").string();
  fs::create_directories(c + "/Setup/Bin");
  const Machine& m = machine.Machine();
  const testing::CurrentFolder in_setup(c + "/Setup");
  const std::string current = m.CurrentFolder();
  const std::string full = m.FullWindowsPath("bin\\..\\x.txt");
  const std::string rooted = m.FullWindowsPath("\\Windows");
  const std::string host = m.HostPathFor("BIN\\a");
  const std::string other_drive = m.FullWindowsPath("Z:relative");
  EXPECT_EQ(current, "C:\\Setup");
  EXPECT_EQ(full, "C:\\Setup\\x.txt");
  EXPECT_EQ(rooted, "C:\\Windows");
  EXPECT_EQ(host, c + "/Setup/Bin/a");
  EXPECT_EQ(other_drive, "Z:\\relative");
}

}  // namespace
}  // namespace vtsetup::platform::host
