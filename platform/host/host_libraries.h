#pragma once

#include "platform/host/machine.h"
#include "platform/libraries.h"

namespace vtsetup::platform::host {

// Libraries of a host run: a Windows path names a shared object of the host (a test builds one named
// "DSETUP.DLL"), loaded with the dynamic loader.
class HostLibraries final : public Libraries {
 public:
  explicit HostLibraries(const Machine& machine) : machine_(machine) {}
  LibraryLoad Load(const char* path) override;

 private:
  const Machine& machine_;
};

}  // namespace vtsetup::platform::host
