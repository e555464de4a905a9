#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/file_system.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

// Results of reading and writing "SETUP.INF". Start-up tells the user by them, and setupc hands them
// on as its exit status.
enum class SetupFileResult {
  SETUP_FILE_OK = 0,
  SETUP_FILE_CANNOT_OPEN = 2,
  SETUP_FILE_WRITE_FAILED = 6,
  SETUP_FILE_READ_FAILED = 7,
  SETUP_FILE_INVALID = 8,  // wrong magic, wrong version or checksum mismatch
};
using enum SetupFileResult;

inline constexpr char SETUP_FILE_MAGIC[4] = {'V', 'T', 'S', 'I'};
inline constexpr std::uint32_t SETUP_FILE_VERSION = 6;
inline constexpr std::uint32_t SETUP_FILE_CHECKSUM_POSITION = 8;
inline constexpr std::uint32_t SETUP_FILE_BODY_OFFSET = 12;
inline constexpr std::uint32_t SETUP_FILE_OPTIONS_BLOCK_SIZE = 24;

// Told the percentage reached before each pack is read, for the progress dialog of start-up.
using SetupFileProgress = std::function<void(std::uint32_t percent)>;

// Loads a whole database. On SETUP_FILE_OK `info` holds the tree; on failure it is left empty. Failures
// also leave German diagnostics on the standard output. Sets the program-wide checksum flag from the
// loaded options.
SetupFileResult ReadSetupFile(platform::FileSystem& files, const char* path, std::unique_ptr<SetupInfo>& info,
                              const SetupFileProgress& progress = {});

// Stores a database, replacing the file. Fails when GroupName is absent. A failure after the file was
// created leaves it partly written.
SetupFileResult WriteSetupFile(platform::FileSystem& files, const SetupInfo& info, const char* path);

// Stores a database in place of the file at `path` in one step: written whole under a new name beside
// it and moved over it only then, so that a reader meanwhile sees the old database or the new one and
// a failure (a full disk, a failing write, something at `path` that is no file to replace) leaves the
// old file as it was and nothing beside it. The diagnostics are WriteSetupFile's, naming `path`.
// `reason` is the system's error of the failure; ERR_NONE when there was none (a short write, a tree
// that the file cannot hold).
SetupFileResult ReplaceSetupFile(platform::FileSystem& files, const SetupInfo& info, const char* path,
                                 platform::SystemError& reason);

}  // namespace vtsetup
