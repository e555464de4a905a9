#pragma once

#include <string>

#include "setupdb/setup_info.h"

namespace vtsetup {

// The database as JSON for people and scripts that inspect a medium: the fields under their record
// names, texts converted to UTF-8. Records are spread over lines, two blanks per level, while
// `PackSizes` and each directory, file and shortcut entry keep to one line, so that a pack of a
// thousand files still reads as a list.
std::string DatabaseJson(const SetupInfo& info);

}  // namespace vtsetup
