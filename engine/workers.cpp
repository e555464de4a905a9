#include "engine/workers.h"

#include "setupdb/checksum_flag.h"

namespace vtsetup {
namespace {

// How long the main thread rests between two rounds of pumping while a worker runs: short enough that
// a worker's box or repaint is served at once, long enough not to take a core from the copy.
constexpr std::uint32_t kPumpRestMilliseconds = 1;

}  // namespace

Workers::~Workers() {
  if (copy_job_ || slideshow_job_) {
    WaitForWorkers();
  }
}

std::int32_t Workers::StartWorkers(SetupInfo& database, const char* destination, const char* source,
                                   std::uint32_t type_index, platform::Window progress,
                                   std::int32_t control) {
  // Replacing a running worker would wait for it here, without pumping, while it may wait for a pump.
  if (copy_job_ || slideshow_job_) {
    return WORKERS_NO_THREAD;
  }
  copy_job_ = std::make_unique<CopyJob>();
  copy_job_->database = &database;
  copy_job_->destination_folder = destination;
  copy_job_->source_folder = source;
  copy_job_->type_index = type_index;
  copy_job_->progress_window = progress;
  copy_job_->progress_control = control;
  copy_thread_ = services_.threads.Start([this, job = copy_job_.get()] { CopyWorker(*job); });
  if (!copy_thread_) {
    copy_job_.reset();
    return WORKERS_NO_THREAD;
  }
  WaitUntilStarted(copy_job_->status);

  slideshow_job_ = std::make_unique<SlideshowJob>();
  slideshow_job_->database = &database;
  slideshow_job_->source_folder = source;
  slideshow_thread_ = services_.threads.Start([this, job = slideshow_job_.get()] { SlideshowWorker(*job); });
  if (!slideshow_thread_) {
    slideshow_job_.reset();
    return WORKERS_NO_THREAD;
  }
  WaitUntilStarted(slideshow_job_->status);
  return WORKERS_OK;
}

std::int32_t Workers::WaitForWorkers() {
  std::int32_t result = WORKERS_COPY_FAILED;
  if (copy_job_) {
    PumpWhileRunning(copy_job_->status);
    result = Observe(copy_job_->status) == STATUS_DONE ? WORKERS_OK : WORKERS_COPY_FAILED;
    copy_thread_.reset();
    copy_job_.reset();
  }
  if (slideshow_job_) {
    Publish(slideshow_job_->stop, STOP_REQUEST);
    // The slideshow looks at its stop word between two pictures, so this lasts up to one display time.
    PumpWhileRunning(slideshow_job_->status);
    slideshow_thread_.reset();
    slideshow_job_.reset();
  }
  RemoveBillboard();
  return result;
}

std::uint32_t Workers::CopiedFileCount() const {
  return copy_context_ ? copy_context_->CopiedFileCount : 0;
}

WorkerStatus Workers::CopyWorker(CopyJob& job) {
  Publish(job.status, STATUS_RUNNING);
  WorkerStatus result = STATUS_NO_JOB;
  if (job.type_index < job.database->Packs.size()) {
    PackInfo& pack = job.database->Packs[job.type_index];
    copy_context_.emplace(job.destination_folder.Data(), job.source_folder.Data(), pack.PackSizes[0],
                          job.progress_window, static_cast<std::uint16_t>(job.progress_control));
    copy_context_->CheckCrc = ChecksumVerification();
    const CopyServices copy{services_.files, services_.ui, services_.messages, services_.log,
                            services_.debug};
    result = CopyDirectory(copy, *copy_context_, pack, "");
  }
  Publish(job.status, result);
  return result;
}

WorkerStatus Workers::SlideshowWorker(SlideshowJob& job) {
  Slideshow slideshow({services_.files, services_.graphics, services_.ui, services_.processes, background_});
  return slideshow.SlideshowWorker(job);
}

void Workers::WaitUntilStarted(const StatusWord& status) {
  // Short: the worker's first act is to say that it runs, before it asks anything of this thread. A
  // look every rest rather than the word's own wait: the C++ runtime of the Windows build can miss that
  // wake-up, and then this thread would sleep for good while the worker waits for it to carry its
  // first message.
  while (Observe(status) == 0) {
    services_.processes.Sleep(kPumpRestMilliseconds);
  }
}

void Workers::PumpWhileRunning(const StatusWord& status) {
  // Never a blocking wait: the worker's boxes, progress messages and repaints are carried out by this
  // thread's pump, and the worker waits for them.
  while (Observe(status) == STATUS_RUNNING) {
    background_.PumpPendingMessages();
    services_.processes.Sleep(kPumpRestMilliseconds);
  }
}

void Workers::RemoveBillboard() {
  // The picture goes first, so the repaint below shows the background alone.
  background_.Billboard().Swap(nullptr);
  const platform::Window window = background_.Window();
  if (window != nullptr) {
    services_.ui.Invalidate(window, nullptr, false);
    services_.ui.Update(window);
    services_.ui.DescribePicture(window, nullptr);
  }
}

}  // namespace vtsetup
