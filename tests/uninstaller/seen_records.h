#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "uninstaller/install_log_reader.h"

namespace vtsetup::uninstaller {

// A record as a test expects it, comparable and printable.
struct SeenRecord {
  LogRecordType type;
  bool absolute;
  std::string text;
  std::string shortcut;
  std::uint32_t offset;
  friend bool operator==(const SeenRecord&, const SeenRecord&) = default;
  friend void PrintTo(const SeenRecord& record, std::ostream* out) {
    *out << "{type " << static_cast<int>(record.type) << (record.absolute ? " absolute" : " relative")
         << " \"" << record.text << "\" \"" << record.shortcut << "\" at " << record.offset << "}";
  }
};

inline std::vector<SeenRecord> Seen(const InstallLogContents& contents) {
  std::vector<SeenRecord> seen;
  for (const LogRecord& record : contents.records) {
    seen.push_back({record.type, record.absolute, record.text.Data(), record.shortcut.Data(), record.offset});
  }
  return seen;
}

inline std::vector<SeenRecord> FirstOf(const std::vector<SeenRecord>& records, std::size_t count) {
  return {records.begin(), records.begin() + static_cast<long>(count)};
}

}  // namespace vtsetup::uninstaller
