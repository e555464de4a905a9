// Special folders and shell links made by the system's shell.
#include "platform/win32/shell/win32_shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace vtsetup::platform::win32::testing {
namespace {

using vtsetup::testing::ReadBytes;
using vtsetup::testing::TempDir;

// The documented link header: its size, then the shell link class id in its byte order on disk.
constexpr std::uint32_t kLinkHeaderSize = 0x4C;
const std::vector<unsigned char> kLinkClassId = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// Link flags at offset 0x14: the link has a description ("name"); its texts are UTF-16.
constexpr std::uint32_t kHasName = 0x04;
constexpr std::uint32_t kIsUnicode = 0x80;

std::uint32_t U32At(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The characters of a text as the link's strings hold them: two bytes each in a Unicode link, one
// otherwise. (Writers differ in whether the count before them includes a terminating zero.)
std::vector<unsigned char> StoredText(const std::string& text, bool unicode) {
  std::vector<unsigned char> bytes;
  for (const char c : text) {
    bytes.push_back(static_cast<unsigned char>(c));
    if (unicode) {
      bytes.push_back(0);
    }
  }
  return bytes;
}

bool Contains(const std::vector<unsigned char>& bytes, const std::vector<unsigned char>& part) {
  return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

bool IsFolder(const TextString& path) {
  const DWORD attributes = ::GetFileAttributesA(path.Data());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST(Win32Shell, SpecialFoldersAreDifferentExistingFolders) {
  Win32Shell shell;
  const TextString programs = shell.FolderPath(SpecialFolder::Programs);
  const TextString desktop = shell.FolderPath(SpecialFolder::Desktop);
  EXPECT_FALSE(programs.IsEmpty());
  EXPECT_FALSE(desktop.IsEmpty());
  EXPECT_FALSE(programs == desktop);
  EXPECT_TRUE(IsFolder(programs)) << programs.Data();
  EXPECT_TRUE(IsFolder(desktop)) << desktop.Data();
  EXPECT_EQ(programs.At(1), ':');
}

TEST(Win32Shell, UnknownFolderIsEmpty) {
  Win32Shell shell;
  // A folder id that the shell does not know.
  EXPECT_EQ(shell.FolderPath(static_cast<SpecialFolder>(0x00FF)), "");
}

class Win32ShellLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    made = shell.NewShellLink();
    ASSERT_EQ(made.result, SHELL_OK);
    ASSERT_NE(made.link, nullptr);
    target = folder.File("Gra.exe");
    vtsetup::testing::WriteText(target, "MZ");
  }

  Win32Shell shell;
  TempDir folder;
  ShellLinkMade made;
  std::string target;
};

TEST_F(Win32ShellLinkTest, SavedLinkHasTheDocumentedHeaderAndItsTexts) {
  ShellLink& link = *made.link;
  EXPECT_EQ(link.SetPath(target.c_str()), SHELL_OK);
  EXPECT_EQ(link.SetDescription("Gra testowa"), SHELL_OK);
  const std::string link_path = folder.File("Gra.LNK");
  ASSERT_EQ(link.Save(link_path.c_str()), SHELL_OK);

  const std::vector<unsigned char> bytes = ReadBytes(link_path);
  ASSERT_GE(bytes.size(), kLinkHeaderSize);
  EXPECT_EQ(U32At(bytes, 0), kLinkHeaderSize);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin() + 4, bytes.begin() + 20), kLinkClassId);
  const std::uint32_t flags = U32At(bytes, 0x14);
  EXPECT_NE(flags & kHasName, 0u);
  EXPECT_TRUE(Contains(bytes, StoredText("Gra testowa", (flags & kIsUnicode) != 0)));
}

TEST_F(Win32ShellLinkTest, PathGivesTheTargetBack) {
  ShellLink& link = *made.link;
  EXPECT_EQ(link.Path(), "");
  ASSERT_EQ(link.SetPath(target.c_str()), SHELL_OK);
  EXPECT_EQ(CompareNoCase(link.Path().Data(), target.c_str()), 0) << link.Path().Data();
}

TEST_F(Win32ShellLinkTest, SaveIntoAMissingFolderFails) {
  ShellLink& link = *made.link;
  ASSERT_EQ(link.SetPath(target.c_str()), SHELL_OK);
  const std::string link_path = folder.File("brak\\Gra.LNK");
  const ShellResult saved = link.Save(link_path.c_str());
  EXPECT_LT(saved, 0);
  EXPECT_EQ(::GetFileAttributesA(link_path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32ShellLinkTest, NullTextsAndOverlongLinkPathsAreInvalidArguments) {
  ShellLink& link = *made.link;
  EXPECT_EQ(link.SetPath(nullptr), SHELL_INVALID_ARGUMENT);
  EXPECT_EQ(link.SetDescription(nullptr), SHELL_INVALID_ARGUMENT);
  EXPECT_EQ(link.Save(nullptr), SHELL_INVALID_ARGUMENT);
  ASSERT_EQ(link.SetPath(target.c_str()), SHELL_OK);
  // 259 characters and the zero fit MAX_PATH; one more does not.
  const std::string prefix = folder.File("");
  const std::string fits = prefix + std::string(259 - prefix.size() - 4, 'a') + ".LNK";
  const std::string too_long = prefix + std::string(260 - prefix.size() - 4, 'a') + ".LNK";
  ASSERT_EQ(fits.size(), 259u);
  EXPECT_EQ(link.Save(too_long.c_str()), SHELL_INVALID_ARGUMENT);
  EXPECT_NE(link.Save(fits.c_str()), SHELL_INVALID_ARGUMENT);
}

}  // namespace
}  // namespace vtsetup::platform::win32::testing
