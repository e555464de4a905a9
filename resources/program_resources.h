#pragma once

#include <span>

#include "resources/resource_types.h"

namespace vtsetup::resources {

// What one program shows: its dialogs and its string table, handed to the system's user interface.
struct ProgramResources {
  std::span<const DialogTemplate> dialogs;
  std::span<const StringEntry> strings;
};

// Defined once per program by the resources library that its executable links: vt_setup_resources (the
// setup program's dialogs and strings), vt_dinstall_resources (the uninstaller's string table, no
// dialogs), vt_no_resources (setupc, which shows nothing). Linking two of them is a duplicate definition,
// so a program never shows another's texts by accident.
const ProgramResources& ThisProgramResources();

}  // namespace vtsetup::resources
