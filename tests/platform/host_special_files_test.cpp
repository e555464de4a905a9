// Names that are no plain file: pipes, sockets, devices and links that never end. The host opens none
// of them as a file and never waits on one; every test runs under a guard, so a call that blocks fails
// the run instead of hanging it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/files/host_file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/host/machine/whole_file.h"
#include "platform/host/registry/host_registry.h"
#include "platform/host/ui/answers_file.h"
#include "tests/support/hang_guard.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::platform::host {
namespace {

namespace fs = std::filesystem;
using testing::HangGuard;
using testing::ReadText;
using testing::TempDir;
using testing::TestMachine;
using testing::WriteText;

bool IsPipe(const fs::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

void MakePipe(const fs::path& path) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
}

// A listening socket of this test's own, closed when it goes.
class BoundSocket {
 public:
  explicit BoundSocket(const fs::path& path) : descriptor_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bound_ = ::bind(descriptor_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }
  BoundSocket(const BoundSocket&) = delete;
  BoundSocket& operator=(const BoundSocket&) = delete;
  ~BoundSocket() { ::close(descriptor_); }
  bool Bound() const { return bound_; }

 private:
  int descriptor_;
  bool bound_ = false;
};

class HostSpecialFilesTest : public ::testing::Test {
 protected:
  OpenResult Open(const char* path, FileAccess access, FileCreation creation) {
    return files_.Open(path, access, SHARE_READ, creation);
  }

