#pragma once

#include "base/text_string.h"
#include "platform/user_interface.h"
#include "setupdb/bitmap_folder.h"
#include "setupdb/setup_info.h"

namespace vtsetup::wizard {

// The string-table entry that names the language of the texts on the medium, and its buffer's size.
inline constexpr std::uint16_t STRING_LANGUAGE_FOLDER = 5024;
inline constexpr std::uint32_t kLanguageBufferSize = 100;

// The folder of the texts in the setup's language ("agree.rtf", the readme, "desc.dat"): the bitmap
// folder followed by the language's folder and a backslash.
TextString LanguageFolder(platform::UserInterface& ui, const TextString& source_folder,
                          const SetupInfo& info);

}  // namespace vtsetup::wizard
