#include "platform/host/files/folder_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <iterator>
#include <utility>

#include "base/ascii.h"
#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::uint32_t kWatchedChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ATTRIB | IN_ONLYDIR;
// Each kept folder holds a watch of the host's per-user allowance, and each name some 70 bytes: the
// names of all kept folders together stay within a megabyte or two. A folder with more is read for
// every question, as it was before anything was kept.
constexpr std::size_t kMaxKeptFolders = 64;
constexpr std::size_t kMaxKeptNames = 20000;
constexpr std::size_t kReportBufferSize = 16384;
// A read that leaves this much of the buffer unused took every report there was: the kernel stops
// only when the queue is empty or the next report does not fit.
constexpr std::size_t kLargestReport = sizeof(inotify_event) + NAME_MAX + 1;

bool ChangesPassThroughThisKernel(const struct statfs& file_system) {
  switch (static_cast<unsigned long>(file_system.f_type)) {
    case EXT4_SUPER_MAGIC:  // ext2 and ext3 too
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case TMPFS_MAGIC:
    case F2FS_SUPER_MAGIC:
      return true;
    default:
      return false;
  }
}

bool SameFolder(const struct stat& a, dev_t device, ino_t inode) {
  return a.st_dev == device && a.st_ino == inode;
}

// The entries of an open folder in listing order, "." and ".." included as the host lists them; nothing
// when it cannot be read. The descriptor is closed.
std::optional<std::vector<std::string>> ReadNames(int descriptor) {
  std::vector<std::string> names;
  DIR* listing = ::fdopendir(descriptor);
  if (listing == nullptr) {
    ::close(descriptor);
    return std::nullopt;
  }
  while (const dirent* entry = ::readdir(listing)) {
    names.emplace_back(entry->d_name);
  }
  ::closedir(listing);
  return names;
}

}  // namespace

FolderNames::~FolderNames() {
  CloseWatchLocked();
}

std::size_t FolderNames::UpperHash::operator()(const std::string& name) const {
  // FNV-1a over the upper-case bytes.
  std::size_t hash = 14695981039346656037ull;
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(AsciiUpper(c))) * 1099511628211ull;
  }
  return hash;
}

bool FolderNames::SameNoCase::operator()(const std::string& a, const std::string& b) const {
  return EqualNoCase(a, b);
}

bool FolderNames::CanKeep(const std::string& folder) {
  struct statfs file_system {};
  return ::statfs(folder.c_str(), &file_system) == 0 && ChangesPassThroughThisKernel(file_system);
}

std::uint64_t FolderNames::FoldersRead() const {
  const std::lock_guard lock(mutex_);
  return folders_read_;
}

bool FolderNames::Keeps(const std::string& folder) {
  const std::lock_guard lock(mutex_);
  return !mark_.ForkedSinceClaimed() && reached_.contains(folder);
}

std::optional<std::string> FolderNames::FindName(const std::string& folder, const struct stat& folder_info,
                                                 const std::string& name) {
  const std::lock_guard lock(mutex_);
  if (WatchReadyLocked()) {
    ApplyChangesLocked();
  }
  // Changes that were lost took the watch with them; a new one starts from nothing kept.
  if (!WatchReadyLocked()) {
    ++folders_read_;
    return ListedName(folder, name);
  }
  const auto reached = reached_.find(folder);
  if (reached != reached_.end() && SameFolder(folder_info, reached->second.device, reached->second.inode)) {
    const auto kept = listings_.find(reached->second.watch);
    if (kept != listings_.end()) {
      return AnswerLocked(kept->second, folder, name);
    }
  }
  return ReadFolderLocked(folder, folder_info, name);
}

bool FolderNames::WatchReadyLocked() {
  // A child shares its parent's watch: every report it took would be lost to the parent.
  if (mark_.ForkedSinceClaimed()) {
    CloseWatchLocked();
    mark_.Claim();
  }
  if (watch_descriptor_ < 0 && !watch_unavailable_) {
    watch_descriptor_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    watch_unavailable_ = watch_descriptor_ < 0;
  }
  return watch_descriptor_ >= 0;
}

void FolderNames::CloseWatchLocked() {
  if (watch_descriptor_ >= 0) {
    ::close(watch_descriptor_);
  }
  watch_descriptor_ = -1;
  reached_.clear();
  listings_.clear();
  kept_names_ = 0;
}

