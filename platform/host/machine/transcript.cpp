#include "platform/host/machine/transcript.h"

#include <fcntl.h>
#include <unistd.h>

#include "base/code_page.h"

namespace vtsetup::platform::host {

void Transcript::Record(const std::string& cp1250_line) const {
  if (!path_.empty()) {
    RecordUtf8(Cp1250ToUtf8(cp1250_line.data(), cp1250_line.size()));
  }
}

void Transcript::RecordUtf8(const std::string& utf8_line) const {
  if (path_.empty()) {
    return;
  }
  const std::string line = utf8_line + "\n";
  const int descriptor = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    return;
  }
  // A transcript is a witness, not part of the run: a line that cannot be written is lost.
  [[maybe_unused]] const ssize_t written = ::write(descriptor, line.data(), line.size());
  ::close(descriptor);
}

}  // namespace vtsetup::platform::host
