#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;
using testing::TempDir;
using testing::TestMachine;
using testing::WriteText;

// Every entry below a folder with the text of each file, so that a test sees any change at all.
std::map<std::string, std::string> Contents(const fs::path& folder) {
  std::map<std::string, std::string> contents;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    contents[entry.path().lexically_relative(folder).string()] =
        entry.is_directory() ? "(folder)" : ReadText(entry.path().string());
  }
  return contents;
}

// The Windows name of a host path on Z:, the host's root.
std::string OnDriveZ(const std::string& host_path) {
  std::string windows = "Z:" + host_path;
  for (char& c : windows) {
    c = c == '/' ? '\\' : c;
  }
  return windows;
}

// A medium that cannot be written, as drive M: of a machine.
struct Unwritable {
  const char* kind;
  const char* section;  // what the [Drive M] section says besides its folder
  SystemError refusal;
};

void PrintTo(const Unwritable& medium, std::ostream* out) {
  *out << medium.kind;
}

class HostUnwritableMedium : public ::testing::TestWithParam<Unwritable> {
 protected:
  HostUnwritableMedium() {
    fs::create_directories(medium_.Path() / "GAME" / "EMPTY");
    WriteText(medium_.File("GAME/data.bin"), "data");
    WriteText(medium_.File("GAME/old.LNK"), "link");
    WriteText(medium_.File("GAME/old.URL"), "[InternetShortcut]\r\nURL=http://old\r\n");
  }

  static std::string MachineIni(const TempDir& medium) {
    return "[Drive C]\nFolder = drive_c\nType = fixed\n[Drive M]\nFolder = " + medium.Path().string() + "\n" +
           GetParam().section + "[Drive Z]\nFolder = /\nType = remote\n";
  }
  SystemError OpenError(const std::string& path, FileAccess access, FileCreation creation) {
    return files_.Open(path.c_str(), access, SHARE_READ, creation).error;
  }

  TempDir medium_;
  TestMachine machine_{MachineIni(medium_)};
  FileSystem& files_ = machine_.System().Files();
};

