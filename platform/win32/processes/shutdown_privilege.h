#pragma once

namespace vtsetup::platform::win32 {

// Turns on the right to shut the system down in this process's token, without which the NT family
// refuses a restart request. True when it is on afterwards.
bool EnableShutdownPrivilege();

}  // namespace vtsetup::platform::win32
