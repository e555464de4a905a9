#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/install_log_walk.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {

// Every folder (as "<folder>") and file (with its bytes) below a machine's root, by relative path.
using MachineState = std::map<std::string, std::string>;

// The setup program run as a person runs it from the CD: the example medium (laid out once by
// examples/build-medium with this build's programs) is drive D: of a fresh host machine, and the
// program answers from an answers text. Tests that need another medium change a copy of their own.
class SetupRunTest : public ::testing::Test {
 protected:
  struct Run {
    int exit_code = -1;
    std::string out;
    std::string err;
  };

  // The example medium, shared by the tests that do not change it.
  static const std::filesystem::path& ExampleMedium();
  // A copy of the example medium for this test to change; drive D: from now on.
  std::filesystem::path OwnMedium();

  // Lines added to the machine's settings: drive sections and [System] entries.
  void AddMachineSettings(const std::string& lines) { extra_settings_ += lines; }
  // Lines added to drive C:'s section (FreeBytes, ClusterSize).
  void AddDriveCSettings(const std::string& lines) { drive_c_settings_ += lines; }
  // More variables of the program's environment, "NAME=value" each.
  void AddEnvironment(const std::string& assignment) { environment_.push_back(assignment); }

  // Runs D:\setup with the answers; the machine is made before the first run.
  Run RunSetup(const std::string& answers);
  // Starts a Windows command line on this machine the way the setup starts programs, with answers of
  // its own, and waits for the program to end; its exit code comes from the record of its run. The
  // program's output is left to the test program's.
  Run StartAndWait(const std::string& command_line, const std::string& answers);
  // Waits until the transcript holds `count` lines that begin with `start`; false after a minute.
  bool WaitForTranscriptLines(const std::string& start, std::size_t count) const;
  // The uninstall entry's command, as the registry of this machine holds it; empty when missing.
  std::string UninstallString(const std::string& program) const;

  // The machine as a fresh one is before any program ran on it, made now if it does not exist yet.
  MachineState FreshMachineState();
  MachineState CurrentMachineState() const;

  std::vector<std::string> Transcript() const;
  bool TranscriptHas(const std::string& line) const;
  // Whether some transcript line begins with `start`.
  bool TranscriptHasLineStarting(const std::string& start) const;
  std::string Registry() const;
  // The host file of a path on drive C:, given with backslashes.
  std::filesystem::path OnDriveC(const std::string& windows_path) const;
  WalkedLog InstalledLog(const std::string& destination) const;
  std::filesystem::path MachineRoot() const { return dir_.Path() / "machine"; }
  void PrepareMachine();

  TempDir dir_;

 private:
  std::filesystem::path medium_;
  std::string extra_settings_;
  std::string drive_c_settings_;
  std::vector<std::string> environment_;
  bool machine_made_ = false;
};

}  // namespace vtsetup::testing
