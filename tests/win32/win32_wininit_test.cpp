#include <gtest/gtest.h>

#include <string>

#include "platform/win32/files/win32_file_system.h"
#include "platform/win32/processes/wininit_rename.h"
#include "tests/support/faulty_file_system.h"
#include "tests/win32/win32_test_folder.h"

namespace {

using vtsetup::platform::ERR_DISK_FULL;
using vtsetup::platform::ERR_NONE;
using vtsetup::platform::ERR_PATH_NOT_FOUND;
using vtsetup::platform::win32::DeletionLineInsertion;
using vtsetup::platform::win32::ScheduleDeletionInWininit;
using vtsetup::platform::win32::TextInsertion;
using vtsetup::platform::win32::Win32FileSystem;
using vtsetup::testing::Exists;
using vtsetup::testing::FaultyFileSystem;
using vtsetup::testing::ReadText;
using vtsetup::testing::Win32TestFolder;
using vtsetup::testing::WriteText;

constexpr char kProgram[] = "C:\\GRY\\GRATES~1\\DINSTALL.EXE";

std::string Applied(const std::string& text) {
  const TextInsertion insertion = DeletionLineInsertion(text, kProgram);
  std::string result = text;
  result.insert(insertion.offset, insertion.text);
  return result;
}

TEST(Win32WininitTest, TheLineJoinsTheRenameSectionAndKeepsEarlierOnes) {
  EXPECT_EQ(Applied(""), "[rename]\r\nNUL=C:\\GRY\\GRATES~1\\DINSTALL.EXE\r\n");
  EXPECT_EQ(Applied("[other]\r\nA=1\r\n"),
            "[other]\r\nA=1\r\n[rename]\r\nNUL=C:\\GRY\\GRATES~1\\DINSTALL.EXE\r\n");
  // Another program's deletion stays, and the section ends before the next one begins.
  EXPECT_EQ(Applied("[Rename]\r\nNUL=C:\\OTHER.EXE\r\n\r\n[other]\r\nA=1\r\n"),
            "[Rename]\r\nNUL=C:\\OTHER.EXE\r\n\r\nNUL=C:\\GRY\\GRATES~1\\DINSTALL.EXE\r\n[other]\r\nA=1\r\n");
  // The last line without its line end gets one first.
  EXPECT_EQ(Applied(" [ rename ] \r\nNUL=C:\\OTHER.EXE"),
            " [ rename ] \r\nNUL=C:\\OTHER.EXE\r\nNUL=C:\\GRY\\GRATES~1\\DINSTALL.EXE\r\n");
  // Only the first section of that name is used.
  EXPECT_EQ(Applied("[rename]\nX=Y\n[more]\n[rename]\n"),
            "[rename]\nX=Y\nNUL=C:\\GRY\\GRATES~1\\DINSTALL.EXE\r\n[more]\n[rename]\n");
  EXPECT_EQ(DeletionLineInsertion("[renamed]\r\n", kProgram).offset, std::string("[renamed]\r\n").size());
  EXPECT_EQ(DeletionLineInsertion("[renamed]\r\n", kProgram).text,
            "[rename]\r\nNUL=" + std::string(kProgram) + "\r\n");
}

TEST(Win32WininitTest, TheFileGrowsByTheLineAndIsMadeWhenMissing) {
  Win32TestFolder folder;
  Win32FileSystem files;
  const std::string wininit = folder.File("WININIT.INI");
  ASSERT_EQ(ScheduleDeletionInWininit(files, wininit.c_str(), "C:\\A.EXE"), ERR_NONE);
  EXPECT_EQ(ReadText(wininit), "[rename]\r\nNUL=C:\\A.EXE\r\n");
  WriteText(wininit, "[rename]\r\nNUL=C:\\A.EXE\r\n[boot]\r\nshell=x\r\n");
  ASSERT_EQ(ScheduleDeletionInWininit(files, wininit.c_str(), "C:\\B.EXE"), ERR_NONE);
  EXPECT_EQ(ReadText(wininit), "[rename]\r\nNUL=C:\\A.EXE\r\nNUL=C:\\B.EXE\r\n[boot]\r\nshell=x\r\n");

  const std::string unreachable = folder.File("missing\\WININIT.INI");
  EXPECT_EQ(ScheduleDeletionInWininit(files, unreachable.c_str(), "C:\\A.EXE"), ERR_PATH_NOT_FOUND);
  EXPECT_FALSE(Exists(unreachable));
}

// The earlier lines are another program's work: a disk that fills up while the line goes in must leave
// them whole. At the most the file has grown by blank lines, and the next try still gets its line in.
TEST(Win32WininitTest, AFullDiskLeavesTheEarlierLinesWhole) {
  Win32TestFolder folder;
  Win32FileSystem real;
  const std::string wininit = folder.File("WININIT.INI");
  const std::string before = "[rename]\r\nNUL=C:\\A.EXE\r\n[boot]\r\nshell=x\r\n";
  WriteText(wininit, before);
  for (const bool short_write : {true, false}) {
    FaultyFileSystem files(real);
    files.fail_write = 1;
    files.short_write = short_write;
    files.error = ERR_DISK_FULL;
    EXPECT_EQ(ScheduleDeletionInWininit(files, wininit.c_str(), "C:\\B.EXE"), ERR_DISK_FULL) << short_write;
    const std::string after = ReadText(wininit);
    EXPECT_EQ(after.substr(0, before.size()), before) << short_write;
    EXPECT_EQ(after.find_first_not_of('\n', before.size()), std::string::npos) << short_write;
  }
  ASSERT_EQ(ScheduleDeletionInWininit(real, wininit.c_str(), "C:\\B.EXE"), ERR_NONE);
  EXPECT_EQ(ReadText(wininit).substr(0, before.size() + 14),
            "[rename]\r\nNUL=C:\\A.EXE\r\nNUL=C:\\B.EXE\r\n[boot]\r\nshell=x\r\n");
}

}  // namespace
