#include "platform/host/processes/host_threads.h"

#include <exception>
#include <new>
#include <thread>

namespace vtsetup::platform::host {
namespace {

class HostThread final : public Thread {
 public:
  explicit HostThread(std::function<void()> body) : thread_(std::move(body)) {}
  ~HostThread() override { thread_.join(); }

 private:
  std::thread thread_;
};

}  // namespace

std::unique_ptr<Thread> HostThreads::Start(std::function<void()> body) {
  // The system refuses a thread with an exception (no resources for it, or no memory for its record);
  // callers of the seam learn it from the null result instead.
  try {
    return std::make_unique<HostThread>(std::move(body));
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace vtsetup::platform::host
