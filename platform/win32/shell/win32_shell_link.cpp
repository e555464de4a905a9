#include "platform/win32/shell/win32_shell_link.h"

namespace vtsetup::platform::win32 {

ShellResult Win32ShellLink::SetPath(const char* target) {
  if (target == nullptr) {
    return SHELL_INVALID_ARGUMENT;
  }
  return static_cast<ShellResult>(link_->SetPath(target));
}

TextString Win32ShellLink::Path() {
  // The object keeps no target longer than MAX_PATH.
  char target[MAX_PATH] = "";
  if (FAILED(link_->GetPath(target, MAX_PATH, nullptr, 0))) {
    return {};
  }
  return TextString(target);
}

ShellResult Win32ShellLink::SetDescription(const char* description) {
  if (description == nullptr) {
    return SHELL_INVALID_ARGUMENT;
  }
  return static_cast<ShellResult>(link_->SetDescription(description));
}

ShellResult Win32ShellLink::Save(const char* link_path) {
  if (link_path == nullptr) {
    return SHELL_INVALID_ARGUMENT;
  }
  WCHAR wide_path[MAX_PATH];
  if (::MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide_path, MAX_PATH) == 0) {
    return SHELL_INVALID_ARGUMENT;
  }
  ComObject<IPersistFile> file;
  const HRESULT found = link_->QueryInterface(IID_IPersistFile, file.Receiver());
  if (FAILED(found)) {
    return static_cast<ShellResult>(found);
  }
  // Not remembered as the object's current file: the object is thrown away after this.
  return static_cast<ShellResult>(file->Save(wide_path, FALSE));
}

}  // namespace vtsetup::platform::win32
