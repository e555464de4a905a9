#pragma once

#include "platform/host/machine/machine.h"
#include "platform/libraries.h"

namespace vtsetup::platform::host {

// Libraries of a host run: a Windows path names a shared object of the host (a test builds one named
// "DSETUP.DLL"), loaded with the dynamic loader. A bare name gets ".dll" when it has no extension and
// is looked for in the current folder, then in the machine's system folder; the system libraries that
// the host adapter replaces ("riched32.dll", "comctl32.dll") load as libraries without functions.
// A missing file is ERR_FILE_NOT_FOUND (ERR_PATH_NOT_FOUND for a missing folder), a file that is no
// shared object of the host ERR_BAD_FORMAT.
class HostLibraries final : public Libraries {
 public:
  explicit HostLibraries(const Machine& machine) : machine_(machine) {}
  LibraryLoad Load(const char* path) override;

 private:
  const Machine& machine_;
};

}  // namespace vtsetup::platform::host
