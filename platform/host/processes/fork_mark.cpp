#include "platform/host/processes/fork_mark.h"

#include <sys/mman.h>
#include <unistd.h>

namespace vtsetup::platform::host {

ForkMark::ForkMark() {
  const long page_size = ::sysconf(_SC_PAGESIZE);
  void* page = page_size > 0 ? ::mmap(nullptr, static_cast<std::size_t>(page_size), PROT_READ | PROT_WRITE,
                                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                             : MAP_FAILED;
  if (page != MAP_FAILED) {
    if (::madvise(page, static_cast<std::size_t>(page_size), MADV_WIPEONFORK) == 0) {
      page_ = static_cast<volatile unsigned char*>(page);
      page_size_ = static_cast<std::size_t>(page_size);
    } else {
      ::munmap(page, static_cast<std::size_t>(page_size));
    }
  }
  Claim();
}

ForkMark::~ForkMark() {
  if (page_ != nullptr) {
    ::munmap(const_cast<unsigned char*>(page_), page_size_);
  }
}

bool ForkMark::ForkedSinceClaimed() const {
  return page_ != nullptr ? page_[0] == 0 : ::getpid() != claimant_;
}

void ForkMark::Claim() {
  if (page_ != nullptr) {
    page_[0] = 1;
  } else {
    claimant_ = ::getpid();
  }
}

}  // namespace vtsetup::platform::host
