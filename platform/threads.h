#pragma once

#include <functional>
#include <memory>

namespace vtsetup::platform {

// A thread that runs one body. Its owner decides when it goes: the destructor waits for the body to
// return, so nothing that the body uses is released under it.
class Thread {
 public:
  virtual ~Thread() = default;
};

// Starts threads. The setup needs two at most, the copy and the slideshow workers, and has to carry on
// sensibly when the system cannot give it one.
class Threads {
 public:
  virtual ~Threads() = default;
  // A thread with the default stack size, running `body` at once; null when none could be made.
  virtual std::unique_ptr<Thread> Start(std::function<void()> body) = 0;
};

}  // namespace vtsetup::platform
