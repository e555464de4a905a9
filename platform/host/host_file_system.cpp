#include "platform/host/host_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host/host_errors.h"
#include "platform/host/host_paths.h"

namespace vtsetup::platform::host {
namespace {

class HostFile final : public File {
 public:
  HostFile(int descriptor, std::string host_path)
      : descriptor_(descriptor), host_path_(std::move(host_path)) {}
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;
  ~HostFile() override { ::close(descriptor_); }

  SystemError Read(void* buffer, std::uint32_t size, std::uint32_t& transferred) override {
    transferred = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (transferred < size) {
      const ssize_t got = ::read(descriptor_, bytes + transferred, size - transferred);
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        return Failure();
      }
      if (got == 0) {
        break;
      }
      transferred += static_cast<std::uint32_t>(got);
    }
    return ERR_NONE;
  }

  SystemError Write(const void* buffer, std::uint32_t size, std::uint32_t& transferred) override {
    transferred = 0;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    while (transferred < size) {
      const ssize_t put = ::write(descriptor_, bytes + transferred, size - transferred);
      if (put < 0) {
        if (errno == EINTR) {
          continue;
        }
        return Failure();
      }
      transferred += static_cast<std::uint32_t>(put);
    }
    return ERR_NONE;
  }

  SystemError Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position) override {
    // Find the base without moving, so that a refused seek leaves the position where it was.
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current) {
      base = ::lseek(descriptor_, 0, SEEK_CUR);
    } else if (origin == SeekOrigin::End) {
      struct stat info {};
      base = ::fstat(descriptor_, &info) == 0 ? info.st_size : -1;
    }
    if (base < 0) {
      return Failure();
    }
    if (offset < -base) {
      return ERR_NEGATIVE_SEEK;
    }
    const off_t reached = ::lseek(descriptor_, base + offset, SEEK_SET);
    if (reached < 0) {
      return Failure();
    }
    if (position != nullptr) {
      *position = static_cast<std::uint64_t>(reached);
    }
    return ERR_NONE;
  }

  SystemError Size(std::uint64_t& size) override {
    struct stat info {};
    if (::fstat(descriptor_, &info) != 0) {
      return Failure();
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return ERR_NONE;
  }

 private:
  SystemError Failure() const { return ErrorFromErrno(errno, host_path_); }

  int descriptor_;
  std::string host_path_;
};

int OpenFlags(FileAccess access, FileCreation creation) {
  int flags = O_CLOEXEC;
  switch (access) {
    case FileAccess::Read:
      flags |= O_RDONLY;
      break;
    case FileAccess::Write:
      flags |= O_WRONLY;
      break;
    case FileAccess::ReadWrite:
      flags |= O_RDWR;
      break;
  }
  switch (creation) {
    case FileCreation::CreateNew:
      flags |= O_CREAT | O_EXCL;
      break;
    case FileCreation::CreateAlways:
      flags |= O_CREAT | O_TRUNC;
      break;
    case FileCreation::OpenExisting:
      break;
    case FileCreation::OpenAlways:
      flags |= O_CREAT;
      break;
    case FileCreation::TruncateExisting:
      flags |= O_TRUNC;
      break;
  }
  return flags;
}

char FoldUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows wildcards: "*" any run, "?" one character, letters without regard to case; "*.*" also takes
// names without a dot, as it always has on Windows.
bool MatchesPattern(const char* pattern, const char* name) {
  if (std::string_view(pattern) == "*.*") {
    return true;
  }
  if (*pattern == '\0') {
    return *name == '\0';
  }
  if (*pattern == '*') {
    for (const char* rest = name;; ++rest) {
      if (MatchesPattern(pattern + 1, rest)) {
        return true;
      }
      if (*rest == '\0') {
        return false;
      }
    }
  }
  if (*name == '\0') {
    return false;
  }
  return (*pattern == '?' || FoldUpper(*pattern) == FoldUpper(*name)) &&
         MatchesPattern(pattern + 1, name + 1);
}

