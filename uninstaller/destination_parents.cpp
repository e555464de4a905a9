#include "uninstaller/destination_parents.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/ascii.h"
#include "uninstaller/path_parts.h"

namespace vtsetup::uninstaller {
namespace {

// Compared as full paths without a closing separator and without regard to case, as Windows names them.
TextString Comparable(platform::FileSystem& files, const TextString& folder) {
  return WithoutClosingSeparators(files.FullPath(folder.Data()));
}

bool IsDriveRoot(const TextString& folder) {
  const std::string_view text(folder.Data(), folder.Length());
  return text.size() <= 3 && text.size() >= 2 && text[1] == ':';
}

}  // namespace

void RemoveEmptyFoldersAbove(const TextString& destination, std::span<const TextString> system_folders,
                             platform::FileSystem& files, DebugSink& debug) {
  std::vector<TextString> kept;
  for (const TextString& folder : system_folders) {
    if (folder.Length() > 0) {
      kept.push_back(Comparable(files, folder));
    }
  }
  const auto is_system_folder = [&](const TextString& folder) {
    return std::any_of(kept.begin(), kept.end(), [&](const TextString& system) {
      return EqualNoCase(std::string_view(system.Data(), system.Length()),
                         std::string_view(folder.Data(), folder.Length()));
    });
  };
  for (TextString folder = FolderOf(Comparable(files, destination));
       folder.Length() > 0 && !IsDriveRoot(folder) && !is_system_folder(folder); folder = FolderOf(folder)) {
    if (files.RemoveFolder(folder.Data()) != platform::ERR_NONE) {
      return;
    }
    DebugTrace(debug, "Removed folder %s, left empty above the game's folder.", folder.Data());
  }
}

}  // namespace vtsetup::uninstaller
