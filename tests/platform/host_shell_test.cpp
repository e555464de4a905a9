#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/shell.h"
#include "tests/support/shell_link_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::FileAccess;
using vtsetup::platform::FileCreation;
using vtsetup::platform::FileSystem;
using vtsetup::platform::SHARE_NONE;
using vtsetup::platform::Shell;
using vtsetup::platform::SHELL_FAIL;
using vtsetup::platform::SHELL_INVALID_ARGUMENT;
using vtsetup::platform::SHELL_OK;
using vtsetup::platform::ShellLink;
using vtsetup::platform::SpecialFolder;
using vtsetup::testing::kHasLinkInfo;
using vtsetup::testing::kHasName;
using vtsetup::testing::kHasWorkingDir;
using vtsetup::testing::kIsUnicode;
using vtsetup::testing::ParsedLink;
using vtsetup::testing::ParseLink;
using vtsetup::testing::ReadBytes;
using vtsetup::testing::TempDir;
using vtsetup::testing::TestMachine;
using vtsetup::testing::WriteBytes;
using Bytes = std::vector<unsigned char>;
namespace fs = std::filesystem;

// 1970-01-01 counted in the 100-nanosecond steps of a FILETIME, which start in 1601.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000u;

std::uint64_t FileTimeOf(const timespec& time) {
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(time.tv_sec) * 10'000'000u +
         static_cast<std::uint64_t>(time.tv_nsec) / 100u;
}

timespec Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now;
}

// Drives on folders of the test's own: C: fixed, D: a CD-ROM, Q: removable with room for 100 bytes.
class HostShellTest : public ::testing::Test {
 protected:
  HostShellTest() {
    fs::create_directories(drives_.File("d"));
    fs::create_directories(drives_.File("q"));
  }
  ~HostShellTest() override { fs::current_path(initial_folder_); }

  static std::string MachineIni(const TempDir& drives) {
    return "[Drive C]\nFolder = drive_c\nType = fixed\n"
           "[Drive D]\nFolder = " +
           drives.File("d") + "\nType = cdrom\n" + "[Drive Q]\nFolder = " + drives.File("q") +
           "\nType = removable\nFreeBytes = 100\n"
           "[Drive Z]\nFolder = /\nType = remote\n"
           "[System]\nProgramsFolder = d:/Menu/Start/Programs\\\nDesktopFolder = C:\\Users\\Me\\..\\Desk\n";
  }

  std::unique_ptr<ShellLink> NewLink() {
    auto made = shell_.NewShellLink();
    EXPECT_EQ(made.result, SHELL_OK);
    return std::move(made.link);
  }
  std::string Path(ShellLink& link) {
    const TextString path = link.Path();
    return std::string(path.Data(), path.Length());
  }
  std::string PathAfterSetting(ShellLink& link, const char* target) {
    EXPECT_EQ(link.SetPath(target), SHELL_OK) << target;
    return Path(link);
  }
  ParsedLink SaveAndParse(ShellLink& link, const std::string& link_path) {
    EXPECT_EQ(link.Save(link_path.c_str()), SHELL_OK);
    return ParseLink(ReadBytes(machine_.Host(link_path)));
  }

  TempDir drives_;
  TestMachine machine_{MachineIni(drives_)};
  Shell& shell_ = machine_.System().UserShell();
  FileSystem& files_ = machine_.System().Files();
  const fs::path initial_folder_ = fs::current_path();
};

TEST_F(HostShellTest, FolderPathsAreTheMachinesInFullForm) {
  EXPECT_EQ(shell_.FolderPath(SpecialFolder::Programs), "D:\\Menu\\Start\\Programs");
  EXPECT_EQ(shell_.FolderPath(SpecialFolder::Desktop), "C:\\Users\\Desk");
}

