#pragma once

#include <vector>

#include "base/text_string.h"
#include "compiler/compile_result.h"
#include "compiler/file_measurer.h"
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
CompileResult CollectPackFiles(const ScriptValues& script, const char* section, PackInfo& pack,
                               const SourceList& sources, FileMeasurer& measurer);

// The temporary files: every plain file directly inside SrcDirMisc.
CompileResult CollectTempFiles(const SourceList& sources, FileMeasurer& measurer, SetupInfo& info);

}  // namespace vtsetup
