#include "platform/host/machine/host_errors.h"

#include <sys/stat.h>

#include <cerrno>

namespace vtsetup::platform::host {
namespace {

struct KnownText {
  SystemError error;
  const char* text;
};

constexpr KnownText kTexts[] = {
    {ERR_NONE, "The operation completed successfully."},
    {ERR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERR_TOO_MANY_OPEN_FILES, "The system cannot open the file."},
    {ERR_ACCESS_DENIED, "Access is denied."},
    {ERR_INVALID_HANDLE, "The handle is invalid."},
    {ERR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERR_NOT_SAME_DEVICE, "The system cannot move the file to a different disk drive."},
    {ERR_WRITE_PROTECT, "The media is write protected."},
    {ERR_GEN_FAILURE, "A device attached to the system is not functioning."},
    {ERR_SHARING_VIOLATION,
     "The process cannot access the file because it is being used by another process."},
    {ERR_HANDLE_DISK_FULL, "The disk is full."},
    {ERR_FILE_EXISTS, "The file exists."},
    {ERR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERR_NEGATIVE_SEEK, "An attempt was made to move the file pointer before the beginning of the file."},
    {ERR_DIR_NOT_EMPTY, "The directory is not empty."},
    {ERR_ALREADY_EXISTS, "Cannot create a file when that file already exists."},
    {ERR_FILENAME_TOO_LONG, "The filename or extension is too long."},
    {ERR_DIRECTORY, "The directory name is invalid."},
    {ERR_CANT_RESOLVE_FILENAME, "The name of the file cannot be resolved by the system."},
};

}  // namespace

bool ParentFolderExists(const std::string& host_path) {
  const std::string::size_type slash = host_path.find_last_of('/');
  if (slash == std::string::npos) {
    return true;
  }
  const std::string parent = slash == 0 ? std::string("/") : host_path.substr(0, slash);
  struct stat info {};
  return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

SystemError ErrorFromErrno(int error_number, const std::string& host_path) {
  switch (error_number) {
    case 0:
      return ERR_NONE;
    case ENOENT:
      return ParentFolderExists(host_path) ? ERR_FILE_NOT_FOUND : ERR_PATH_NOT_FOUND;
    case ENOTDIR:
      return ERR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EBADF:
    // A pipe, a socket or a device, which the host will not open as a file: Windows answers an open
    // that it will not do on a name with "access denied", as it does for a folder.
    case ENXIO:
      return ERR_ACCESS_DENIED;
    case EEXIST:
      return ERR_FILE_EXISTS;
    case EXDEV:
      return ERR_NOT_SAME_DEVICE;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return ERR_HANDLE_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERR_NOT_ENOUGH_MEMORY;
    case EROFS:
      return ERR_WRITE_PROTECT;
    case EINVAL:
      return ERR_INVALID_PARAMETER;
    case ENAMETOOLONG:
      return ERR_FILENAME_TOO_LONG;
    // A chain of links that never ends at a file: Windows' error for a name it cannot resolve.
    case ELOOP:
      return ERR_CANT_RESOLVE_FILENAME;
    case ENOTEMPTY:
      return ERR_DIR_NOT_EMPTY;
    case ETXTBSY:
    case EBUSY:
      return ERR_SHARING_VIOLATION;
    default:
      return ERR_GEN_FAILURE;
  }
}

TextString ErrorText(SystemError error) {
  for (const KnownText& known : kTexts) {
    if (known.error == error) {
      return TextString(known.text);
    }
  }
  TextString text;
  text.Format("Unknown error %u.", static_cast<unsigned>(error));
  return text;
}

std::string ErrorReason(int error_number, const std::string& host_path) {
  const SystemError error = ErrorFromErrno(error_number, host_path);
  return std::string(ErrorText(error).Data()) + " (error " + std::to_string(error) + ")";
}

}  // namespace vtsetup::platform::host
