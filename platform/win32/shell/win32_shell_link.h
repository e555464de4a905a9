#pragma once

// The system's other headers need this one first.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "platform/shell.h"
#include "platform/win32/com/com_object.h"

namespace vtsetup::platform::win32 {

// The shell's own link object, its results passed through. A null text is refused with
// SHELL_INVALID_ARGUMENT before the object sees it, and so is a link path that does not fit MAX_PATH
// (260 with its zero) once converted to UTF-16, as the object takes no longer one.
class Win32ShellLink final : public ShellLink {
 public:
  explicit Win32ShellLink(ComObject<IShellLinkA> link) : link_(std::move(link)) {}

  ShellResult SetPath(const char* target) override;
  TextString Path() override;
  ShellResult SetDescription(const char* description) override;
  ShellResult Save(const char* link_path) override;

 private:
  ComObject<IShellLinkA> link_;
};

}  // namespace vtsetup::platform::win32
