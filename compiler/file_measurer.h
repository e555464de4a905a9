#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/text_string.h"
#include "platform/file_system.h"

namespace vtsetup {

struct FileMeasurement {
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  bool has_crc = false;
};

// Measures the files of one compilation, each with one open. A file named by several packs, or also a
// temporary file, is measured once: it is remembered by the path it was opened with. The compiler's
// report does not change.
class FileMeasurer {
 public:
  explicit FileMeasurer(platform::FileSystem& files) : files_(files) {}

  platform::FileSystem& Files() { return files_; }
  // The size and, when asked, the checksum of a file that can be opened for reading, or the error
  // that kept it closed.
  platform::SystemError Measure(const TextString& open_path, bool with_checksum, FileMeasurement& measured);

 private:
  platform::FileSystem& files_;
  std::map<std::string, FileMeasurement> known_;
  std::vector<unsigned char> buffer_;
};

}  // namespace vtsetup
