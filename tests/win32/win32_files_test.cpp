#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/files/win32_file_system.h"
#include "tests/support/current_folder.h"
#include "tests/support/random_bytes.h"
#include "tests/win32/win32_test_folder.h"

namespace {

using vtsetup::TextString;
using vtsetup::platform::ERR_ACCESS_DENIED;
using vtsetup::platform::ERR_ALREADY_EXISTS;
using vtsetup::platform::ERR_DIR_NOT_EMPTY;
using vtsetup::platform::ERR_DIRECTORY;
using vtsetup::platform::ERR_FILE_EXISTS;
using vtsetup::platform::ERR_FILE_NOT_FOUND;
using vtsetup::platform::ERR_NEGATIVE_SEEK;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::ERR_SHARING_VIOLATION;
using vtsetup::platform::File;
using vtsetup::platform::FileAccess;
using vtsetup::platform::FileCreation;
using vtsetup::platform::FileIdentity;
using vtsetup::platform::FoundFile;
using vtsetup::platform::OpenResult;
using vtsetup::platform::SeekOrigin;
using vtsetup::platform::SHARE_DELETE;
using vtsetup::platform::SHARE_NONE;
using vtsetup::platform::SHARE_READ;
using vtsetup::platform::SHARE_WRITE;
using vtsetup::platform::SystemError;
using vtsetup::platform::win32::CreateFileAccess;
using vtsetup::platform::win32::OneMessageLine;
using vtsetup::platform::win32::Win32FileSystem;
using vtsetup::testing::CurrentFolder;
using vtsetup::testing::Exists;
using vtsetup::testing::IsFolder;
using vtsetup::testing::RandomBytes;
using vtsetup::testing::ReadText;
using vtsetup::testing::Win32TestFolder;
using vtsetup::testing::WriteText;

class Win32FilesTest : public ::testing::Test {
 protected:
  OpenResult Open(const std::string& path, FileAccess access, std::uint32_t share, FileCreation creation) {
    return files_.Open(path.c_str(), access, share, creation);
  }
  static std::uint64_t SizeOf(File& file) {
    std::uint64_t size = 12345;
    EXPECT_EQ(file.Size(size), ERR_NONE);
    return size;
  }
  static std::uint64_t Position(File& file) {
    std::uint64_t position = 12345;
    EXPECT_EQ(file.Seek(0, SeekOrigin::Current, &position), ERR_NONE);
    return position;
  }

