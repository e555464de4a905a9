// The seam tests of the win32 adapter, run under Wine by scripts/windows-check.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/processes/win32_processes.h"
#include "tests/win32/win32_child_modes.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], vtsetup::testing::kExitAtOnce) == 0) {
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], vtsetup::testing::kRemoveOwnProgramFile) == 0) {
    return static_cast<int>(vtsetup::platform::win32::Win32Processes().RemoveOwnProgramFile());
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
