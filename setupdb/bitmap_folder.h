#pragma once

#include "base/text_string.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// The folder of the pictures on the medium: the source folder and the database's bitmap folder, each
// ending in a backslash. An empty bitmap folder gives the source folder itself. The wizard's pictures
// and texts and the slideshow's billboards all lie below it.
TextString BitmapFolder(const TextString& source_folder, const SetupInfo& info);

}  // namespace vtsetup
