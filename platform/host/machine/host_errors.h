#pragma once

#include <string>

#include "base/text_string.h"
#include "platform/errors.h"

namespace vtsetup::platform::host {

// The Windows error number for a failed host call. ENOENT splits as on Windows: a missing file in an
// existing folder is ERR_FILE_NOT_FOUND, a missing folder on the way is ERR_PATH_NOT_FOUND.
SystemError ErrorFromErrno(int error_number, const std::string& host_path);
// Whether the folder that would hold `host_path` exists; a bare name is in the current folder.
bool ParentFolderExists(const std::string& host_path);

// The English text Windows gives for the numbers the system meets; other numbers get a generic text.
TextString ErrorText(SystemError error);
// Why a host file could not be used, for a person: the Windows text and number of a failed host call,
// such as "Access is denied. (error 5)".
std::string ErrorReason(int error_number, const std::string& host_path);

}  // namespace vtsetup::platform::host
