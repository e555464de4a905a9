#pragma once

#include <string>
#include <string_view>

namespace vtsetup::platform::host {

// The text that a rich-edit control shows for RTF, without its formatting, in code page 1250:
// paragraphs and line breaks become "\n", tabs "\t"; font, colour and style tables, pictures and
// the optional ("\*") destinations are left out; "\'hh" is a code-page byte, "\uN" a character
// ('?' when the code page lacks it) whose fallback characters are dropped. Text that does not
// start as RTF is shown as it stands, as the control would show it.
std::string RtfToText(std::string_view rtf);

}  // namespace vtsetup::platform::host
