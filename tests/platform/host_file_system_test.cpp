#include "platform/host/files/host_file_system.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/host/processes/host_debug_sink.h"
#include "tests/support/current_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::File;
using vtsetup::platform::FileAccess;
using vtsetup::platform::FileCreation;
using vtsetup::platform::FileSystem;
using vtsetup::platform::OpenResult;
using vtsetup::platform::SeekOrigin;
using vtsetup::platform::SHARE_READ;
using vtsetup::platform::SystemError;
using vtsetup::platform::host::HostDebugSink;
using vtsetup::testing::ReadBytes;
using vtsetup::testing::TempDir;
using vtsetup::testing::TestMachine;
using vtsetup::testing::WriteBytes;
using Bytes = std::vector<unsigned char>;

class HostFileSystemTest : public ::testing::Test {
 protected:
  OpenResult Open(const std::string& path, FileAccess access, FileCreation creation) {
    return files_.Open(path.c_str(), access, SHARE_READ, creation);
  }
  std::uint64_t SizeOf(File& file) {
    std::uint64_t size = 12345;
    EXPECT_EQ(file.Size(size), 0u);
    return size;
  }

  TempDir dir_;
  TestMachine machine_;
  FileSystem& files_ = machine_.System().Files();
  const std::string existing_ = dir_.File("existing.bin");
};

struct CreationCase {
  FileCreation creation;
  FileAccess access;
  bool exists_before;
  SystemError error;
  int size_after;  // -1: no file
};

class HostFileCreation : public HostFileSystemTest, public ::testing::WithParamInterface<CreationCase> {};

TEST_P(HostFileCreation, FollowsTheWindowsCreationModes) {
  const CreationCase& c = GetParam();
  if (c.exists_before) {
    WriteBytes(existing_, {1, 2, 3});
  }
  const OpenResult result = Open(existing_, c.access, c.creation);
  EXPECT_EQ(result.error, c.error);
  EXPECT_EQ(result.file == nullptr, c.error != 0u);
  if (c.size_after < 0) {
    EXPECT_FALSE(std::filesystem::exists(existing_));
  } else {
    EXPECT_EQ(ReadBytes(existing_).size(), static_cast<std::size_t>(c.size_after));
  }
}

std::string CreationCaseName(const ::testing::TestParamInfo<CreationCase>& info) {
  static const char* const kCreation[] = {"",           "CreateNew",       "CreateAlways", "OpenExisting",
                                          "OpenAlways", "TruncateExisting"};
  static const char* const kAccess[] = {"", "Read", "Write", "ReadWrite"};
  return std::string(kCreation[static_cast<int>(info.param.creation)]) +
         kAccess[static_cast<int>(info.param.access)] + (info.param.exists_before ? "Existing" : "Missing");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HostFileCreation,
    ::testing::Values(CreationCase{FileCreation::CreateNew, FileAccess::Write, true, 80, 3},
                      CreationCase{FileCreation::CreateNew, FileAccess::Write, false, 0, 0},
                      CreationCase{FileCreation::CreateAlways, FileAccess::Write, true, 0, 0},
                      CreationCase{FileCreation::CreateAlways, FileAccess::Write, false, 0, 0},
                      CreationCase{FileCreation::OpenExisting, FileAccess::Read, true, 0, 3},
                      CreationCase{FileCreation::OpenExisting, FileAccess::Read, false, 2, -1},
                      CreationCase{FileCreation::OpenAlways, FileAccess::Write, true, 0, 3},
                      CreationCase{FileCreation::OpenAlways, FileAccess::Read, false, 0, 0},
                      CreationCase{FileCreation::TruncateExisting, FileAccess::Write, true, 0, 0},
                      CreationCase{FileCreation::TruncateExisting, FileAccess::ReadWrite, false, 2, -1},
                      CreationCase{FileCreation::TruncateExisting, FileAccess::Read, true, 87, 3}),
    CreationCaseName);

