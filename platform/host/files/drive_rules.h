#pragma once

#include <string>

#include "platform/errors.h"
#include "platform/host/machine/machine.h"

namespace vtsetup::platform::host {

// What a drive's medium allows, with the errors Windows gives.
//
// A drive whose folder is missing has no medium in it: whatever reaches for it is told ERR_NOT_READY, as
// Windows answers for an empty CD-ROM or floppy drive. The machine makes the folders of its own drives,
// so this is a medium folder elsewhere that is gone.
//
// A medium that cannot be written refuses every change (a creation, an open that may write or truncates,
// a deletion, a new folder) and allows reading:
// - a CD-ROM drive with ERR_ACCESS_DENIED, as the CD file system refuses every open that could write or
//   create and every deletion;
// - a drive of a writable kind marked ReadOnly with ERR_WRITE_PROTECT ("The media is write protected"),
//   as a FAT volume on write-protected media answers.
// The drive that holds the file refuses, whichever of the machine's names reaches it, as quotas are
// counted there too.

// The drive has its medium: its folder is there.
bool HasMedium(const DriveConfig& drive);
// The error with which the drive that holds a host file refuses changes, or ERR_NONE where it allows
// them.
SystemError ChangeRefusal(const Machine& machine, const std::string& host_path);
// ERR_ACCESS_DENIED when a link on the way to the host file, its own name aside, leads off the drive
// whose folder the path names: what is removed through a drive is on that drive, never a file that a
// link planted in a game's folder points at. ERR_NONE otherwise, and when the way cannot be resolved,
// which the removal itself then reports.
SystemError LinkRefusal(const Machine& machine, const std::string& host_path);
// Whether a new file or folder would be made at the host path: nothing is there and its folder exists.
// Where it would not, the change fails anyway, and as it would on a writable drive.
bool WouldBeMade(const std::string& host_path);

}  // namespace vtsetup::platform::host
