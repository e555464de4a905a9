#pragma once

#include <cstdint>

#include "platform/file_system.h"
#include "platform/user_interface.h"

namespace vtsetup {

enum class CopyResult : std::uint32_t {
  COPY_OK = 0,
  COPY_NO_SOURCE = 2,
  COPY_WRITE_FAILED = 6,
  COPY_READ_FAILED = 7,
  COPY_EXISTS = 11,
  COPY_DISK_FULL = 13,
};

// The caption line of the copying dialogs, where the title of the file being copied is shown.
inline constexpr std::uint16_t kCaptionControl = 1027;
// One block of the copy: read, summed and written while it is still in cache.
inline constexpr std::uint32_t kCopyBlockSize = 200000;

// Where a copy shows itself: the dialog (null for none), its progress bar, and where this file lies
// within the whole set of bytes the bar stands for.
struct CopyProgress {
  platform::UserInterface* ui = nullptr;
  platform::Window window = nullptr;
  std::uint16_t control = 0;
  std::uint32_t bytes_before = 0;
  std::uint32_t byte_total = 0;
};

// Copies one file in blocks while summing it. A destination that a failed read or write left partly
// written is deleted before returning. `checksum` (may be null) is written only on COPY_OK.
CopyResult CopyFileChecked(platform::FileSystem& files, const char* source, const char* destination,
                           bool overwrite, std::uint32_t* checksum, const CopyProgress& progress);

}  // namespace vtsetup
