#include "platform/host/host_paths.h"

namespace vtsetup::platform::host {

std::string HostPathFor(const char* windows_path) {
  std::string path(windows_path != nullptr ? windows_path : "");
  for (char& c : path) {
    if (c == '\\') {
      c = '/';
    }
  }
  // Drive Z: is the host's root, so every host path has a Windows name.
  if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') {
    path.erase(0, 2);
    if (path.empty() || path[0] != '/') {
      path.insert(path.begin(), '/');
    }
  }
  return path;
}

std::string WindowsPathFor(const std::string& host_absolute_path) {
  std::string path = "Z:" + host_absolute_path;
  for (char& c : path) {
    if (c == '/') {
      c = '\\';
    }
  }
  return path;
}

}  // namespace vtsetup::platform::host
