#include "platform/host/shell/host_shell_link.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <vector>

namespace vtsetup::platform::host {
namespace {

constexpr std::size_t kMaxPath = 260;       // MAX_PATH, the terminating zero included
constexpr std::size_t kInfoTipSize = 1024;  // INFOTIPSIZE, the terminating zero included

enum FileAttribute : std::uint32_t {
  kReadOnly = 0x01,
  kDirectory = 0x10,
  kArchive = 0x20,
};

// Seconds from 1601, when FILETIME starts, to 1970.
constexpr std::int64_t kFileTimeEpochOffset = 11644473600;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsAbsolute(const std::string& path) {
  const bool on_drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                        path[1] == ':' && IsSeparator(path[2]);
  const bool unc = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
  return on_drive || unc;
}

// The folder that holds the target; "C:" alone would name the current folder of C:, so a root keeps
// its backslash.
std::string TargetFolder(const std::string& target) {
  const std::size_t last = target.find_last_of("\\/");
  if (last == std::string::npos) {
    return {};
  }
  std::string folder = target.substr(0, last);
  if (folder.size() == 2 && folder[1] == ':') {
    folder += '\\';
  }
  return folder;
}

std::uint64_t FileTime(const struct statx_timestamp& time) {
  const std::int64_t seconds = time.tv_sec + kFileTimeEpochOffset;
  if (seconds < 0) {
    return 0;
  }
  return static_cast<std::uint64_t>(seconds) * 10'000'000u + time.tv_nsec / 100u;
}

// The target's attributes, times and size when it exists on the machine; the fields stay zero
// otherwise. A file system that does not keep birth times gives the status-change time instead,
// the nearest it has to a creation.
void AddTargetFacts(const std::string& host_path, ShellLinkFields& fields) {
  struct statx info {};
  if (host_path.empty() ||
      ::statx(AT_FDCWD, host_path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
    return;
  }
  const bool directory = S_ISDIR(info.stx_mode);
  fields.file_attributes = directory ? kDirectory : kArchive;
  if (!directory && (info.stx_mode & S_IWUSR) == 0) {
    fields.file_attributes |= kReadOnly;
  }
  fields.creation_time = FileTime((info.stx_mask & STATX_BTIME) != 0 ? info.stx_btime : info.stx_ctime);
  fields.access_time = FileTime(info.stx_atime);
  fields.write_time = FileTime(info.stx_mtime);
  fields.file_size = directory ? 0 : static_cast<std::uint32_t>(info.stx_size);
}

}  // namespace

std::string HostShellLink::StoredTarget(const std::string& given) {
  if (given.empty() || IsAbsolute(given)) {
    return given;
  }
  // FullPath of a rooted path names the current folder's drive without touching the disk.
  const TextString root = files_.FullPath("\\");
  const TextString drive = root.Left(IsSeparator(given[0]) ? 2 : 3);
  return std::string(drive.Data(), drive.Length()) + given;
}

ShellLinkFields HostShellLink::Fields() const {
  ShellLinkFields fields;
  fields.target = target_;
  fields.description = description_;
  fields.working_folder = TargetFolder(target_);
  const DriveConfig* drive =
      target_.size() >= 2 && target_[1] == ':' ? machine_.Config().Drive(target_[0]) : nullptr;
  fields.drive_type = drive != nullptr ? drive->type : DriveType::NoRoot;
  if (drive != nullptr) {
    AddTargetFacts(machine_.HostPathFor(target_.c_str()), fields);
  }
  return fields;
}

ShellResult HostShellLink::SetPath(const char* target) {
  if (target == nullptr) {
    return SHELL_INVALID_ARGUMENT;
  }
  std::string stored = StoredTarget(target);
  if (stored.size() >= kMaxPath) {
    return SHELL_INVALID_ARGUMENT;
  }
  target_ = std::move(stored);
  return SHELL_OK;
}

ShellResult HostShellLink::SetDescription(const char* description) {
  if (description == nullptr || std::strlen(description) >= kInfoTipSize) {
    return SHELL_INVALID_ARGUMENT;
  }
  description_ = description;
  return SHELL_OK;
}

ShellResult HostShellLink::Save(const char* link_path) {
  if (link_path == nullptr || std::strlen(link_path) >= kMaxPath) {
    return SHELL_INVALID_ARGUMENT;
  }
  const std::vector<unsigned char> bytes = ShellLinkFileBytes(Fields());

  bool written = false;
  {
    OpenResult open = files_.Open(link_path, FileAccess::Write, SHARE_NONE, FileCreation::CreateAlways);
    if (!open.file) {
      return SHELL_FAIL;
    }
    const auto size = static_cast<std::uint32_t>(bytes.size());
    std::uint32_t transferred = 0;
    written = open.file->Write(bytes.data(), size, transferred) == ERR_NONE && transferred == size;
  }
  if (!written) {
    files_.Delete(link_path);
    return SHELL_FAIL;
  }
  return SHELL_OK;
}

}  // namespace vtsetup::platform::host
