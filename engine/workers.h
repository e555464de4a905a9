#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "app/background_window.h"
#include "app/messages.h"
#include "base/debug_trace.h"
#include "base/text_string.h"
#include "engine/copy_directory.h"
#include "engine/slideshow.h"
#include "engine/status_word.h"
#include "integration/install_log.h"
#include "platform/file_system.h"
#include "platform/graphics.h"
#include "platform/processes.h"
#include "platform/threads.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// The results of `StartWorkers` and `WaitForWorkers`.
inline constexpr std::int32_t WORKERS_OK = 0;
inline constexpr std::int32_t WORKERS_COPY_FAILED = 9;
inline constexpr std::int32_t WORKERS_NO_THREAD = 12;

// What the main thread hands the copy worker. The database outlives the worker, which consumes the
// chosen pack's entries; the folders are the job's own copies.
struct CopyJob {
  SetupInfo* database = nullptr;
  TextString destination_folder;
  TextString source_folder;
  std::uint32_t type_index = 0;
  platform::Window progress_window = nullptr;
  std::int32_t progress_control = 0;
  // 0 until the worker runs, STATUS_RUNNING while it does, the copy's result as its last act.
  StatusWord status{0};
};

// Everything the two workers talk to.
struct WorkerServices {
  platform::FileSystem& files;
  platform::UserInterface& ui;
  app::Messages& messages;
  InstallLog& log;
  DebugSink& debug;
  platform::Graphics& graphics;
  platform::Processes& processes;
  platform::Threads& threads;
};

// The copy worker and the slideshow worker beside the main thread, which starts them, keeps the
// windows alive while they run and learns how the copy went. Both exist only between `StartWorkers`
// and the return of `WaitForWorkers`; the status words are the only channel between the threads.
class Workers {
 public:
  Workers(const WorkerServices& services, app::BackgroundWindow& background)
      : services_(services), background_(background) {}
  // A run that did not wait for its workers waits here, pumping, rather than leaving them behind.
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Starts the copy of pack `type_index` from `source` to `destination`, moving the progress bar
  // `control` of `progress`, and the slideshow. WORKERS_OK, or WORKERS_NO_THREAD when a worker could
  // not be started (or the last ones still run). Waits, without pumping, only until each has started.
  std::int32_t StartWorkers(SetupInfo& database, const char* destination, const char* source,
                            std::uint32_t type_index, platform::Window progress, std::int32_t control);
  // Pumps messages until the copy has ended, stops the slideshow, removes its billboard and repaints
  // the background. WORKERS_OK when every file was handled, else WORKERS_COPY_FAILED (also when the
  // copy worker never started).
  std::int32_t WaitForWorkers();
  // The files that the copy handled; final once `WaitForWorkers` has returned.
  std::uint32_t CopiedFileCount() const;

  // The workers' bodies, on their own threads. The copy's final status, or STATUS_NO_JOB for a type
  // that the database lacks.
  WorkerStatus CopyWorker(CopyJob& job);
  WorkerStatus SlideshowWorker(SlideshowJob& job);

 private:
  // Dispatches the main thread's messages until `status` leaves STATUS_RUNNING.
  void WaitUntilStarted(const StatusWord& status);
  void PumpWhileRunning(const StatusWord& status);
  void RemoveBillboard();

  WorkerServices services_;
  app::BackgroundWindow& background_;
  // Each job is declared before its thread, so that the thread (whose end is waited for) goes first.
  std::unique_ptr<CopyJob> copy_job_;
  std::unique_ptr<platform::Thread> copy_thread_;
  std::unique_ptr<SlideshowJob> slideshow_job_;
  std::unique_ptr<platform::Thread> slideshow_thread_;
  // Made by the copy worker; read by the main thread only after the copy's final status.
  std::optional<CopyContext> copy_context_;
};

}  // namespace vtsetup
