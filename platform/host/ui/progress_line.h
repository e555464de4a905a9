#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/host/ui/dialog_state.h"
#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

// A progress dialog's first text and first bar, which is all that one shows.
ProgressView ProgressOf(const DialogState& dialog);

// The progress dialog drawn as one line for the terminal, to be redrawn in place:
//   [#########...........]  45%  level1.map
// It stays below `columns`, since a character in the last column makes some terminals wrap and a
// redraw would then scroll. When the width is short, the bar gives way before the text is cut much.
// UTF-8, with control characters written out, so a file's name cannot drive the terminal.
std::string ProgressLine(const ProgressView& progress, std::size_t columns);

// UTF-8 text cut to at most `room` characters by dropping its start, "..." standing for what was
// dropped: the end of a path, the file's name, is what a person wants to read.
std::string CutFromLeft(std::string_view utf8_text, std::size_t room);

}  // namespace vtsetup::platform::host
