#include "wizard/medium_folders.h"

namespace vtsetup::wizard {

TextString LanguageFolder(platform::UserInterface& ui, const TextString& source_folder,
                          const SetupInfo& info) {
  TextString folder = BitmapFolder(source_folder, info);
  if (const std::optional<TextString> language =
          ui.LoadStringResource(STRING_LANGUAGE_FOLDER, kLanguageBufferSize)) {
    folder.Append(*language);
  }
  folder.EnsureTrailingBackslash();
  return folder;
}

}  // namespace vtsetup::wizard
