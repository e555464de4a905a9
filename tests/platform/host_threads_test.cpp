#include "platform/host/processes/host_threads.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "tests/support/test_machine.h"

namespace {

using vtsetup::platform::Thread;

TEST(HostThreads, TheBodyRunsBesideTheCallerAndTheThreadsEndWaitsForIt) {
  vtsetup::testing::TestMachine machine;
  std::thread::id ran_on;
  bool finished = false;
  std::unique_ptr<Thread> thread = machine.System().Threads().Start([&] {
    ran_on = std::this_thread::get_id();
    // Long enough that a thread left to run on would not be done when its owner lets it go.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    finished = true;
  });
  ASSERT_NE(thread, nullptr);
  thread.reset();
  EXPECT_TRUE(finished);
  EXPECT_NE(ran_on, std::this_thread::get_id());
}

}  // namespace
