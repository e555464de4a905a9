#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/text_string.h"
#include "compiler/compile_notes.h"
#include "platform/file_system.h"

namespace vtsetup {

struct FileMeasurement {
  std::uint32_t size = 0;
  std::uint32_t crc = 0;
  bool has_crc = false;
};

// A file that the compilation read, as it opened it, and which file that is whatever the name.
struct MeasuredFile {
  TextString path;
  platform::FileIdentity identity;
};

enum class Measured {
  Ok,
  CannotOpen,  // the caller reports the error in the report's words
  Unusable,    // opened, but not fit for the database; the notes say why
};

// Measures the files of one compilation, each with one open. A file named by several packs, or also a
// temporary file, is measured once: it is remembered by the path it was opened with. The compiler's
// report does not change.
//
// The database holds a file's size in 32 bits, so a larger file is refused rather than stored wrapped.
// With its checksum the size is the number of bytes that the checksum took, read to the end: a file
// that grows or shrinks while it is measured is refused, since its entry would describe no file that
// ever existed, and so is one whose reading fails.
class FileMeasurer {
 public:
  FileMeasurer(platform::FileSystem& files, CompileNotes& notes) : files_(files), notes_(notes) {}

  platform::FileSystem& Files() { return files_; }
  CompileNotes& Notes() { return notes_; }
  Measured Measure(const TextString& open_path, bool with_checksum, FileMeasurement& measured,
                   platform::SystemError& open_error);
  // Every file measured so far, once each, in the order they were first measured.
  const std::vector<MeasuredFile>& MeasuredFiles() const { return measured_files_; }

 private:
  Measured Checksum(const TextString& open_path, platform::File& file, std::uint64_t size,
                    std::uint32_t& crc);

  platform::FileSystem& files_;
  CompileNotes& notes_;
  std::map<std::string, FileMeasurement> known_;
  std::vector<MeasuredFile> measured_files_;
  std::vector<unsigned char> buffer_;
};

}  // namespace vtsetup
