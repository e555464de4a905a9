#include "wizard/memory_file.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vtsetup::wizard {

bool LoadFileToMemory(platform::FileSystem& files, const char* path, MemoryFile& file) {
  file = MemoryFile();
  const platform::OpenResult opened = files.Open(path, platform::FileAccess::Read, platform::SHARE_READ,
                                                 platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return false;
  }
  std::uint64_t size = 0;
  if (opened.file->Size(size) != platform::ERR_NONE || size > kMaxMemoryFileSize) {
    return false;
  }
  std::vector<std::uint8_t> data;
  try {
    data.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::uint32_t transferred = 0;
  if (opened.file->Read(data.data(), static_cast<std::uint32_t>(size), transferred) != platform::ERR_NONE) {
    return false;
  }
  // A file cut short since its size was taken delivers less; the rest of the buffer was never read.
  data.resize(std::min<std::size_t>(transferred, data.size()));
  file.remaining = static_cast<std::int32_t>(data.size());
  file.data = std::move(data);
  return true;
}

std::uint32_t MemoryStreamReader(void* cookie, std::uint8_t* buffer, std::int32_t requested,
                                 std::int32_t* delivered) {
  auto& file = *static_cast<MemoryFile*>(cookie);
  *delivered = 0;
  // Bounded by the buffer too, so fields that disagree with it never send us past its end.
  const std::size_t left_in_buffer = file.data.size() - std::min(file.read_position, file.data.size());
  if (file.remaining <= 0 || left_in_buffer == 0) {
    return 1;
  }
  const std::size_t count = std::min({static_cast<std::size_t>(std::max(requested, 0)),
                                      static_cast<std::size_t>(file.remaining), left_in_buffer});
  if (count > 0) {
    std::memcpy(buffer, file.data.data() + file.read_position, count);
  }
  file.read_position += count;
  file.remaining -= static_cast<std::int32_t>(count);
  *delivered = static_cast<std::int32_t>(count);
  return 0;
}

}  // namespace vtsetup::wizard
