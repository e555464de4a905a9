#include "platform/host/machine/machine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/ascii.h"
#include "platform/host/machine/host_errors.h"
#include "platform/host/machine/whole_file.h"

namespace vtsetup::platform::host {
namespace {

namespace fs = std::filesystem;

// What every Windows installation has of the keys that setups read and write: the program-files folder
// and the list of uninstallable programs, which exists (empty) before the first program registers.
constexpr char kDefaultRegistry[] =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall]\r\n"
    "\r\n";

constexpr std::size_t kMachineIniLimit = std::size_t{1} << 20;

bool Exists(const std::string& host_path) {
  struct stat info {};
  return ::lstat(host_path.c_str(), &info) == 0;
}

// The name in `folder` that equals `name` without regard to ASCII case; the exact name wins.
std::string FindNoCase(const std::string& folder, const std::string& name, NameLookup& names) {
  const std::string exact = folder + (folder == "/" ? "" : "/") + name;
  if (Exists(exact)) {
    return name;
  }
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return {};
  }
  return names.FindName(folder, info, name).value_or("");
}

// A full Windows path split into its drive letter and its components, "." and ".." resolved; ".." at
// the root stays there, as on Windows.
struct WindowsPath {
  char drive = 0;
  std::vector<std::string> parts;
};

WindowsPath Split(const std::string& path) {
  WindowsPath split;
  std::size_t at = 0;
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    split.drive = AsciiUpper(path[0]);
    at = 2;
  }
  std::string part;
  for (; at <= path.size(); ++at) {
    if (at == path.size() || path[at] == '\\' || path[at] == '/') {
      if (part == "..") {
        if (!split.parts.empty()) {
          split.parts.pop_back();
        }
      } else if (!part.empty() && part != ".") {
        split.parts.push_back(part);
      }
      part.clear();
    } else {
      part += path[at];
    }
  }
  return split;
}

}  // namespace

Machine::Machine(std::string root, MachineConfig config, Transcript transcript)
    : root_(std::move(root)), config_(std::move(config)), transcript_(std::move(transcript)) {}

