#pragma once

#include <cstdint>

namespace vtsetup::platform {

// Windows error numbers, which both adapters report because the callers test for them by value.
// Named with our own prefix so that they never collide with the system headers' macros.
using SystemError = std::uint32_t;

inline constexpr SystemError ERR_NONE = 0;
inline constexpr SystemError ERR_FILE_NOT_FOUND = 2;
inline constexpr SystemError ERR_PATH_NOT_FOUND = 3;
inline constexpr SystemError ERR_TOO_MANY_OPEN_FILES = 4;
inline constexpr SystemError ERR_ACCESS_DENIED = 5;
inline constexpr SystemError ERR_INVALID_HANDLE = 6;
inline constexpr SystemError ERR_NOT_ENOUGH_MEMORY = 8;
inline constexpr SystemError ERR_BAD_FORMAT = 11;
inline constexpr SystemError ERR_NOT_SAME_DEVICE = 17;
inline constexpr SystemError ERR_WRITE_PROTECT = 19;
inline constexpr SystemError ERR_NOT_READY = 21;
inline constexpr SystemError ERR_GEN_FAILURE = 31;
inline constexpr SystemError ERR_SHARING_VIOLATION = 32;
inline constexpr SystemError ERR_HANDLE_DISK_FULL = 39;
inline constexpr SystemError ERR_FILE_EXISTS = 80;
// What the NT family reports for a write to a full volume; the host keeps giving ERR_HANDLE_DISK_FULL.
inline constexpr SystemError ERR_DISK_FULL = 112;
inline constexpr SystemError ERR_INVALID_PARAMETER = 87;
inline constexpr SystemError ERR_NEGATIVE_SEEK = 131;
inline constexpr SystemError ERR_DIR_NOT_EMPTY = 145;
inline constexpr SystemError ERR_ALREADY_EXISTS = 183;
inline constexpr SystemError ERR_FILENAME_TOO_LONG = 206;
inline constexpr SystemError ERR_MORE_DATA = 234;
// A folder was asked for where a file, or anything else that is no folder, is.
inline constexpr SystemError ERR_DIRECTORY = 267;
inline constexpr SystemError ERR_CANT_RESOLVE_FILENAME = 1921;

}  // namespace vtsetup::platform
