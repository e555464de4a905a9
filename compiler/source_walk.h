#pragma once

#include <utility>
#include <vector>

#include "base/text_string.h"
#include "compiler/compile_notes.h"
#include "compiler/compile_result.h"
#include "platform/file_system.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// What a walk found at the directory it was given.
enum class WalkStart { Folder, Missing, NotAFolder };

// Walks source directories below the source root (ScanSourceDir). A missing directory gives no files,
// as it always has; the caller decides whether to warn. But a folder that is there and cannot be listed
// fails the walk, since a database that silently lacks its files would install as if whole; so does a
// folder that the walk is already inside, reached again through a link under another name, which would
// otherwise be walked for ever.
class SourceWalk {
 public:
  SourceWalk(platform::FileSystem& files, const TextString& source_root, CompileNotes& notes)
      : files_(files), source_root_(source_root), notes_(notes) {}

  // The files below `directory` (as the script writes it, relative to the source root) in the order
  // the file system lists them. With `recurse` the subfolders are walked too, except those whose names
  // begin with a dot: each is appended to `pack_dirs` with the given DeleteUnempty, and its files come
  // where it was met in the listing. Failures are explained in the notes.
  CompileResult Walk(const TextString& directory, bool recurse, bool delete_unempty,
                     std::vector<PackDir>* pack_dirs, std::vector<FileEntry>& entries, WalkStart& start);

 private:
  CompileResult Scan(const TextString& directory, bool recurse, bool delete_unempty,
                     std::vector<PackDir>* pack_dirs, std::vector<FileEntry>& entries, WalkStart* start);
  // Fails for a folder that the walk is inside already.
  CompileResult Enter(const TextString& scan_folder);

  platform::FileSystem& files_;
  const TextString& source_root_;
  CompileNotes& notes_;
  // The folders that the walk is inside, outermost first, with the names that reached them.
  std::vector<std::pair<platform::FileIdentity, TextString>> inside_;
};

}  // namespace vtsetup
