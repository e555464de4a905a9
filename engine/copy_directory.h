#pragma once

#include <cstdint>

#include "app/messages.h"
#include "base/debug_trace.h"
#include "base/text_string.h"
#include "engine/copy_status.h"
#include "integration/install_log.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// What the copy of a pack talks to.
struct CopyServices {
  platform::FileSystem& files;
  platform::UserInterface& ui;
  app::Messages& messages;
  InstallLog& log;
  DebugSink& debug;
};

// One copy run over a pack, set up by the copy worker. `CopiedBytes` and `CopiedFileCount` only grow
// and `OverwriteAll` never goes back: the user's "replace" holds for the rest of the run.
struct CopyContext {
  CopyContext(const char* destination_folder, const char* source_folder, std::uint32_t total_bytes,
              platform::Window progress_window, std::uint16_t progress_control);

  TextString DestRoot;
  TextString SourceRoot;
  std::uint32_t CopiedBytes = 0;
  std::uint32_t TotalBytes = 0;
  bool OverwriteAll = false;
  platform::Window ProgressWindow = nullptr;
  std::uint16_t ProgressControl = 0;
  // The files handled; the main sequence reads it after a failed copy to decide on the roll-back.
  std::uint32_t CopiedFileCount = 0;
  // Whether copied files are held against their stored checksums.
  bool CheckCrc = true;
};

// True when the directory part of `file_path` (up to its last backslash) is `relative_directory`,
// letter case aside.
bool FileInDirectory(const char* file_path, const char* relative_directory);
// True when `directory` lies one level below `relative_directory`.
bool IsSubdirectoryOf(const char* directory, const char* relative_directory);
// True when a pack path stays below the folder it is joined to: no drive, no leading separator, no
// ".." level.
bool StaysInside(const char* relative_path);

// Copies the pending files of `relative_directory` and then its subdirectories, depth first in table
// order, clearing each entry it has handled; the first stop ends the walk with its status.
WorkerStatus CopyDirectory(const CopyServices& services, CopyContext& context, PackInfo& pack,
                           const char* relative_directory);

}  // namespace vtsetup
