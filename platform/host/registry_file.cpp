#include "platform/host/registry_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/host/host_errors.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::size_t kMaxFileSize = std::size_t{8} << 20;

// Closes a descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (descriptor_ >= 0) {
      ::close(descriptor_);
    }
  }

  int Get() const { return descriptor_; }
  // Closes now, for the callers that must see the error of a close.
  bool Close() {
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    return result == 0;
  }

 private:
  int descriptor_;
};

bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(descriptor, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) {
      continue;
    }
    if (put <= 0) {
      errno = put == 0 ? EIO : errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

}  // namespace

RegistryLoad RegistryFile::Read() const {
  const Descriptor file(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) {
    if (errno == ENOENT) {
      return {RegistryText::Parse(""), ERR_NONE};
    }
    return {{}, ErrorFromErrno(errno, path_)};
  }
  std::string text;
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return {{}, ErrorFromErrno(errno, path_)};
    }
    if (got == 0) {
      break;
    }
    if (text.size() + static_cast<std::size_t>(got) > kMaxFileSize) {
      return {{}, ERR_NOT_ENOUGH_MEMORY};
    }
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return {RegistryText::Parse(text), ERR_NONE};
}

SystemError RegistryFile::Change(const std::function<bool(RegistryText&)>& change) const {
  const std::string lock_path = path_ + ".lock";
  const Descriptor lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (lock.Get() < 0) {
    return ErrorFromErrno(errno, lock_path);
  }
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      return ErrorFromErrno(errno, lock_path);
    }
  }
  RegistryLoad load = Read();
  if (load.error != ERR_NONE) {
    return load.error;
  }
  if (!change(load.text)) {
    return ERR_NONE;
  }
  return Replace(load.text.Format());
}

SystemError RegistryFile::Replace(const std::string& text) const {
  const std::string temporary = path_ + ".new";
  Descriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (out.Get() < 0) {
    return ErrorFromErrno(errno, temporary);
  }
  // A person who made the file read-only or private keeps it so.
  struct stat old {};
  const bool mode_kept = ::stat(path_.c_str(), &old) != 0 || ::fchmod(out.Get(), old.st_mode & 07777) == 0;
  if (!mode_kept || !WriteAll(out.Get(), text) || ::fsync(out.Get()) != 0 || !out.Close() ||
      ::rename(temporary.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return ErrorFromErrno(error, path_);
  }
  return ERR_NONE;
}

}  // namespace vtsetup::platform::host
