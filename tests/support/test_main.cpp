#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>

#include "tests/support/temp_dir.h"

// Every test program starts here. What asks for the system gets the machine that VTSETUP_MACHINE
// names and, without it, the user's own below $HOME, which a test must never touch. So a run that
// names no machine gets a fresh one in a temporary folder, removed when the tests are done; programs
// that the tests start inherit it.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::optional<vtsetup::testing::TempDir> machine_folder;
  if (std::getenv("VTSETUP_MACHINE") == nullptr) {
    try {
      machine_folder.emplace();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "no machine for the tests: %s\n", error.what());
      return EXIT_FAILURE;
    }
    ::setenv("VTSETUP_MACHINE", machine_folder->File("machine").c_str(), 1);
  }
  return RUN_ALL_TESTS();
}
