#include "platform/win32/files/win32_file.h"

#include "platform/win32/last_error.h"

namespace vtsetup::platform::win32 {

// The seam's numbers are the system's own, so an origin goes to SetFilePointer unchanged.
static_assert(static_cast<DWORD>(SeekOrigin::Begin) == FILE_BEGIN);
static_assert(static_cast<DWORD>(SeekOrigin::Current) == FILE_CURRENT);
static_assert(static_cast<DWORD>(SeekOrigin::End) == FILE_END);

SystemError Win32File::Read(void* buffer, std::uint32_t size, std::uint32_t& transferred) {
  transferred = 0;
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (transferred < size) {
    DWORD got = 0;
    if (!::ReadFile(handle_.Get(), bytes + transferred, size - transferred, &got, nullptr)) {
      const SystemError error = LastErrorOr(ERR_GEN_FAILURE);
      // A pipe whose writer has gone has simply ended.
      return error == ERROR_BROKEN_PIPE ? ERR_NONE : error;
    }
    if (got == 0) {
      break;
    }
    transferred += got;
  }
  return ERR_NONE;
}

SystemError Win32File::Write(const void* buffer, std::uint32_t size, std::uint32_t& transferred) {
  transferred = 0;
  const auto* bytes = static_cast<const unsigned char*>(buffer);
  while (transferred < size) {
    DWORD put = 0;
    const BOOL written = ::WriteFile(handle_.Get(), bytes + transferred, size - transferred, &put, nullptr);
    transferred += put;
    if (!written) {
      return LastErrorOr(ERR_GEN_FAILURE);
    }
    // The older systems report a full volume as a short write without an error.
    if (put == 0) {
      return ERR_HANDLE_DISK_FULL;
    }
  }
  return ERR_NONE;
}

SystemError Win32File::Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position) {
  const auto distance = static_cast<std::uint64_t>(offset);
  LONG high = static_cast<LONG>(static_cast<DWORD>(distance >> 32));
  // A low half of all ones is also the failure answer; only the error tells them apart.
  ::SetLastError(NO_ERROR);
  const DWORD low = ::SetFilePointer(handle_.Get(), static_cast<LONG>(static_cast<DWORD>(distance)), &high,
                                     static_cast<DWORD>(origin));
  if (low == INVALID_SET_FILE_POINTER) {
    if (const DWORD error = ::GetLastError(); error != NO_ERROR) {
      return error;
    }
  }
  if (position != nullptr) {
    *position = (static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32) | low;
  }
  return ERR_NONE;
}

SystemError Win32File::Size(std::uint64_t& size) {
  DWORD high = 0;
  ::SetLastError(NO_ERROR);
  const DWORD low = ::GetFileSize(handle_.Get(), &high);
  if (low == INVALID_FILE_SIZE) {
    if (const DWORD error = ::GetLastError(); error != NO_ERROR) {
      return error;
    }
  }
  size = (static_cast<std::uint64_t>(high) << 32) | low;
  return ERR_NONE;
}

}  // namespace vtsetup::platform::win32
