// Feeds arbitrary bytes to the install log reader. Whatever it makes of them must hold together: the
// records lie inside the input in strictly increasing order, each exactly as the writer lays it out
// at its place; a log that is not a log gives no records; and a log read as closed or unclosed is,
// byte for byte, what its program name and records make.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "tests/support/log_layout.h"
#include "uninstaller/install_log_reader.h"

namespace {

using vtsetup::testing::LogLayout;
using vtsetup::uninstaller::InstallLogContents;
using vtsetup::uninstaller::LogRecord;
using vtsetup::uninstaller::LogRecordType;
using vtsetup::uninstaller::LogState;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "install_log_fuzz: %s\n", what);
    std::abort();
  }
}

// A text as the writer stores it: characters, none of them zero, and never none.
bool WellFormed(const vtsetup::TextString& text) {
  return !text.IsEmpty() && std::strlen(text.Data()) == text.Length();
}

void Append(LogLayout& layout, const LogRecord& record) {
  switch (record.type) {
    case LogRecordType::Directory:
      layout.Directory(record.text.Data());
      break;
    case LogRecordType::File:
      record.absolute ? layout.AbsoluteFile(record.text.Data()) : layout.RelativeFile(record.text.Data());
      break;
    case LogRecordType::Key:
      layout.Key(record.text.Data());
      break;
    case LogRecordType::Shortcut:
      layout.Shortcut(record.shortcut.Data(), record.text.Data());
      break;
    case LogRecordType::Group:
      layout.Group(record.text.Data());
      break;
  }
}

// The record laid out afresh must be the input's bytes at its offset, its next-record field being 0
// or the record's own end. Gives the record's length.
std::size_t CheckInPlace(std::span<const std::uint8_t> input, const LogRecord& record) {
  LogLayout alone;
  Append(alone, record);
  const std::vector<unsigned char>& laid_out = alone.bytes;
  Check(record.offset + laid_out.size() <= input.size(), "record past the end of the input");
  const std::uint8_t* at = input.data() + record.offset;
  Check(std::memcmp(at, laid_out.data(), 14) == 0, "record header differs from its fields");
  Check(std::memcmp(at + 18, laid_out.data() + 18, laid_out.size() - 18) == 0,
        "body differs from its fields");
  const std::uint32_t next = at[14] | at[15] << 8 | at[16] << 16 | static_cast<std::uint32_t>(at[17]) << 24;
  Check(next == 0 || next == record.offset + laid_out.size(), "next-record field neither 0 nor the end");
  return laid_out.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  const InstallLogContents log = vtsetup::uninstaller::ParseInstallLog(input);

  const bool troubled = log.state == LogState::PartialRecord || log.state == LogState::Damaged ||
                        log.state == LogState::Unreadable;
  Check(troubled == !log.problem.empty(), "a problem told exactly when there is one");
  if (log.state == LogState::Unreadable) {
    Check(log.records.empty() && log.program_name.IsEmpty(), "an unreadable log with contents");
    return 0;
  }
  Check(std::strlen(log.program_name.Data()) == log.program_name.Length(), "zero inside the program name");

  std::uint64_t previous_end = 0;
  for (const LogRecord& record : log.records) {
    Check(record.offset >= previous_end, "records overlap or go backwards");
    Check(record.offset < size, "record outside the input");
    Check(WellFormed(record.text), "record text empty or holding a zero");
    Check(record.type == LogRecordType::Shortcut ? WellFormed(record.shortcut) : record.shortcut.IsEmpty(),
          "shortcut name where there is none, or a broken one");
    previous_end = record.offset + CheckInPlace(input, record);
  }

  if (log.state == LogState::Closed || log.state == LogState::Unclosed) {
    LogLayout rebuilt = vtsetup::testing::LogHeader(log.program_name.Data());
    for (const LogRecord& record : log.records) {
      Append(rebuilt, record);
    }
    const std::vector<unsigned char> expected =
        log.state == LogState::Closed ? rebuilt.Closed() : rebuilt.bytes;
    Check(expected.size() == size && std::memcmp(expected.data(), data, size) == 0,
          "a complete log is not what its records make");
  }
  return 0;
}