  Win32TestFolder folder_;
  Win32FileSystem files_;
};

struct CreationCase {
  FileCreation creation;
  bool exists_before;
  SystemError error;
  int size_after;  // -1: no file
};

TEST_F(Win32FilesTest, EachCreationModeOnAnExistingAndAMissingFile) {
  const CreationCase cases[] = {
      {FileCreation::CreateNew, true, ERR_FILE_EXISTS, 5},
      {FileCreation::CreateNew, false, ERR_NONE, 0},
      {FileCreation::CreateAlways, true, ERR_NONE, 0},
      {FileCreation::CreateAlways, false, ERR_NONE, 0},
      {FileCreation::OpenExisting, true, ERR_NONE, 5},
      {FileCreation::OpenExisting, false, ERR_FILE_NOT_FOUND, -1},
      {FileCreation::OpenAlways, true, ERR_NONE, 5},
      {FileCreation::OpenAlways, false, ERR_NONE, 0},
      {FileCreation::TruncateExisting, true, ERR_NONE, 0},
      {FileCreation::TruncateExisting, false, ERR_FILE_NOT_FOUND, -1},
  };
  int number = 0;
  for (const CreationCase& c : cases) {
    const std::string path = folder_.File("case" + std::to_string(number++) + ".bin");
    if (c.exists_before) {
      WriteText(path, "hello");
    }
    {
      // The system sets ERROR_ALREADY_EXISTS on some successful opens; that is no failure.
      const OpenResult opened = Open(path, FileAccess::Write, SHARE_READ, c.creation);
      EXPECT_EQ(opened.error, c.error) << number;
      EXPECT_EQ(opened.file != nullptr, c.error == ERR_NONE) << number;
    }
    if (c.size_after < 0) {
      EXPECT_FALSE(Exists(path)) << number;
    } else {
      EXPECT_EQ(ReadText(path).size(), static_cast<std::size_t>(c.size_after)) << number;
    }
  }
  EXPECT_EQ(
      Open(folder_.File("missing\\x.bin"), FileAccess::Read, SHARE_READ, FileCreation::OpenExisting).error,
      ERR_PATH_NOT_FOUND);
  EXPECT_EQ(
      Open(folder_.File("missing\\x.bin"), FileAccess::Write, SHARE_READ, FileCreation::CreateAlways).error,
      ERR_PATH_NOT_FOUND);
}

TEST_F(Win32FilesTest, AccessIsWhatWasAskedFor) {
  const std::string path = folder_.File("access.bin");
  WriteText(path, "abc");
  char buffer[4] = {};
  std::uint32_t transferred = 99;
  {
    const OpenResult reader = Open(path, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
    ASSERT_NE(reader.file, nullptr);
    EXPECT_EQ(reader.file->Write("x", 1, transferred), ERR_ACCESS_DENIED);
    EXPECT_EQ(transferred, 0u);
  }
  {
    const OpenResult writer = Open(path, FileAccess::Write, SHARE_READ, FileCreation::OpenExisting);
    ASSERT_NE(writer.file, nullptr);
    EXPECT_EQ(writer.file->Read(buffer, 3, transferred), ERR_ACCESS_DENIED);
  }
  {
    const OpenResult both = Open(path, FileAccess::ReadWrite, SHARE_READ, FileCreation::OpenExisting);
    ASSERT_NE(both.file, nullptr);
    EXPECT_EQ(both.file->Read(buffer, 3, transferred), ERR_NONE);
    EXPECT_EQ(std::string(buffer, transferred), "abc");
    EXPECT_EQ(both.file->Write("d", 1, transferred), ERR_NONE);
  }
  EXPECT_EQ(ReadText(path), "abcd");
}

TEST(Win32FileAccessTest, TheSeamsAccessBecomesTheGenericRights) {
  // GENERIC_READ and GENERIC_WRITE as the system numbers them.
  EXPECT_EQ(CreateFileAccess(FileAccess::Read), 0x80000000u);
  EXPECT_EQ(CreateFileAccess(FileAccess::Write), 0x40000000u);
  EXPECT_EQ(CreateFileAccess(FileAccess::ReadWrite), 0xC0000000u);
}

TEST_F(Win32FilesTest, SharingModesRefuseASecondOpenWith32) {
  const std::string path = folder_.File("shared.bin");
  WriteText(path, "abc");
  {
    const OpenResult first = Open(path, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
    ASSERT_NE(first.file, nullptr);
    EXPECT_EQ(Open(path, FileAccess::Write, SHARE_READ | SHARE_WRITE, FileCreation::OpenExisting).error,
              ERR_SHARING_VIOLATION);
    EXPECT_EQ(Open(path, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting).error, ERR_NONE);
    // Deletion was not shared.
    EXPECT_EQ(files_.Delete(path.c_str()), ERR_SHARING_VIOLATION);
  }
  {
    const OpenResult alone = Open(path, FileAccess::Read, SHARE_NONE, FileCreation::OpenExisting);
    ASSERT_NE(alone.file, nullptr);
    EXPECT_EQ(Open(path, FileAccess::Read, SHARE_READ | SHARE_WRITE, FileCreation::OpenExisting).error,
              ERR_SHARING_VIOLATION);
  }
  {
    const OpenResult deletable =
        Open(path, FileAccess::Read, SHARE_READ | SHARE_DELETE, FileCreation::OpenExisting);
    ASSERT_NE(deletable.file, nullptr);
    EXPECT_EQ(files_.Delete(path.c_str()), ERR_NONE);
  }
  EXPECT_FALSE(Exists(path));
}

TEST_F(Win32FilesTest, ReadsUpToTheEndAndThenNothing) {
  const std::string path = folder_.File("five.bin");
  WriteText(path, "12345");
  const OpenResult opened = Open(path, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
  ASSERT_NE(opened.file, nullptr);
  char buffer[10] = {};
  std::uint32_t transferred = 99;
  EXPECT_EQ(opened.file->Read(buffer, sizeof(buffer), transferred), ERR_NONE);
  EXPECT_EQ(std::string(buffer, transferred), "12345");
  EXPECT_EQ(opened.file->Read(buffer, sizeof(buffer), transferred), ERR_NONE);
  EXPECT_EQ(transferred, 0u);
}

TEST_F(Win32FilesTest, WrittenBytesComeBackWhole) {
  const std::string path = folder_.File("round.bin");
  const std::vector<unsigned char> bytes = RandomBytes(300000, 7);
  const OpenResult opened = Open(path, FileAccess::ReadWrite, SHARE_NONE, FileCreation::CreateNew);
  ASSERT_NE(opened.file, nullptr);
  std::uint32_t transferred = 0;
  ASSERT_EQ(opened.file->Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), transferred),
            ERR_NONE);
  EXPECT_EQ(transferred, bytes.size());
  EXPECT_EQ(SizeOf(*opened.file), bytes.size());
  ASSERT_EQ(opened.file->Seek(0, SeekOrigin::Begin, nullptr), ERR_NONE);
  std::vector<unsigned char> back(bytes.size() + 10);
  ASSERT_EQ(opened.file->Read(back.data(), static_cast<std::uint32_t>(back.size()), transferred), ERR_NONE);
  back.resize(transferred);
  EXPECT_EQ(back, bytes);
}

TEST_F(Win32FilesTest, SeeksWithSixtyFourBitOffsetsButNeverBeforeTheStart) {
  const std::string path = folder_.File("seek.bin");
  WriteText(path, "0123456789");
  const OpenResult opened = Open(path, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
  ASSERT_NE(opened.file, nullptr);
  File& file = *opened.file;
  std::uint64_t position = 0;
  EXPECT_EQ(file.Seek(-3, SeekOrigin::End, &position), ERR_NONE);
  EXPECT_EQ(position, 7u);
  EXPECT_EQ(file.Seek(-2, SeekOrigin::Current, &position), ERR_NONE);
  EXPECT_EQ(position, 5u);
  position = 4242;
  EXPECT_EQ(file.Seek(-6, SeekOrigin::Current, &position), ERR_NEGATIVE_SEEK);
  EXPECT_EQ(file.Seek(-1, SeekOrigin::Begin, &position), ERR_NEGATIVE_SEEK);
  EXPECT_EQ(position, 4242u);
  EXPECT_EQ(Position(file), 5u);  // a refused move leaves the position alone
  // Past the end, beyond what 32 bits hold, and back by an offset whose low half is all ones.
  const std::uint64_t distant = (std::uint64_t{5} << 32) + 3;
  EXPECT_EQ(file.Seek(static_cast<std::int64_t>(distant), SeekOrigin::Begin, &position), ERR_NONE);
  EXPECT_EQ(position, distant);
  EXPECT_EQ(file.Seek(-static_cast<std::int64_t>(0xFFFFFFFFu), SeekOrigin::Current, &position), ERR_NONE);
  EXPECT_EQ(position, distant - 0xFFFFFFFFu);
  EXPECT_EQ(SizeOf(file), 10u);
}

TEST_F(Win32FilesTest, DeleteTellsAMissingFileFromAMissingFolderAndLeavesFolders) {
  const std::string path = folder_.File("gone.bin");
  WriteText(path, "x");
  EXPECT_EQ(files_.Delete(path.c_str()), ERR_NONE);
  EXPECT_FALSE(Exists(path));
  EXPECT_EQ(files_.Delete(path.c_str()), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(files_.Delete(folder_.File("missing\\gone.bin").c_str()), ERR_PATH_NOT_FOUND);
  const std::string sub = folder_.File("sub");
  ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), nullptr));
  EXPECT_EQ(files_.Delete(sub.c_str()), ERR_ACCESS_DENIED);
  EXPECT_TRUE(IsFolder(sub));
}

TEST_F(Win32FilesTest, CreatesOneFolderWhoseParentExists) {
  const std::string path = folder_.File("made");
  EXPECT_EQ(files_.CreateFolder(path.c_str()), ERR_NONE);
  EXPECT_TRUE(IsFolder(path));
  EXPECT_EQ(files_.CreateFolder(path.c_str()), ERR_ALREADY_EXISTS);
  EXPECT_EQ(files_.CreateFolder((path + "\\with separator\\").c_str()), ERR_NONE);
  EXPECT_TRUE(IsFolder(path + "\\with separator"));
  EXPECT_EQ(files_.CreateFolder(folder_.File("missing\\made").c_str()), ERR_PATH_NOT_FOUND);
}

TEST_F(Win32FilesTest, RemovesOnlyAnEmptyFolder) {
  const std::string full = folder_.File("full");
  ASSERT_TRUE(::CreateDirectoryA(full.c_str(), nullptr));
  WriteText(full + "\\kept.txt", "keep me");
  EXPECT_EQ(files_.RemoveFolder(full.c_str()), ERR_DIR_NOT_EMPTY);
  EXPECT_EQ(ReadText(full + "\\kept.txt"), "keep me");

  const std::string file = folder_.File("plain.txt");
  WriteText(file, "a file");
  EXPECT_EQ(files_.RemoveFolder(file.c_str()), ERR_DIRECTORY);
  EXPECT_EQ(ReadText(file), "a file");

  const std::string empty = folder_.File("empty");
  ASSERT_TRUE(::CreateDirectoryA(empty.c_str(), nullptr));
  EXPECT_EQ(files_.RemoveFolder((empty + "\\").c_str()), ERR_NONE);
  EXPECT_FALSE(Exists(empty));
  EXPECT_EQ(files_.RemoveFolder(empty.c_str()), ERR_FILE_NOT_FOUND);
  EXPECT_EQ(files_.RemoveFolder(folder_.File("missing\\empty").c_str()), ERR_PATH_NOT_FOUND);
}

std::vector<std::string> Names(const std::vector<FoundFile>& found, bool directories) {
  std::vector<std::string> names;
  for (const FoundFile& entry : found) {
    if (entry.directory == directories) {
      names.emplace_back(entry.name.Data());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(Win32FilesTest, FindsEntriesByPatternWithDotsAndHiddenFiles) {
  WriteText(folder_.File("a.txt"), "a");
  WriteText(folder_.File("B.dat"), "b");
  WriteText(folder_.File("hidden.txt"), "h");
  ASSERT_TRUE(::SetFileAttributesA(folder_.File("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(::CreateDirectoryA(folder_.File("sub").c_str(), nullptr));

  std::vector<FoundFile> found;
  ASSERT_EQ(files_.FindFiles(folder_.File("*.*").c_str(), found), ERR_NONE);
  EXPECT_EQ(Names(found, true), (std::vector<std::string>{".", "..", "sub"}));
  EXPECT_EQ(Names(found, false), (std::vector<std::string>{"B.dat", "a.txt", "hidden.txt"}));

  ASSERT_EQ(files_.FindFiles(folder_.File("*.TXT").c_str(), found), ERR_NONE);
  EXPECT_EQ(Names(found, false), (std::vector<std::string>{"a.txt", "hidden.txt"}));
  EXPECT_TRUE(Names(found, true).empty());

  found.push_back({"stale", false});
  EXPECT_EQ(files_.FindFiles(folder_.File("*.exe").c_str(), found), ERR_NONE);
  EXPECT_TRUE(found.empty());
  EXPECT_EQ(files_.FindFiles(folder_.File("missing\\*.*").c_str(), found), ERR_PATH_NOT_FOUND);
  EXPECT_TRUE(found.empty());
}

TEST_F(Win32FilesTest, MoveReplacesAFileInOneStepButNeverAFolder) {
  const std::string from = folder_.File("new.bin");
  const std::string to = folder_.File("old.bin");
  WriteText(from, "new");
  WriteText(to, "old");
  EXPECT_EQ(files_.MoveReplacing(from.c_str(), to.c_str()), ERR_NONE);
  EXPECT_FALSE(Exists(from));
  EXPECT_EQ(ReadText(to), "new");

  const std::string fresh = folder_.File("fresh.bin");
  EXPECT_EQ(files_.MoveReplacing(to.c_str(), fresh.c_str()), ERR_NONE);
  EXPECT_EQ(ReadText(fresh), "new");

  const std::string folder = folder_.File("folder");
  ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(files_.MoveReplacing(fresh.c_str(), folder.c_str()), ERR_ACCESS_DENIED);
  EXPECT_EQ(ReadText(fresh), "new");
  EXPECT_TRUE(IsFolder(folder));

  EXPECT_EQ(files_.MoveReplacing(folder_.File("missing.bin").c_str(), to.c_str()), ERR_FILE_NOT_FOUND);
  {
    const OpenResult held = Open(fresh, FileAccess::Read, SHARE_READ, FileCreation::OpenExisting);
    ASSERT_NE(held.file, nullptr);
    EXPECT_EQ(files_.MoveReplacing(fresh.c_str(), to.c_str()), ERR_SHARING_VIOLATION);
  }
  EXPECT_EQ(ReadText(fresh), "new");
}

TEST_F(Win32FilesTest, IdentityFollowsTheObjectNotTheName) {
  const std::string path = folder_.File("Some Long Name.txt");
  const std::string other = folder_.File("other.txt");
  WriteText(path, "one");
  WriteText(other, "one");
  FileIdentity by_name;
  FileIdentity by_other_spelling;
  FileIdentity of_other;
  ASSERT_EQ(files_.Identify(path.c_str(), by_name), ERR_NONE);
  ASSERT_EQ(files_.Identify((folder_.Path() + "\\.\\SOME LONG NAME.TXT").c_str(), by_other_spelling),
            ERR_NONE);
  ASSERT_EQ(files_.Identify(other.c_str(), of_other), ERR_NONE);
  EXPECT_EQ(by_name, by_other_spelling);
  EXPECT_NE(by_name, of_other);
  EXPECT_NE(by_name.index, of_other.index);

  // A second name made by the system, and a folder, which opens only with backup semantics.
  char short_name[MAX_PATH] = {};
  ASSERT_NE(::GetShortPathNameA(path.c_str(), short_name, sizeof(short_name)), 0u);
  FileIdentity by_short_name;
  ASSERT_EQ(files_.Identify(short_name, by_short_name), ERR_NONE);
  EXPECT_EQ(by_short_name, by_name);
  FileIdentity folder;
  ASSERT_EQ(files_.Identify(folder_.Path().c_str(), folder), ERR_NONE);
  EXPECT_NE(folder, by_name);

  // Even a file that someone holds unshared can be looked at.
  {
    const OpenResult held = Open(path, FileAccess::ReadWrite, SHARE_NONE, FileCreation::OpenExisting);
    ASSERT_NE(held.file, nullptr);
    FileIdentity while_held;
    EXPECT_EQ(files_.Identify(path.c_str(), while_held), ERR_NONE);
    EXPECT_EQ(while_held, by_name);
  }
  FileIdentity missing;
  EXPECT_EQ(files_.Identify(folder_.File("missing.txt").c_str(), missing), ERR_FILE_NOT_FOUND);
}

TEST_F(Win32FilesTest, PathsOfTheProcessAndTheSystem) {
  {
    const CurrentFolder inside(folder_.Path());
    const TextString current = files_.CurrentFolder();
    EXPECT_EQ(vtsetup::CompareNoCase(current.Data(), folder_.Path().c_str()), 0) << current.Data();
    const TextString full = files_.FullPath("sub\\..\\x\\.\\name.txt");
    EXPECT_EQ(vtsetup::CompareNoCase(full.Data(), folder_.File("x\\name.txt").c_str()), 0) << full.Data();
  }
  ASSERT_TRUE(::CreateDirectoryA(folder_.File("there").c_str(), nullptr));
  {
    const CurrentFolder keep(folder_.Path());
    EXPECT_EQ(files_.SetCurrentFolder(folder_.File("there").c_str()), ERR_NONE);
    EXPECT_EQ(vtsetup::CompareNoCase(files_.CurrentFolder().Data(), folder_.File("there").c_str()), 0);
    EXPECT_EQ(files_.SetCurrentFolder(folder_.File("not there").c_str()), ERR_FILE_NOT_FOUND);
  }

  const TextString module = files_.ModulePath();
  char expected[MAX_PATH * 4] = {};
  ASSERT_NE(::GetModuleFileNameA(nullptr, expected, sizeof(expected)), 0u);
  EXPECT_EQ(module, expected);

  const TextString temp = files_.TempFolder();
  ASSERT_FALSE(temp.IsEmpty());
  EXPECT_EQ(temp.At(temp.Length() - 1), '\\');
  EXPECT_TRUE(IsFolder(temp.Data()));
}

TEST_F(Win32FilesTest, ErrorTextsAreSingleLinesOfAtMost199Characters) {
  const TextString missing = files_.ErrorText(ERR_FILE_NOT_FOUND);
  EXPECT_FALSE(missing.IsEmpty());
  EXPECT_NE(missing, files_.ErrorText(ERR_ACCESS_DENIED));
  EXPECT_FALSE(files_.ErrorText(0x2DEAD).IsEmpty());
  for (SystemError error = 1; error < 2000; ++error) {
    const TextString text = files_.ErrorText(error);
    const std::string_view view(text.Data(), text.Length());
    ASSERT_EQ(view.find_first_of("\r\n"), std::string_view::npos) << error << ": " << text.Data();
    ASSERT_LE(text.Length(), 199u) << error;
    ASSERT_NE(view.back(), ' ') << error;
  }
}

TEST(Win32MessageLineTest, LineBreaksBecomeOneBlankAndTheTextIsCut) {
  EXPECT_EQ(OneMessageLine("The system cannot find the file specified.\r\n"),
            "The system cannot find the file specified.");
  EXPECT_EQ(OneMessageLine("First line.\r\nSecond line.\r\n\r\n"), "First line. Second line.");
  EXPECT_EQ(OneMessageLine("\r\nLeading break\nand a bare one\r"), "Leading break and a bare one");
  EXPECT_EQ(OneMessageLine("\r\n"), "");
  EXPECT_EQ(OneMessageLine("Blanks before the end.  \r\n"), "Blanks before the end.");
  const std::string long_text = std::string(150, 'a') + "\r\n" + std::string(150, 'b') + "\r\n";
  const TextString cut = OneMessageLine(long_text.c_str());
  EXPECT_EQ(cut, (std::string(150, 'a') + " " + std::string(48, 'b')).c_str());
  // A cut just after a blank leaves none at the end.
  const std::string blank_at_cut = std::string(198, 'c') + "\r\n" + std::string(10, 'd');
  EXPECT_EQ(OneMessageLine(blank_at_cut.c_str()), std::string(198, 'c').c_str());
}

}  // namespace

namespace {

// Links are newer than the oldest systems of ours, so the test finds the call where the system has it.
using MakeLink = BOOLEAN(WINAPI*)(const char* link, const char* target, DWORD flags);
MakeLink LinkMaker() {
  return reinterpret_cast<MakeLink>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
}

TEST_F(Win32FilesTest, ALinkGoesItselfAndWhatItLeadsToStays) {
  const MakeLink make_link = LinkMaker();
  const std::string target = folder_.File("target.txt");
  const std::string link = folder_.File("link.txt");
  WriteText(target, "kept");
  // Wine 8 answers the call with success but makes nothing.
  if (make_link == nullptr || !make_link(link.c_str(), target.c_str(), 0) || !Exists(link)) {
    GTEST_SKIP() << "this system makes no links";
  }
  EXPECT_EQ(files_.Delete(link.c_str()), ERR_NONE);
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(ReadText(target), "kept");

  const std::string target_folder = folder_.File("target folder");
  const std::string folder_link = folder_.File("folder link");
  ASSERT_TRUE(::CreateDirectoryA(target_folder.c_str(), nullptr));
  WriteText(target_folder + "\\inside.txt", "kept too");
  ASSERT_TRUE(make_link(folder_link.c_str(), target_folder.c_str(), 1) && IsFolder(folder_link));
  // The link goes although what it leads to is not empty.
  EXPECT_EQ(files_.RemoveFolder(folder_link.c_str()), ERR_NONE);
  EXPECT_FALSE(Exists(folder_link));
  EXPECT_EQ(ReadText(target_folder + "\\inside.txt"), "kept too");
}

}  // namespace
