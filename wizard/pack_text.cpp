#include "wizard/pack_text.h"

namespace vtsetup::wizard {

TextString ReadPackText(platform::Profile& profiles, const TextString& language_folder,
                        std::uint32_t type_index, const char* key) {
  const TextString file = language_folder + kPackTextFile;
  TextString section;
  // Counted from 1 on the medium; 64 bits so that the last index does not wrap to "Pack0".
  section.Format("Pack%llu", static_cast<unsigned long long>(type_index) + 1);
  return profiles.ReadString(file.Data(), section.Data(), key, kPackTextDefault, kPackTextBufferSize);
}

}  // namespace vtsetup::wizard
