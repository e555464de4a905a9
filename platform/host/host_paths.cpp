#include "platform/host/host_paths.h"

namespace vtsetup::platform::host {

std::string HostPathFor(const char* windows_path) {
  std::string path(windows_path != nullptr ? windows_path : "");
  for (char& c : path) {
    if (c == '\\') {
      c = '/';
    }
  }
  return path;
}

}  // namespace vtsetup::platform::host
