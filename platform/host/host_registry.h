#pragma once

#include <string>

#include "platform/registry.h"

namespace vtsetup::platform::host {

// HKEY_LOCAL_MACHINE kept in a REGEDIT4 text file, the format that regedit exports, so that a person
// can read and edit the machine's registry. Every change re-reads the file, applies itself and writes
// the file anew under a lock and by renaming, so two processes never lose each other's writes and a
// reader never sees half a file. Keys and value names match without regard to ASCII case.
class HostRegistry final : public Registry {
 public:
  explicit HostRegistry(std::string file) : file_(std::move(file)) {}
  KeyOpen Open(const char* path, RegistryAccess access) override;

 private:
  std::string file_;
};

}  // namespace vtsetup::platform::host
