#include "setupdb/file_checksum.h"

#include <algorithm>
#include <vector>

#include "setupdb/crc32.h"

namespace vtsetup {
namespace {

constexpr std::uint64_t kChunkSize = 1000000;
constexpr unsigned char kFiller = 0xCD;

}  // namespace

std::uint32_t FileChecksum(platform::FileSystem& files, const char* path, std::uint32_t offset) {
  platform::OpenResult opened = files.Open(path, platform::FileAccess::Read, platform::SHARE_READ,
                                           platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return FILE_CHECKSUM_CANNOT_OPEN;
  }
  platform::File& file = *opened.file;
  std::uint64_t size = 0;
  if (file.Size(size) != platform::ERR_NONE || file.Seek(offset, platform::SeekOrigin::Begin, nullptr) != 0) {
    return FILE_CHECKSUM_READ_FAILED;
  }
  std::vector<unsigned char> buffer(static_cast<std::size_t>(std::min(size, kChunkSize)), kFiller);
  CrcRegister reg = CrcBegin();
  for (std::uint64_t remaining = size; remaining > 0;) {
    const auto length = static_cast<std::uint32_t>(std::min(remaining, kChunkSize));
    std::uint32_t delivered = 0;
    if (file.Read(buffer.data(), length, delivered) != platform::ERR_NONE) {
      return FILE_CHECKSUM_READ_FAILED;
    }
    remaining -= length;
    reg = CrcUpdate(reg, buffer.data(), length);
  }
  return CrcEnd(reg);
}

}  // namespace vtsetup
