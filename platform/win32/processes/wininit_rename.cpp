#include "platform/win32/processes/wininit_rename.h"

#include "base/ascii.h"

namespace vtsetup::platform::win32 {
namespace {

// The file is read whole; the start-up step reads no more than this.
constexpr std::uint64_t kLargestWininit = std::uint64_t{1} << 20;

constexpr std::string_view kLineEnd = "\r\n";

// The name of a section's opening line, or nothing for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
  const std::string_view content = TrimBlanks(line);
  if (content.empty() || content.front() != '[') {
    return false;
  }
  const std::string_view inside = content.substr(1);
  name = TrimBlanks(inside.substr(0, inside.find(']')));
  return true;
}

// Writes all of `bytes` at `offset`; a write the disk cuts short is a full disk.
SystemError WriteWhole(File& file, std::int64_t offset, const std::string& bytes) {
  if (const SystemError error = file.Seek(offset, SeekOrigin::Begin, nullptr); error != ERR_NONE) {
    return error;
  }
  std::uint32_t written = 0;
  const SystemError error = file.Write(bytes.data(), static_cast<std::uint32_t>(bytes.size()), written);
  if (error != ERR_NONE) {
    return error;
  }
  return written == bytes.size() ? ERR_NONE : ERR_DISK_FULL;
}

}  // namespace

TextInsertion DeletionLineInsertion(std::string_view wininit_text, std::string_view short_path) {
  std::string line = "NUL=";
  line.append(short_path).append(kLineEnd);
  bool inside_rename = false;
  bool rename_seen = false;
  for (std::size_t at = 0; at < wininit_text.size();) {
    const std::size_t end = wininit_text.find('\n', at);
    const std::size_t next = end == std::string_view::npos ? wininit_text.size() : end + 1;
    std::string_view content = wininit_text.substr(at, next - at);
    while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) {
      content.remove_suffix(1);
    }
    std::string_view name;
    if (SectionName(content, name)) {
      if (inside_rename) {
        return {at, line};
      }
      if (!rename_seen && EqualNoCase(name, "rename")) {
        inside_rename = rename_seen = true;
      }
    }
    at = next;
  }
  std::string appended;
  if (!wininit_text.empty() && wininit_text.back() != '\n') {
    appended.append(kLineEnd);
  }
  if (!inside_rename) {
    appended.append("[rename]").append(kLineEnd);
  }
  appended.append(line);
  return {wininit_text.size(), appended};
}

SystemError ScheduleDeletionInWininit(FileSystem& files, const char* wininit_path, const char* short_path) {
  const OpenResult opened =
      files.Open(wininit_path, FileAccess::ReadWrite, SHARE_NONE, FileCreation::OpenAlways);
  if (!opened.file) {
    return opened.error;
  }
  File& file = *opened.file;
  std::uint64_t size = 0;
  if (const SystemError error = file.Size(size); error != ERR_NONE) {
    return error;
  }
  if (size > kLargestWininit) {
    return ERR_NOT_ENOUGH_MEMORY;
  }
  std::string text(static_cast<std::size_t>(size), '\0');
  std::uint32_t got = 0;
  if (const SystemError error = file.Read(text.data(), static_cast<std::uint32_t>(size), got);
      error != ERR_NONE) {
    return error;
  }
  // Nobody else may write the file while it is open; a short read means the file cannot be trusted, and
  // writing on after it would overwrite what was not read.
  if (got != size) {
    return ERR_GEN_FAILURE;
  }
  const TextInsertion insertion = DeletionLineInsertion(text, short_path);
  // The file first grows by the line's length, with blank lines that the start-up step passes over.
  // Only then is the rest rewritten from the new line on, into room the disk has already given: a disk
  // that fills up leaves at most blank lines behind, never a cut file.
  const std::string room(insertion.text.size(), '\n');
  if (const SystemError error = WriteWhole(file, static_cast<std::int64_t>(text.size()), room);
      error != ERR_NONE) {
    return error;
  }
  return WriteWhole(file, static_cast<std::int64_t>(insertion.offset),
                    insertion.text + text.substr(insertion.offset));
}

}  // namespace vtsetup::platform::win32
