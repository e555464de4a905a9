#pragma once

#include <atomic>

#include "engine/copy_status.h"

namespace vtsetup {

// A worker's status or stop word: written by one thread, read by another. The writer publishes with
// release order and the reader observes with acquire order, so whatever the writer did before (the
// inputs of a job, the results of a copy) is visible to the reader once it sees the new value.
using StatusWord = std::atomic<WorkerStatus>;

inline void Publish(StatusWord& word, WorkerStatus value) {
  word.store(value, std::memory_order_release);
}

inline WorkerStatus Observe(const StatusWord& word) {
  return word.load(std::memory_order_acquire);
}

}  // namespace vtsetup
