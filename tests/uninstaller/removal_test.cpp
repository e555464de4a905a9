#include "uninstaller/removal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/held_by_other_process.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_machine.h"

namespace vtsetup::uninstaller {
namespace {

using platform::SystemError;

// The machine's processes, with the pauses and the removal of the program's own file only counted:
// the own file of this process is the test program.
class WatchedProcesses final : public platform::Processes {
 public:
  explicit WatchedProcesses(platform::Processes& real) : real_(real) {}

  std::uint32_t Start(const char* command_line, std::uint32_t show) override {
    return real_.Start(command_line, show);
  }
  bool RequestRestart(std::uint32_t flags) override { return real_.RequestRestart(flags); }
  std::uint32_t TickCount() override { return real_.TickCount(); }
  void ReportExit(std::uint32_t exit_code) override { real_.ReportExit(exit_code); }
  TextString CommandLine() override { return real_.CommandLine(); }
  void Sleep(std::uint32_t milliseconds) override {
    pauses.push_back(milliseconds);
    if (after_pause) {
      after_pause(pauses.size());
    }
  }
  SystemError RemoveOwnProgramFile() override {
    ++own_file_removals;
    return own_file_result;
  }

  std::vector<std::uint32_t> pauses;
  std::function<void(std::size_t pauses)> after_pause;
  int own_file_removals = 0;
  SystemError own_file_result = platform::ERR_NONE;

 private:
  platform::Processes& real_;
};

class RemovalTest : public ::testing::Test {
 protected:
  static constexpr char kFile[] = "C:\\Gry\\orv.exe";

  RemovalTest() {
    std::filesystem::create_directories(machine_.Host("C:\\Gry"));
    std::ofstream(machine_.Host(kFile)) << "game";
  }

  std::vector<KeptItem> Remove(const std::vector<RemovalStep>& steps) {
    platform::host::HostSystem& system = machine_.System();
    return CarryOutRemoval(steps, {system.Files(), system.LocalMachine(), processes_, debug_});
  }
  bool FileThere() const { return std::filesystem::exists(machine_.Host(kFile)); }

  testing::TestMachine machine_;
  WatchedProcesses processes_{machine_.System().Programs()};
  testing::RecordingSink debug_;
};

const RemovalStep kDeleteFile{RemovalAction::DeleteFile, ItemKind::File, "C:\\Gry\\orv.exe",
                              "C:\\Gry\\orv.exe"};

TEST_F(RemovalTest, AFileInUseIsTriedFiveTimesWithPausesBetween) {
  testing::AnotherProcessHold running(machine_.System().Files(), kFile);
  const std::vector<KeptItem> kept = Remove({kDeleteFile});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].reason, KeptReason::InUse);
  EXPECT_EQ(std::string(kept[0].shown.Data()), kFile);
  EXPECT_EQ(processes_.pauses, (std::vector<std::uint32_t>{200, 200, 200, 200}));
  EXPECT_EQ(debug_.lines, std::vector<std::string>{"Kept file C:\\Gry\\orv.exe: in use.\r\n"});
  EXPECT_TRUE(FileThere());
}

TEST_F(RemovalTest, AFileLetGoOfDuringTheRetriesIsRemoved) {
  testing::AnotherProcessHold running(machine_.System().Files(), kFile);
  processes_.after_pause = [&](std::size_t pauses) {
    if (pauses == 2) {
      running.Release();
    }
  };
  EXPECT_TRUE(Remove({kDeleteFile}).empty());
  EXPECT_EQ(processes_.pauses.size(), 2u);
  EXPECT_FALSE(FileThere());
}

// The running program's own file is left to the system, which alone may take it away.
TEST_F(RemovalTest, TheOwnProgramFileIsLeftToTheSystem) {
  const RemovalStep own{RemovalAction::RemoveOwnProgram, ItemKind::File, kFile, kFile};
  EXPECT_TRUE(Remove({own}).empty());
  EXPECT_EQ(processes_.own_file_removals, 1);
  EXPECT_TRUE(FileThere());

  processes_.own_file_result = platform::ERR_ACCESS_DENIED;
  const std::vector<KeptItem> kept = Remove({own});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].reason, KeptReason::Failed);
  EXPECT_EQ(kept[0].error, platform::ERR_ACCESS_DENIED);
  EXPECT_TRUE(processes_.pauses.empty());
}

// Where the system keeps the program's own file until its next start, the folder that holds nothing
// else goes after it, and only then.
TEST_F(RemovalTest, AFolderHoldingOnlyTheArrangedOwnProgramGoesWithIt) {
  const RemovalStep own{RemovalAction::RemoveOwnProgram, ItemKind::File, kFile, kFile};
  const RemovalStep folder{RemovalAction::RemoveFolder, ItemKind::Folder, "C:\\Gry", "C:\\Gry"};
  EXPECT_TRUE(Remove({own, folder}).empty());
  EXPECT_EQ(debug_.lines,
            (std::vector<std::string>{"Removed file C:\\Gry\\orv.exe.\r\n",
                                      "Removed folder C:\\Gry: it goes with this program's own file.\r\n"}));
  EXPECT_TRUE(FileThere());

  // Anything else in it keeps it, and so does a removal the system refused.
  std::ofstream(machine_.Host("C:\\Gry\\save.dat")) << "the player's";
  std::vector<KeptItem> kept = Remove({own, folder});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].reason, KeptReason::NotEmpty);
  std::filesystem::remove(machine_.Host("C:\\Gry\\save.dat"));
  processes_.own_file_result = platform::ERR_ACCESS_DENIED;
  kept = Remove({own, folder});
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[1].reason, KeptReason::NotEmpty);
  // Nor does a folder that merely holds a file of the same name elsewhere count.
  processes_.own_file_result = platform::ERR_NONE;
  std::filesystem::create_directories(machine_.Host("C:\\Inne"));
  std::ofstream(machine_.Host("C:\\Inne\\orv.exe")) << "another";
  kept = Remove({own, {RemovalAction::RemoveFolder, ItemKind::Folder, "C:\\Inne", "C:\\Inne"}});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].reason, KeptReason::NotEmpty);
}

// A group whose Programs folder nobody can tell is reported, not counted as gone.
TEST_F(RemovalTest, AnUnreachableGroupIsKept) {
  const std::vector<KeptItem> kept =
      Remove({{RemovalAction::Unreachable, ItemKind::Group, "Orvella", "Orvella"}});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].reason, KeptReason::Failed);
  EXPECT_EQ(kept[0].error, platform::ERR_PATH_NOT_FOUND);
}

}  // namespace
}  // namespace vtsetup::uninstaller
