#include "platform/host/registry/registry_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/host/machine/host_errors.h"
#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

constexpr std::size_t kMaxFileSize = std::size_t{8} << 20;

}  // namespace

RegistryLoad RegistryFile::Read() const {
  const WholeFile whole = ReadWholeFile(path_, kMaxFileSize);
  switch (whole.outcome) {
    case WholeFileRead::Read:
      return {RegistryText::Parse(whole.text), ERR_NONE};
    case WholeFileRead::Missing:
      return {RegistryText::Parse(""), ERR_NONE};
    case WholeFileRead::TooLarge:
      return {{}, ERR_NOT_ENOUGH_MEMORY};
    case WholeFileRead::Failed:
      break;
  }
  return {{}, ErrorFromErrno(whole.error_number, path_)};
}

SystemError RegistryFile::Change(const std::function<bool(RegistryText&)>& change) const {
  const std::string lock_path = path_ + ".lock";
  const UniqueDescriptor lock(::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
  if (lock.Get() < 0) {
    return ErrorFromErrno(errno, lock_path);
  }
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      return ErrorFromErrno(errno, lock_path);
    }
  }
  RegistryLoad load = Read();
  if (load.error != ERR_NONE) {
    return load.error;
  }
  if (!change(load.text)) {
    return ERR_NONE;
  }
  const int error = ReplaceWholeFile(path_, load.text.Format());
  return error == 0 ? ERR_NONE : ErrorFromErrno(error, path_);
}

}  // namespace vtsetup::platform::host
