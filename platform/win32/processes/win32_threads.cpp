#include "platform/win32/processes/win32_threads.h"

#include <windows.h>

#include <new>

#include "platform/win32/unique_resource.h"

namespace vtsetup::platform::win32 {
namespace {

class Win32Thread final : public Thread {
 public:
  explicit Win32Thread(std::function<void()> body) : body_(std::move(body)) {}
  Win32Thread(const Win32Thread&) = delete;
  Win32Thread& operator=(const Win32Thread&) = delete;
  ~Win32Thread() override {
    if (handle_.Valid()) {
      ::WaitForSingleObject(handle_.Get(), INFINITE);
    }
  }

  // The body lives in this object, which outlives the thread, as the destructor waits for it.
  bool Run() {
    DWORD id = 0;
    *handle_.Receive() = ::CreateThread(nullptr, 0, &Win32Thread::Entry, this, 0, &id);
    return handle_.Valid();
  }

 private:
  static DWORD WINAPI Entry(void* thread) {
    static_cast<Win32Thread*>(thread)->body_();
    return 0;
  }

  std::function<void()> body_;
  UniqueKernelHandle handle_;
};

}  // namespace

std::unique_ptr<Thread> Win32Threads::Start(std::function<void()> body) {
  std::unique_ptr<Win32Thread> thread(new (std::nothrow) Win32Thread(std::move(body)));
  if (thread == nullptr || !thread->Run()) {
    return nullptr;
  }
  return thread;
}

}  // namespace vtsetup::platform::win32
