#pragma once

#include <cstdint>

#include "base/text_string.h"
#include "platform/host/files/host_file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/host/profile/profile_cache.h"
#include "platform/profile.h"

namespace vtsetup::platform::host {

// INI files read with the documented rules of GetPrivateProfileStringA, GetPrivateProfileIntA and
// GetPrivateProfileSectionA, so that a script means on the host what it means on Windows:
//
// - Every call sees the file as it stands: the file read last is kept parsed while it is unchanged
//   (profile_cache.h), and read afresh once it was replaced or rewritten. A file that cannot be read,
//   a folder, a pipe or a device among them, is an empty file, so every read gives its default.
// - A UTF-8 byte-order mark at the very start of the file is no part of its first line.
// - Lines end with CRLF or LF. A line whose first non-blank character is "[" opens a section named by the
//   text up to the first "]" (or the line's end), blanks around it removed. Lines before the first
//   section belong to none. A line whose first non-blank character is ";" is a comment; a ";" later in
//   a line is part of the value, as on Windows, which has no trailing comments.
// - An entry is "key=value" split at the first "=", blanks (space, tab) removed around key and value.
//   A line without "=" is an entry whose key is the whole line and whose value is empty: the string
//   reader finds it by that key (giving "") and the section reader delivers the key alone.
// - Section and key names match with ASCII case folded; bytes above 127 (code page 1250 letters) must
//   be equal, since Windows folds them by a code page we do not want to guess. The first matching
//   section and, in it, the first matching key win. An empty or null name never matches.
// - ReadString: a value enclosed in one matching pair of double or single quotes loses that pair, so
//   ' text ' keeps its blanks and ''text'' gives 'text' (KB Q69752). A missing key gives the default,
//   "" for null, with its trailing blanks removed. The result is cut to buffer_size - 1 characters.
// - ReadInt: the value as ReadString gives it, read as Windows reads it: leading blanks skipped, an
//   optional "+" or "-", then decimal digits up to the first other character; no digits give 0. A
//   negative value comes back negative, as scripts' SpareSpace and SplashDelay may be. The digits
//   gather in a 32-bit register that wraps, as the Windows function's does, so that a script means the
//   same number on both systems: "4294967297" gives 1 and "2147483648" gives -2147483648. A missing key
//   gives the default unchanged.
// - ReadSection: every entry of the first matching section, duplicates included, as "key=value\0...\0\0"
//   with the blanks around key and value gone but quotes kept (the documentation drops them only for the
//   string reader); comments and blank lines are left out. The result is the count of characters without
//   the final null; when the list with its final null does not fit in buffer_size, the documented
//   nSize - 2 (0 below 2 bytes).
//
// WriteString follows WritePrivateProfileStringA: the file is created when missing (its folder must
// exist); an existing key gets its new value in place, a new key goes at the end of its section, a new
// section at the end of the file; lines end with CRLF. Other lines stay as they were. A null value
// removes the key, a null key the section, so that the reader finds neither afterwards; removing what
// is not there succeeds and changes nothing. An empty or null section or key name (which the reader
// could never find), a null file name and a line break in any text (which would make lines of its own)
// give ERR_INVALID_PARAMETER. The file is read and written through the machine's files, so a drive
// without its medium, an unwritable medium, sharing and quotas apply to it as to any file, with their
// errors; a file that cannot be read is not replaced. The new text replaces the file in one step only
// when whole (HostFileSystem::ReplaceFileText), so a failure or a crash never leaves half a file; see
// profile_edit.h for the edit.
class HostProfile final : public Profile {
 public:
  HostProfile(const Machine& machine, HostFileSystem& files) : machine_(machine), files_(files) {}

  TextString ReadString(const char* file, const char* section, const char* key, const char* default_value,
                        std::uint32_t buffer_size) override;
  std::int32_t ReadInt(const char* file, const char* section, const char* key,
                       std::int32_t default_value) override;
  std::uint32_t ReadSection(const char* file, const char* section, std::uint32_t buffer_size) override;
  SystemError WriteString(const char* file, const char* section, const char* key, const char* value) override;

 private:
  std::string HostFile(const char* file) const;

  const Machine& machine_;
  HostFileSystem& files_;
  ProfileCache cache_;
};

}  // namespace vtsetup::platform::host
