#include "tests/support/hang_guard.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vtsetup::testing {
namespace {

// The alarm's handler may only use what is safe in a signal handler, so the message is made before.
char hang_message[512];

extern "C" void ReportHang(int) {
  const ssize_t ignored = ::write(STDERR_FILENO, hang_message, std::strlen(hang_message));
  static_cast<void>(ignored);
  ::_exit(EXIT_FAILURE);
}

}  // namespace

HangGuard::HangGuard(unsigned seconds) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::snprintf(hang_message, sizeof hang_message, "\n%s.%s: a call that must not wait blocked for %u s\n",
                test != nullptr ? test->test_suite_name() : "?", test != nullptr ? test->name() : "?",
                seconds);
  std::signal(SIGALRM, ReportHang);
  ::alarm(seconds);
}

HangGuard::~HangGuard() {
  ::alarm(0);
  std::signal(SIGALRM, SIG_DFL);
}

}  // namespace vtsetup::testing
