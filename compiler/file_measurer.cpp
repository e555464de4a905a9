#include "compiler/file_measurer.h"

#include <limits>

#include "setupdb/crc32.h"

namespace vtsetup {
namespace {

constexpr std::uint32_t kChunkSize = 1000000;
constexpr std::uint64_t kLargestStoredSize = std::numeric_limits<std::uint32_t>::max();

}  // namespace

Measured FileMeasurer::Measure(const TextString& open_path, bool with_checksum, FileMeasurement& measured,
                               platform::SystemError& open_error) {
  const std::string key(open_path.Data());
  if (const auto known = known_.find(key);
      known != known_.end() && (known->second.has_crc || !with_checksum)) {
    measured = known->second;
    return Measured::Ok;
  }
  platform::OpenResult opened = files_.Open(open_path.Data(), platform::FileAccess::Read,
                                            platform::SHARE_READ, platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    open_error = opened.error;
    return Measured::CannotOpen;
  }
  if (known_.find(key) == known_.end()) {
    platform::FileIdentity identity;
    if (files_.Identify(open_path.Data(), identity) == platform::ERR_NONE) {
      measured_files_.push_back({open_path, identity});
    }
  }
  std::uint64_t bytes = 0;
  if (const platform::SystemError error = opened.file->Size(bytes); error != platform::ERR_NONE) {
    notes_.Explain("the size of %s cannot be taken: %s", open_path.Data(), files_.ErrorText(error).Data());
    return Measured::Unusable;
  }
  if (bytes > kLargestStoredSize) {
    notes_.Explain("%s holds %llu bytes; a database holds a file's size in 32 bits, so at most %llu",
                   open_path.Data(), static_cast<unsigned long long>(bytes),
                   static_cast<unsigned long long>(kLargestStoredSize));
    return Measured::Unusable;
  }
  measured.size = static_cast<std::uint32_t>(bytes);
  measured.has_crc = with_checksum;
  measured.crc = 0;
  if (with_checksum) {
    if (const Measured checked = Checksum(open_path, *opened.file, bytes, measured.crc);
        checked != Measured::Ok) {
      return checked;
    }
  }
  known_[key] = measured;
  return Measured::Ok;
}

Measured FileMeasurer::Checksum(const TextString& open_path, platform::File& file, std::uint64_t size,
                                std::uint32_t& crc) {
  buffer_.resize(kChunkSize);
  CrcRegister reg = CrcBegin();
  std::uint64_t taken = 0;
  // Read to the end, not to the size: bytes that came after the size was taken show as growth.
  while (taken <= size) {
    std::uint32_t delivered = 0;
    if (const platform::SystemError error = file.Read(buffer_.data(), kChunkSize, delivered);
        error != platform::ERR_NONE) {
      notes_.Explain("%s cannot be read: %s", open_path.Data(), files_.ErrorText(error).Data());
      return Measured::Unusable;
    }
    if (delivered == 0) {
      break;
    }
    reg = CrcUpdate(reg, buffer_.data(), delivered);
    taken += delivered;
  }
  if (taken != size) {
    notes_.Explain(
        "%s changed while it was measured: %llu bytes at first, %s%llu when read; build the "
        "database from files that nothing writes to",
        open_path.Data(), static_cast<unsigned long long>(size), taken > size ? "at least " : "",
        static_cast<unsigned long long>(taken));
    return Measured::Unusable;
  }
  crc = CrcEnd(reg);
  return Measured::Ok;
}

}  // namespace vtsetup
