#include "platform/host/machine/name_lookup.h"

#include <dirent.h>

#include "base/ascii.h"

namespace vtsetup::platform::host {

std::optional<std::string> ListedName(const std::string& folder, const std::string& name) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) {
    return std::nullopt;
  }
  std::string found;
  while (const dirent* entry = ::readdir(listing)) {
    if (name == entry->d_name) {
      found = name;
      break;
    }
    if (found.empty() && EqualNoCase(name, entry->d_name)) {
      found = entry->d_name;
    }
  }
  ::closedir(listing);
  return found;
}

}  // namespace vtsetup::platform::host
