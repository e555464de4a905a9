#include "engine/copy_directory.h"

#include <string_view>

#include "base/ascii.h"
#include "engine/copy_file.h"

namespace vtsetup {
namespace {

using platform::ANSWER_IGNORE;
using platform::ANSWER_OK;
using platform::ANSWER_RETRY;
using platform::ANSWER_YES;
using platform::BOX_ABORT_RETRY_IGNORE;
using platform::BOX_ICON_INFORMATION;
using platform::BOX_ICON_STOP;
using platform::BOX_OK_CANCEL;
using platform::BOX_RETRY_CANCEL;
using platform::BOX_YES_NO;

constexpr std::uint16_t MSG_DIRECTORY_EXISTS = 5003;
constexpr std::uint16_t MSG_SOURCE_MISSING = 5004;
constexpr std::uint16_t MSG_FILE_EXISTS = 5005;
constexpr std::uint16_t MSG_WRITE_FAILED = 5006;
constexpr std::uint16_t MSG_READ_FAILED = 5007;
constexpr std::uint16_t MSG_DISK_FULL = 5008;
constexpr std::uint16_t MSG_CHECKSUM = 5010;
// The question about an existing directory is formatted into a smaller buffer than the others.
constexpr std::uint32_t kDirectoryQuestionBuffer = 200;

enum class Decision { Retry, Accept, Stop };

struct Outcome {
  Decision decision;
  WorkerStatus status = STATUS_DONE;
};

TextString Joined(const char* folder) {
  TextString joined(folder);
  joined.EnsureTrailingBackslash();
  return joined;
}

std::string_view DirectoryPart(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::uint32_t Backslashes(std::string_view text) {
  std::uint32_t count = 0;
  for (const char c : text) {
    count += c == '\\' ? 1 : 0;
  }
  return count;
}

// What the user (or nobody) decides about one result of the file copy.
Outcome Decide(const CopyServices& services, CopyContext& context, CopyResult result,
               const TextString& source, const TextString& destination) {
  app::Messages& messages = services.messages;
  switch (result) {
    case CopyResult::COPY_OK:
      return {Decision::Accept};
    case CopyResult::COPY_NO_SOURCE: {
      const std::int32_t answer =
          messages.ShowMessage(MSG_SOURCE_MISSING, source.Data(), BOX_ABORT_RETRY_IGNORE | BOX_ICON_STOP);
      if (answer == ANSWER_RETRY) {
        return {Decision::Retry};
      }
      if (answer == ANSWER_IGNORE) {
        return {Decision::Accept};
      }
      return {Decision::Stop, STATUS_SOURCE_MISSING};
    }
    case CopyResult::COPY_WRITE_FAILED:
      return messages.ShowMessage(MSG_WRITE_FAILED, destination.Data(), BOX_RETRY_CANCEL | BOX_ICON_STOP) ==
                     ANSWER_RETRY
                 ? Outcome{Decision::Retry}
                 : Outcome{Decision::Stop, STATUS_WRITE_FAILED};
    case CopyResult::COPY_READ_FAILED:
      return messages.ShowMessage(MSG_READ_FAILED, source.Data(), BOX_RETRY_CANCEL | BOX_ICON_STOP) ==
                     ANSWER_RETRY
                 ? Outcome{Decision::Retry}
                 : Outcome{Decision::Stop, STATUS_READ_FAILED};
    case CopyResult::COPY_EXISTS:
      if (messages.ShowMessage(MSG_FILE_EXISTS, destination.Data(), BOX_OK_CANCEL | BOX_ICON_STOP) ==
          ANSWER_OK) {
        context.OverwriteAll = true;
        return {Decision::Retry};
      }
      return {Decision::Stop, STATUS_DECLINED};
    case CopyResult::COPY_DISK_FULL:
      return messages.ShowMessage(MSG_DISK_FULL, destination.Data(), BOX_RETRY_CANCEL | BOX_ICON_STOP) ==
                     ANSWER_RETRY
                 ? Outcome{Decision::Retry}
                 : Outcome{Decision::Stop, STATUS_DISK_FULL};
  }
  return {Decision::Stop, STATUS_CREATE_FAILED};
}

// Copies one entry until it is accepted or the user stops; STATUS_DONE when accepted.
WorkerStatus CopyEntry(const CopyServices& services, CopyContext& context, FileEntry& entry) {
  TextString source(context.SourceRoot);
  source.Append(entry.Path);
  TextString destination(context.DestRoot);
  destination.Append(entry.Path);
  DebugTrace(services.debug, "Kopiere %s nach %s.", source.Data(), destination.Data());
  for (;;) {
    std::uint32_t checksum = 0;
    const CopyProgress progress{&services.ui, context.ProgressWindow, context.ProgressControl,
                                context.CopiedBytes, context.TotalBytes};
    const CopyResult result = CopyFileChecked(services.files, source.Data(), destination.Data(),
                                              context.OverwriteAll, &checksum, progress);
    const Outcome outcome = Decide(services, context, result, source, destination);
    if (outcome.decision == Decision::Stop) {
      return outcome.status;
    }
    if (outcome.decision == Decision::Retry) {
      continue;
    }
    if (result == CopyResult::COPY_OK && context.CheckCrc && checksum != entry.Crc) {
      const std::int32_t answer = services.messages.ShowMessage(MSG_CHECKSUM, destination.Data(),
                                                                BOX_ABORT_RETRY_IGNORE | BOX_ICON_STOP);
      if (answer == ANSWER_RETRY) {
        continue;
      }
      if (answer != ANSWER_IGNORE) {
        // A corrupt file that is neither logged nor kept: the roll-back and the uninstaller go by the
        // log and would leave it behind.
        services.files.Delete(destination.Data());
        return STATUS_DECLINED;
      }
    }
    return STATUS_DONE;
  }
}

// Makes the destination directory of a non-empty relative directory, asking before an existing one
// is reused; STATUS_DONE when the walk may go on.
WorkerStatus EnterDirectory(const CopyServices& services, CopyContext& context,
                            const char* relative_directory) {
  TextString directory(context.DestRoot);
  directory.Append(relative_directory);
  directory.RemoveTrailing('\\');
  DebugTrace(services.debug, "Lege Verzeichnis %s an.", directory.Data());
  const platform::SystemError error = services.files.CreateFolder(directory.Data());
  if (error != platform::ERR_NONE && error != platform::ERR_ALREADY_EXISTS) {
    return STATUS_CREATE_FAILED;
  }
  if (error == platform::ERR_ALREADY_EXISTS && !context.OverwriteAll) {
    if (services.messages.ShowMessage(MSG_DIRECTORY_EXISTS, directory.Data(),
                                      BOX_YES_NO | BOX_ICON_INFORMATION,
                                      kDirectoryQuestionBuffer) != ANSWER_YES) {
      return STATUS_DECLINED;
    }
    context.OverwriteAll = true;
  }
  services.log.LogDirectory(relative_directory);
  return STATUS_DONE;
}

}  // namespace

CopyContext::CopyContext(const char* destination_folder, const char* source_folder, std::uint32_t total_bytes,
                         platform::Window progress_window, std::uint16_t progress_control)
    : DestRoot(Joined(destination_folder)),
      SourceRoot(Joined(source_folder)),
      TotalBytes(total_bytes),
      ProgressWindow(progress_window),
      ProgressControl(progress_control) {}

bool FileInDirectory(const char* file_path, const char* relative_directory) {
  return EqualNoCase(DirectoryPart(file_path), relative_directory);
}

bool IsSubdirectoryOf(const char* directory, const char* relative_directory) {
  const std::string_view name(directory);
  const std::string_view parent(relative_directory);
  return Backslashes(name) == Backslashes(parent) + 1 && name.starts_with(parent);
}

bool StaysInside(const char* relative_path) {
  const std::string_view path(relative_path);
  if (path.empty()) {
    return true;
  }
  if (path.front() == '\\' || path.front() == '/' || path.find(':') != std::string_view::npos) {
    return false;
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
    if (path.substr(start, end - start) == "..") {
      return false;
    }
    start = end + 1;
  }
  return true;
}

WorkerStatus CopyDirectory(const CopyServices& services, CopyContext& context, PackInfo& pack,
                           const char* relative_directory) {
  if (*relative_directory != '\0') {
    const WorkerStatus entered = EnterDirectory(services, context, relative_directory);
    if (entered != STATUS_DONE) {
      return entered;
    }
  }
  for (FileEntry& entry : pack.Files) {
    if (entry.RecordSize == 0 || !StaysInside(entry.Path.Data()) ||
        !FileInDirectory(entry.Path.Data(), relative_directory)) {
      continue;
    }
    const WorkerStatus copied = CopyEntry(services, context, entry);
    if (copied != STATUS_DONE) {
      return copied;
    }
    context.CopiedBytes += entry.FileSize;
    services.log.LogFile(entry.Path.Data(), false);
    entry = FileEntry{0, TextString(), 0, 0};
    ++context.CopiedFileCount;
  }
  for (PackDir& dir : pack.Dirs) {
    if (dir.RecordSize == 0 || !StaysInside(dir.Path.Data()) ||
        !IsSubdirectoryOf(dir.Path.Data(), relative_directory)) {
      continue;
    }
    // The entry is handed on as a copy of its path: the walk below clears entries of the same table.
    const TextString path(dir.Path);
    const WorkerStatus result = CopyDirectory(services, context, pack, path.Data());
    if (result != STATUS_DONE) {
      return result;
    }
    dir = PackDir{0, TextString(), false, false};
  }
  return STATUS_DONE;
}

}  // namespace vtsetup
