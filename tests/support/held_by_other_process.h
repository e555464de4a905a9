#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace vtsetup::testing {

// Gives what `check` answers while another process holds `windows_path` open without sharing, as a
// running game holds its executable. The host locks such a file across processes, so this is the only
// way to see an open refused for the file's use. Fails the test when the other process cannot hold it.
template <typename Check>
auto WhileAnotherProcessHolds(platform::FileSystem& files, const char* windows_path, Check check) {
  int ready[2];
  int finish[2];
  EXPECT_EQ(::pipe(ready), 0);
  EXPECT_EQ(::pipe(finish), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const platform::OpenResult held = files.Open(windows_path, platform::FileAccess::Read,
                                                 platform::SHARE_NONE, platform::FileCreation::OpenExisting);
    const char status = held.error == platform::ERR_NONE ? 'y' : 'n';
    char ignored = 0;
    const bool told = ::write(ready[1], &status, 1) == 1;
    const bool waited = ::read(finish[0], &ignored, 1) >= 0;
    ::_exit(told && waited ? 0 : 1);
  }
  char status = 0;
  const bool held = ::read(ready[0], &status, 1) == 1 && status == 'y';
  auto answer = check();
  EXPECT_EQ(::write(finish[1], "x", 1), 1);
  int exit_status = 0;
  EXPECT_EQ(::waitpid(child, &exit_status, 0), child);
  for (const int descriptor : {ready[0], ready[1], finish[0], finish[1]}) {
    ::close(descriptor);
  }
  EXPECT_TRUE(held) << windows_path;
  return answer;
}

}  // namespace vtsetup::testing
