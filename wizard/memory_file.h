#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/file_system.h"

namespace vtsetup::wizard {

// The largest text we read from the medium into memory. A licence or readme is a few hundred
// kilobytes at most; anything far beyond is a damaged or hostile medium, and is not worth its memory.
inline constexpr std::uint32_t kMaxMemoryFileSize = 16u * 1024u * 1024u;

// A file held whole in memory and handed out in pieces to a rich-edit control.
struct MemoryFile {
  std::vector<std::uint8_t> data;
  // Bytes not yet handed out, from `read_position` on.
  std::int32_t remaining = 0;
  std::size_t read_position = 0;
};

// Reads the file at `path` into `file` with one read. False, with `file` empty, when it cannot be opened
// or read, or is larger than kMaxMemoryFileSize. A file that changes its size between the size query
// and the read is taken as the read delivered it.
bool LoadFileToMemory(platform::FileSystem& files, const char* path, MemoryFile& file);

// The stream-in callback over a MemoryFile given as `cookie`: hands out the next bytes, up to
// `requested`, and returns 1 once everything was handed out, which ends the transfer.
std::uint32_t MemoryStreamReader(void* cookie, std::uint8_t* buffer, std::int32_t requested,
                                 std::int32_t* delivered);

}  // namespace vtsetup::wizard