void FolderNames::ApplyChangesLocked() {
  if (reports_ == nullptr) {
    reports_ = std::make_unique<char[]>(kReportBufferSize);
  }
  for (;;) {
    const ssize_t got = ::read(watch_descriptor_, reports_.get(), kReportBufferSize);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      // EAGAIN: nothing was queued. Anything else leaves us not knowing what changed.
      if (got < 0 && errno != EAGAIN) {
        CloseWatchLocked();
      }
      return;
    }
    for (std::size_t at = 0; at + sizeof(inotify_event) <= static_cast<std::size_t>(got);) {
      inotify_event report;
      std::memcpy(&report, reports_.get() + at, sizeof report);
      const char* report_name = reports_.get() + at + sizeof report;
      at += sizeof report + report.len;
      if ((report.mask & IN_Q_OVERFLOW) != 0) {
        // Changes were lost: nothing kept can be trusted, and the watches go with the descriptor.
        CloseWatchLocked();
        return;
      }
      const auto kept = listings_.find(report.wd);
      if (kept == listings_.end()) {
        continue;
      }
      // The folder itself went, or its permissions may have changed; a file in it that changed its
      // attributes is reported with its name, and ignored.
      if ((report.mask & (IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT)) != 0 ||
          ((report.mask & IN_ATTRIB) != 0 && report.len == 0)) {
        ForgetLocked(report.wd);
        ::inotify_rm_watch(watch_descriptor_, report.wd);
        continue;
      }
      if (report.len == 0) {
        continue;
      }
      if ((report.mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
        AddLocked(report.wd, kept->second, report_name);
      } else if ((report.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
        RemoveLocked(kept->second, report_name);
      }
    }
    if (kReportBufferSize - static_cast<std::size_t>(got) >= kLargestReport) {
      return;
    }
  }
}

std::optional<std::string> FolderNames::AnswerLocked(Listing& listing, const std::string& folder,
                                                     const std::string& name) {
  listing.last_used = ++questions_;
  const auto [first, end] = listing.names.equal_range(name);
  if (first == end) {
    return std::string();
  }
  if (std::find(first, end, name) != end) {
    return name;
  }
  if (std::next(first) == end) {
    return *first;
  }
  ++folders_read_;
  return ListedName(folder, name);
}

std::optional<std::string> FolderNames::ReadFolderLocked(const std::string& folder,
                                                         const struct stat& folder_info,
                                                         const std::string& name) {
  UniqueDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (opened.Get() < 0) {
    return std::nullopt;
  }
  struct stat info {};
  struct statfs file_system {};
  int watch = -1;
  // The watch is set on the folder that was opened, and before it is read, so that no change between
  // the reading and the first report is missed. A folder that may be read but not searched is not kept:
  // its names would say that a file is missing where opening it is denied.
  if (::fstat(opened.Get(), &info) == 0 && SameFolder(info, folder_info.st_dev, folder_info.st_ino) &&
      ::fstatfs(opened.Get(), &file_system) == 0 && ChangesPassThroughThisKernel(file_system) &&
      ::access(folder.c_str(), X_OK) == 0) {
    const std::string opened_path = "/proc/self/fd/" + std::to_string(opened.Get());
    watch = ::inotify_add_watch(watch_descriptor_, opened_path.c_str(), kWatchedChanges);
  }
  if (watch >= 0) {
    // Another path reached the same folder before: its listing is the one.
    const auto kept = listings_.find(watch);
    if (kept != listings_.end()) {
      reached_[folder] = {info.st_dev, info.st_ino, watch};
      return AnswerLocked(kept->second, folder, name);
    }
  }
  ++folders_read_;
  std::optional<std::vector<std::string>> listed = ReadNames(opened.Release());
  if (!listed.has_value()) {
    if (watch >= 0) {
      ::inotify_rm_watch(watch_descriptor_, watch);
    }
    return std::nullopt;
  }
  std::vector<std::string>& names = *listed;
  NameMatch match(name);
  for (const std::string& entry : names) {
    if (match.Offer(entry)) {
      break;
    }
  }
  std::string found = match.Found();
  if (watch >= 0) {
    if (names.size() <= kMaxKeptNames) {
      KeepLocked(watch, std::move(names));
      reached_[folder] = {info.st_dev, info.st_ino, watch};
    } else {
      ::inotify_rm_watch(watch_descriptor_, watch);
    }
  }
  return found;
}

void FolderNames::KeepLocked(int watch, std::vector<std::string> names) {
  while (!listings_.empty() &&
         (listings_.size() >= kMaxKeptFolders || kept_names_ + names.size() > kMaxKeptNames)) {
    const auto oldest = std::min_element(
        listings_.begin(), listings_.end(),
        [](const auto& a, const auto& b) { return a.second.last_used < b.second.last_used; });
    const int evicted = oldest->first;
    ForgetLocked(evicted);
    ::inotify_rm_watch(watch_descriptor_, evicted);
  }
  Listing& listing = listings_[watch];
  listing.last_used = ++questions_;
  for (std::string& entry : names) {
    listing.names.insert(std::move(entry));
  }
  kept_names_ += listing.names.size();
}

// A name reported twice (seen by the reading and made again after it) is kept once. A folder that
// grows past what may be kept is no longer kept.
void FolderNames::AddLocked(int watch, Listing& listing, const char* name) {
  const auto [first, end] = listing.names.equal_range(name);
  if (std::find(first, end, name) != end) {
    return;
  }
  if (kept_names_ >= kMaxKeptNames) {
    ForgetLocked(watch);
    ::inotify_rm_watch(watch_descriptor_, watch);
    return;
  }
  listing.names.emplace(name);
  ++kept_names_;
}

void FolderNames::RemoveLocked(Listing& listing, const char* name) {
  const auto [first, end] = listing.names.equal_range(name);
  const auto known = std::find(first, end, name);
  if (known != end) {
    listing.names.erase(known);
    --kept_names_;
  }
}

void FolderNames::ForgetLocked(int watch) {
  if (const auto kept = listings_.find(watch); kept != listings_.end()) {
    kept_names_ -= kept->second.names.size();
    listings_.erase(kept);
  }
  std::erase_if(reached_, [watch](const auto& entry) { return entry.second.watch == watch; });
}

}  // namespace vtsetup::platform::host
