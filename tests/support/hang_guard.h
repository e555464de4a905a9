#pragma once

namespace vtsetup::testing {

// Ends the test program with a failure when the code it guards is still running after `seconds`.
// A call that waits on a pipe or a device waits forever, and a suite that hangs tells nobody which
// call did; this one names the test and stops.
class HangGuard {
 public:
  explicit HangGuard(unsigned seconds = 10);
  HangGuard(const HangGuard&) = delete;
  HangGuard& operator=(const HangGuard&) = delete;
  ~HangGuard();
};

}  // namespace vtsetup::testing
