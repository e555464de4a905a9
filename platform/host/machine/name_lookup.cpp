#include "platform/host/machine/name_lookup.h"

#include <dirent.h>

#include "base/ascii.h"

namespace vtsetup::platform::host {

bool NameMatch::Offer(std::string_view entry) {
  if (entry == name_) {
    found_ = entry;
    return true;
  }
  if (found_.empty() && EqualNoCase(name_, entry)) {
    found_ = entry;
  }
  return false;
}

std::optional<std::string> ListedName(const std::string& folder, const std::string& name) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) {
    return std::nullopt;
  }
  NameMatch match(name);
  while (const dirent* entry = ::readdir(listing)) {
    if (match.Offer(entry->d_name)) {
      break;
    }
  }
  ::closedir(listing);
  return match.Found();
}

}  // namespace vtsetup::platform::host
