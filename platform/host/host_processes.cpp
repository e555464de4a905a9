#include "platform/host/host_processes.h"

namespace vtsetup::platform::host {

// SCAFFOLD: replaced by the process implementation.
std::uint32_t HostProcesses::Start(const char*, std::uint32_t) {
  return 2;
}
bool HostProcesses::RequestRestart(std::uint32_t) {
  return false;
}
std::uint32_t HostProcesses::TickCount() {
  return 0;
}
void HostProcesses::Sleep(std::uint32_t) {}

}  // namespace vtsetup::platform::host
