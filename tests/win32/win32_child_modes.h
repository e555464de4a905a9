#pragma once

namespace vtsetup::testing {

// The test program started again as a child by the tests that need another program: one that ends at
// once, and one that arranges the removal of its own file and ends with the result as its exit code.
inline constexpr char kExitAtOnce[] = "--child-exit-at-once";
inline constexpr char kRemoveOwnProgramFile[] = "--child-remove-own-program-file";

}  // namespace vtsetup::testing
