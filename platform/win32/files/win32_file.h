#pragma once

#include <windows.h>

#include "platform/file_system.h"
#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {

// A file opened with CreateFileA; the handle goes with the object.
class Win32File final : public File {
 public:
  explicit Win32File(UniqueFileHandle handle) : handle_(std::move(handle)) {}

  // Repeats ReadFile until the buffer is full or the file ends, since a pipe or a network file may
  // deliver less than asked before its end.
  SystemError Read(void* buffer, std::uint32_t size, std::uint32_t& transferred) override;
  // Repeats WriteFile for what a short write left. A write that fails reports its error with what went
  // before it; a write that takes nothing without an error means a full volume.
  SystemError Write(const void* buffer, std::uint32_t size, std::uint32_t& transferred) override;
  // SetFilePointer with both halves of the offset, which every system of ours has; a refused move
  // leaves the position where it was and reports the system's error (ERR_NEGATIVE_SEEK before the start).
  SystemError Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position) override;
  SystemError Size(std::uint64_t& size) override;

 private:
  UniqueFileHandle handle_;
};

}  // namespace vtsetup::platform::win32
