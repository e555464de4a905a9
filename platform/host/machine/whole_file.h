#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace vtsetup::platform::host {

// A descriptor that closes on every way out.
class UniqueDescriptor {
 public:
  explicit UniqueDescriptor(int descriptor = -1) : descriptor_(descriptor) {}
  UniqueDescriptor(const UniqueDescriptor&) = delete;
  UniqueDescriptor& operator=(const UniqueDescriptor&) = delete;
  ~UniqueDescriptor() { Close(); }

  int Get() const { return descriptor_; }
  int Release() { return std::exchange(descriptor_, -1); }
  // Closing can report a write that failed late; callers that wrote ask for its result.
  bool Close();

 private:
  int descriptor_;
};

// Writes every byte, through short writes and interruptions; false with errno set on failure.
bool WriteAll(int descriptor, std::string_view bytes);

// Opens a plain file of the host with `flags` (and mode 0666 when it is made), never waiting. A pipe
// waits in open() for its other end and in read() for data, a socket or a device answers as it will,
// and opening some devices acts (a tape rewinds, a watchdog arms): none of them is a file to Windows.
// So a name that is known to be no plain file or folder is not opened at all, and what was opened,
// without waiting, is checked before it is used. Returns the descriptor, with `info` of the opened
// file, or -1 with errno set: open()'s own, EISDIR for a folder, ENXIO for anything else that is no
// plain file, as open() itself says for a pipe without a reader or a socket.
//
// A caller that has just looked at the name (lstat) says what it saw, and a plain file, a folder or
// nothing at all is not looked at again.
enum class SeenAtPath { NotLooked, Nothing, FileOrFolder };
int OpenPlainFile(const std::string& host_path, int flags, struct stat& info,
                  SeenAtPath seen = SeenAtPath::NotLooked);

// What tells one state of a file from another without reading it: a file put in its place is
// another inode, a rewritten one has another size or times.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;
  std::int64_t changed_ns = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const struct stat& info);

enum class WholeFileRead { Read, Missing, Failed, TooLarge };

struct WholeFile {
  WholeFileRead outcome = WholeFileRead::Failed;
  std::string text;
  int error_number = 0;  // for Failed
  FileStamp stamp;       // for Read: the file as it was opened
};

// Small files of the host machine (settings, profiles, the registry) read at once. A file above
// `size_limit` is not read, which bounds what a damaged file can make us allocate; a folder or other
// non-file fails at once (OpenPlainFile).
WholeFile ReadWholeFile(const std::string& host_path, std::size_t size_limit);

// Replaces a file's whole text in one rename of a file written beside it, so that a crash or a
// concurrent reader sees the old text or the new one and never half of either. A replaced file keeps
// its permissions; a new one gets what the umask gives. Returns 0 or the errno of the failing step,
// and leaves no temporary file behind.
int ReplaceWholeFile(const std::string& host_path, std::string_view text);

}  // namespace vtsetup::platform::host
