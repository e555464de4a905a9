#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "base/debug_trace.h"
#include "platform/file_system.h"

namespace vtsetup {

enum class LogResult : std::uint32_t {
  LOG_OK = 0,
  LOG_CREATE_FAILED = 1,
  LOG_EXISTS = 2,
  LOG_NOT_OPEN = 3,
  LOG_WRITE_FAILED = 4,
};

// "dinstall.log": what the installation made, in order, for the uninstaller, which walks the records
// by their next-record fields. One instance per run, owned by the main sequence; without an open file
// (never opened, opening failed or the user went on without a log) every record is a no-op.
class InstallLog {
 public:
  InstallLog(platform::FileSystem& files, DebugSink& debug) : files_(files), debug_(debug) {}

  bool IsOpen() const { return file_ != nullptr; }

  // Creates the log and writes its header and the program name. Without `replace` an existing log is
  // left as it is and LOG_EXISTS returned. A failure leaves no log open.
  LogResult LogOpen(const char* path, const char* program_name, bool replace);
  LogResult LogDirectory(const char* relative_directory);
  LogResult LogFile(const char* text, bool absolute);
  LogResult LogKey(const char* key_path);
  LogResult LogShortcut(const char* shortcut_name, const char* group_name);
  LogResult LogGroup(const char* group_name);
  // Ends the record chain, stores the file size in the header and closes the file. LOG_WRITE_FAILED
  // when no log is open.
  LogResult LogClose();

 private:
  LogResult WriteRecord(std::uint8_t type, std::uint32_t flags, const char* first_text,
                        const char* second_text);
  bool WriteBytes(const void* bytes, std::uint32_t size);
  // Where the next write lands.
  bool Position(std::uint64_t& position);
  bool LogWriteText(const char* text);
  bool WriteU32At(std::uint64_t offset, std::uint32_t value);

  platform::FileSystem& files_;
  DebugSink& debug_;
  std::unique_ptr<platform::File> file_;
  // Where the last record's next-record field lies, so that closing can end the chain there; 0 before
  // any record.
  std::uint64_t last_next_field_ = 0;
  // The file's position while every write through it went whole: the log is opened unshared, and only
  // these writes move it, so it is the start plus the bytes written. Unknown after a failed write or a
  // seek, when the file is asked.
  std::optional<std::uint64_t> position_;
};

}  // namespace vtsetup
