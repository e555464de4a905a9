#include "app/game_running_check.h"

namespace vtsetup::app {

bool IsGameRunning(platform::Registry& registry, platform::FileSystem& files) {
  const platform::KeyOpen key = registry.Open(kInstalledGameKey, platform::RegistryAccess::Read);
  if (key.key == nullptr) {
    return false;
  }
  const platform::ValueRead folder = key.key->QueryString(nullptr, kInstalledFolderBufferSize);
  if (folder.error != platform::ERR_NONE) {
    return false;
  }
  TextString executable = folder.value;
  executable.EnsureTrailingBackslash();
  executable.Append(kGameExecutable);
  const platform::OpenResult opened = files.Open(executable.Data(), platform::FileAccess::Read,
                                                 platform::SHARE_NONE, platform::FileCreation::OpenExisting);
  return opened.file == nullptr && opened.error == platform::ERR_SHARING_VIOLATION;
}

}  // namespace vtsetup::app