TEST_F(HostShellTest, LinkFileHoldsTheTargetsFactsFieldByField) {
  // Code page 1250: 0xB9 is U+0105.
  const std::string host_target = drives_.File("d") + "/Gry/Gra\xB9/a.exe";
  const timespec before = Now();
  fs::create_directories(fs::path(host_target).parent_path());
  WriteBytes(host_target, Bytes(70000, 'x'));
  const timespec times[2] = {{1000000000, 123456789}, {1234567890, 987654321}};  // access, write
  ASSERT_EQ(utimensat(AT_FDCWD, host_target.c_str(), times, 0), 0);
  const timespec after = Now();

  auto link = NewLink();
  ASSERT_EQ(link->SetPath("D:\\GRY\\Gra\xB9\\A.exe"), SHELL_OK);
  ASSERT_EQ(link->SetDescription("Opis \xB9"), SHELL_OK);
  const ParsedLink parsed = SaveAndParse(*link, "C:\\Game.LNK");

  ASSERT_FALSE(parsed.broken);
  EXPECT_EQ(parsed.clsid, (Bytes{0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00,
                                 0x00, 0x00, 0x46}));
  // Attributes: archive; show command: normal.
  EXPECT_EQ(std::tuple(parsed.header_size, parsed.flags, parsed.attributes, parsed.file_size,
                       parsed.icon_index, parsed.show_command, parsed.hot_key, parsed.reserved),
            std::tuple(0x4Cu, kHasLinkInfo | kHasName | kHasWorkingDir | kIsUnicode, 0x20u, 70000u, 0u, 1u,
                       0u, 0u));
  EXPECT_EQ(parsed.access, FileTimeOf(times[0]));
  EXPECT_EQ(parsed.write, FileTimeOf(times[1]));
  // Birth or status-change time: either was set while the file was made, to the file system's grain.
  EXPECT_GE(parsed.creation + 10'000'000u, FileTimeOf(before));
  EXPECT_LE(parsed.creation, FileTimeOf(after) + 10'000'000u);
  // A volume of drive type DRIVE_CDROM, no serial number and no label.
  EXPECT_EQ(std::tuple(parsed.info_header_size, parsed.info_flags, parsed.volume_size, parsed.drive_type,
                       parsed.serial, parsed.label, parsed.local_base_path, parsed.suffix,
                       parsed.info_ends_after_suffix),
            std::tuple(0x1Cu, 1u, 0x11u, 5u, 0u, "", "D:\\GRY\\Gra\xB9\\A.exe", "", true));
  EXPECT_EQ(std::tuple(parsed.name, parsed.working_folder, parsed.terminal, parsed.ends_after_terminal),
            std::tuple(u"Opis \u0105", u"D:\\GRY\\Gra\u0105", 0u, true));
}

TEST_F(HostShellTest, MissingTargetsAndBareLinks) {
  auto link = NewLink();
  ASSERT_EQ(link->SetPath("C:\\Nowhere\\b.exe"), SHELL_OK);
  ParsedLink parsed = SaveAndParse(*link, "C:\\Missing.LNK");
  ASSERT_FALSE(parsed.broken);
  // No attributes, times or size; DRIVE_FIXED, though the file is missing.
  EXPECT_EQ(std::tuple(parsed.flags, parsed.attributes, parsed.creation | parsed.access | parsed.write,
                       parsed.file_size, parsed.drive_type, parsed.working_folder),
            std::tuple(kHasLinkInfo | kHasWorkingDir | kIsUnicode, 0u, 0u, 0u, 3u, u"C:\\Nowhere"));

  // A read-only file in a root: the root keeps its backslash.
  const std::string host_target = machine_.Host("C:\\ro.txt");
  WriteBytes(host_target, Bytes(3, 'r'));
  ASSERT_EQ(chmod(host_target.c_str(), 0444), 0);
  ASSERT_EQ(link->SetPath("C:\\ro.txt"), SHELL_OK);
  parsed = SaveAndParse(*link, "C:\\ReadOnly.LNK");
  // Attributes read-only and archive.
  EXPECT_EQ(std::tuple(parsed.attributes, parsed.file_size, parsed.working_folder),
            std::tuple(0x21u, 3u, u"C:\\"));

  // A drive the machine lacks.
  ASSERT_EQ(link->SetPath("K:\\x.exe"), SHELL_OK);
  EXPECT_EQ(SaveAndParse(*link, "C:\\NoDrive.LNK").drive_type, 1u);  // DRIVE_NO_ROOT_DIR

  // Nothing set: a header and the terminal block.
  const auto bare = NewLink();
  ASSERT_EQ(bare->Save("C:\\Bare.LNK"), SHELL_OK);
  const Bytes bytes = ReadBytes(machine_.Host("C:\\Bare.LNK"));
  parsed = ParseLink(bytes);
  EXPECT_EQ(parsed.flags, kIsUnicode);
  EXPECT_EQ(bytes.size(), 0x4Cu + 4u);
  EXPECT_TRUE(parsed.ends_after_terminal);
}

TEST_F(HostShellTest, UncTargetIsLocatedByItsShare) {
  auto link = NewLink();
  ASSERT_EQ(link->SetPath("\\\\srv\\Gry\\dir\\a.exe"), SHELL_OK);
  const ParsedLink parsed = SaveAndParse(*link, "C:\\Net.LNK");
  ASSERT_FALSE(parsed.broken);
  EXPECT_EQ(std::tuple(parsed.info_header_size, parsed.info_flags, parsed.net_name, parsed.network_flags,
                       parsed.device_name_offset, parsed.suffix, parsed.info_ends_after_suffix),
            std::tuple(0x1Cu, 2u, "\\\\srv\\Gry", 0u, 0u, "dir\\a.exe", true));
  EXPECT_EQ(parsed.working_folder, u"\\\\srv\\Gry\\dir");
  EXPECT_TRUE(parsed.ends_after_terminal);
}

