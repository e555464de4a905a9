#include "platform/win32/processes/win32_threads.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

using vtsetup::platform::Thread;
using vtsetup::platform::win32::Win32Threads;

TEST(Win32ThreadsTest, TheBodyRunsAndTheOwnerWaitsForIt) {
  Win32Threads threads;
  std::atomic<int> finished{0};
  std::atomic<DWORD> body_thread{0};
  {
    std::vector<std::unique_ptr<Thread>> started;
    for (int i = 0; i < 2; ++i) {
      started.push_back(threads.Start([&] {
        body_thread = ::GetCurrentThreadId();
        ::Sleep(150);
        ++finished;
      }));
      ASSERT_NE(started.back(), nullptr);
    }
    EXPECT_LT(finished.load(), 2);
  }
  EXPECT_EQ(finished.load(), 2);
  EXPECT_NE(body_thread.load(), ::GetCurrentThreadId());
}

}  // namespace
