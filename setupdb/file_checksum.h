#pragma once

#include <cstdint>
#include <vector>

#include "platform/file_system.h"

namespace vtsetup {

inline constexpr std::uint32_t FILE_CHECKSUM_CANNOT_OPEN = 0xFFFFFFFFu;
inline constexpr std::uint32_t FILE_CHECKSUM_READ_FAILED = 0;

// The checksum register over a file read from `offset`, fed with as many bytes as the whole file is
// long. From offset 0 that is the file's checksum. From a later offset the last `offset` bytes fed
// are not file bytes but what the working buffer still holds: its 0xCD filler for files up to one
// chunk, the previous chunk's bytes beyond. Stored databases carry values made this way, so it stays.
std::uint32_t FileChecksum(platform::FileSystem& files, const char* path, std::uint32_t offset);
// The same with a working buffer that the caller keeps between files, for checksums of many files.
std::uint32_t FileChecksum(platform::FileSystem& files, const char* path, std::uint32_t offset,
                           std::vector<unsigned char>& buffer);
// The same over a file just opened, still at its start, whose size the caller has taken.
std::uint32_t FileChecksum(platform::File& file, std::uint64_t size, std::uint32_t offset,
                           std::vector<unsigned char>& buffer);
// The same again, for a caller that must tell a failed read from a checksum that happens to be 0: the
// error of the seek or read that failed, or ERR_NONE with the `checksum`.
platform::SystemError CheckedFileChecksum(platform::File& file, std::uint64_t size, std::uint32_t offset,
                                          std::vector<unsigned char>& buffer, std::uint32_t& checksum);

}  // namespace vtsetup
