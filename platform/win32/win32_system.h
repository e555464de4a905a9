#pragma once

#include "platform/system.h"
#include "platform/win32/files/win32_drives.h"
#include "platform/win32/files/win32_file_system.h"
#include "platform/win32/processes/win32_debug_sink.h"
#include "platform/win32/processes/win32_libraries.h"
#include "platform/win32/processes/win32_processes.h"
#include "platform/win32/processes/win32_threads.h"
#include "platform/win32/profile/win32_profile.h"
#include "platform/win32/registry/win32_registry.h"
#include "platform/win32/shell/win32_shell.h"
#include "platform/win32/ui/win32_graphics.h"
#include "platform/win32/ui/win32_user_interface.h"

namespace vtsetup::platform::win32 {

// Every service of the machine the program runs on. Windows itself holds the state; these objects
// only translate.
class Win32System final : public System {
 public:
  FileSystem& Files() override { return files_; }
  Profile& Profiles() override { return profile_; }
  Drives& Disks() override { return drives_; }
  Registry& LocalMachine() override { return registry_; }
  Processes& Programs() override { return processes_; }
  Libraries& Modules() override { return libraries_; }
  Shell& UserShell() override { return shell_; }
  // Windows can always show something; a window that cannot be made is reported where it is made.
  UserInterface* Ui() override { return &ui_; }
  std::string UiProblem() override { return {}; }
  Graphics& Pictures() override { return graphics_; }
  DebugSink& Debug() override { return debug_; }
  platform::Threads& Threads() override { return threads_; }

 private:
  Win32FileSystem files_;
  Win32Profile profile_;
  Win32Drives drives_;
  Win32Registry registry_;
  Win32Processes processes_;
  Win32Libraries libraries_;
  Win32Shell shell_;
  Win32UserInterface ui_;
  Win32Graphics graphics_;
  Win32DebugSink debug_;
  Win32Threads threads_;
};

}  // namespace vtsetup::platform::win32
