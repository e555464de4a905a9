#include "setupdb/bitmap_folder.h"

namespace vtsetup {

TextString BitmapFolder(const TextString& source_folder, const SetupInfo& info) {
  TextString folder = source_folder;
  folder.EnsureTrailingBackslash();
  folder.Append(info.Options.BitmapDir);
  folder.EnsureTrailingBackslash();
  return folder;
}

}  // namespace vtsetup