TEST_F(HostFileSystemTest, BackslashesAndRelativePathsReachTheFile) {
  std::filesystem::create_directory(dir_.Path() / "sub");
  OpenResult result = Open(dir_.Path().string() + "\\sub\\f.bin", FileAccess::Write, FileCreation::CreateNew);
  ASSERT_EQ(result.error, 0u);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir_.Path() / "sub" / "f.bin"));
  result.file.reset();

  {
    const vtsetup::testing::CurrentFolder in_dir(dir_.Path());
    EXPECT_EQ(Open("sub\\f.bin", FileAccess::Read, FileCreation::OpenExisting).error, 0u);
    EXPECT_EQ(Open("absent.bin", FileAccess::Read, FileCreation::OpenExisting).error, 2u);
    EXPECT_EQ(Open("absent\\f.bin", FileAccess::Read, FileCreation::OpenExisting).error, 3u);
  }
  EXPECT_EQ(Open(dir_.File("absent") + "\\f.bin", FileAccess::Read, FileCreation::OpenExisting).error, 3u);
}

TEST_F(HostFileSystemTest, FolderIsNoFileAndWriteOnlyHandleCannotRead) {
  for (const FileAccess access : {FileAccess::Read, FileAccess::Write, FileAccess::ReadWrite}) {
    for (const FileCreation creation : {FileCreation::OpenExisting, FileCreation::OpenAlways}) {
      EXPECT_EQ(Open(dir_.Path().string(), access, creation).error, 5u)
          << static_cast<int>(access) << "/" << static_cast<int>(creation);
    }
  }
  WriteBytes(existing_, {1, 2, 3});
  const OpenResult result = Open(existing_, FileAccess::Write, FileCreation::OpenExisting);
  ASSERT_EQ(result.error, 0u);
  unsigned char buffer[4];
  std::uint32_t transferred = 99;
  EXPECT_EQ(result.file->Read(buffer, sizeof buffer, transferred), 5u);
  EXPECT_EQ(transferred, 0u);
}

TEST_F(HostFileSystemTest, WriteAndReadRoundTripUpToTheEnd) {
  const Bytes written = {0x00, 0xFF, 0x41, 0x00, 0x0D, 0x0A, 0x1A, 0x80, 0x7F, 0xFF};
  OpenResult result = Open(existing_, FileAccess::Write, FileCreation::CreateNew);
  ASSERT_EQ(result.error, 0u);
  std::uint32_t transferred = 0;
  EXPECT_EQ(result.file->Write(written.data(), 10, transferred), 0u);
  EXPECT_EQ(transferred, 10u);
  result.file.reset();
  EXPECT_EQ(ReadBytes(existing_), written);

  result = Open(existing_, FileAccess::Read, FileCreation::OpenExisting);
  ASSERT_EQ(result.error, 0u);
  Bytes read(16, 0xEE);
  EXPECT_EQ(result.file->Read(read.data(), 4, transferred), 0u);
  EXPECT_EQ(transferred, 4u);
  EXPECT_EQ(result.file->Read(read.data() + 4, 12, transferred), 0u);
  EXPECT_EQ(transferred, 6u);
  EXPECT_EQ(Bytes(read.begin(), read.begin() + 10), written);
  transferred = 99;
  EXPECT_EQ(result.file->Read(read.data(), 12, transferred), 0u);
  EXPECT_EQ(transferred, 0u);
}

TEST_F(HostFileSystemTest, SeekFromEachOriginAndSize) {
  WriteBytes(existing_, Bytes(10, 7));
  const OpenResult result = Open(existing_, FileAccess::ReadWrite, FileCreation::OpenExisting);
  ASSERT_EQ(result.error, 0u);
  File& file = *result.file;
  std::uint64_t position = 0;
  EXPECT_EQ(file.Seek(3, SeekOrigin::Begin, &position), 0u);
  EXPECT_EQ(position, 3u);
  EXPECT_EQ(file.Seek(2, SeekOrigin::Current, &position), 0u);
  EXPECT_EQ(position, 5u);
  EXPECT_EQ(file.Seek(-5, SeekOrigin::Current, &position), 0u);
  EXPECT_EQ(position, 0u);
  EXPECT_EQ(file.Seek(-4, SeekOrigin::End, &position), 0u);
  EXPECT_EQ(position, 6u);
  EXPECT_EQ(SizeOf(file), 10u);
  EXPECT_EQ(file.Seek(20, SeekOrigin::End, &position), 0u);
  EXPECT_EQ(position, 30u);
  std::uint32_t transferred = 0;
  const unsigned char byte = 1;
  EXPECT_EQ(file.Write(&byte, 1, transferred), 0u);
  EXPECT_EQ(SizeOf(file), 31u);
}

