#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/text_string.h"
#include "integration/install_log_format.h"
#include "platform/errors.h"
#include "platform/file_system.h"

namespace vtsetup::uninstaller {

// "dinstall.log" as the setup writes it, read strictly: every offset and length is checked against
// the file before it is used, and every field must hold what the writer puts there.

enum class LogRecordType : std::uint8_t {
  Directory = install_log_format::kTypeDirectory,
  File = install_log_format::kTypeFile,
  Key = install_log_format::kTypeKey,
  Shortcut = install_log_format::kTypeShortcut,
  Group = install_log_format::kTypeGroup,
};

struct LogRecord {
  LogRecordType type;
  bool absolute;         // LOG_ABSOLUTE (0x100); false for LOG_RELATIVE (0x200)
  TextString text;       // the directory, file, key or group; for Shortcut: the group name
  TextString shortcut;   // Shortcut only: the shortcut's name; empty otherwise
  std::uint32_t offset;  // where the record starts in the file
};

enum class LogState {
  Closed,         // completed by the writer: header size = file size, last next-record field 0
  Unclosed,       // header size 0, the last record's next-record field points at the end of the file
  PartialRecord,  // ends in a record cut short (full disk); everything before it is intact
  Damaged,        // anything else wrong after a good header: `records` holds the intact part before it
  Unreadable      // no log at all: missing, too short, wrong header, broken program name; no records
};

struct InstallLogContents {
  LogState state = LogState::Unreadable;
  TextString program_name;
  std::vector<LogRecord> records;  // in file order
  std::string problem;             // for Damaged / Unreadable / PartialRecord: what and at which offset
};

InstallLogContents ParseInstallLog(std::span<const std::uint8_t> bytes);

struct InstallLogRead {
  InstallLogContents contents;
  platform::SystemError error = platform::ERR_NONE;  // the open or read failure, if any (state Unreadable)
};

// Reads the whole file through the seam, shared for reading; a file larger than kMaxInstallLogBytes is
// Unreadable without being read.
inline constexpr std::uint32_t kMaxInstallLogBytes = 16u << 20;
InstallLogRead ReadInstallLog(platform::FileSystem& files, const char* path);

}  // namespace vtsetup::uninstaller
