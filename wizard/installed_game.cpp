#include "wizard/installed_game.h"

namespace vtsetup::wizard {

bool FindInstalledGame(const SetupInfo& info, platform::Registry& registry, platform::FileSystem& files,
                       TextString& installed_game_path) {
  TextString key_path("SOFTWARE\\");
  key_path.Append(info.Company);
  key_path.Append("\\");
  key_path.Append(info.Product);
  key_path.Append("\\");
  key_path.Append(info.Version);
  const platform::KeyOpen key = registry.Open(key_path.Data(), platform::RegistryAccess::Read);
  if (key.key == nullptr) {
    return false;
  }
  const platform::ValueRead folder = key.key->QueryString(nullptr, kInstalledGameFolderBufferSize);
  if (folder.error != platform::ERR_NONE) {
    return false;
  }
  TextString executable = folder.value;
  executable.EnsureTrailingBackslash();
  executable.Append(info.Filename);
  // Without sharing, as the running game holds it: a game that runs now counts as not found.
  const platform::OpenResult opened = files.Open(executable.Data(), platform::FileAccess::Read,
                                                 platform::SHARE_NONE, platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    installed_game_path = TextString();
    return false;
  }
  installed_game_path = executable;
  return true;
}

}  // namespace vtsetup::wizard
