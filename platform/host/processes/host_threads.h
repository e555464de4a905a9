#pragma once

#include "platform/threads.h"

namespace vtsetup::platform::host {

class HostThreads final : public Threads {
 public:
  std::unique_ptr<Thread> Start(std::function<void()> body) override;
};

}  // namespace vtsetup::platform::host
