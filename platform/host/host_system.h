#pragma once

#include "platform/host/host_debug_sink.h"
#include "platform/host/host_file_system.h"
#include "platform/host/host_profile.h"
#include "platform/system.h"

namespace vtsetup::platform::host {

class HostSystem final : public System {
 public:
  FileSystem& Files() override { return files_; }
  Profile& Profiles() override { return profile_; }
  DebugSink& Debug() override { return debug_; }

 private:
  HostFileSystem files_;
  HostProfile profile_;
  HostDebugSink debug_;
};

}  // namespace vtsetup::platform::host
