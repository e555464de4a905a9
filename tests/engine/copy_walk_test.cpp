#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/copy_directory.h"
#include "tests/engine/copy_fixture.h"
#include "tests/support/random_bytes.h"

namespace vtsetup {
namespace {

using testing::CopyFixture;
using Lines = std::vector<std::string>;

TEST(CopyPaths, FileInDirectoryComparesTheDirectoryPartWithoutCase) {
  EXPECT_TRUE(FileInDirectory("file.ext", ""));
  EXPECT_TRUE(FileInDirectory("sub\\file.ext", "SUB\\"));
  EXPECT_TRUE(FileInDirectory("Sub\\Deeper\\f", "SUB\\DEEPER\\"));
  EXPECT_FALSE(FileInDirectory("sub\\file.ext", ""));
  EXPECT_FALSE(FileInDirectory("sub\\deeper\\f", "SUB\\"));
  EXPECT_FALSE(FileInDirectory("file.ext", "SUB\\"));
}

TEST(CopyPaths, SubdirectoryIsExactlyOneLevelBelow) {
  EXPECT_TRUE(IsSubdirectoryOf("SUB\\", ""));
  EXPECT_FALSE(IsSubdirectoryOf("SUB\\DEEPER\\", ""));
  EXPECT_TRUE(IsSubdirectoryOf("A\\B\\", "A\\"));
  EXPECT_FALSE(IsSubdirectoryOf("X\\A\\", "A\\"));
  EXPECT_FALSE(IsSubdirectoryOf("A\\", "A\\"));
}

TEST(CopyPaths, OnlyPathsBelowTheirFolderStayInside) {
  for (const char* inside : {"", "file.ext", "SUB\\", "a\\b\\c.txt", "a..b\\c", "..x"}) {
    EXPECT_TRUE(StaysInside(inside)) << inside;
  }
  for (const char* outside : {"..\\evil", "..", "a\\..\\..\\evil", "a/../b", "C:\\evil", "C:evil", "\\evil",
                              "/evil", "SUB\\..\\", "a\\..", "..\\"}) {
    EXPECT_FALSE(StaysInside(outside)) << outside;
  }
}

using CopyWalk = CopyFixture;

// Root files first, then each subdirectory depth first in table order; a directory that no listed
// parent reaches is left alone and the copy still succeeds.
TEST_F(CopyWalk, RootFilesFirstThenSubdirectoriesDepthFirstInTableOrder) {
  AddDir("A\\");
  AddDir("B\\");
  AddDir("A\\B\\");
  AddDir("X\\A\\");
  AddFile("a\\one", 10);
  AddFile("root1", 20);
  AddFile("b\\two", 30);
  AddFile("a\\b\\three", 40);
  AddFile("x\\a\\lost", 50);
  AddFile("root2", 0);

  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(CopyTrace(), (Lines{
                             "Kopiere C:\\SRC\\root1 nach D:\\GAME\\root1.",
                             "Kopiere C:\\SRC\\root2 nach D:\\GAME\\root2.",
                             "Lege Verzeichnis D:\\GAME\\A an.",
                             "Kopiere C:\\SRC\\a\\one nach D:\\GAME\\a\\one.",
                             "Lege Verzeichnis D:\\GAME\\A\\B an.",
                             "Kopiere C:\\SRC\\a\\b\\three nach D:\\GAME\\a\\b\\three.",
                             "Lege Verzeichnis D:\\GAME\\B an.",
                             "Kopiere C:\\SRC\\b\\two nach D:\\GAME\\b\\two.",
                         }));
  EXPECT_EQ(Logged(), (Lines{"File root1 logged.", "File root2 logged.", "Directory A\\ logged.",
                             "File a\\one logged.", "Directory A\\B\\ logged.", "File a\\b\\three logged.",
                             "Directory B\\ logged.", "File b\\two logged."}));
  for (const char* copied : {"root1", "root2", "a/one", "a/b/three", "b/two"}) {
    EXPECT_EQ(DestBytes(copied), SourceBytes(copied)) << copied;
  }
  EXPECT_FALSE(DestExists("X"));
  EXPECT_EQ(context_->CopiedFileCount, 5u);
  EXPECT_EQ(context_->CopiedBytes, 100u);
  EXPECT_TRUE(Boxes().empty());

  // Handled entries are cleared whole; the unreachable ones stay pending.
  for (const FileEntry& entry : pack_.Files) {
    const bool lost = entry.Path == "x\\a\\lost";
    EXPECT_EQ(entry.RecordSize, lost ? RECORD_SIZE_FILE : 0u);
    if (!lost) {
      EXPECT_TRUE(entry.Path.IsEmpty());
      EXPECT_EQ(entry.FileSize, 0u);
      EXPECT_EQ(entry.Crc, 0u);
    }
  }
  for (const PackDir& dir : pack_.Dirs) {
    EXPECT_EQ(dir.RecordSize, dir.Path == "X\\A\\" ? RECORD_SIZE_DIR : 0u) << dir.Path.Data();
  }

  // A second run over the consumed tables copies nothing.
  trace_.lines.clear();
  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_TRUE(CopyTrace().empty());
  EXPECT_EQ(context_->CopiedFileCount, 5u);
}

// Entries that would reach outside the destination are never created, written or logged there.
TEST_F(CopyWalk, EntriesLeavingTheDestinationAreUnreachable) {
  std::filesystem::create_directories(Host("D:\\OTHER"));
  for (const char* dir : {"..\\", "\\OTHER\\", "D:\\OTHER\\", "SUB\\..\\..\\OTHER\\"}) {
    AddDir(dir);
  }
  AddDir("SUB\\");
  for (const char* file : {"..\\evil", "\\evil", "/evil", "D:\\evil", "D:evil", "sub\\..\\..\\evil"}) {
    WriteSource("evil", testing::RandomBytes(5, 7));
    FileEntry entry;
    entry.Path = file;
    entry.FileSize = 5;
    pack_.Files.push_back(entry);
  }
  AddFile("sub\\good", 3);

  EXPECT_EQ(Run(), STATUS_DONE);
  EXPECT_EQ(Logged(), (Lines{"Directory SUB\\ logged.", "File sub\\good logged."}));
  EXPECT_FALSE(std::filesystem::exists(Host("D:\\evil")));
  EXPECT_TRUE(std::filesystem::is_empty(Host("D:\\OTHER")));
  EXPECT_EQ(context_->CopiedFileCount, 1u);
  std::size_t pending = 0;
  for (const FileEntry& entry : pack_.Files) {
    pending += entry.RecordSize != 0 ? 1 : 0;
  }
  EXPECT_EQ(pending, 6u);
  EXPECT_TRUE(Boxes().empty());
}

// The bar follows the bytes of the whole pack after every block; the caption shows the file's title.
TEST_F(CopyWalk, ProgressMovesAfterEveryBlockOverThePack) {
  AddFile("first", 200001);
  AddFile("second", 199999);
  EXPECT_EQ(Run(), STATUS_DONE);
  // 200000 and 200001 of 400000 both show 50; the second file starts from the first one's bytes.
  EXPECT_EQ(Positions(), (Lines{"50 of 100", "100 of 100"}));
  EXPECT_EQ(ui_->Text(progress_, 1027), "second");
  std::vector<std::uint32_t> read_sizes;
  for (const auto& read : faulty_.reads) {
    read_sizes.push_back(read.size);
  }
  EXPECT_EQ(read_sizes, (std::vector<std::uint32_t>{200000, 1, 199999}));
}

}  // namespace
}  // namespace vtsetup
