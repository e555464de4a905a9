#pragma once

#include <sys/types.h>

#include <cstddef>

namespace vtsetup::platform::host {

// Tells a process forked off another from that other one, without asking the kernel each time: the
// mark lives in a page that the kernel wipes in a child (MADV_WIPEONFORK). Where that is not to be had,
// the process number is compared instead, which costs a system call per question.
class ForkMark {
 public:
  // The process that makes the mark has claimed it.
  ForkMark();
  ~ForkMark();
  ForkMark(const ForkMark&) = delete;
  ForkMark& operator=(const ForkMark&) = delete;

  // Whether this process was forked off the one that claimed the mark last.
  bool ForkedSinceClaimed() const;
  void Claim();

 private:
  volatile unsigned char* page_ = nullptr;  // null when no page could be wiped on fork
  std::size_t page_size_ = 0;
  pid_t claimant_ = 0;
};

}  // namespace vtsetup::platform::host
