#include "platform/host/processes/host_debug_sink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vtsetup::platform::host {

void HostDebugSink::Send(const char* line) {
  const char* path = std::getenv("VTSETUP_DEBUG");
  if (path == nullptr || *path == '\0') {
    return;
  }
  const int descriptor = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    return;
  }
  const std::size_t length = std::strlen(line);
  // A trace that cannot be written is dropped; nobody may notice a missing debug line.
  [[maybe_unused]] const ssize_t written = ::write(descriptor, line, length);
  ::close(descriptor);
}

}  // namespace vtsetup::platform::host