TEST_F(HostFileSystemTest, SeekBeforeTheStartFailsAndKeepsThePosition) {
  WriteBytes(existing_, Bytes(10, 7));
  const OpenResult result = Open(existing_, FileAccess::Read, FileCreation::OpenExisting);
  ASSERT_EQ(result.error, 0u);
  for (const auto& [offset, origin] :
       {std::pair{std::int64_t{-1}, SeekOrigin::Begin}, std::pair{std::int64_t{-5}, SeekOrigin::Current},
        std::pair{std::int64_t{-11}, SeekOrigin::End}}) {
    SCOPED_TRACE(static_cast<int>(origin));
    std::uint64_t position = 0;
    ASSERT_EQ(result.file->Seek(4, SeekOrigin::Begin, &position), 0u);
    EXPECT_EQ(result.file->Seek(offset, origin, &position), 131u);
    EXPECT_EQ(result.file->Seek(0, SeekOrigin::Current, &position), 0u);
    EXPECT_EQ(position, 4u);
  }
}

TEST_F(HostFileSystemTest, DeleteFilesButNotFolders) {
  WriteBytes(existing_, {1});
  EXPECT_EQ(files_.Delete(existing_.c_str()), 0u);
  EXPECT_FALSE(std::filesystem::exists(existing_));
  EXPECT_EQ(files_.Delete(existing_.c_str()), 2u);
  EXPECT_EQ(files_.Delete((dir_.File("no-folder") + "\\f.bin").c_str()), 3u);
  std::filesystem::create_directory(dir_.Path() / "folder");
  EXPECT_EQ(files_.Delete(dir_.File("folder").c_str()), 5u);
  EXPECT_TRUE(std::filesystem::is_directory(dir_.Path() / "folder"));
}

TEST_F(HostFileSystemTest, ClosesTheFileWhenItsOwnerGoes) {
  const auto open_descriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  // The file system's own descriptors (the watch on folders searched without regard to case) are made
  // by the first search and kept; only the file's may come and go.
  ASSERT_EQ(Open(dir_.File("absent"), FileAccess::Read, FileCreation::OpenExisting).error, 2u);
  const auto before = open_descriptors();
  OpenResult result = Open(existing_, FileAccess::Write, FileCreation::CreateNew);
  ASSERT_EQ(result.error, 0u);
  EXPECT_EQ(open_descriptors(), before + 1);
  result.file.reset();
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_EQ(files_.Delete(existing_.c_str()), 0u);
}

TEST(HostFileSystemErrorText, GivesWindowsTextsWithoutLineEnds) {
  TestMachine machine;
  FileSystem& files = machine.System().Files();
  EXPECT_EQ(files.ErrorText(2), "The system cannot find the file specified.");
  EXPECT_EQ(files.ErrorText(32),
            "The process cannot access the file because it is being used by another process.");
  for (const SystemError error : {0u, 2u, 3u, 5u, 32u, 80u, 87u, 131u, 12345u, 0xFFFFFFFFu}) {
    const TextString text = files.ErrorText(error);
    EXPECT_GT(text.Length(), 0u) << error;
    EXPECT_LE(text.Length(), 199u) << error;
    EXPECT_NE(text.At(text.Length() - 1), '\n') << error;
    EXPECT_NE(text.At(text.Length() - 1), '\r') << error;
  }
}