TEST_F(HostShellTest, TargetsThatAreNotAbsoluteGoAfterTheCurrentDrivesRoot) {
  auto link = NewLink();
  ASSERT_EQ(files_.SetCurrentFolder("C:\\"), 0u);
  const std::string quoted = PathAfterSetting(*link, "\"C:\\G\\a.exe\"");
  EXPECT_EQ(quoted, "C:\\\"C:\\G\\a.exe\"");
  EXPECT_EQ(quoted[3], '"');
  // What the caller does on seeing the quote.
  EXPECT_EQ(PathAfterSetting(*link, std::string(quoted, 4, quoted.size() - 5).c_str()), "C:\\G\\a.exe");
  EXPECT_EQ(SaveAndParse(*link, "C:\\Fixed.LNK").local_base_path, "C:\\G\\a.exe");

  ASSERT_EQ(files_.SetCurrentFolder("D:\\"), 0u);
  EXPECT_EQ(PathAfterSetting(*link, "G\\a.exe"), "D:\\G\\a.exe");
  EXPECT_EQ(PathAfterSetting(*link, "\\G\\a.exe"), "D:\\G\\a.exe");
  EXPECT_EQ(PathAfterSetting(*link, "c:/G/a.exe"), "c:/G/a.exe");

  // Refused texts leave the stored target as it was.
  EXPECT_EQ(link->SetPath(("C:\\" + std::string(257, 'a')).c_str()), SHELL_INVALID_ARGUMENT);
  EXPECT_EQ(link->SetPath(std::string(257, 'a').c_str()), SHELL_INVALID_ARGUMENT);  // 260 once rooted
  EXPECT_EQ(link->SetPath(nullptr), SHELL_INVALID_ARGUMENT);
  EXPECT_EQ(Path(*link), "c:/G/a.exe");
  EXPECT_EQ(link->SetPath(("C:\\" + std::string(256, 'a')).c_str()), SHELL_OK);
  EXPECT_EQ(link->SetDescription(std::string(1024, 'd').c_str()), SHELL_INVALID_ARGUMENT);
  EXPECT_EQ(link->SetDescription(std::string(1023, 'd').c_str()), SHELL_OK);
}

TEST_F(HostShellTest, SaveGoesThroughTheMachinesFiles) {
  auto link = NewLink();
  ASSERT_EQ(link->SetPath("C:\\G\\a.exe"), SHELL_OK);

  // MAX_PATH holds 259 characters and the terminating zero.
  const std::string folder = "C:\\" + std::string(200, 'f');
  ASSERT_EQ(files_.CreateFolder(folder.c_str()), 0u);
  const std::string longest = folder + "\\" + std::string(51, 'n') + ".LNK";
  const std::string too_long = folder + "\\" + std::string(52, 'n') + ".LNK";
  ASSERT_EQ(longest.size(), 259u);
  EXPECT_EQ(link->Save(longest.c_str()), SHELL_OK);
  EXPECT_EQ(link->Save(too_long.c_str()), SHELL_INVALID_ARGUMENT);
  EXPECT_FALSE(fs::exists(machine_.Host(too_long)));
  EXPECT_EQ(link->Save(nullptr), SHELL_INVALID_ARGUMENT);

  EXPECT_EQ(link->Save("C:\\Missing\\a.LNK"), SHELL_FAIL);

  // The quota leaves no room for the link: no half link stays behind.
  EXPECT_EQ(link->Save("Q:\\a.LNK"), SHELL_FAIL);
  EXPECT_FALSE(fs::exists(drives_.File("q") + "/a.LNK"));

  {
    const auto held =
        files_.Open("C:\\Held.LNK", FileAccess::ReadWrite, SHARE_NONE, FileCreation::CreateAlways);
    ASSERT_TRUE(held.file);
    EXPECT_EQ(link->Save("C:\\held.lnk"), SHELL_FAIL);
  }
  EXPECT_TRUE(fs::exists(machine_.Host("C:\\Held.LNK")));

  // An existing name in other letters is the same file.
  fs::create_directories(machine_.Host("C:\\") + "/Links");
  WriteBytes(machine_.Host("C:\\") + "/Links/GAME.lnk", Bytes{'o', 'l', 'd'});
  EXPECT_EQ(link->Save("C:\\links\\game.LNK"), SHELL_OK);
  EXPECT_EQ(std::distance(fs::directory_iterator(machine_.Host("C:\\Links")), {}), 1);
  EXPECT_EQ(ParseLink(ReadBytes(machine_.Host("C:\\Links\\GAME.lnk"))).local_base_path, "C:\\G\\a.exe");
}

}  // namespace
