#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/install_log_walk.h"
#include "tests/support/temp_dir.h"

namespace vtsetup::testing {

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
