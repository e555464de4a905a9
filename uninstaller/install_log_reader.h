#pragma once

// Interim copy of the reader's agreed interface, replaced by the reader's own file when merged.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/text_string.h"
#include "platform/errors.h"
#include "platform/file_system.h"

namespace vtsetup::uninstaller {

enum class LogRecordType : std::uint8_t { Directory = 2, File = 3, Key = 4, Shortcut = 5, Group = 6 };
struct LogRecord {
  LogRecordType type;
  bool absolute;
  TextString text;
  TextString shortcut;
  std::uint32_t offset;
};
enum class LogState { Closed, Unclosed, PartialRecord, Damaged, Unreadable };
struct InstallLogContents {
  LogState state = LogState::Unreadable;
  TextString program_name;
  std::vector<LogRecord> records;
  std::string problem;
};
InstallLogContents ParseInstallLog(std::span<const std::uint8_t> bytes);
struct InstallLogRead {
  InstallLogContents contents;
  platform::SystemError error = platform::ERR_NONE;
};
inline constexpr std::uint32_t kMaxInstallLogBytes = 16u << 20;
InstallLogRead ReadInstallLog(platform::FileSystem& files, const char* path);

}  // namespace vtsetup::uninstaller
