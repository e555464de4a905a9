#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/text_string.h"
#include "compiler/script_values.h"
#include "platform/file_system.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// The catalogue of section Sources: files and directories numbered from 1 in key order, to which packs
// and shortcuts refer as "File" or "Dir" followed by the number.
struct SourceList {
  TextString SrcDir;      // the source root, ending in a backslash
  TextString SrcDirMisc;  // the folder of the temporary files, below SrcDir
  std::vector<PackDir> Dirs;
  std::vector<TextString> Files;
};

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

// Reads section Sources. Never fails: missing keys give their defaults and end the numbered lists.
SourceList ReadSources(const ScriptValues& script);

// The files below one source directory, in the order the file system lists them. With `recurse` the
// subdirectories (except those whose names begin with a dot) are walked too: each is appended to
// `pack_dirs` with the given DeleteUnempty, and its files come where it was met in the listing.
std::vector<FileEntry> ScanSourceDir(platform::FileSystem& files, const SourceList& sources,
                                     const TextString& directory, bool recurse, bool delete_unempty,
                                     std::vector<PackDir>* pack_dirs);

// Fills the pack's file and directory tables from its Files and Dirs keys and measures every file.
// Results are those of CompileScript.
int CollectPackFiles(const ScriptValues& script, const char* section, PackInfo& pack,
                     const SourceList& sources, FileMeasurer& measurer);

// The temporary files: every plain file directly inside SrcDirMisc.
int CollectTempFiles(const SourceList& sources, FileMeasurer& measurer, SetupInfo& info);

}  // namespace vtsetup
