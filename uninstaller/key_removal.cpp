#include "uninstaller/key_removal.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "integration/windows_keys.h"

namespace vtsetup::uninstaller {
namespace {

// The system's lists of uninstallable programs. The setup only ever adds its entry to one that exists,
// and cannot register a game without it, so the list stays when our entry was its last.
constexpr std::array<std::string_view, 2> kSystemKeys = {windows_keys::kUninstallList,
                                                         windows_keys::kUninstallListNt};

bool IsSystemKey(std::string_view path) {
  for (const std::string_view key : kSystemKeys) {
    if (EqualNoCase(path, key)) {
      return true;
    }
  }
  return false;
}

bool IsEmptyKey(platform::Registry& registry, const std::string& path) {
  const platform::KeyOpen open = registry.Open(path.c_str(), platform::RegistryAccess::Read);
  if (!open.key) {
    return false;
  }
  const platform::KeyContents contents = open.key->Contents();
  return contents.error == platform::ERR_NONE && contents.subkeys == 0 && contents.values == 0;
}

// The part of the key below the list, when the key lies below it.
std::optional<std::string_view> BelowList(std::string_view key, std::string_view list) {
  if (key.size() <= list.size() + 1 || !StartsWithNoCase(key, list) || key[list.size()] != '\\') {
    return std::nullopt;
  }
  return key.substr(list.size() + 1);
}

bool IsMissing(platform::SystemError error) {
  return error == platform::ERR_FILE_NOT_FOUND || error == platform::ERR_PATH_NOT_FOUND;
}

}  // namespace

bool IsUninstallEntry(std::string_view key) {
  return std::any_of(kSystemKeys.begin(), kSystemKeys.end(),
                     [&](std::string_view list) { return BelowList(key, list).has_value(); });
}

platform::SystemError DeleteRecordedKey(platform::Registry& registry, std::string_view key) {
  const platform::SystemError error = registry.DeleteKeyTree(std::string(key).c_str());
  const std::optional<std::string_view> entry = BelowList(key, windows_keys::kUninstallList);
  if (!entry) {
    return error;
  }
  const std::string twin = std::string(windows_keys::kUninstallListNt) + "\\" + std::string(*entry);
  const platform::SystemError twin_error = registry.DeleteKeyTree(twin.c_str());
  if (!IsMissing(error) && error != platform::ERR_NONE) {
    return error;
  }
  if (!IsMissing(twin_error) && twin_error != platform::ERR_NONE) {
    return twin_error;
  }
  return error == platform::ERR_NONE ? error : twin_error;
}

void DeleteEmptyParents(platform::Registry& registry, std::string_view key, DebugSink& debug) {
  // A parent with nothing left in it was made for our key alone; one that holds anything of another
  // program's ends the walk, and nothing above it is looked at.
  std::string path(key);
  for (std::size_t cut = path.rfind('\\'); cut != std::string::npos; cut = path.rfind('\\')) {
    path.resize(cut);
    const bool top_level = path.find('\\') == std::string::npos;
    if (top_level || IsSystemKey(path) || !IsEmptyKey(registry, path) ||
        registry.DeleteKeyTree(path.c_str()) != platform::ERR_NONE) {
      return;
    }
    DebugTrace(debug, "Removed empty parent key HKEY_LOCAL_MACHINE\\%s.", path.c_str());
  }
}

}  // namespace vtsetup::uninstaller
