#pragma once

#include <memory>
#include <mutex>

#include "platform/host/files/drive_quotas.h"
#include "platform/host/files/host_drives.h"
#include "platform/host/files/host_file_system.h"
#include "platform/host/machine/machine.h"
#include "platform/host/processes/host_debug_sink.h"
#include "platform/host/processes/host_libraries.h"
#include "platform/host/processes/host_processes.h"
#include "platform/host/processes/host_threads.h"
#include "platform/host/profile/host_profile.h"
#include "platform/host/registry/host_registry.h"
#include "platform/host/shell/host_shell.h"
#include "platform/host/ui/host_graphics.h"
#include "platform/host/ui/host_user_interface.h"
#include "platform/system.h"

namespace vtsetup::platform::host {

// Every service of one host machine.
class HostSystem final : public System {
 public:
  explicit HostSystem(const Machine& machine)
      : machine_(machine),
        quotas_(machine),
        files_(machine, quotas_),
        profile_(machine, files_),
        drives_(machine, quotas_),
        registry_(machine.RegistryFile()),
        processes_(machine, files_),
        libraries_(machine),
        shell_(machine, files_) {}

  FileSystem& Files() override { return files_; }
  Profile& Profiles() override { return profile_; }
  Drives& Disks() override { return drives_; }
  Registry& LocalMachine() override { return registry_; }
  Processes& Programs() override { return processes_; }
  Libraries& Modules() override { return libraries_; }
  Shell& UserShell() override { return shell_; }
  // Programs that show nothing never read the answers file, so a broken one stops only a run that
  // needs it.
  UserInterface* Ui() override;
  std::string UiProblem() override;
  Graphics& Pictures() override { return graphics_; }
  DebugSink& Debug() override { return debug_; }
  platform::Threads& Threads() override { return threads_; }

 private:
  const Machine& machine_;
  DriveQuotas quotas_;
  HostFileSystem files_;
  HostProfile profile_;
  HostDrives drives_;
  HostRegistry registry_;
  HostProcesses processes_;
  HostLibraries libraries_;
  HostShell shell_;
  HostDebugSink debug_;
  HostGraphics graphics_;
  HostThreads threads_;
  std::once_flag ui_made_;
  std::unique_ptr<HostUserInterface> ui_;
  std::string ui_problem_;
};

}  // namespace vtsetup::platform::host
