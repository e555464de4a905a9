#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace vtsetup::platform::host {

struct DriveConfig {
  char letter = 'C';   // upper case
  std::string folder;  // absolute host folder
  DriveType type = DriveType::Fixed;
  std::optional<std::uint64_t> free_bytes;  // a quota: writes past it fail as on a full disk
  std::optional<std::uint64_t> total_bytes;
  std::optional<std::uint32_t> cluster_size;
  // A medium of a writable kind whose protection is on (the tab of a floppy, a locked card): it refuses
  // every change as a CD-ROM does.
  bool read_only = false;
};

// What machine.ini says. Folders of the [System] section are Windows paths on a mapped drive.
struct MachineConfig {
  std::vector<DriveConfig> drives;  // in letter order
  std::string temp_folder = "C:\\Windows\\Temp";
  std::string programs_folder = "C:\\Windows\\Start Menu\\Programs";
  std::string desktop_folder = "C:\\Windows\\Desktop";
  std::string system_folder = "C:\\Windows\\System";
  std::uint32_t screen_width = 1024;
  std::uint32_t screen_height = 768;
  bool accept_restart = true;
  std::uint32_t code_page = 1250;
  SystemVersion version{4, 10, 2222};
  // Whether the system has the extended free-space query for large FAT32 drives; without it callers
  // fall back to the plain query.
  bool extended_free_space = true;
  // Whether the plain free-space query reports at most 2 GiB, as the systems that have the extended
  // query do, so that a large drive looks small to a caller that trusts the plain one.
  bool cap_plain_free_space = false;

  const DriveConfig* Drive(char letter) const;
};

struct ConfigParse {
  std::optional<MachineConfig> config;  // empty on failure
  std::string error;                    // names the file and the line
};

// machine.ini is ours alone, so it is read strictly: an unknown section or key, a line that is no
// entry, a repeated key or a value out of range is an error that names its line, rather than a
// machine that silently differs from what its author wrote. Relative drive folders are taken from
// `root`, the machine's folder.
ConfigParse ParseMachineConfig(const std::string& text, const std::string& root,
                               const std::string& file_name);

// The machine.ini of a fresh machine: drive C: in the folder drive_c, Z: as the host's root.
std::string DefaultMachineIni();

}  // namespace vtsetup::platform::host
