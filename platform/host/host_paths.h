#pragma once

#include <string>

namespace vtsetup::platform::host {

// The host file name for a Windows path. Both separators are accepted; a path that is already a host
// path (absolute from "/") stays one. Drive letters join when the machine's drive map exists.
std::string HostPathFor(const char* windows_path);

// The Windows name of an absolute host path, on drive Z:.
std::string WindowsPathFor(const std::string& host_absolute_path);

}  // namespace vtsetup::platform::host