TEST(HostDebugSink, AppendsToTheNamedFileAndWritesNothingWhenUnset) {
  const char* previous = getenv("VTSETUP_DEBUG");
  const std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
  TempDir dir;
  const std::string log = dir.File("debug.log");
  WriteBytes(log, {'o', 'l', 'd', '\n'});
  const std::string expected = "old\nfirst\r\nsecond \xFF\r\n";
  HostDebugSink sink;
  setenv("VTSETUP_DEBUG", log.c_str(), 1);
  sink.Send("first\r\n");
  sink.Send("second \xFF\r\n");
  EXPECT_EQ(ReadBytes(log), Bytes(expected.begin(), expected.end()));
  unsetenv("VTSETUP_DEBUG");
  sink.Send("lost\r\n");
  EXPECT_EQ(ReadBytes(log), Bytes(expected.begin(), expected.end()));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  if (saved) {
    setenv("VTSETUP_DEBUG", saved->c_str(), 1);
  }
}

}  // namespace

namespace vtsetup::platform::host {
namespace {

using testing::TempDir;
using testing::WriteBytes;

TEST(HostFileSystemFolders, ListsInNtfsOrderAndMatchesWindowsPatterns) {
  TempDir dir;
  for (const char* name : {"b.txt", "B.txt", "a", "_x", "Z.DAT", ".hidden"}) {
    WriteBytes(dir.File(name), {1});
  }
  std::filesystem::create_directory(dir.Path() / "sub");
  testing::TestMachine machine;
  FileSystem& files = machine.System().Files();
  std::vector<FoundFile> found;
  ASSERT_EQ(files.FindFiles((dir.Path().string() + "\\*.*").c_str(), found), ERR_NONE);
  std::vector<std::string> listed;
  for (const FoundFile& entry : found) {
    listed.push_back(std::string(entry.name.Data()) + (entry.directory ? "/" : ""));
  }
  // Letters fold to upper case, so "_" (0x5F) comes after them; equal folds keep byte order.
  EXPECT_EQ(listed,
            (std::vector<std::string>{"./", "../", ".hidden", "a", "B.txt", "b.txt", "sub/", "Z.DAT", "_x"}));
  ASSERT_EQ(files.FindFiles((dir.Path().string() + "/?.t*").c_str(), found), ERR_NONE);
  EXPECT_EQ(found.size(), 2u);
  // The folder is found whatever the case of its name, as a script's "DATA\\" finds data/.
  std::string shouted = dir.Path().string() + "\\SUB\\..\\*.TXT";
  const std::size_t name_at = shouted.find("vtsetup-test");
  std::transform(shouted.begin() + static_cast<long>(name_at), shouted.end(),
                 shouted.begin() + static_cast<long>(name_at),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  ASSERT_EQ(files.FindFiles(shouted.c_str(), found), ERR_NONE);
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(files.FindFiles((dir.Path().string() + "/*.exe").c_str(), found), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(files.FindFiles((dir.File("missing") + "\\*.*").c_str(), found), ERR_PATH_NOT_FOUND);
}

TEST(HostFileSystemFolders, FullPathsAreWindowsPathsOnDriveZ) {
  testing::TestMachine machine;
  FileSystem& files = machine.System().Files();
  EXPECT_EQ(files.FullPath("/tmp/a/../b/./c.ini"), "Z:\\tmp\\b\\c.ini");
  EXPECT_EQ(files.FullPath("Z:\\tmp\\..\\..\\x"), "Z:\\x");
  const std::string current = std::filesystem::current_path().string();
  TextString expected = TextString("Z:") + current.c_str() + "/sub/setup.ini";
  for (std::uint32_t i = 0; i < expected.Length(); ++i) {
    if (expected.At(i) == '/') {
      expected = expected.Left(i) + "\\" + expected.Mid(i + 1);
    }
  }
  EXPECT_EQ(files.FullPath("sub\\setup.ini"), expected);
  // The Windows name leads back to the same host file.
  EXPECT_EQ(machine.Host(files.FullPath("sub/setup.ini").Data()), current + "/sub/setup.ini");
}

}  // namespace
}  // namespace vtsetup::platform::host
