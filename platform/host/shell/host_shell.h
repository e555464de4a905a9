#pragma once

#include "platform/file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/shell.h"

namespace vtsetup::platform::host {

// The shell of a host run: the special folders that machine.ini names, and shell links written as real
// ".LNK" files in the documented binary format, so that Windows could open what a host run made.
class HostShell final : public Shell {
 public:
  HostShell(const Machine& machine, FileSystem& files) : machine_(machine), files_(files) {}

  TextString FolderPath(SpecialFolder folder) override;
  ShellLinkMade NewShellLink() override;

 private:
  const Machine& machine_;
  FileSystem& files_;
};

}  // namespace vtsetup::platform::host