std::string Machine::DefaultRoot() {
  if (const char* root = std::getenv("VTSETUP_MACHINE"); root != nullptr && *root != '\0') {
    return root;
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share/vtsetup/machine";
}

MachineOpen Machine::Open(const std::string& root_text, Transcript transcript) {
  // Every look at the disk here takes an error code: a machine folder that a person broke (a link that
  // loops, a pipe in place of a file) must give a message, never an exception.
  std::error_code error;
  const fs::path root = fs::absolute(root_text, error).lexically_normal();
  fs::create_directories(root, error);
  if (!fs::is_directory(root, error)) {
    return {nullptr, "cannot create the machine folder " + root.string()};
  }
  // Only a name that is not there at all is made; anything else under it (a link to nowhere, a link
  // that loops) is the person's, kept, and read or refused.
  const std::string ini_path = (root / "machine.ini").string();
  if (!Exists(ini_path) && ReplaceWholeFile(ini_path, DefaultMachineIni()) != 0) {
    return {nullptr, "cannot write " + ini_path};
  }
  const std::string registry_path = (root / "registry.reg").string();
  if (!Exists(registry_path) && ReplaceWholeFile(registry_path, kDefaultRegistry) != 0) {
    return {nullptr, "cannot write " + registry_path};
  }
  const WholeFile ini = ReadWholeFile(ini_path, kMachineIniLimit);
  if (ini.outcome == WholeFileRead::TooLarge) {
    return {nullptr,
            "cannot read " + ini_path + ": it is larger than " + std::to_string(kMachineIniLimit) + " bytes"};
  }
  if (ini.outcome != WholeFileRead::Read) {
    return {nullptr, "cannot read " + ini_path + ": " + ErrorReason(ini.error_number, ini_path)};
  }
  ConfigParse parse = ParseMachineConfig(ini.text, root.string(), ini_path);
  if (!parse.config) {
    return {nullptr, parse.error};
  }
  for (DriveConfig& drive : parse.config->drives) {
    // A drive folder inside the machine's own folder belongs to the machine and is made when missing;
    // one elsewhere is somebody else's (a medium, the host's root) and is taken as it is.
    const fs::path relative = fs::path(drive.folder).lexically_relative(root);
    if (!relative.empty() && *relative.begin() != "..") {
      fs::create_directories(drive.folder, error);
    }
    // Drive folders are compared with the host's own paths, which name no links.
    if (const fs::path canonical = fs::canonical(drive.folder, error); !error) {
      drive.folder = canonical.string();
    }
  }
  std::unique_ptr<Machine> machine(
      new Machine(root.string(), std::move(*parse.config), std::move(transcript)));
  // The folders that Windows always has; only those on a drive of this machine can be made.
  const std::string always[] = {"C:\\Program Files", machine->config_.temp_folder,
                                machine->config_.programs_folder, machine->config_.desktop_folder,
                                machine->config_.system_folder};
  for (const std::string& folder : always) {
    const std::string host = machine->HostPathFor(folder.c_str());
    if (!host.empty() && machine->config_.Drive(folder[0]) != nullptr &&
        fs::exists(machine->config_.Drive(folder[0])->folder, error)) {
      fs::create_directories(host, error);
    }
  }
  return {std::move(machine), ""};
}

std::string Machine::CurrentFolder() const {
  std::vector<char> buffer(4096);
  const char* current = ::getcwd(buffer.data(), buffer.size());
  return current != nullptr ? WindowsPathFor(current) : std::string();
}

std::string Machine::FullWindowsPath(const char* windows_path) const {
  const std::string given(windows_path != nullptr ? windows_path : "");
  const bool has_drive =
      given.size() >= 2 && given[1] == ':' && std::isalpha(static_cast<unsigned char>(given[0]));
  const std::string rest = has_drive ? given.substr(2) : given;
  const bool rooted = !rest.empty() && (rest[0] == '\\' || rest[0] == '/');
  std::string text = given;
  if (!has_drive || !rooted) {
    const std::string current = CurrentFolder();
    const char drive = has_drive ? AsciiUpper(given[0]) : (current.empty() ? 'Z' : current[0]);
    if (rooted) {
      text = std::string(1, drive) + ":" + rest;
    } else if (!current.empty() && current[0] == drive) {
      text = current + "\\" + rest;
    } else {
      // Windows keeps a current folder per drive; no caller of ours relies on it, so another drive's
      // relative path starts at its root.
      text = std::string(1, drive) + ":\\" + rest;
    }
  }
  const WindowsPath split = Split(text);
  std::string full = std::string(1, split.drive) + ":";
  for (const std::string& part : split.parts) {
    full += "\\" + part;
  }
  if (split.parts.empty() || (!given.empty() && (given.back() == '\\' || given.back() == '/'))) {
    full += "\\";
  }
  return full;
}

std::string Machine::HostPathFor(const char* windows_path) const {
  ListingLookup listing;
  return Resolve(windows_path, listing).host;
}

ResolvedPath Machine::Resolve(const char* windows_path, NameLookup& names) const {
  ResolvedPath resolved;
  const WindowsPath split = Split(FullWindowsPath(windows_path));
  resolved.drive = config_.Drive(split.drive);
  if (resolved.drive == nullptr) {
    return resolved;
  }
  std::string as_given = resolved.drive->folder;
  for (const std::string& part : split.parts) {
    as_given += (as_given == "/" ? "" : "/") + part;
  }
  const std::string given(windows_path != nullptr ? windows_path : "");
  const bool folder_form = !given.empty() && (given.back() == '\\' || given.back() == '/') && as_given != "/";
  const auto resolved_as = [&](const std::string& host) {
    resolved.host = folder_form ? host + "/" : host;
    return resolved;
  };
  // The folder that holds the last name, when there is one: the drive's folder at least.
  const std::string folder = as_given.substr(0, as_given.rfind('/'));
  const std::string folder_path = folder.empty() ? "/" : folder;
  const std::string last_name = split.parts.empty() ? std::string() : split.parts.back();
  struct stat folder_info {};
  // Where the names of the folder are kept, they tell in one question whether the name is there, which
  // spares the look at a name about to be made.
  if (!split.parts.empty() && names.Keeps(folder_path) && ::stat(folder_path.c_str(), &folder_info) == 0 &&
      S_ISDIR(folder_info.st_mode)) {
    if (const std::optional<std::string> found = names.FindName(folder_path, folder_info, last_name)) {
      resolved.drive_present = true;
      resolved.missing = found->empty() && !folder_form;
      return resolved_as(folder + "/" + (found->empty() ? last_name : *found));
    }
  }
  // Most callers spell names as they are; one look settles those.
  if (::lstat(as_given.c_str(), &resolved.info) == 0) {
    resolved.seen = true;
    resolved.drive_present = !split.parts.empty() || S_ISDIR(resolved.info.st_mode);
    return resolved_as(as_given);
  }
  const int look_error = errno;
  // A file about to be made usually lies in a folder spelt as it is: then only its own name is looked
  // for, and the folder's levels are not walked again.
  if (!split.parts.empty() && ::stat(folder_path.c_str(), &folder_info) == 0) {
    std::string found;
    if (S_ISDIR(folder_info.st_mode)) {
      found = names.FindName(folder_path, folder_info, last_name).value_or("");
      resolved.drive_present = true;
      resolved.missing = found.empty() && look_error == ENOENT && !folder_form;
    }
    return resolved_as(folder + "/" + (found.empty() ? last_name : found));
  }
  std::string host = resolved.drive->folder;
  bool resolving = true;
  for (const std::string& part : split.parts) {
    // Once a level is missing nothing below it can exist, so the rest keeps the caller's spelling.
    const std::string found = resolving ? FindNoCase(host, part, names) : std::string();
    resolving = !found.empty();
    host += (host == "/" ? "" : "/") + (resolving ? found : part);
  }
  return resolved_as(host);
}

const DriveConfig* Machine::DriveHolding(const std::string& host_path) const {
  const DriveConfig* best = nullptr;
  for (const DriveConfig& drive : config_.drives) {
    const std::string& folder = drive.folder;
    const bool holds =
        folder == "/" || (host_path.compare(0, folder.size(), folder) == 0 &&
                          (host_path.size() == folder.size() || host_path[folder.size()] == '/'));
    if (holds && (best == nullptr || folder.size() > best->folder.size())) {
      best = &drive;
    }
  }
  return best;
}

std::string Machine::WindowsPathFor(const std::string& host_path) const {
  const DriveConfig* drive = DriveHolding(host_path);
  if (drive == nullptr) {
    return {};
  }
  std::string rest = drive->folder == "/" ? host_path : host_path.substr(drive->folder.size());
  std::string windows = std::string(1, drive->letter) + ":";
  if (rest.empty() || rest[0] != '/') {
    rest.insert(rest.begin(), '/');
  }
  for (char c : rest) {
    windows += c == '/' ? '\\' : c;
  }
  return windows;
}

}  // namespace vtsetup::platform::host
