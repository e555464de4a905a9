#pragma once

#include <sys/stat.h>

#include <memory>
#include <string>

#include "platform/host/machine/machine_config.h"
#include "platform/host/machine/name_lookup.h"
#include "platform/host/machine/transcript.h"

namespace vtsetup::platform::host {

class Machine;

struct MachineOpen {
  std::unique_ptr<Machine> machine;  // null on failure
  std::string error;
};

// A Windows path resolved to its host file, with what the resolution saw of it on the way, so that the
// caller need not look again.
struct ResolvedPath {
  std::string host;  // empty when the drive is not mapped
  const DriveConfig* drive = nullptr;
  // lstat() found something at `host`; `info` says what.
  bool seen = false;
  struct stat info {};
  // Nothing at `host` under any case, in a folder that is there.
  bool missing = false;
  // Something below the drive's folder, or the folder itself as a folder, was there: the drive has
  // its medium.
  bool drive_present = false;
};

// The Windows machine that a host run sees, described by its folder: machine.ini with the drives and
// system settings, registry.reg with HKEY_LOCAL_MACHINE. The services of the host adapter share one.
class Machine {
 public:
  // Opens the machine in `root`, creating it with defaults when the folder or its files are missing:
  // the two files, the drive C: folder with Program Files, and the system's folders on mapped drives.
  static MachineOpen Open(const std::string& root, Transcript transcript);
  // The folder that VTSETUP_MACHINE names, else $HOME/.local/share/vtsetup/machine.
  static std::string DefaultRoot();

  const std::string& Root() const { return root_; }
  const MachineConfig& Config() const { return config_; }
  std::string RegistryFile() const { return root_ + "/registry.reg"; }
  const Transcript& Record() const { return transcript_; }

  // The host file for a Windows path: both separators, relative paths from the current folder, a
  // rooted path on the current folder's drive, "." and ".." resolved. Names that exist are found
  // without regard to ASCII case, as Windows finds them; the rest stay as given, so new files get
  // the names the caller chose. Empty when the drive is not mapped.
  std::string HostPathFor(const char* windows_path) const;
  // The same, finding names of another case through `names`.
  ResolvedPath Resolve(const char* windows_path, NameLookup& names) const;
  // The current folder of the process in Windows form; empty when no drive holds it.
  std::string CurrentFolder() const;
  // The absolute Windows path of a Windows path, without touching the disk.
  std::string FullWindowsPath(const char* windows_path) const;
  // The Windows name of an absolute host path, on the drive whose folder holds it most closely.
  // Empty when no drive holds it.
  std::string WindowsPathFor(const std::string& host_path) const;
  // The drive that holds a host path, or null.
  const DriveConfig* DriveHolding(const std::string& host_path) const;

 private:
  Machine(std::string root, MachineConfig config, Transcript transcript);

  std::string root_;
  MachineConfig config_;
  Transcript transcript_;
};

}  // namespace vtsetup::platform::host