  HangGuard guard_;
  TestMachine machine_;
  FileSystem& files_ = machine_.System().Files();
  const fs::path drive_c_ = machine_.Root() / "machine" / "drive_c";
};

// CreateAlways and TruncateExisting would also empty a file; a pipe is neither emptied nor replaced.
TEST_F(HostSpecialFilesTest, PipeIsRefusedAtOnceInEveryModeAndKept) {
  MakePipe(drive_c_ / "pipe");
  for (const FileCreation creation :
       {FileCreation::CreateNew, FileCreation::CreateAlways, FileCreation::OpenExisting,
        FileCreation::OpenAlways, FileCreation::TruncateExisting}) {
    for (const FileAccess access : {FileAccess::Read, FileAccess::Write, FileAccess::ReadWrite}) {
      if (creation == FileCreation::TruncateExisting && access == FileAccess::Read) {
        continue;  // refused before the name is looked at
      }
      const OpenResult open = Open("C:\\PIPE", access, creation);
      EXPECT_EQ(open.error, ERR_ACCESS_DENIED)
          << static_cast<int>(creation) << " " << static_cast<int>(access);
      EXPECT_EQ(open.file, nullptr);
    }
  }
  // With a reader at the other end an open for writing would not wait; it is refused all the same.
  const int reader = ::open((drive_c_ / "pipe").c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(Open("C:\\pipe", FileAccess::Write, FileCreation::CreateAlways).error, ERR_ACCESS_DENIED);
  ::close(reader);
  EXPECT_TRUE(IsPipe(drive_c_ / "pipe"));

  EXPECT_EQ(static_cast<HostFileSystem&>(files_).ReplaceFileText("C:\\pipe", "[A]\r\n"), ERR_ACCESS_DENIED);
  EXPECT_EQ(machine_.System().Profiles().WriteString("C:\\pipe", "A", "B", "1"), ERR_ACCESS_DENIED);
  EXPECT_TRUE(IsPipe(drive_c_ / "pipe"));
  // A name goes as on Windows; what it names is not opened to see whether someone holds it.
  EXPECT_EQ(files_.Delete("C:\\pipe"), ERR_NONE);
  EXPECT_FALSE(fs::exists(fs::symlink_status(drive_c_ / "pipe")));
}

TEST_F(HostSpecialFilesTest, SocketsAndDevicesAreNoFiles) {
  BoundSocket socket(drive_c_ / "socket");
  ASSERT_TRUE(socket.Bound());
  EXPECT_EQ(Open("C:\\socket", FileAccess::Read, FileCreation::OpenExisting).error, ERR_ACCESS_DENIED);
  EXPECT_EQ(Open("C:\\socket", FileAccess::Write, FileCreation::CreateAlways).error, ERR_ACCESS_DENIED);
  // Drive Z: is the host's root, so its devices have Windows names too.
  EXPECT_EQ(Open("Z:\\dev\\null", FileAccess::Read, FileCreation::OpenExisting).error, ERR_ACCESS_DENIED);
  EXPECT_EQ(Open("Z:\\dev\\null", FileAccess::Write, FileCreation::OpenExisting).error, ERR_ACCESS_DENIED);
}

// A folder that a script takes whole may hold a pipe: it is listed as a file, and opening it fails.
TEST_F(HostSpecialFilesTest, PipeInAListedFolderIsListedButNotOpened) {
  fs::create_directories(drive_c_ / "src");
  WriteText((drive_c_ / "src" / "a.dat").string(), "a");
  MakePipe(drive_c_ / "src" / "b.dat");
  std::vector<FoundFile> found;
  ASSERT_EQ(files_.FindFiles("C:\\src\\*.*", found), ERR_NONE);
  std::vector<std::string> names;
  for (const FoundFile& file : found) {
    if (!file.directory) {
      names.emplace_back(file.name.Data());
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.dat", "b.dat"}));
  EXPECT_NE(Open("C:\\src\\a.dat", FileAccess::Read, FileCreation::OpenExisting).file, nullptr);
  EXPECT_EQ(Open("C:\\src\\b.dat", FileAccess::Read, FileCreation::OpenExisting).error, ERR_ACCESS_DENIED);
}

// The files read whole (profiles, the registry, an answers file, machine.ini) fail at once.
TEST_F(HostSpecialFilesTest, WholeFileReadsRefuseAPipeAtOnce) {
  MakePipe(drive_c_ / "setup.ini");
  const WholeFile whole = ReadWholeFile((drive_c_ / "setup.ini").string(), 1 << 20);
  EXPECT_EQ(whole.outcome, WholeFileRead::Failed);
  EXPECT_EQ(whole.error_number, ENXIO);

  Profile& profile = machine_.System().Profiles();
  EXPECT_EQ(profile.ReadString("C:\\setup.ini", "Proginfo", "Product", "none", 256), "none");
  EXPECT_EQ(profile.ReadSection("C:\\setup.ini", "Proginfo", 256), 0u);

  HostRegistry registry((drive_c_ / "setup.ini").string());
  EXPECT_EQ(registry.Open("", RegistryAccess::Read).error, ERR_ACCESS_DENIED);
  EXPECT_TRUE(IsPipe(drive_c_ / "setup.ini"));

  const AnswersRead answers = ReadAnswersFile((drive_c_ / "setup.ini").string());
  EXPECT_NE(answers.error.find("the answers file cannot be read: Access is denied. (error 5)"),
            std::string::npos)
      << answers.error;
}

TEST(HostSpecialMachineFiles, MachineIniThatIsAPipeStopsTheMachineWithAReason) {
  HangGuard guard;
  TempDir dir;
  MakePipe(dir.Path() / "machine.ini");
  const MachineOpen open = Machine::Open(dir.Path().string(), Transcript(""));
  EXPECT_EQ(open.machine, nullptr);
  EXPECT_NE(open.error.find("machine.ini: Access is denied. (error 5)"), std::string::npos) << open.error;
  EXPECT_TRUE(IsPipe(dir.Path() / "machine.ini"));
}

// Links that never reach a file: the name cannot be resolved, and nothing throws.
TEST(HostLinkLoops, AnOpenGivesTheWindowsErrorForAnUnresolvableName) {
  TestMachine machine;
  const fs::path c = machine.Root() / "machine" / "drive_c";
  fs::create_symlink("self.ini", c / "self.ini");
  fs::create_symlink("b.ini", c / "a.ini");
  fs::create_symlink("a.ini", c / "b.ini");
  FileSystem& files = machine.System().Files();
  for (const char* path : {"C:\\self.ini", "C:\\a.ini"}) {
    EXPECT_EQ(files.Open(path, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting).error,
              ERR_CANT_RESOLVE_FILENAME)
        << path;
    EXPECT_EQ(files.Open(path, FileAccess::Write, SHARE_READ, FileCreation::CreateAlways).error,
              ERR_CANT_RESOLVE_FILENAME)
        << path;
  }
  EXPECT_EQ(files.ErrorText(ERR_CANT_RESOLVE_FILENAME),
            "The name of the file cannot be resolved by the system.");
  EXPECT_EQ(machine.System().Profiles().ReadString("C:\\a.ini", "A", "B", "none", 256), "none");
}

TEST(HostLinkLoops, MachineIniThatLoopsStopsTheMachineWithAReasonAndIsKept) {
  for (const bool two_links : {false, true}) {
    TempDir dir;
    if (two_links) {
      fs::create_symlink("other.ini", dir.Path() / "machine.ini");
      fs::create_symlink("machine.ini", dir.Path() / "other.ini");
    } else {
      fs::create_symlink("machine.ini", dir.Path() / "machine.ini");
    }
    const MachineOpen open = Machine::Open(dir.Path().string(), Transcript(""));
    EXPECT_EQ(open.machine, nullptr);
    EXPECT_NE(
        open.error.find("machine.ini: The name of the file cannot be resolved by the system. (error 1921)"),
        std::string::npos)
        << open.error;
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "machine.ini"));
  }
}

// A link to nowhere is the person's own: it is neither replaced by a fresh file nor followed to make one.
TEST(HostLinkLoops, MachineIniThatLinksToNothingIsKept) {
  TempDir dir;
  fs::create_symlink("elsewhere.ini", dir.Path() / "machine.ini");
  const MachineOpen open = Machine::Open(dir.Path().string(), Transcript(""));
  EXPECT_EQ(open.machine, nullptr);
  EXPECT_NE(open.error.find("machine.ini: The system cannot find the file specified. (error 2)"),
            std::string::npos)
      << open.error;
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "machine.ini"));
  EXPECT_FALSE(fs::exists(dir.Path() / "elsewhere.ini"));
}

// The machine opens; its registry answers every read with the error, and a change leaves the links.
TEST(HostLinkLoops, RegistryThatLoopsGivesAnErrorToEveryRead) {
  TempDir dir;
  fs::create_symlink("registry.reg", dir.Path() / "registry.reg");
  const MachineOpen open = Machine::Open(dir.Path().string(), Transcript(""));
  ASSERT_NE(open.machine, nullptr) << open.error;
  HostRegistry registry(open.machine->RegistryFile());
  EXPECT_EQ(registry.Open("SOFTWARE", RegistryAccess::Read).error, ERR_CANT_RESOLVE_FILENAME);
  const KeyOpen root = registry.Open("", RegistryAccess::Write);
  EXPECT_EQ(root.error, ERR_CANT_RESOLVE_FILENAME);
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "registry.reg"));
}

}  // namespace
}  // namespace vtsetup::platform::host
