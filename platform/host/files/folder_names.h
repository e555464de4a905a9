#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/host/machine/name_lookup.h"
#include "platform/host/processes/fork_mark.h"

namespace vtsetup::platform::host {

// The names of the folders in which a name was looked for without regard to case, kept so that the next
// question about such a folder costs no listing. Windows finds "FILE5.DAT" where "file5.dat" is; the
// host only finds it by reading the folder, and a copy that makes a thousand files in one folder would
// otherwise read it twice for each of them (once to see whether the file is there, once to make it).
//
// A kept listing follows every change made in its folder, by this process or any other: the folder is
// watched (inotify) from before it is read, and the changes that the watch reports (a name made,
// removed, moved in or out) are applied before every answer. The kernel queues them before the changing
// call returns, so a change that finished before the question is in the answer. Times of change could
// not do this for a folder being filled: each new file changes them, and two changes within the clock's
// granularity leave the same time.
//
// Folders are kept only on file systems whose every change passes through this kernel (ext2/3/4, XFS,
// Btrfs, tmpfs, F2FS); a network, FUSE or overlay file system can change beneath the watch unseen, and
// its folders are read for every question, as is every folder when no watch can be had (no inotify, no
// /proc, the host's limit reached). What is kept is dropped when the queue of changes overflows, when a
// kept folder's own attributes change (its permissions may now deny what its names promise), and in a
// child process after fork, which shares its parent's watch and must not take the parent's reports: it
// starts a watch of its own. A name that several entries match without regard to case is answered from
// a fresh listing, which alone knows the listing order.
class FolderNames final : public NameLookup {
 public:
  FolderNames() = default;
  ~FolderNames() override;
  FolderNames(const FolderNames&) = delete;
  FolderNames& operator=(const FolderNames&) = delete;

  std::optional<std::string> FindName(const std::string& folder, const struct stat& folder_info,
                                      const std::string& name) override;
  // Whether a question about the folder was answered before and its names may still be kept; they are
  // for as long as the folder is the same and nothing was lost.
  bool Keeps(const std::string& folder) override;

  // How many times a folder was read to answer, so that a test can tell a kept listing from a new one.
  std::uint64_t FoldersRead() const;
  // Whether the file system that holds `folder` tells a watch of every change, so its folders are kept.
  static bool CanKeep(const std::string& folder);

 private:
  struct UpperHash {
    std::size_t operator()(const std::string& name) const;
  };
  struct SameNoCase {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Listing {
    std::uint64_t last_used = 0;
    // The folder's names; the spellings of one name without regard to case are neighbours.
    std::unordered_multiset<std::string, UpperHash, SameNoCase> names;
  };
  struct Reached {
    dev_t device;
    ino_t inode;
    int watch;
  };

  // Whether this process has a watch to work with; made on first need.
  bool WatchReadyLocked();
  void ApplyChangesLocked();
  std::optional<std::string> AnswerLocked(Listing& listing, const std::string& folder,
                                          const std::string& name);
  std::optional<std::string> ReadFolderLocked(const std::string& folder, const struct stat& folder_info,
                                              const std::string& name);
  void KeepLocked(int watch, std::vector<std::string> names);
  void AddLocked(int watch, Listing& listing, const char* name);
  void RemoveLocked(Listing& listing, const char* name);
  void ForgetLocked(int watch);
  void CloseWatchLocked();

  mutable std::mutex mutex_;
  int watch_descriptor_ = -1;
  ForkMark mark_;
  bool watch_unavailable_ = false;
  std::unique_ptr<char[]> reports_;
  // Folders by the host path that reached them; several paths may reach one folder, kept once.
  std::map<std::string, Reached> reached_;
  std::unordered_map<int, Listing> listings_;
  std::size_t kept_names_ = 0;
  std::uint64_t questions_ = 0;
  std::uint64_t folders_read_ = 0;
};

}  // namespace vtsetup::platform::host
