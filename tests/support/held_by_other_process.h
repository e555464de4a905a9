#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/file_system.h"

namespace vtsetup::testing {

// Another process that holds `windows_path` open without sharing, as a running game holds its
// executable, from construction until `Release` or the end of the object. The host locks such a file
// across processes, so this is the only way to see an open or a deletion refused for the file's use.
// Fails the test when the other process cannot hold it.
class AnotherProcessHold {
 public:
  AnotherProcessHold(platform::FileSystem& files, const char* windows_path) {
    EXPECT_EQ(::pipe(ready_), 0);
    EXPECT_EQ(::pipe(finish_), 0);
    child_ = ::fork();
    if (child_ == 0) {
      const platform::OpenResult held =
          files.Open(windows_path, platform::FileAccess::Read, platform::SHARE_NONE,
                     platform::FileCreation::OpenExisting);
      const char status = held.error == platform::ERR_NONE ? 'y' : 'n';
      char ignored = 0;
      const bool told = ::write(ready_[1], &status, 1) == 1;
      const bool waited = ::read(finish_[0], &ignored, 1) >= 0;
      ::_exit(told && waited ? 0 : 1);
    }
    char status = 0;
    const bool held = ::read(ready_[0], &status, 1) == 1 && status == 'y';
    EXPECT_TRUE(held) << windows_path;
  }
  AnotherProcessHold(const AnotherProcessHold&) = delete;
  AnotherProcessHold& operator=(const AnotherProcessHold&) = delete;
  ~AnotherProcessHold() { Release(); }

  // The other process lets go of the file and ends.
  void Release() {
    if (child_ <= 0) {
      return;
    }
    EXPECT_EQ(::write(finish_[1], "x", 1), 1);
    int exit_status = 0;
    EXPECT_EQ(::waitpid(child_, &exit_status, 0), child_);
    child_ = 0;
    for (const int descriptor : {ready_[0], ready_[1], finish_[0], finish_[1]}) {
      ::close(descriptor);
    }
  }

 private:
  int ready_[2] = {-1, -1};
  int finish_[2] = {-1, -1};
  pid_t child_ = 0;
};

// Gives what `check` answers while another process holds `windows_path` open without sharing.
template <typename Check>
auto WhileAnotherProcessHolds(platform::FileSystem& files, const char* windows_path, Check check) {
  AnotherProcessHold hold(files, windows_path);
  return check();
}

}  // namespace vtsetup::testing
