#include "platform/host/files/host_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ascii.h"
#include "platform/host/files/drive_rules.h"
#include "platform/host/machine/host_errors.h"
#include "platform/host/machine/own_program.h"
#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

class HostFile final : public File {
 public:
  struct Ties {
    OpenFiles& open_files;
    std::uint64_t ticket;
    DriveQuotas* quotas;  // null when the file's drive has no quota
  };

  HostFile(int descriptor, std::string host_path, Ties ties)
      : descriptor_(descriptor), host_path_(std::move(host_path)), ties_(ties) {}
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;
  ~HostFile() override {
    ties_.open_files.Release(ties_.ticket);
    ::close(descriptor_);
  }

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
    std::uint32_t allowed = size;
    std::uint64_t old_size = 0;
    std::uint64_t granted_size = 0;
    if (ties_.quotas != nullptr) {
      struct stat info {};
      const off_t position = ::lseek(descriptor_, 0, SEEK_CUR);
      if (position < 0 || ::fstat(descriptor_, &info) != 0) {
        return Failure();
      }
      old_size = static_cast<std::uint64_t>(info.st_size);
      const std::uint64_t end = static_cast<std::uint64_t>(position) + size;
      granted_size = ties_.quotas->Grow(host_path_, old_size, std::max(old_size, end));
      allowed = granted_size >= end ? size
                : granted_size > static_cast<std::uint64_t>(position)
                    ? static_cast<std::uint32_t>(granted_size - static_cast<std::uint64_t>(position))
                    : 0;
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    SystemError error = ERR_NONE;
    while (transferred < allowed) {
      const ssize_t put = ::write(descriptor_, bytes + transferred, allowed - transferred);
      if (put < 0) {
        if (errno == EINTR) {
          continue;
        }
        error = Failure();
        break;
      }
      transferred += static_cast<std::uint32_t>(put);
    }
    if (ties_.quotas != nullptr && error != ERR_NONE) {
      // Space granted for bytes that never arrived goes back to the drive.
      struct stat info {};
      if (::fstat(descriptor_, &info) == 0) {
        ties_.quotas->Shrink(host_path_, std::max(granted_size, old_size),
                             std::max(old_size, static_cast<std::uint64_t>(info.st_size)));
      }
    }
    if (error == ERR_NONE && transferred < size) {
      error = ERR_HANDLE_DISK_FULL;
    }
    return error;
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
  Ties ties_;
};

OpenFiles::Identity IdentityOf(const struct stat& info) {
  return {info.st_dev, info.st_ino};
}

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
  // Truncation waits until the sharing checks have passed, so a refused open leaves the file intact.
  switch (creation) {
    case FileCreation::CreateNew:
      flags |= O_CREAT | O_EXCL;
      break;
    case FileCreation::CreateAlways:
      flags |= O_CREAT;
      break;
    case FileCreation::OpenExisting:
      break;
    case FileCreation::OpenAlways:
      flags |= O_CREAT;
      break;
    case FileCreation::TruncateExisting:
      break;
  }
  return flags;
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
  return (*pattern == '?' || AsciiUpper(*pattern) == AsciiUpper(*name)) &&
         MatchesPattern(pattern + 1, name + 1);
}

bool Makes(FileCreation creation) {
  return creation == FileCreation::CreateNew || creation == FileCreation::CreateAlways ||
         creation == FileCreation::OpenAlways;
}

// What the resolution saw at the path, which opening need not look at again.
SeenAtPath SeenBy(const ResolvedPath& resolved) {
  if (resolved.missing) {
    return SeenAtPath::Nothing;
  }
  const bool plain = S_ISREG(resolved.info.st_mode) || S_ISDIR(resolved.info.st_mode);
  return resolved.seen && plain ? SeenAtPath::FileOrFolder : SeenAtPath::NotLooked;
}

// Whether an open may change the file: write through its handle, truncate it or make it. Opens that fail
// anyway (a file to open that is missing, a file to make anew that exists, a folder on the way that is
// missing) are left to fail as they would on any drive.
bool OpenWouldChange(const std::string& host_path, FileAccess access, FileCreation creation) {
  struct stat info {};
  if (::stat(host_path.c_str(), &info) != 0) {
    return Makes(creation) && WouldBeMade(host_path);
  }
  const bool truncates = creation == FileCreation::CreateAlways || creation == FileCreation::TruncateExisting;
  return !S_ISDIR(info.st_mode) && creation != FileCreation::CreateNew &&
         (access != FileAccess::Read || truncates);
}

