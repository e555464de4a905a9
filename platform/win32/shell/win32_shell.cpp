#include "platform/win32/shell/win32_shell.h"

// The system's other headers need this one first.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "platform/win32/shell/shell_item_list.h"
#include "platform/win32/shell/win32_shell_link.h"

namespace vtsetup::platform::win32 {

TextString Win32Shell::FolderPath(SpecialFolder folder) {
  ShellItemList item;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, static_cast<int>(folder), item.Receiver()))) {
    return {};
  }
  return FolderOfItem(item).value_or(TextString());
}

ShellLinkMade Win32Shell::NewShellLink() {
  ComObject<IShellLinkA> link;
  const HRESULT made =
      ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receiver());
  if (FAILED(made)) {
    return {nullptr, static_cast<ShellResult>(made)};
  }
  return {std::make_unique<Win32ShellLink>(std::move(link)), SHELL_OK};
}

}  // namespace vtsetup::platform::win32
