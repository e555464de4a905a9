#include "compiler/file_measurer.h"

#include "setupdb/file_checksum.h"

namespace vtsetup {

platform::SystemError FileMeasurer::Measure(const TextString& open_path, bool with_checksum,
                                            FileMeasurement& measured) {
  const std::string key(open_path.Data());
  if (const auto known = known_.find(key);
      known != known_.end() && (known->second.has_crc || !with_checksum)) {
    measured = known->second;
    return platform::ERR_NONE;
  }
  platform::OpenResult opened = files_.Open(open_path.Data(), platform::FileAccess::Read,
                                            platform::SHARE_READ, platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return opened.error;
  }
  std::uint64_t bytes = 0;
  if (const platform::SystemError error = opened.file->Size(bytes); error != platform::ERR_NONE) {
    return error;
  }
  measured.size = static_cast<std::uint32_t>(bytes);
  measured.has_crc = with_checksum;
  measured.crc = with_checksum ? FileChecksum(*opened.file, bytes, 0, buffer_) : 0;
  known_[key] = measured;
  return platform::ERR_NONE;
}

}  // namespace vtsetup
