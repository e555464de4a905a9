#include "platform/host/processes/host_libraries.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "platform/host/machine/host_errors.h"
#include "platform/host/processes/command_line.h"

namespace vtsetup::platform::host {
namespace {

// System libraries whose services the host adapter itself provides: loading them succeeds, and they
// export nothing that anybody calls.
constexpr std::string_view kStandIns[] = {"riched32.dll", "comctl32.dll"};

class LoadedLibrary final : public Library {
 public:
  explicit LoadedLibrary(void* handle) : handle_(handle) {}
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  ~LoadedLibrary() override { ::dlclose(handle_); }

  LibraryFunction Find(const char* name) override {
    return name != nullptr ? reinterpret_cast<LibraryFunction>(::dlsym(handle_, name)) : nullptr;
  }

 private:
  void* handle_;
};

class StandInLibrary final : public Library {
 public:
  LibraryFunction Find(const char*) override { return nullptr; }
};

bool IsStandIn(std::string_view name) {
  for (std::string_view stand_in : kStandIns) {
    if (EqualNoCase(name, stand_in)) {
      return true;
    }
  }
  return false;
}

bool IsRegularFile(const std::string& host_path) {
  struct stat info {};
  return !host_path.empty() && ::stat(host_path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

LibraryLoad LoadHostFile(const std::string& host_path) {
  if (host_path.empty()) {
    return {nullptr, ERR_PATH_NOT_FOUND};
  }
  struct stat info {};
  if (::stat(host_path.c_str(), &info) != 0) {
    return {nullptr, ErrorFromErrno(errno, host_path)};
  }
  if (!S_ISREG(info.st_mode)) {
    return {nullptr, ERR_ACCESS_DENIED};
  }
  if (::access(host_path.c_str(), R_OK) != 0) {
    return {nullptr, ErrorFromErrno(errno, host_path)};
  }
  void* handle = ::dlopen(host_path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    return {nullptr, ERR_BAD_FORMAT};
  }
  return {std::make_unique<LoadedLibrary>(handle), ERR_NONE};
}

}  // namespace

LibraryLoad HostLibraries::Load(const char* path) {
  const std::string given = path != nullptr ? path : "";
  if (given.empty()) {
    return {nullptr, ERR_FILE_NOT_FOUND};
  }
  if (given.find_first_of("\\/:") != std::string::npos) {
    return LoadHostFile(machine_.HostPathFor(given.c_str()));
  }
  // Windows completes only a bare name with ".dll" and looks for it in its own places.
  const std::string name = WithDefaultExtension(given, ".dll");
  if (IsStandIn(name)) {
    return {std::make_unique<StandInLibrary>(), ERR_NONE};
  }
  const std::string here = machine_.HostPathFor(name.c_str());
  if (IsRegularFile(here)) {
    return LoadHostFile(here);
  }
  const std::string in_system = machine_.HostPathFor((machine_.Config().system_folder + "\\" + name).c_str());
  if (IsRegularFile(in_system)) {
    return LoadHostFile(in_system);
  }
  return {nullptr, ERR_FILE_NOT_FOUND};
}

}  // namespace vtsetup::platform::host
