#pragma once

#include <memory>
#include <string>

#include "platform/host/host_system.h"
#include "platform/host/machine/machine.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {

// A host machine of its own in a temporary folder, with every service over it. Without a machine.ini
// text it is a fresh default machine: C: in drive_c, Z: the host's root. The transcript, when asked
// for, is the file "transcript.txt" beside the machine.
class TestMachine {
 public:
  explicit TestMachine(const std::string& machine_ini = "", bool transcript = false);
  TestMachine(const TestMachine&) = delete;
  TestMachine& operator=(const TestMachine&) = delete;

  const std::filesystem::path& Root() const { return dir_.Path(); }
  platform::host::Machine& Machine() { return *machine_; }
  platform::host::HostSystem& System() { return *system_; }
  // The host file of a Windows path, as the machine resolves it.
  std::string Host(const std::string& windows_path) const {
    return machine_->HostPathFor(windows_path.c_str());
  }
  std::string TranscriptFile() const { return dir_.File("transcript.txt"); }
  // The transcript's lines so far.
  std::vector<std::string> TranscriptLines() const;

 private:
  TempDir dir_;
  std::unique_ptr<platform::host::Machine> machine_;
  std::unique_ptr<platform::host::HostSystem> system_;
};

}  // namespace vtsetup::testing
