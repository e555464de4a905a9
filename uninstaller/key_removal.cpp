#include "uninstaller/key_removal.h"

#include <array>
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

}  // namespace

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
