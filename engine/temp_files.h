#pragma once

#include <cstdint>

#include "app/messages.h"
#include "base/text_string.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "setupdb/setup_info.h"

namespace vtsetup {

inline constexpr std::int32_t TEMP_OK = 0;
inline constexpr std::int32_t TEMP_COPY_FAILED = 9;
inline constexpr std::int32_t TEMP_DELETE_STOPPED = 10;

// Where a temporary file lands: its name without the folders of its path. Empty when that name would
// leave the temporary folder (a "..", a drive, a separator of the other kind), so such an entry is
// never written or deleted.
TextString TempFileName(const FileEntry& entry);

// Copies the database's temporary files into the system's temporary folder, which it stores into
// `temp_folder`, while the preparing dialog shows their progress as one set. The window thread's
// messages are pumped before each file (by PumpOne until the queue is empty), so the dialog keeps
// answering. TEMP_COPY_FAILED at the first file that could not be copied; the ones before stay.
std::int32_t CopyTempFiles(platform::FileSystem& files, platform::UserInterface& ui, const SetupInfo& info,
                           const char* source_folder, TextString& temp_folder,
                           platform::Window progress_window, std::uint16_t progress_control);

// Removes the temporary files again; a file that cannot be removed asks whether to go on with the
// others, and No leaves them in place (TEMP_DELETE_STOPPED). Nothing is touched without a temporary
// folder.
std::int32_t DeleteTempFiles(platform::FileSystem& files, app::Messages& messages, const SetupInfo& info,
                             const TextString& temp_folder);

}  // namespace vtsetup
