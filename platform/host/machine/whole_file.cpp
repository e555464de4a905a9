#include "platform/host/machine/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

namespace vtsetup::platform::host {

bool UniqueDescriptor::Close() {
  return descriptor_ < 0 || ::close(std::exchange(descriptor_, -1)) == 0;
}

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

namespace {

int NoPlainFileError(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? EISDIR : ENXIO;
}

std::int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

}  // namespace

int OpenPlainFile(const std::string& host_path, int flags, struct stat& info, SeenAtPath seen) {
  // A folder is left to open(), which answers for it as each creation mode would.
  if (seen == SeenAtPath::NotLooked && ::stat(host_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) &&
      !S_ISDIR(info.st_mode)) {
    errno = ENXIO;
    return -1;
  }
  UniqueDescriptor file(::open(host_path.c_str(), flags | O_NONBLOCK | O_NOCTTY, 0666));
  if (file.Get() < 0) {
    return -1;
  }
  int error = 0;
  if (::fstat(file.Get(), &info) != 0) {
    error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    error = NoPlainFileError(info);
  } else if (::fcntl(file.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    // Its reads and writes must block again, as every caller expects of a plain file. Setting takes
    // only the status flags (append, direct, no access time, non-blocking) and ignores the rest, so
    // the caller's flags are all that the file had besides the non-blocking one.
    error = errno;
  }
  if (error != 0) {
    file.Close();
    errno = error;
    return -1;
  }
  return file.Release();
}

FileStamp StampOf(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::int64_t>(info.st_size), Nanoseconds(info.st_mtim), Nanoseconds(info.st_ctim)};
}

WholeFile ReadWholeFile(const std::string& host_path, std::size_t size_limit) {
  WholeFile whole;
  struct stat info {};
  const UniqueDescriptor file(OpenPlainFile(host_path, O_RDONLY | O_CLOEXEC, info));
  if (file.Get() < 0) {
    whole.error_number = errno;
    whole.outcome = errno == ENOENT || errno == ENOTDIR ? WholeFileRead::Missing : WholeFileRead::Failed;
    return whole;
  }
  whole.stamp = StampOf(info);
  char chunk[16384];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      whole.error_number = errno;
      whole.text.clear();
      return whole;
    }
    if (got == 0) {
      whole.outcome = WholeFileRead::Read;
      return whole;
    }
    if (whole.text.size() + static_cast<std::size_t>(got) > size_limit) {
      whole.text.clear();
      whole.outcome = WholeFileRead::TooLarge;
      return whole;
    }
    whole.text.append(chunk, static_cast<std::size_t>(got));
  }
}

int ReplaceWholeFile(const std::string& host_path, std::string_view text) {
  const std::size_t slash = host_path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : host_path.substr(0, slash);
  std::random_device random;
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "/.vtsetup-%08x", static_cast<unsigned>(random()));
    const std::string aside = folder + name;
    UniqueDescriptor file(::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
      if (errno == EEXIST) {
        continue;
      }
      return errno;
    }
    // A person who made the file read-only or private keeps it so.
    struct stat old {};
    const bool mode_kept =
        ::stat(host_path.c_str(), &old) != 0 || ::fchmod(file.Get(), old.st_mode & 07777) == 0;
    if (!mode_kept || !WriteAll(file.Get(), text) || ::fsync(file.Get()) != 0 || !file.Close() ||
        ::rename(aside.c_str(), host_path.c_str()) != 0) {
      const int error = errno;
      ::unlink(aside.c_str());
      return error;
    }
    return 0;
  }
  return EEXIST;
}

}  // namespace vtsetup::platform::host
