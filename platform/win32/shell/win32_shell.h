#pragma once

#include "platform/shell.h"
#include "platform/win32/com/com_object.h"

namespace vtsetup::platform::win32 {

// The shell's special folders and its link object. The component object model is initialised for the
// thread that makes this object (the program's main thread, which makes the shortcuts) for as long as
// the object lives; a link asked for on another thread fails with the system's answer for that.
class Win32Shell final : public Shell {
 public:
  TextString FolderPath(SpecialFolder folder) override;
  ShellLinkMade NewShellLink() override;

 private:
  ComApartment apartment_;
};

}  // namespace vtsetup::platform::win32
