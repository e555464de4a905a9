#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/background_window.h"
#include "app/dib.h"
#include "app/messages.h"
#include "engine/slideshow.h"
#include "engine/workers.h"
#include "integration/install_log.h"
#include "platform/host/ui/host_user_interface.h"
#include "platform/processes.h"
#include "platform/threads.h"
#include "setupdb/setup_info.h"
#include "tests/support/hang_guard.h"
#include "tests/support/recording_sink.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_machine.h"

namespace vtsetup::testing {

// One pause of a thread other than the one that pumps: how long, and the width of the billboard that
// the background window showed meanwhile (-1 for none).
struct Nap {
  std::uint32_t milliseconds;
  std::int32_t billboard_width;
};

// The host's clock, with the pauses of the workers written down. `on_nap` runs at the start of each
// such pause with the number of pauses so far, on the pausing thread.
class NappingProcesses final : public platform::Processes {
 public:
  NappingProcesses(platform::Processes& real, std::function<std::int32_t()> billboard_width)
      : real_(real), billboard_width_(std::move(billboard_width)) {}

  std::uint32_t Start(const char* command_line, std::uint32_t show) override {
    return real_.Start(command_line, show);
  }
  bool RequestRestart(std::uint32_t flags) override { return real_.RequestRestart(flags); }
  std::uint32_t TickCount() override { return real_.TickCount(); }
  void Sleep(std::uint32_t milliseconds) override;
  void ReportExit(std::uint32_t exit_code) override { real_.ReportExit(exit_code); }
  TextString CommandLine() override { return real_.CommandLine(); }
  platform::SystemError RemoveOwnProgramFile() override { return real_.RemoveOwnProgramFile(); }

  std::vector<Nap> Naps() const;
  std::function<void(std::size_t)> on_nap;

 private:
  platform::Processes& real_;
  std::function<std::int32_t()> billboard_width_;
  const std::thread::id pumping_thread_ = std::this_thread::get_id();
  mutable std::mutex mutex_;
  std::vector<Nap> naps_;
};

// Starts threads as the host does until `allowed` have been started, and refuses every one after.
class RationedThreads final : public platform::Threads {
 public:
  RationedThreads(platform::Threads& real, int allowed) : real_(real), allowed_(allowed) {}
  std::unique_ptr<platform::Thread> Start(std::function<void()> body) override {
    return allowed_-- > 0 ? real_.Start(std::move(body)) : nullptr;
  }

 private:
  platform::Threads& real_;
  int allowed_;
};

// A medium in C:\SRC\ with its billboards in C:\SRC\BILDER\, a pack to copy to D:\GAME\ under the
// copying dialog 108, the install log open on C:, and a background window whose repaints are kept as
// snapshots. The user answers from an answers text; the slideshow pauses for 5 milliseconds.
class WorkerFixture : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kBackgroundColour = 0x336699;
  static constexpr std::int32_t kBackgroundWidth = 120;
  static constexpr std::int32_t kBackgroundHeight = 90;
  static constexpr char kSource[] = "C:\\SRC\\";
  static constexpr char kDestination[] = "D:\\GAME";

  WorkerFixture();
  ~WorkerFixture() override;

  // The user interface, answering from `answers` (lines of an answers file), and what stands on it.
  void Prepare(const std::string& answers = "", int threads_allowed = 2);

  // Billboard `number` of the medium: one colour, `width` by 2 pixels.
  void WriteBillboard(std::uint32_t number, std::int32_t width, std::uint32_t colour);
  // A source file listed in the pack (in a listed directory when the path has one) with its checksum.
  void AddFile(const std::string& path, std::uint32_t size);
  void AddDir(const std::string& path);

  std::string Host(const std::string& windows_path) const { return machine_.Host(windows_path); }
  // The billboard's width in the slot now, -1 for none.
  std::int32_t BillboardWidth();
  std::vector<std::string> Snapshots() const;
  // The colour at the billboard's corner in the last snapshot.
  std::uint32_t LastSnapshotBillboardCorner() const;
  std::vector<std::string> TranscriptWith(const std::string& part) const;
  std::vector<std::string> TraceLines() const;

  HangGuard hang_guard_{20};
  TestMachine machine_;
  TempDir snapshots_;
  std::ostringstream errors_;
  SetupInfo info_;
  RecordingSink trace_;
  NappingProcesses processes_;
  std::unique_ptr<RationedThreads> threads_;
  std::unique_ptr<platform::host::HostUserInterface> ui_;
  std::unique_ptr<app::Dib> picture_;
  std::unique_ptr<app::BackgroundWindow> background_;
  std::unique_ptr<app::Messages> messages_;
  std::unique_ptr<InstallLog> log_;
  platform::Window progress_ = nullptr;
  std::unique_ptr<Workers> workers_;
};

}  // namespace vtsetup::testing
