#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace vtsetup::platform::win32 {

// Where a line goes into a text and what goes there.
struct TextInsertion {
  std::size_t offset = 0;
  std::string text;
};

// The line "NUL=<path>" for the "[rename]" section of WININIT.INI, which the systems of the 9x family
// carry out at their next start: at the end of that section (the first, its name in any case), or in
// a section of its own at the end of the file. The section holds one "NUL=" line per file to go, so an
// earlier line must stay, which is why the line is inserted here and not written with the profile
// writer: that would replace the first "NUL=" line instead. Lines end with CRLF.
TextInsertion DeletionLineInsertion(std::string_view wininit_text, std::string_view short_path);

// Arranges the deletion of `short_path` (an 8.3 path, all that the start-up step reads) in the file
// `wininit_path`, which is made when missing. What the file held before stays when a write fails.
SystemError ScheduleDeletionInWininit(FileSystem& files, const char* wininit_path, const char* short_path);

}  // namespace vtsetup::platform::win32
