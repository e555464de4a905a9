#pragma once

#include <memory>
#include <mutex>
#include <utility>

#include "app/dib.h"

namespace vtsetup::app {

// The billboard that the background window shows over its picture while files are copied. The slideshow
// worker swaps it and the window's paint handler draws it, each under the one lock, so a picture is
// never released while it is painted.
class CurrentBillboard {
 public:
  // Puts `next` in place (null for none) and hands back the one it replaced, for the caller to release
  // outside the lock.
  std::unique_ptr<Dib> Swap(std::unique_ptr<Dib> next) {
    const std::lock_guard<std::mutex> hold(lock_);
    return std::exchange(current_, std::move(next));
  }

  // Runs `use` with the billboard (null for none) while the lock is held.
  template <typename Use>
  void WithBillboard(Use use) {
    const std::lock_guard<std::mutex> hold(lock_);
    use(current_.get());
  }

 private:
  std::mutex lock_;
  std::unique_ptr<Dib> current_;
};

}  // namespace vtsetup::app
