#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "platform/host/host_profile.h"
#include "platform/host/profile_edit.h"

namespace vtsetup::platform::host {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }

  int Get() const { return descriptor_; }
  // Closing can report a write that failed late, so the writer asks for its result.
  bool Close() { return descriptor_ < 0 || ::close(std::exchange(descriptor_, -1)) == 0; }

 private:
  int descriptor_;
};

// Removes a file on every way out unless it was kept.
class RemovedUnlessKept {
 public:
  explicit RemovedUnlessKept(std::string path) : path_(std::move(path)) {}
  RemovedUnlessKept(const RemovedUnlessKept&) = delete;
  RemovedUnlessKept& operator=(const RemovedUnlessKept&) = delete;
  ~RemovedUnlessKept() {
    if (!kept_) {
      ::unlink(path_.c_str());
    }
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

bool HasLineBreak(const char* text) {
  return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

bool IsName(const char* text) {
  return text != nullptr && *text != '\0';
}

enum class ReadOutcome { Read, Missing, Failed };

// A file that exists but cannot be read must not be replaced by what little we know of it.
ReadOutcome ReadExisting(const std::string& host_path, std::string& text, mode_t& mode) {
  Descriptor file(::open(host_path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) {
    return errno == ENOENT ? ReadOutcome::Missing : ReadOutcome::Failed;
  }
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return ReadOutcome::Failed;
  }
  mode = info.st_mode & 07777;
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got == 0) {
      return ReadOutcome::Read;
    }
    if (got < 0 && errno != EINTR) {
      return ReadOutcome::Failed;
    }
    if (got > 0) {
      text.append(chunk, static_cast<std::size_t>(got));
    }
  }
}

bool WriteAll(int descriptor, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(descriptor, text.data(), text.size());
    if (put < 0 && errno != EINTR) {
      return false;
    }
    if (put > 0) {
      text.remove_prefix(static_cast<std::size_t>(put));
    }
  }
  return true;
}

// The whole new text goes into a file beside the old one, which then takes its place in one rename:
// a crash leaves the old file or the new one, never half of either. A new file gets the mode that the
// process's umask gives; a replaced file keeps its own.
bool ReplaceFile(const std::string& host_path, std::string_view text, std::optional<mode_t> mode) {
  const std::size_t slash = host_path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : host_path.substr(0, slash);
  std::random_device random;
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "/.vtprofile-%08x", static_cast<unsigned>(random()));
    const std::string temporary = folder + name;
    Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
      if (errno == EEXIST) {
        continue;
      }
      return false;
    }
    RemovedUnlessKept removed(temporary);
    if ((mode && ::fchmod(file.Get(), *mode) != 0) || !WriteAll(file.Get(), text) ||
        ::fsync(file.Get()) != 0 || !file.Close() || ::rename(temporary.c_str(), host_path.c_str()) != 0) {
      return false;
    }
    removed.Keep();
    return true;
  }
  return false;
}

}  // namespace

bool HostProfile::WriteString(const char* file, const char* section, const char* key, const char* value) {
  if (!IsName(section) || (key != nullptr && !IsName(key)) || HasLineBreak(section) || HasLineBreak(key) ||
      HasLineBreak(value)) {
    return false;
  }
  const std::string host_path = HostFile(file);
  if (host_path.empty()) {
    return false;
  }
  std::string text;
  mode_t mode = 0;
  const ReadOutcome read = ReadExisting(host_path, text, mode);
  if (read == ReadOutcome::Failed) {
    return false;
  }
  const std::string edited = EditProfileText(text, section, key, value);
  if (edited == text) {
    return true;  // also a removal from a file that does not exist, which stays so
  }
  return ReplaceFile(host_path, edited,
                     read == ReadOutcome::Read ? std::optional<mode_t>(mode) : std::nullopt);
}

}  // namespace vtsetup::platform::host
