// The seam tests of the win32 adapter, run under Wine by scripts/windows-check.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
