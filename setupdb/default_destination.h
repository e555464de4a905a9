#pragma once

#include "base/text_string.h"

namespace vtsetup {

// The marker that a script puts in front of the destination it proposes below the program-files folder.
inline constexpr char DEFAULT_PROGRAM_DIR_MARKER[] = "%DefaultPrgDir%";

// Turns DefDestDir into the destination relative to the program-files folder: the first marker goes
// together with the one character after it (normally its backslash), then one leading backslash.
void ReduceDefaultDestination(TextString& def_dest_dir);

}  // namespace vtsetup
