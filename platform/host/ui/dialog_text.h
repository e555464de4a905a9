#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/ui/dialog_state.h"
#include "platform/host/ui/ui_driver.h"

namespace vtsetup::platform::host {

// What a host run shows, as UTF-8 text for the transcript and the terminal. Transcript lines go to
// Transcript::RecordUtf8.

// A text on one line in double quotes, converted to UTF-8 and escaped as base/quoted.h escapes.
std::string QuotedText(std::string_view cp1250_text);
// A text for one line of the terminal: UTF-8, every control character written out, line breaks and
// tabs too. The screens below write out the control characters of every text as well, since a name
// from the medium's files must not drive the terminal.
std::string TerminalLineText(std::string_view cp1250_text);

// One line for a page shown: every visible control that has an id, a text or a picture, in tab order,
// as "CLASS ID CONTENT FLAGS", "; " between them. Classes: button, checkbox, text, picture, list,
// edit, richedit, progress. The id is left out for controls without one. Contents: a quoted text; a
// list's items ["A"*, "B"] with "*" after the selected one; a progress bar's "50 (0..100)"; a
// picture's bitmap number ("picture 114"; "picture 1040 bitmap 114" when it has an id); a rich edit's
// plain text. Flags: "checked", "disabled".
//   page 3 shown: list 1000 ["Pełna\t[12.3 MB]"*]; edit 1002 "C:\Gry"; button 7 "<< &Wstecz" disabled
std::string PageShownLine(const DialogState& page);
//   message box (style 20) "Vantor Setup": "text" -> 6 (yes)
std::string MessageBoxLine(const MessageBoxView& box, std::int32_t answer);
//   folder browser "Wybierz ścieżkę docelową:" -> "C:\Gry"      or ... -> cancel
std::string FolderBrowserLine(const std::string& title, const std::optional<std::string>& folder);

// The controls that a person at the terminal acts on by number: the visible, enabled buttons, check
// boxes and lists, numbered from 1 in this order.
std::vector<const ControlState*> NumberedControls(const DialogState& page);
// The page drawn for the terminal, one control a line (list items and texts of several lines below
// it), with "[N]" before the numbered controls; ends with a line break.
std::string PageScreen(const DialogState& page, bool again);
// A message box drawn for the terminal: its icon and title, its text, and its answers:
//   -- message box (stop): Vantor Setup --
//   ...
//   [6] yes  [7] no
std::string MessageBoxScreen(const MessageBoxView& box);

}  // namespace vtsetup::platform::host
