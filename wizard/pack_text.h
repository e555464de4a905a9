#pragma once

#include <cstdint>

#include "base/text_string.h"
#include "platform/profile.h"

namespace vtsetup::wizard {

// The labels of the installation types live on the medium, beside the other texts of the language.
inline constexpr char kPackTextFile[] = "desc.dat";
inline constexpr char kPackNameKey[] = "Name";
inline constexpr char kPackDescriptionKey[] = "Desc";
// What a type is called when the medium has no text for it.
inline constexpr char kPackTextDefault[] = "Set";
// Texts are read as into a buffer of this many bytes, so at most one character less reaches the page.
inline constexpr std::uint32_t kPackTextBufferSize = 512;

// The text `key` of the installation type at `type_index` (counted from 0): section "Pack1" for the
// first type, in "desc.dat" of `language_folder` (which ends in a backslash).
TextString ReadPackText(platform::Profile& profiles, const TextString& language_folder,
                        std::uint32_t type_index, const char* key);

}  // namespace vtsetup::wizard
