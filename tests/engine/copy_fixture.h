#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/messages.h"
#include "engine/copy_directory.h"
#include "integration/install_log.h"
#include "platform/host/ui/host_user_interface.h"
#include "setupdb/setup_info.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_machine.h"

namespace vtsetup::testing {

// One box the copy showed, as the user saw it.
struct ShownBox {
  std::uint32_t style;
  std::string text;
  friend bool operator==(const ShownBox&, const ShownBox&) = default;
};

// Answers the boxes in order; an answer may first change the machine, as a user would who frees room
// or puts the medium back before pressing Retry.
class ScriptedBoxes final : public platform::host::UiDriver {
 public:
  struct Answer {
    std::int32_t answer;
    std::function<void()> before = {};
  };
  std::deque<Answer> answers;
  std::vector<ShownBox> shown;

  std::optional<std::vector<platform::host::UserAction>> PageActions(const platform::host::DialogState&,
                                                                     bool) override {
    return std::nullopt;
  }
  std::optional<std::int32_t> MessageAnswer(const platform::host::MessageBoxView& box) override;
  std::optional<std::string> BrowseAnswer(const std::string&) override { return std::nullopt; }
};

// The program's text `id` with its placeholder filled, worked out without printf.
std::string Filled(std::uint16_t id, const std::string& insertion);

// A pack copied from C:\SRC\ to D:\GAME\ on a temporary machine, under the copying dialog 108, with the
// install log open on C: and every box answered by the test.
class CopyFixture : public ::testing::Test {
 protected:
  static constexpr char kMachine[] =
      "[Drive C]\nFolder = drive_c\nType = fixed\n"
      "[Drive D]\nFolder = drive_d\nType = fixed\nFreeBytes = 100000000\nClusterSize = 512\n";

  explicit CopyFixture(const std::string& machine_ini = kMachine);
  ~CopyFixture() override;

  // A source file of `size` bytes (or the given bytes) listed in the pack with its true checksum.
  FileEntry& AddFile(const std::string& path, std::uint32_t size);
  FileEntry& AddFile(const std::string& path, const std::vector<unsigned char>& bytes);
  void AddDir(const std::string& path);
  // Writes a source file without listing it.
  void WriteSource(const std::string& path, const std::vector<unsigned char>& bytes);

  WorkerStatus Run();
  platform::FileSystem& Files() { return faulty_; }

  std::string Host(const std::string& windows_path) const { return machine_.Host(windows_path); }
  std::string DestHost(const std::string& relative) const { return Host("D:\\GAME\\" + relative); }
  bool DestExists(const std::string& relative) const { return std::filesystem::exists(DestHost(relative)); }
  std::vector<unsigned char> SourceBytes(const std::string& relative) const;
  std::vector<unsigned char> DestBytes(const std::string& relative) const;
  // The install log's records in order, from its trace lines.
  std::vector<std::string> Logged() const;
  // Every other trace line of the copy.
  std::vector<std::string> CopyTrace() const;
  // The positions the progress bar took, in order.
  std::vector<std::string> Positions() const;
  std::vector<ShownBox> Boxes() const { return driver_->shown; }
  void Answer(std::int32_t answer, std::function<void()> before = {}) {
    driver_->answers.push_back({answer, std::move(before)});
  }

  TestMachine machine_;
  ScriptedBoxes* driver_ = nullptr;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  std::unique_ptr<app::Messages> messages_;
  RecordingSink trace_;
  FaultyFileSystem faulty_;
  std::unique_ptr<InstallLog> log_;
  platform::Window progress_ = nullptr;
  PackInfo pack_;
  std::unique_ptr<CopyContext> context_;
};

}  // namespace vtsetup::testing
