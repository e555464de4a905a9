#pragma once

#include "platform/host/machine.h"
#include "platform/processes.h"

namespace vtsetup::platform::host {

// Program starts and restart requests of a host run. A started program's Windows path is mapped to the
// host and run there when it is executable; every start and every restart request is recorded in the
// transcript, so a run that starts a Windows program the host cannot run is still seen to start it.
class HostProcesses final : public Processes {
 public:
  explicit HostProcesses(const Machine& machine) : machine_(machine) {}

  std::uint32_t Start(const char* command_line, std::uint32_t show) override;
  bool RequestRestart(std::uint32_t flags) override;
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;

 private:
  const Machine& machine_;
};

}  // namespace vtsetup::platform::host
