#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/drives.h"

namespace vtsetup::platform::host {

// What a ".LNK" file records about its target. Texts are in the ANSI code page (1250).
struct ShellLinkFields {
  // "X:\..." or "\\server\share\..."; empty for a link without a target. At most 259 characters.
  std::string target;
  std::string description;                    // none when empty; at most 65535 characters
  std::string working_folder;                 // none when empty; at most 65535 characters
  DriveType drive_type = DriveType::Unknown;  // of a target on a drive
  // Of the target when it exists, zero otherwise; times as FILETIME, the size's low 32 bits.
  std::uint32_t file_attributes = 0;
  std::uint64_t creation_time = 0;
  std::uint64_t access_time = 0;
  std::uint64_t write_time = 0;
  std::uint32_t file_size = 0;
};

// The file in the documented Shell Link binary format: the header, LinkInfo, the StringData in UTF-16
// and the terminal block. LinkInfo locates the target by its volume and local path, or for a UNC target
// by its share and the rest of the path. There is no LinkTargetIDList: its items are the shell
// namespace's own binary records, which each shell folder lays out as it likes, and LinkInfo alone is
// a complete link that the shell resolves by path.
std::vector<unsigned char> ShellLinkFileBytes(const ShellLinkFields& fields);

}  // namespace vtsetup::platform::host