bool NtfsOrder(const FoundFile& a, const FoundFile& b) {
  const std::string_view x(a.name.Data(), a.name.Length());
  const std::string_view y(b.name.Data(), b.name.Length());
  const auto folded_less = [](char p, char q) {
    return static_cast<unsigned char>(FoldUpper(p)) < static_cast<unsigned char>(FoldUpper(q));
  };
  if (std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), folded_less)) {
    return true;
  }
  if (std::lexicographical_compare(y.begin(), y.end(), x.begin(), x.end(), folded_less)) {
    return false;
  }
  return x < y;
}

}  // namespace

OpenResult HostFileSystem::Open(const char* path, FileAccess access, std::uint32_t /*share*/,
                                FileCreation creation) {
  // Windows will not truncate through a handle that may not write.
  if (creation == FileCreation::TruncateExisting && access == FileAccess::Read) {
    return {nullptr, ERR_INVALID_PARAMETER};
  }
  const std::string host_path = HostPathFor(path);
  if (host_path.empty()) {
    return {nullptr, ERR_PATH_NOT_FOUND};
  }
  const int descriptor = ::open(host_path.c_str(), OpenFlags(access, creation), 0666);
  if (descriptor < 0) {
    return {nullptr, ErrorFromErrno(errno, host_path)};
  }
  struct stat info {};
  if (::fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(descriptor);
    return {nullptr, ERR_ACCESS_DENIED};  // a folder is no file to Windows
  }
  return {std::make_unique<HostFile>(descriptor, host_path), ERR_NONE};
}

SystemError HostFileSystem::Delete(const char* path) {
  const std::string host_path = HostPathFor(path);
  struct stat info {};
  if (::lstat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    return ERR_ACCESS_DENIED;
  }
  if (::unlink(host_path.c_str()) != 0) {
    return ErrorFromErrno(errno, host_path);
  }
  return ERR_NONE;
}

SystemError HostFileSystem::FindFiles(const char* pattern, std::vector<FoundFile>& found) {
  found.clear();
  const std::string host_pattern = HostPathFor(pattern);
  const std::string::size_type slash = host_pattern.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : host_pattern.substr(0, slash + 1);
  const std::string name_pattern = slash == std::string::npos ? host_pattern : host_pattern.substr(slash + 1);
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) {
    const int error = errno;
    return error == ENOENT ? ERR_PATH_NOT_FOUND : ErrorFromErrno(error, folder);
  }
  while (const dirent* entry = ::readdir(listing)) {
    if (!MatchesPattern(name_pattern.c_str(), entry->d_name)) {
      continue;
    }
    // The listing usually says what an entry is; only links and unknown kinds need a look of their own.
    bool is_directory = entry->d_type == DT_DIR;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      is_directory = ::stat((folder + "/" + entry->d_name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    found.push_back({TextString(entry->d_name), is_directory});
  }
  ::closedir(listing);
  std::sort(found.begin(), found.end(), NtfsOrder);
  return found.empty() ? ERR_FILE_NOT_FOUND : ERR_NONE;
}

TextString HostFileSystem::FullPath(const char* path) {
  std::string windows(path != nullptr ? path : "");
  for (char& c : windows) {
    if (c == '/') {
      c = '\\';
    }
  }
  std::string prefix;
  if (windows.size() >= 2 && windows[1] == ':') {
    prefix = windows.substr(0, 2);
    windows.erase(0, 2);
  } else {
    prefix = "Z:";
    if (windows.empty() || windows[0] != '\\') {
      std::vector<char> buffer(4096);
      const std::string current = ::getcwd(buffer.data(), buffer.size()) != nullptr ? buffer.data() : "/";
      windows = WindowsPathFor(current).substr(2) + "\\" + windows;
    }
  }
  // Resolve "." and ".." name by name; ".." at the root stays at the root, as on Windows.
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (start <= windows.size()) {
    const std::string::size_type end = std::min(windows.find('\\', start), windows.size());
    const std::string part = windows.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) {
        parts.pop_back();
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string full = prefix;
  for (const std::string& part : parts) {
    full += "\\" + part;
  }
  if (parts.empty() || windows.back() == '\\') {
    full += "\\";
  }
  return TextString(full.c_str());
}

TextString HostFileSystem::ErrorText(SystemError error) {
  return host::ErrorText(error).Left(199);
}

}  // namespace vtsetup::platform::host
