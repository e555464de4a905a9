#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/text_string.h"
#include "platform/errors.h"

namespace vtsetup::platform {

// Values as Windows numbers them, so the win32 adapter passes them straight through.
enum class FileAccess : std::uint32_t { Read = 1, Write = 2, ReadWrite = 3 };

enum FileShare : std::uint32_t {
  SHARE_NONE = 0,
  SHARE_READ = 1,
  SHARE_WRITE = 2,
  SHARE_DELETE = 4,
};

enum class FileCreation : std::uint32_t {
  CreateNew = 1,         // fails with ERR_FILE_EXISTS when the file exists
  CreateAlways = 2,      // creates or truncates
  OpenExisting = 3,      // fails with ERR_FILE_NOT_FOUND or ERR_PATH_NOT_FOUND when missing
  OpenAlways = 4,        // opens or creates
  TruncateExisting = 5,  // opens and truncates; fails when missing
};

enum class SeekOrigin : std::uint32_t { Begin = 0, Current = 1, End = 2 };

// An open file. Closing is the destructor's job, so a file is released on every way out.
// Every operation returns ERR_NONE or the Windows error number of its failure.
class File {
 public:
  virtual ~File() = default;

  // Reads until `size` bytes or the end of the file; reading at the end succeeds with 0 bytes.
  virtual SystemError Read(void* buffer, std::uint32_t size, std::uint32_t& transferred) = 0;
  // A write that fails part-way reports the bytes it did write and the error (ERR_HANDLE_DISK_FULL
  // when the volume is full).
  virtual SystemError Write(const void* buffer, std::uint32_t size, std::uint32_t& transferred) = 0;
  // Moving before the start fails with ERR_NEGATIVE_SEEK; moving past the end is allowed.
  virtual SystemError Seek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position) = 0;
  virtual SystemError Size(std::uint64_t& size) = 0;
};

// One entry of a folder listing.
struct FoundFile {
  TextString name;  // as the file system spells it
  bool directory = false;
};

// Where a file or folder lives, whatever name reaches it: two paths name the same object exactly when
// their identities are equal (the volume's serial number and the file's index on it, on Windows).
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct OpenResult {
  std::unique_ptr<File> file;  // null on failure
  SystemError error = ERR_NONE;
};

// Files addressed by Windows paths in the ANSI code page: relative to the current folder or absolute.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual OpenResult Open(const char* path, FileAccess access, std::uint32_t share,
                          FileCreation creation) = 0;
  virtual SystemError Delete(const char* path) = 0;
  // Moves the file `from` to `to` in one step, replacing a file that is there, so that a reader sees
  // the old file or the new one and never a part. Both must be on one drive (ERR_NOT_SAME_DEVICE);
  // a folder at `to`, or a handle that keeps either file from going away, refuses.
  virtual SystemError MoveReplacing(const char* from, const char* to) = 0;
  // The identity of an existing file or folder; links are followed to what they name.
  virtual SystemError Identify(const char* path, FileIdentity& identity) = 0;
  // Creates one folder; its parent must exist. ERR_ALREADY_EXISTS when it exists already. A trailing
  // separator is allowed.
  virtual SystemError CreateFolder(const char* path) = 0;
  // Removes an empty folder as RemoveDirectoryA does: ERR_DIR_NOT_EMPTY (145) while it holds anything,
  // ERR_FILE_NOT_FOUND / ERR_PATH_NOT_FOUND when it is missing, ERR_ACCESS_DENIED on a drive that refuses
  // changes; never removes anything that is not an empty folder.
  virtual SystemError RemoveFolder(const char* path) = 0;
  // The entries of a folder whose names match a pattern such as "C:\\DATA\\*.*", "." and ".." included
  // as Windows lists them, hidden files too. ERR_PATH_NOT_FOUND and friends when the folder cannot be
  // listed.
  virtual SystemError FindFiles(const char* pattern, std::vector<FoundFile>& found) = 0;
  // The absolute Windows form of a path, relative ones taken from the current folder; "." and ".."
  // resolved.
  virtual TextString FullPath(const char* path) = 0;
  // The current folder, the program's own file and the system's temporary folder, as absolute Windows
  // paths. The temporary folder ends in a backslash. An empty text means the system could not tell.
  virtual TextString CurrentFolder() = 0;
  virtual SystemError SetCurrentFolder(const char* path) = 0;
  virtual TextString ModulePath() = 0;
  virtual TextString TempFolder() = 0;
  // The system's text for an error number, without a line end, at most 199 characters as the
  // callers' 200-byte buffers hold.
  virtual TextString ErrorText(SystemError error) = 0;
};

}  // namespace vtsetup::platform
