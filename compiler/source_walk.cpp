#include "compiler/source_walk.h"

#include <algorithm>
#include <iterator>

#include "base/console.h"

namespace vtsetup {
namespace {

TextString WithBackslash(const TextString& path) {
  TextString result(path);
  result.EnsureTrailingBackslash();
  return result;
}

}  // namespace

CompileResult SourceWalk::Walk(const TextString& directory, bool recurse, bool delete_unempty,
                               std::vector<PackDir>* pack_dirs, std::vector<FileEntry>& entries,
                               WalkStart& start) {
  entries.clear();
  inside_.clear();
  start = WalkStart::Folder;
  return Scan(directory, recurse, delete_unempty, pack_dirs, entries, &start);
}

CompileResult SourceWalk::Scan(const TextString& directory, bool recurse, bool delete_unempty,
                               std::vector<PackDir>* pack_dirs, std::vector<FileEntry>& entries,
                               WalkStart* start) {
  const TextString scan_folder = WithBackslash(source_root_ + directory);
  ConsolePrint("%s\n", scan_folder.Data());
  std::vector<platform::FoundFile> listing;
  const platform::SystemError listed = files_.FindFiles((scan_folder + "*.*").Data(), listing);
  if (listed == platform::ERR_FILE_NOT_FOUND) {
    return COMPILE_OK;  // nothing in it
  }
  if (listed == platform::ERR_PATH_NOT_FOUND && start != nullptr) {
    // Only where the walk starts: a folder met in a listing that is gone a moment later has changed
    // under the compiler.
    TextString named(scan_folder);
    named.RemoveTrailing('\\');
    platform::FileIdentity ignored;
    *start = files_.Identify(named.Data(), ignored) == platform::ERR_NONE ? WalkStart::NotAFolder
                                                                          : WalkStart::Missing;
    return COMPILE_OK;
  }
  if (listed != platform::ERR_NONE) {
    notes_.Explain("the folder %s cannot be listed: %s", scan_folder.Data(), files_.ErrorText(listed).Data());
    return COMPILE_CANNOT_OPEN;
  }
  if (const CompileResult entered = Enter(scan_folder); entered != COMPILE_OK) {
    return entered;
  }
  for (const platform::FoundFile& found : listing) {
    if (!found.directory) {
      FileEntry entry;
      entry.Path = directory + found.name;
      entries.push_back(std::move(entry));
      continue;
    }
    if (!recurse || found.name.At(0) == '.' || pack_dirs == nullptr) {
      continue;
    }
    TextString path(directory);
    path.EnsureTrailing('\\');
    path = WithBackslash(path + found.name);
    PackDir dir;
    dir.Path = path;
    dir.SubDirs = true;
    dir.DeleteUnempty = delete_unempty;
    pack_dirs->push_back(dir);
    if (const CompileResult walked = Scan(path, true, delete_unempty, pack_dirs, entries, nullptr);
        walked != COMPILE_OK) {
      return walked;
    }
  }
  inside_.pop_back();
  return COMPILE_OK;
}

CompileResult SourceWalk::Enter(const TextString& scan_folder) {
  platform::FileIdentity identity;
  if (const platform::SystemError error = files_.Identify(scan_folder.Data(), identity);
      error != platform::ERR_NONE) {
    notes_.Explain("the folder %s cannot be told apart from the folders around it: %s", scan_folder.Data(),
                   files_.ErrorText(error).Data());
    return COMPILE_CANNOT_OPEN;
  }
  const auto again = std::find_if(inside_.begin(), inside_.end(),
                                  [&](const auto& folder) { return folder.first == identity; });
  if (again != inside_.end()) {
    notes_.Explain("the folder %s is %s again, which the walk is inside already: a link leads back into it",
                   scan_folder.Data(), again->second.Data());
    return COMPILE_CANNOT_OPEN;
  }
  inside_.emplace_back(identity, scan_folder);
  return COMPILE_OK;
}

}  // namespace vtsetup
