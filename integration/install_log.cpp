#include "integration/install_log.h"

#include <cstring>
#include <initializer_list>
#include <vector>

#include "integration/install_log_format.h"
#include "setupdb/byte_order.h"

namespace vtsetup {
namespace {

using platform::ERR_NONE;
using platform::FileAccess;
using platform::FileCreation;
using platform::SeekOrigin;

using namespace install_log_format;

// The header, the program name's length word and its zero byte come before the first record.
constexpr std::uint32_t kFirstRecordBase = kNameStart + 1;

void AppendU32(std::vector<unsigned char>& bytes, std::uint32_t value) {
  unsigned char word[4];
  PutU32(word, value);
  bytes.insert(bytes.end(), word, word + 4);
}

// The words between a record's header and its texts: the body header's own size, the number of texts
// (a shortcut counts as three) and the texts' sizes with their zero bytes.
std::vector<std::uint32_t> BodyHeader(std::uint8_t type, std::uint32_t first_size,
                                      std::uint32_t second_size) {
  switch (type) {
    case kTypeShortcut:
      return {kLongBodyHeader, 3, first_size, second_size};
    case kTypeDirectory:
    case kTypeGroup:
      return {kShortBodyHeader, 1, first_size};
    default:
      return {kLongBodyHeader, 1, 0, first_size};
  }
}

}  // namespace

bool InstallLog::WriteBytes(const void* bytes, std::uint32_t size) {
  std::uint32_t written = 0;
  const bool whole = file_->Write(bytes, size, written) == ERR_NONE && written == size;
  // After a write that failed, in part or whole, only the file knows where it stands.
  if (whole && position_.has_value()) {
    *position_ += size;
  } else {
    position_.reset();
  }
  return whole;
}

bool InstallLog::Position(std::uint64_t& position) {
  if (!position_.has_value()) {
    std::uint64_t asked = 0;
    if (file_->Seek(0, SeekOrigin::Current, &asked) != ERR_NONE) {
      return false;
    }
    position_ = asked;
  }
  position = *position_;
  return true;
}

bool InstallLog::LogWriteText(const char* text) {
  if (text == nullptr || file_ == nullptr) {
    return false;
  }
  return WriteBytes(text, static_cast<std::uint32_t>(std::strlen(text) + 1));
}

bool InstallLog::WriteU32At(std::uint64_t offset, std::uint32_t value) {
  position_.reset();
  std::uint64_t landed = 0;
  if (file_->Seek(static_cast<std::int64_t>(offset), SeekOrigin::Begin, &landed) != ERR_NONE ||
      landed != offset) {
    return false;
  }
  unsigned char word[4];
  PutU32(word, value);
  return WriteBytes(word, sizeof word);
}

LogResult InstallLog::LogOpen(const char* path, const char* program_name, bool replace) {
  if (path == nullptr || *path == '\0') {
    return LogResult::LOG_NOT_OPEN;
  }
  file_.reset();
  last_next_field_ = 0;
  position_ = 0;
  if (!replace &&
      files_.Open(path, FileAccess::Write, platform::SHARE_NONE, FileCreation::OpenExisting).file) {
    return LogResult::LOG_EXISTS;
  }
  platform::OpenResult created =
      files_.Open(path, FileAccess::Write, platform::SHARE_NONE, FileCreation::CreateAlways);
  if (!created.file) {
    return LogResult::LOG_CREATE_FAILED;
  }
  file_ = std::move(created.file);

  const std::uint32_t name_length =
      program_name == nullptr ? 0 : static_cast<std::uint32_t>(std::strlen(program_name));
  std::vector<unsigned char> header(kMagic, kMagic + sizeof kMagic);
  for (std::uint32_t word : {kHeaderSize, kHeaderVersion, 0u, 0u, 0u, kFirstRecordBase + name_length}) {
    AppendU32(header, word);
  }
  AppendU32(header, name_length + 1);
  // A log that cannot hold its own header is no log: the records would follow a broken start. The
  // file is closed either way, so a failed open never leaves a half-made log open.
  if (!WriteBytes(header.data(), static_cast<std::uint32_t>(header.size())) || !LogWriteText(program_name)) {
    file_.reset();
    return LogResult::LOG_WRITE_FAILED;
  }
  return LogResult::LOG_OK;
}

LogResult InstallLog::WriteRecord(std::uint8_t type, std::uint32_t flags, const char* first_text,
                                  const char* second_text) {
  if (file_ == nullptr) {
    return LogResult::LOG_NOT_OPEN;
  }
  const bool two_texts = type == kTypeShortcut;
  if (first_text == nullptr || (two_texts && second_text == nullptr)) {
    return LogResult::LOG_WRITE_FAILED;
  }
  const std::size_t first_size = std::strlen(first_text) + 1;
  const std::size_t second_size = two_texts ? std::strlen(second_text) + 1 : 0;
  const std::vector<std::uint32_t> body_words =
      BodyHeader(type, static_cast<std::uint32_t>(first_size), static_cast<std::uint32_t>(second_size));
  const std::size_t body_length = 4 * body_words.size() + first_size + second_size;
  // A body longer than its one-byte length would send the uninstaller's walk into the middle of the
  // texts; the record is refused whole, so the chain still ends at the end of the file.
  if (body_length > kMaxBodyLength) {
    return LogResult::LOG_WRITE_FAILED;
  }

  std::uint64_t position = 0;
  if (!Position(position)) {
    return LogResult::LOG_WRITE_FAILED;
  }
  last_next_field_ = position + kNextFieldInRecord;

  // The record goes to the file in one write: a full disk still cuts it where the space ends, as it
  // would cut any of its parts.
  std::vector<unsigned char> record;
  record.reserve(kRecordHeaderSize + body_length);
  AppendU32(record, kRecordHeaderSize);
  AppendU32(record, kRecordMarker);
  record.push_back(type);
  record.push_back(static_cast<unsigned char>(body_length));
  AppendU32(record, flags);
  AppendU32(record, static_cast<std::uint32_t>(position + kRecordHeaderSize + body_length));
  for (std::uint32_t word : body_words) {
    AppendU32(record, word);
  }
  record.insert(record.end(), first_text, first_text + first_size);
  if (two_texts) {
    record.insert(record.end(), second_text, second_text + second_size);
  }
  return WriteBytes(record.data(), static_cast<std::uint32_t>(record.size())) ? LogResult::LOG_OK
                                                                              : LogResult::LOG_WRITE_FAILED;
}

LogResult InstallLog::LogDirectory(const char* relative_directory) {
  const LogResult result = WriteRecord(kTypeDirectory, LOG_RELATIVE, relative_directory, nullptr);
  if (result == LogResult::LOG_OK) {
    DebugTrace(debug_, "Directory %s logged.", relative_directory);
  }
  return result;
}

LogResult InstallLog::LogFile(const char* text, bool absolute) {
  const LogResult result = WriteRecord(kTypeFile, absolute ? LOG_ABSOLUTE : LOG_RELATIVE, text, nullptr);
  if (result == LogResult::LOG_OK) {
    DebugTrace(debug_, "File %s logged.", text);
  }
  return result;
}

LogResult InstallLog::LogKey(const char* key_path) {
  const LogResult result = WriteRecord(kTypeKey, LOG_ABSOLUTE, key_path, nullptr);
  if (result == LogResult::LOG_OK) {
    DebugTrace(debug_, "Key %s logged.", key_path);
  }
  return result;
}

LogResult InstallLog::LogShortcut(const char* shortcut_name, const char* group_name) {
  const LogResult result = WriteRecord(kTypeShortcut, LOG_ABSOLUTE, group_name, shortcut_name);
  if (result == LogResult::LOG_OK) {
    DebugTrace(debug_, "Shortcut %s in Group %s logged.", shortcut_name, group_name);
  }
  return result;
}

LogResult InstallLog::LogGroup(const char* group_name) {
  const LogResult result = WriteRecord(kTypeGroup, LOG_ABSOLUTE, group_name, nullptr);
  if (result == LogResult::LOG_OK) {
    DebugTrace(debug_, "Group %s logged.", group_name);
  }
  return result;
}

LogResult InstallLog::LogClose() {
  if (file_ == nullptr) {
    return LogResult::LOG_WRITE_FAILED;
  }
  bool completed = last_next_field_ == 0 || WriteU32At(last_next_field_, 0);
  std::uint64_t size = 0;
  completed =
      completed && file_->Size(size) == ERR_NONE && WriteU32At(kSizeField, static_cast<std::uint32_t>(size));
  file_.reset();
  last_next_field_ = 0;
  return completed ? LogResult::LOG_OK : LogResult::LOG_WRITE_FAILED;
}

}  // namespace vtsetup
