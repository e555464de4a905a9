#pragma once

#include <vector>

#include "base/text_string.h"
#include "compiler/compile_result.h"
#include "compiler/file_measurer.h"
#include "compiler/script_values.h"
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

// Reads section Sources. Missing keys give their defaults and end the numbered lists; a value cut by
// its buffer fails (COMPILE_BAD_ENTRY), as a catalogue entry that names another file would mislead every
// reference to it.
CompileResult ReadSources(const ScriptValues& script, SourceList& sources);

// Fills the pack's file and directory tables from its Files and Dirs keys and measures every file.
// Results are those of CompileScript. A listed directory that is missing or is a file is warned of; a
// file the database cannot describe truly (larger than 32 bits can say, changed while measured,
// unreadable), a folder that cannot be walked, and space figures beyond 32 bits fail with
// COMPILE_CANNOT_OPEN.
CompileResult CollectPackFiles(const ScriptValues& script, const char* section, PackInfo& pack,
                               const SourceList& sources, FileMeasurer& measurer);

// The temporary files: every plain file directly inside SrcDirMisc, whose total must fit in 32 bits.
CompileResult CollectTempFiles(const SourceList& sources, FileMeasurer& measurer, SetupInfo& info);

}  // namespace vtsetup