bool NtfsOrder(const FoundFile& a, const FoundFile& b) {
  const std::string_view x(a.name.Data(), a.name.Length());
  const std::string_view y(b.name.Data(), b.name.Length());
  const auto folded_less = [](char p, char q) {
    return static_cast<unsigned char>(AsciiUpper(p)) < static_cast<unsigned char>(AsciiUpper(q));
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

SystemError HostFileSystem::Reach(const char* path, ResolvedPath& resolved) {
  resolved = machine_.Resolve(path, folder_names_);
  if (resolved.host.empty()) {
    return ERR_PATH_NOT_FOUND;
  }
  // What the resolution found on the drive shows its medium as well as a look at the drive's folder.
  return resolved.drive_present || HasMedium(*resolved.drive) ? ERR_NONE : ERR_NOT_READY;
}

SystemError HostFileSystem::Reach(const char* path, std::string& host_path) {
  ResolvedPath resolved;
  const SystemError error = Reach(path, resolved);
  host_path = std::move(resolved.host);
  return error;
}

OpenResult HostFileSystem::Open(const char* path, FileAccess access, std::uint32_t share,
                                FileCreation creation) {
  // Windows will not truncate through a handle that may not write.
  if (creation == FileCreation::TruncateExisting && access == FileAccess::Read) {
    return {nullptr, ERR_INVALID_PARAMETER};
  }
  ResolvedPath target;
  if (const SystemError unreached = Reach(path, target); unreached != ERR_NONE) {
    return {nullptr, unreached};
  }
  const std::string& host_path = target.host;
  if (const SystemError refused = ChangeRefusal(machine_, host_path);
      refused != ERR_NONE && OpenWouldChange(host_path, access, creation)) {
    return {nullptr, refused};
  }
  const bool quota = quotas_.Prepare(host_path);
  // Nothing of that name, in a folder that is there: what open() would answer, known without asking.
  if (target.missing && !Makes(creation)) {
    return {nullptr, ERR_FILE_NOT_FOUND};
  }
  // A folder is no file to Windows, nor is a pipe or a device; both are refused as access denied.
  struct stat info {};
  UniqueDescriptor descriptor(OpenPlainFile(host_path, OpenFlags(access, creation), info, SeenBy(target)));
  if (descriptor.Get() < 0) {
    return {nullptr, ErrorFromErrno(errno, host_path)};
  }
  std::uint64_t ticket = 0;
  if (const SystemError refused = open_files_.Admit(IdentityOf(info), access, share, ticket);
      refused != ERR_NONE) {
    return {nullptr, refused};
  }
  // Other processes see an unshared file locked; between two shared opens only this process knows
  // the finer rules.
  if (::flock(descriptor.Get(), (share == SHARE_NONE ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
    open_files_.Release(ticket);
    return {nullptr, ERR_SHARING_VIOLATION};
  }
  if ((creation == FileCreation::CreateAlways || creation == FileCreation::TruncateExisting) &&
      info.st_size > 0) {
    if (::ftruncate(descriptor.Get(), 0) != 0) {
      open_files_.Release(ticket);
      return {nullptr, ErrorFromErrno(errno, host_path)};
    }
    quotas_.Shrink(host_path, static_cast<std::uint64_t>(info.st_size), 0);
  }
  const HostFile::Ties ties{open_files_, ticket, quota ? &quotas_ : nullptr};
  return {std::make_unique<HostFile>(descriptor.Release(), host_path, ties), ERR_NONE};
}

SystemError HostFileSystem::Delete(const char* path) {
  std::string host_path;
  if (const SystemError unreached = Reach(path, host_path); unreached != ERR_NONE) {
    return unreached;
  }
  struct stat info {};
  if (::lstat(host_path.c_str(), &info) != 0) {
    return ErrorFromErrno(errno, host_path);
  }
  if (S_ISDIR(info.st_mode)) {
    return ERR_ACCESS_DENIED;
  }
  if (const SystemError refused = LinkRefusal(machine_, host_path); refused != ERR_NONE) {
    return refused;
  }
  if (const SystemError refused = ChangeRefusal(machine_, host_path); refused != ERR_NONE) {
    return refused;
  }
  if (const SystemError held = HeldAgainstDeletion(host_path, info); held != ERR_NONE) {
    return held;
  }
  quotas_.Prepare(host_path);
  if (::unlink(host_path.c_str()) != 0) {
    return ErrorFromErrno(errno, host_path);
  }
  quotas_.Shrink(host_path, static_cast<std::uint64_t>(info.st_size), 0);
  return ERR_NONE;
}

SystemError HostFileSystem::MoveReplacing(const char* from, const char* to) {
  std::string from_host;
  std::string to_host;
  if (const SystemError unreached = Reach(from, from_host); unreached != ERR_NONE) {
    return unreached;
  }
  if (const SystemError unreached = Reach(to, to_host); unreached != ERR_NONE) {
    return unreached;
  }
  struct stat moved {};
  if (::lstat(from_host.c_str(), &moved) != 0) {
    return ErrorFromErrno(errno, from_host);
  }
  if (!S_ISREG(moved.st_mode)) {
    return ERR_ACCESS_DENIED;
  }
  // A quota counts a drive's folder; a file that moved between two of them would be counted wrongly.
  if (machine_.DriveHolding(from_host) != machine_.DriveHolding(to_host)) {
    return ERR_NOT_SAME_DEVICE;
  }
  for (const std::string& changed : {from_host, to_host}) {
    if (const SystemError refused = ChangeRefusal(machine_, changed); refused != ERR_NONE) {
      return refused;
    }
  }
  if (const SystemError held = HeldAgainstDeletion(from_host, moved); held != ERR_NONE) {
    return held;
  }
  struct stat replaced {};
  const bool replacing = ::lstat(to_host.c_str(), &replaced) == 0;
  if (replacing) {
    // A folder, a pipe or a device is no file to replace.
    if (!S_ISREG(replaced.st_mode) && !S_ISLNK(replaced.st_mode)) {
      return ERR_ACCESS_DENIED;
    }
    if (const SystemError held = HeldAgainstDeletion(to_host, replaced); held != ERR_NONE) {
      return held;
    }
  } else if (!ParentFolderExists(to_host)) {
    return ERR_PATH_NOT_FOUND;
  }
  quotas_.Prepare(to_host);
  if (::rename(from_host.c_str(), to_host.c_str()) != 0) {
    return ErrorFromErrno(errno, to_host);
  }
  if (replacing && (replaced.st_dev != moved.st_dev || replaced.st_ino != moved.st_ino)) {
    quotas_.Shrink(to_host, static_cast<std::uint64_t>(replaced.st_size), 0);
  }
  return ERR_NONE;
}

SystemError HostFileSystem::Identify(const char* path, FileIdentity& identity) {
  std::string host_path;
  if (const SystemError unreached = Reach(path, host_path); unreached != ERR_NONE) {
    return unreached;
  }
  struct stat info {};
  if (::stat(host_path.c_str(), &info) != 0) {
    return ErrorFromErrno(errno, host_path);
  }
  identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return ERR_NONE;
}

SystemError HostFileSystem::HeldAgainstDeletion(const std::string& host_path, const struct stat& info) {
  const OpenFiles::Identity file = IdentityOf(info);
  if (open_files_.IsOpen(file)) {
    return open_files_.MayDelete(file) ? ERR_NONE : ERR_SHARING_VIOLATION;
  }
  // Another process that holds the file unshared keeps it, as on Windows. Only a plain file is looked
  // at: opening a pipe or a device to look could wait or act, and no handle of ours can hold one.
  if (!S_ISREG(info.st_mode)) {
    return ERR_NONE;
  }
  UniqueDescriptor probe(::open(host_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (probe.Get() >= 0 && ::flock(probe.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return ERR_SHARING_VIOLATION;
  }
  return ERR_NONE;
}

SystemError HostFileSystem::ReplaceFileText(const char* path, std::string_view text) {
  std::string host_path;
  if (const SystemError unreached = Reach(path, host_path); unreached != ERR_NONE) {
    return unreached;
  }
  struct stat info {};
  bool exists = true;
  if (::stat(host_path.c_str(), &info) != 0) {
    const int error = errno;
    if (error != ENOENT || !ParentFolderExists(host_path)) {
      return ErrorFromErrno(error, host_path);
    }
    exists = false;
  }
  if (const SystemError refused = ChangeRefusal(machine_, host_path); refused != ERR_NONE) {
    return refused;
  }
  if (exists) {
    if (!S_ISREG(info.st_mode)) {
      return ERR_ACCESS_DENIED;  // a folder, a pipe or a device is no file to replace
    }
    if (::access(host_path.c_str(), W_OK) != 0) {
      return ErrorFromErrno(errno, host_path);
    }
    if (const SystemError held = HeldAgainstDeletion(host_path, info); held != ERR_NONE) {
      return held;
    }
  }
  const std::uint64_t old_size = exists ? static_cast<std::uint64_t>(info.st_size) : 0;
  const std::uint64_t new_size = text.size();
  quotas_.Prepare(host_path);
  const std::uint64_t granted = quotas_.Grow(host_path, old_size, new_size);
  if (granted < new_size) {
    quotas_.Shrink(host_path, granted, old_size);
    return ERR_HANDLE_DISK_FULL;
  }
  if (const int error = ReplaceWholeFile(host_path, text); error != 0) {
    quotas_.Shrink(host_path, new_size, old_size);
    return ErrorFromErrno(error, host_path);
  }
  quotas_.Shrink(host_path, old_size, new_size);
  return ERR_NONE;
}

SystemError HostFileSystem::CreateFolder(const char* path) {
  std::string host_path;
  if (const SystemError unreached = Reach(path, host_path); unreached != ERR_NONE) {
    return unreached;
  }
  while (host_path.size() > 1 && host_path.back() == '/') {
    host_path.pop_back();
  }
  if (const SystemError refused = ChangeRefusal(machine_, host_path);
      refused != ERR_NONE && WouldBeMade(host_path)) {
    return refused;
  }
  if (::mkdir(host_path.c_str(), 0777) != 0) {
    return errno == EEXIST   ? ERR_ALREADY_EXISTS
           : errno == ENOENT ? ERR_PATH_NOT_FOUND
                             : ErrorFromErrno(errno, host_path);
  }
  return ERR_NONE;
}

SystemError HostFileSystem::RemoveFolder(const char* path) {
  std::string host_path;
  if (const SystemError unreached = Reach(path, host_path); unreached != ERR_NONE) {
    return unreached;
  }
  while (host_path.size() > 1 && host_path.back() == '/') {
    host_path.pop_back();
  }
  struct stat info {};
  if (::lstat(host_path.c_str(), &info) != 0) {
    return ErrorFromErrno(errno, host_path);
  }
  if (!S_ISDIR(info.st_mode)) {
    return ERR_DIRECTORY;
  }
  const DriveConfig* drive = machine_.DriveHolding(host_path);
  if (drive == nullptr || host_path == drive->folder) {
    return ERR_ACCESS_DENIED;
  }
  if (const SystemError refused = LinkRefusal(machine_, host_path); refused != ERR_NONE) {
    return refused;
  }
  if (const SystemError refused = ChangeRefusal(machine_, host_path); refused != ERR_NONE) {
    return refused;
  }
  struct stat current {};
  if (::stat(".", &current) == 0 && current.st_dev == info.st_dev && current.st_ino == info.st_ino) {
    return ERR_SHARING_VIOLATION;
  }
  if (::rmdir(host_path.c_str()) != 0) {
    return errno == EEXIST ? ERR_DIR_NOT_EMPTY : ErrorFromErrno(errno, host_path);
  }
  return ERR_NONE;
}

SystemError HostFileSystem::FindFiles(const char* pattern, std::vector<FoundFile>& found) {
  found.clear();
  std::string host_pattern;
  if (const SystemError unreached = Reach(pattern, host_pattern); unreached != ERR_NONE) {
    return unreached;
  }
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
  return TextString(machine_.FullWindowsPath(path).c_str());
}

TextString HostFileSystem::CurrentFolder() {
  return TextString(machine_.CurrentFolder().c_str());
}

SystemError HostFileSystem::SetCurrentFolder(const char* path) {
  std::string host_path;
  if (const SystemError unreached = Reach(path, host_path); unreached != ERR_NONE) {
    return unreached;
  }
  if (::chdir(host_path.c_str()) != 0) {
    return errno == ENOENT ? ERR_FILE_NOT_FOUND : ErrorFromErrno(errno, host_path);
  }
  return ERR_NONE;
}

TextString HostFileSystem::ModulePath() {
  const std::string program = OwnProgramHostPath();
  return program.empty() ? TextString() : TextString(machine_.WindowsPathFor(program).c_str());
}

TextString HostFileSystem::TempFolder() {
  TextString folder(machine_.FullWindowsPath(machine_.Config().temp_folder.c_str()).c_str());
  folder.EnsureTrailingBackslash();
  return folder;
}

TextString HostFileSystem::ErrorText(SystemError error) {
  return host::ErrorText(error).Left(199);
}

}  // namespace vtsetup::platform::host
