#include "uninstaller/install_log_reader.h"

#include <new>
#include <utility>

namespace vtsetup::uninstaller {
namespace {

InstallLogRead Unreadable(std::string problem, platform::SystemError error = platform::ERR_NONE) {
  InstallLogRead read;
  read.contents.problem = std::move(problem);
  read.error = error;
  return read;
}

}  // namespace

InstallLogRead ReadInstallLog(platform::FileSystem& files, const char* path) {
  if (path == nullptr) {
    return Unreadable("no log named", platform::ERR_INVALID_PARAMETER);
  }
  // Shared for writing too, so that a log which another program holds open for reading, or for
  // writing with others allowed to read, can be read all the same.
  const platform::OpenResult opened =
      files.Open(path, platform::FileAccess::Read, platform::SHARE_READ | platform::SHARE_WRITE,
                 platform::FileCreation::OpenExisting);
  if (opened.file == nullptr) {
    return Unreadable("the log cannot be opened", opened.error);
  }
  std::uint64_t size = 0;
  if (const platform::SystemError error = opened.file->Size(size); error != platform::ERR_NONE) {
    return Unreadable("the log's size cannot be taken", error);
  }
  if (size > kMaxInstallLogBytes) {
    return Unreadable(std::to_string(size) + " bytes, more than any log of ours");
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return Unreadable("no memory for the log", platform::ERR_NOT_ENOUGH_MEMORY);
  }
  std::uint32_t read_bytes = 0;
  while (read_bytes < bytes.size()) {
    std::uint32_t transferred = 0;
    const platform::SystemError error = opened.file->Read(
        bytes.data() + read_bytes, static_cast<std::uint32_t>(bytes.size()) - read_bytes, transferred);
    if (error != platform::ERR_NONE) {
      return Unreadable("reading failed at offset " + std::to_string(read_bytes), error);
    }
    if (transferred == 0) {
      // Cut short since its size was taken: someone is changing the log, and what it says now is
      // nothing to remove files by.
      return Unreadable("the log ended at offset " + std::to_string(read_bytes) + " of " +
                        std::to_string(bytes.size()) + " while it was read");
    }
    read_bytes += transferred;
  }
  InstallLogRead read;
  read.contents = ParseInstallLog(bytes);
  return read;
}

}  // namespace vtsetup::uninstaller
