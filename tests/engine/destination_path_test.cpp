#include "engine/destination_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup {
namespace {

namespace fs = std::filesystem;
using testing::RecordingSink;
using testing::TestMachine;

using Lines = std::vector<std::string>;

class DestinationPath : public ::testing::Test {
 protected:
  bool Create(const char* destination) {
    return CreateDestinationPath(machine_.System().Files(), trace_, destination);
  }
  bool IsFolder(const std::string& windows_path) const {
    return fs::is_directory(machine_.Host(windows_path));
  }
  // Everything below a folder, so that a test can tell that nothing was made there.
  std::vector<fs::path> Tree(const std::string& windows_path) const {
    std::vector<fs::path> tree;
    for (const auto& entry : fs::recursive_directory_iterator(machine_.Host(windows_path))) {
      tree.push_back(entry.path());
    }
    std::sort(tree.begin(), tree.end());
    return tree;
  }

  TestMachine machine_;
  RecordingSink trace_;
};

TEST_F(DestinationPath, BareDriveCreatesNothing) {
  const std::vector<fs::path> before = Tree("C:\\");
  for (const char* root : {"C:", "C:\\", "C:/"}) {
    EXPECT_TRUE(Create(root)) << root;
  }
  EXPECT_TRUE(trace_.lines.empty());
  EXPECT_EQ(Tree("C:\\"), before);
}

TEST_F(DestinationPath, CreatesEachMissingLevelInOrderAndTracesOnlyThose) {
  ASSERT_TRUE(fs::create_directories(machine_.Host("C:\\A")));
  EXPECT_TRUE(Create("C:\\A\\B\\C"));
  EXPECT_EQ(trace_.lines,
            (Lines{"Lege Verzeichnis C:\\A\\B\\ an.\r\n", "Lege Verzeichnis C:\\A\\B\\C\\ an.\r\n"}));
  EXPECT_TRUE(IsFolder("C:\\A\\B\\C"));

  trace_.lines.clear();
  EXPECT_TRUE(Create("C:\\A\\B\\C\\"));
  EXPECT_TRUE(trace_.lines.empty());
}

// The separator added to the end is a backslash, whatever the text used before it.
TEST_F(DestinationPath, ForwardSlashesSeparateLevels) {
  EXPECT_TRUE(Create("C:/GAMES/ORVELLA"));
  EXPECT_EQ(trace_.lines,
            (Lines{"Lege Verzeichnis C:/GAMES/ an.\r\n", "Lege Verzeichnis C:/GAMES/ORVELLA\\ an.\r\n"}));
  EXPECT_TRUE(IsFolder("C:\\GAMES\\ORVELLA"));
}

TEST_F(DestinationPath, LevelThatCannotBeMadeEndsTheWalkAndKeepsTheLevelsBefore) {
  // A file where a level should be: it "exists", but nothing can be made inside it.
  ASSERT_TRUE(fs::create_directories(machine_.Host("C:\\GAME")));
  testing::WriteText(machine_.Host("C:\\GAME") + "/DATA", "x");
  EXPECT_FALSE(Create("C:\\NEW\\..\\GAME\\DATA\\SUB\\DEEP"));
  EXPECT_EQ(trace_.lines, (Lines{"Lege Verzeichnis C:\\NEW\\ an.\r\n"}));
  EXPECT_TRUE(IsFolder("C:\\NEW"));
  EXPECT_FALSE(fs::exists(machine_.Host("C:\\GAME") + "/DATA/SUB"));
}

// D: is a CD-ROM drive with its disc, which refuses every change (5); E: a CD-ROM drive without one,
// which is not ready (21).
TEST(DestinationPathMedia, UnwritableOrMissingMediumFails) {
  testing::TempDir outside;
  TestMachine machine("[Drive C]\nFolder = drive_c\n[Drive D]\nFolder = " + outside.File("disc") +
                      "\nType = cdrom\n[Drive E]\nFolder = " + outside.File("never") +
                      "\nType = cdrom\n[Drive Z]\nFolder = /\nType = remote\n");
  ASSERT_TRUE(fs::create_directories(outside.File("disc") + "/GAME"));
  platform::FileSystem& files = machine.System().Files();
  ASSERT_EQ(files.CreateFolder("D:\\NEW"), platform::ERR_ACCESS_DENIED);
  ASSERT_EQ(files.CreateFolder("E:\\NEW"), platform::ERR_NOT_READY);

  RecordingSink trace;
  EXPECT_FALSE(CreateDestinationPath(files, trace, "D:\\GAME\\ORVELLA"));
  EXPECT_FALSE(CreateDestinationPath(files, trace, "E:\\ORVELLA"));
  EXPECT_TRUE(trace.lines.empty());
  EXPECT_TRUE(fs::is_empty(outside.File("disc") + "/GAME"));
  EXPECT_FALSE(fs::exists(outside.File("never")));
}

}  // namespace
}  // namespace vtsetup
