#include "integration/windows_keys.h"

namespace vtsetup::windows_keys {
namespace {

// What the setup has always read the value into.
constexpr std::uint32_t kFolderBufferSize = 200;

}  // namespace

std::optional<TextString> RegisteredProgramFilesFolder(platform::Registry& registry) {
  platform::KeyOpen key = registry.Open(kVersion, platform::RegistryAccess::Read);
  if (key.key == nullptr) {
    key = registry.Open(kVersionNt, platform::RegistryAccess::Read);
  }
  if (key.key == nullptr) {
    return std::nullopt;
  }
  platform::ValueRead folder = key.key->QueryString(kProgramFilesValue, kFolderBufferSize);
  if (folder.error != platform::ERR_NONE || folder.value.IsEmpty()) {
    return std::nullopt;
  }
  return std::move(folder.value);
}

}  // namespace vtsetup::windows_keys
