#pragma once

#include <span>

#include "resources/resource_types.h"

namespace vtsetup::resources {

// The uninstaller's messages, in id order from 6000: the title of its boxes, its question, its reports
// and the parts of its list of what was kept.
std::span<const StringEntry> DinstallStringTable();

}  // namespace vtsetup::resources
