#pragma once

#include <string>
#include <string_view>

namespace vtsetup::platform::host {

// The text of a profile file after one change of WritePrivateProfileStringA, with the sections and keys
// found as the reader finds them:
// - `value` set: the first matching key of the first matching section gets the value in place, keeping
//   the file's spelling of the key; a missing key goes after the last entry of that section (comments
//   and blank lines after it stay after it); a missing section goes at the end, after a blank line.
// - `value` null: every entry of `key` in the first matching section goes, since the reader must not
//   find a later duplicate where the key used to be.
// - `key` null: every section named `section` goes, from its header to the next header.
// Lines of ours end in CRLF; a last line without a line end gets one when a line of ours follows it.
// Every other byte stays, a byte-order mark at the start among them. `section` and `key` (when given) are
// names the reader can find: not empty.
std::string EditProfileText(std::string_view text, const char* section, const char* key, const char* value);

}  // namespace vtsetup::platform::host