TEST_P(HostUnwritableMedium, ReadsButRefusesEveryChange) {
  const SystemError refused = GetParam().refusal;
  const auto before = Contents(medium_.Path());

  OpenResult read =
      files_.Open("M:\\game\\DATA.BIN", FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
  ASSERT_EQ(read.error, ERR_NONE);
  char text[8] = {};
  std::uint32_t got = 0;
  EXPECT_EQ(read.file->Read(text, sizeof text, got), ERR_NONE);
  EXPECT_EQ(std::string(text, got), "data");
  read.file.reset();
  EXPECT_EQ(OpenError("M:\\GAME\\data.bin", FileAccess::Read, FileCreation::OpenAlways), ERR_NONE);
  std::vector<FoundFile> found;
  EXPECT_EQ(files_.FindFiles("M:\\GAME\\*.*", found), ERR_NONE);
  EXPECT_EQ(found.size(), 6u);

  // Every open that could write, truncate or make a file.
  EXPECT_EQ(OpenError("M:\\GAME\\data.bin", FileAccess::Write, FileCreation::OpenExisting), refused);
  EXPECT_EQ(OpenError("M:\\GAME\\data.bin", FileAccess::ReadWrite, FileCreation::OpenAlways), refused);
  EXPECT_EQ(OpenError("M:\\GAME\\data.bin", FileAccess::Write, FileCreation::TruncateExisting), refused);
  EXPECT_EQ(OpenError("M:\\GAME\\data.bin", FileAccess::Read, FileCreation::CreateAlways), refused);
  EXPECT_EQ(OpenError("M:\\GAME\\new.bin", FileAccess::Write, FileCreation::CreateNew), refused);
  EXPECT_EQ(OpenError("M:\\GAME\\new.bin", FileAccess::Write, FileCreation::CreateAlways), refused);
  EXPECT_EQ(OpenError("M:\\GAME\\new.bin", FileAccess::Read, FileCreation::OpenAlways), refused);
  // The drive that holds the file refuses, whatever name reaches it.
  EXPECT_EQ(OpenError(OnDriveZ(medium_.File("GAME/data.bin")), FileAccess::Write, FileCreation::OpenExisting),
            refused);
  EXPECT_EQ(files_.Delete("M:\\GAME\\data.bin"), refused);
  EXPECT_EQ(files_.CreateFolder("M:\\GAME\\SUB"), refused);
  EXPECT_EQ(files_.RemoveFolder("M:\\GAME\\EMPTY"), refused);
  EXPECT_EQ(files_.RemoveFolder(OnDriveZ(medium_.File("GAME/EMPTY")).c_str()), refused);

  // What fails on every drive fails as it would there.
  EXPECT_EQ(OpenError("M:\\GAME\\new.bin", FileAccess::Write, FileCreation::OpenExisting),
            ERR_FILE_NOT_FOUND);
  EXPECT_EQ(OpenError("M:\\GAME\\data.bin", FileAccess::Write, FileCreation::CreateNew), ERR_FILE_EXISTS);
  EXPECT_EQ(OpenError("M:\\NOWHERE\\new.bin", FileAccess::Write, FileCreation::CreateAlways),
            ERR_PATH_NOT_FOUND);
  EXPECT_EQ(files_.Delete("M:\\GAME\\new.bin"), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(files_.CreateFolder("M:\\game"), ERR_ALREADY_EXISTS);
  EXPECT_EQ(files_.CreateFolder("M:\\NOWHERE\\SUB"), ERR_PATH_NOT_FOUND);
  EXPECT_EQ(files_.RemoveFolder("M:\\GAME\\GONE"), ERR_FILE_NOT_FOUND);

  // A shell link is not saved there, nor does one that was there change.
  ShellLinkMade made = machine_.System().UserShell().NewShellLink();
  ASSERT_EQ(made.link->SetPath("C:\\Gry\\orv.exe"), SHELL_OK);
  EXPECT_EQ(made.link->Save("M:\\GAME\\new.LNK"), SHELL_FAIL);
  EXPECT_EQ(made.link->Save("M:\\GAME\\old.LNK"), SHELL_FAIL);
  // Nor an internet shortcut, which the profile writer refuses with the drive's error.
  Profile& profile = machine_.System().Profiles();
  EXPECT_EQ(profile.WriteString("M:\\GAME\\new.URL", "InternetShortcut", "URL", "http://new"), refused);
  EXPECT_EQ(profile.WriteString("M:\\GAME\\old.URL", "InternetShortcut", "URL", "http://new"), refused);
  EXPECT_EQ(profile.ReadString("M:\\GAME\\old.URL", "InternetShortcut", "URL", "", 500), "http://old");

  EXPECT_EQ(Contents(medium_.Path()), before);
}

INSTANTIATE_TEST_SUITE_P(Media, HostUnwritableMedium,
                         ::testing::Values(Unwritable{"CdRom", "Type = cdrom\n", ERR_ACCESS_DENIED},
                                           Unwritable{"WriteProtected", "Type = removable\nReadOnly = yes\n",
                                                      ERR_WRITE_PROTECT}),
                         [](const ::testing::TestParamInfo<Unwritable>& info) { return info.param.kind; });

// Drive F: is a floppy drive whose disk is taken out and put back; G: a CD-ROM drive that never had one.
TEST(HostMediumMissing, DriveWithoutItsFolderIsNotReady) {
  TempDir outside;
  const std::string disk = outside.File("disk");
  fs::create_directories(disk);
  WriteText(disk + "/a.txt", "a");
  TestMachine machine("[Drive C]\nFolder = drive_c\n[Drive F]\nFolder = " + disk +
                      "\nType = removable\n[Drive G]\nFolder = " + outside.File("never") +
                      "\nType = cdrom\n[Drive Z]\nFolder = /\nType = remote\n");
  FileSystem& files = machine.System().Files();
  Drives& drives = machine.System().Disks();
  DiskSpace space;
  ASSERT_EQ(files.Open("F:\\a.txt", FileAccess::Read, SHARE_READ, FileCreation::OpenExisting).error,
            ERR_NONE);
  ASSERT_EQ(drives.FreeSpace("F:\\", space), ERR_NONE);

  fs::remove_all(disk);
  for (const char* drive : {"F:", "G:"}) {
    const std::string root = std::string(drive) + "\\";
    const std::string file = root + "a.txt";
    EXPECT_EQ(files.Open(file.c_str(), FileAccess::Read, SHARE_READ, FileCreation::OpenExisting).error,
              ERR_NOT_READY)
        << drive;
    EXPECT_EQ(files.Open(file.c_str(), FileAccess::Write, SHARE_NONE, FileCreation::CreateAlways).error,
              ERR_NOT_READY)
        << drive;
    EXPECT_EQ(files.Delete(file.c_str()), ERR_NOT_READY) << drive;
    EXPECT_EQ(files.CreateFolder((root + "Gry").c_str()), ERR_NOT_READY) << drive;
    EXPECT_EQ(files.RemoveFolder((root + "Gry").c_str()), ERR_NOT_READY) << drive;
    std::vector<FoundFile> found;
    EXPECT_EQ(files.FindFiles((root + "*.*").c_str(), found), ERR_NOT_READY) << drive;
    EXPECT_EQ(files.SetCurrentFolder(root.c_str()), ERR_NOT_READY) << drive;
    EXPECT_EQ(
        machine.System().Profiles().WriteString((root + "a.URL").c_str(), "InternetShortcut", "URL", "u"),
        ERR_NOT_READY)
        << drive;
    EXPECT_EQ(drives.FreeSpace(root.c_str(), space), ERR_NOT_READY) << drive;
    EXPECT_FALSE(drives.ExtendedFreeSpace(root.c_str(), space)) << drive;
  }
  // The empty drive is still a drive of its kind, and nothing brought its folder back.
  EXPECT_EQ(drives.TypeOf("F:\\"), DriveType::Removable);
  EXPECT_EQ(drives.TypeOf("G:\\"), DriveType::CdRom);
  EXPECT_FALSE(fs::exists(disk));

  fs::create_directories(disk);
  EXPECT_EQ(drives.FreeSpace("F:\\", space), ERR_NONE);
  EXPECT_EQ(files.Open("F:\\b.txt", FileAccess::Write, SHARE_NONE, FileCreation::CreateNew).error, ERR_NONE);
}

}  // namespace
}  // namespace vtsetup::platform
