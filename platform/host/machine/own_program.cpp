#include "platform/host/machine/own_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

constexpr char kOwnProgram[] = "/proc/self/exe";
constexpr char kOwnArguments[] = "/proc/self/cmdline";
constexpr std::string_view kRemovedMark = " (deleted)";
// Linux keeps at most a few hundred KiB of arguments.
constexpr std::size_t kArgumentsLimit = std::size_t{4} << 20;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::string OwnProgramHostPath() {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink(kOwnProgram, buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) == buffer.size()) {
    return {};
  }
  std::string path(buffer.data(), static_cast<std::size_t>(length));
  // A name that really ends in the mark still names the program's file; only a removed file's name
  // loses it.
  struct stat program {};
  struct stat named {};
  const bool names_program =
      ::stat(kOwnProgram, &program) == 0 && ::stat(path.c_str(), &named) == 0 && SameFile(program, named);
  if (!names_program && path.ends_with(kRemovedMark)) {
    path.resize(path.size() - kRemovedMark.size());
  }
  return path;
}

std::vector<std::string> OwnArguments() {
  const WholeFile whole = ReadWholeFile(kOwnArguments, kArgumentsLimit);
  std::vector<std::string> arguments;
  if (whole.outcome != WholeFileRead::Read) {
    return arguments;
  }
  // Each argument ends with a zero byte.
  std::string_view rest = whole.text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\0');
    arguments.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  return arguments;
}

}  // namespace vtsetup::platform::host
