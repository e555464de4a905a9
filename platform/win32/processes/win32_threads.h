#pragma once

#include "platform/threads.h"

namespace vtsetup::platform::win32 {

// Threads made with CreateThread: the system's own thread, which the seam's null answer maps onto
// without an exception in between, and whose end the owner waits for on its handle.
class Win32Threads final : public Threads {
 public:
  std::unique_ptr<Thread> Start(std::function<void()> body) override;
};

}  // namespace vtsetup::platform::win32
