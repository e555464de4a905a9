#include "uninstaller/path_parts.h"

namespace vtsetup::uninstaller {

TextString FolderOf(const TextString& path) {
  std::uint32_t separator = path.Length();
  while (separator > 0 && path.At(separator - 1) != '\\' && path.At(separator - 1) != '/') {
    --separator;
  }
  if (separator == 0) {
    return {};
  }
  const bool drive_root = separator == 3 && path.At(1) == ':';
  return path.Left(drive_root ? separator : separator - 1);
}

TextString WithoutClosingSeparators(TextString path) {
  std::uint32_t length = path.Length();
  while (length > 0 && (path.At(length - 1) == '\\' || path.At(length - 1) == '/') &&
         !(length == 3 && path.At(1) == ':')) {
    --length;
  }
  return length == path.Length() ? path : path.Left(length);
}

}  // namespace vtsetup::uninstaller
