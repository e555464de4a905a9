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
  std::vector<unsigned char> buffer;
  return FileChecksum(files, path, offset, buffer);
}

std::uint32_t FileChecksum(platform::FileSystem& files, const char* path, std::uint32_t offset,
                           std::vector<unsigned char>& buffer) {
  platform::OpenResult opened = files.Open(path, platform::FileAccess::Read, platform::SHARE_READ,
                                           platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return FILE_CHECKSUM_CANNOT_OPEN;
  }
  std::uint64_t size = 0;
  if (opened.file->Size(size) != platform::ERR_NONE) {
    return FILE_CHECKSUM_READ_FAILED;
  }
  return FileChecksum(*opened.file, size, offset, buffer);
}

std::uint32_t FileChecksum(platform::File& file, std::uint64_t size, std::uint32_t offset,
                           std::vector<unsigned char>& buffer) {
  std::uint32_t checksum = 0;
  return CheckedFileChecksum(file, size, offset, buffer, checksum) == platform::ERR_NONE
             ? checksum
             : FILE_CHECKSUM_READ_FAILED;
}

platform::SystemError CheckedFileChecksum(platform::File& file, std::uint64_t size, std::uint32_t offset,
                                          std::vector<unsigned char>& buffer, std::uint32_t& checksum) {
  if (offset != 0) {
    if (const platform::SystemError error = file.Seek(offset, platform::SeekOrigin::Begin, nullptr);
        error != platform::ERR_NONE) {
      return error;
    }
  }
  buffer.resize(static_cast<std::size_t>(std::min(size, kChunkSize)));
  CrcRegister reg = CrcBegin();
  bool first_chunk = true;
  for (std::uint64_t remaining = size; remaining > 0;) {
    const auto length = static_cast<std::uint32_t>(std::min(remaining, kChunkSize));
    std::uint32_t delivered = 0;
    if (const platform::SystemError error = file.Read(buffer.data(), length, delivered);
        error != platform::ERR_NONE) {
      return error;
    }
    // A fresh buffer would hold filler wherever the first read did not reach; a reused one holds
    // whatever came before, so put the filler there now. Later chunks keep their predecessor's bytes.
    if (first_chunk) {
      std::fill(buffer.begin() + delivered, buffer.end(), kFiller);
      first_chunk = false;
    }
    remaining -= length;
    reg = CrcUpdate(reg, buffer.data(), length);
  }
  checksum = CrcEnd(reg);
  return platform::ERR_NONE;
}

}  // namespace vtsetup
