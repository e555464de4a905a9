#pragma once

#include <string>
#include <utility>

#include "platform/registry.h"

namespace vtsetup::platform::host {

// HKEY_LOCAL_MACHINE kept in a REGEDIT4 text file, the format that regedit exports, so that a person
// can read and edit the machine's registry (registry_text.h has the format and how bad lines are kept;
// registry_file.h the locking). Every change re-reads the file, applies itself and writes the file
// anew under a lock and by renaming, so two processes never lose each other's writes and a reader
// never sees half a file. An open key reads the file afresh on every query, as a Windows handle sees
// the live registry.
//
// - Keys and value names match without regard to ASCII case; the spelling first written is kept.
// - Paths may end with one backslash, as callers write "Company\\Product\\1.0\\". A path with an empty
//   name, a line break in a name or more than 512 levels names no key: Open reports
//   ERR_FILE_NOT_FOUND, Create ERR_INVALID_PARAMETER. A value name with a line break, which the file
//   cannot hold, is refused with ERR_INVALID_PARAMETER.
// - QueryString delivers string data (quoted, or REG_SZ and REG_EXPAND_SZ written as hex(1) and
//   hex(2)), as RegQueryValueExA does. Values of other types report ERR_FILE_NOT_FOUND: Windows only
//   refuses a type where the caller names the type it wants (RegGetValueA with RRF_RT_REG_SZ), with an
//   error that callers here treat as every other failure, so "no such string" is closest.
// - A file that cannot be read gives its error to Open and QueryString; a change that cannot be made
//   gives the error of the failing call (ERR_ACCESS_DENIED for a folder we may not write) and leaves
//   the file as it was.
// - Deleting a key leaves its parent, which gets a section of its own when it had none (a key made
//   with its parents has one section for them all). Through a handle of a key deleted meanwhile its
//   values and contents report ERR_FILE_NOT_FOUND, where Windows names its own error for a deleted
//   key, and a value set through it makes the key anew.
class HostRegistry final : public Registry {
 public:
  explicit HostRegistry(std::string file) : file_(std::move(file)) {}
  KeyOpen Open(const char* path, RegistryAccess access) override;
  SystemError DeleteKeyTree(const char* path) override;

 private:
  std::string file_;
};

}  // namespace vtsetup::platform::host
