#pragma once

#include <cstdint>

namespace vtsetup {

// The status words of the workers: what the copy ends with and what the main sequence reads.
using WorkerStatus = std::uint32_t;

inline constexpr WorkerStatus STATUS_DONE = 0xFF00;
inline constexpr WorkerStatus STATUS_NO_JOB = 0xFF01;
inline constexpr WorkerStatus STATUS_CREATE_FAILED = 0xFF02;
inline constexpr WorkerStatus STATUS_DECLINED = 0xFF03;
inline constexpr WorkerStatus STATUS_SOURCE_MISSING = 0xFF04;
inline constexpr WorkerStatus STATUS_READ_FAILED = 0xFF05;
inline constexpr WorkerStatus STATUS_WRITE_FAILED = 0xFF06;
inline constexpr WorkerStatus STATUS_DISK_FULL = 0xFF07;
inline constexpr WorkerStatus STATUS_RUNNING = 0xFF08;
inline constexpr WorkerStatus STOP_REQUEST = 0xFF09;

}  // namespace vtsetup
