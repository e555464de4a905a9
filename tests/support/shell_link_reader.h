#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vtsetup::testing {

// A ".LNK" file read back field by field at the documented offsets of the Shell Link binary format,
// knowing nothing of the writer.
struct ParsedLink {
  std::uint32_t header_size = 0;
  std::vector<unsigned char> clsid;
  std::uint32_t flags = 0;
  std::uint32_t attributes = 0;
  std::uint64_t creation = 0, access = 0, write = 0;
  std::uint32_t file_size = 0, icon_index = 0, show_command = 0, hot_key = 0, reserved = 0;
  // LinkInfo
  std::uint32_t info_header_size = 0, info_flags = 0;
  std::uint32_t volume_size = 0, drive_type = 0, serial = 0;
  std::string label, local_base_path, net_name, suffix;
  std::uint32_t network_flags = 0, device_name_offset = 0;
  bool info_ends_after_suffix = false;
  // StringData
  std::u16string name, working_folder, other;
  std::uint32_t terminal = 0xFFFFFFFF;
  bool ends_after_terminal = false;
  bool broken = false;
};

// LinkFlags.
inline constexpr std::uint32_t kHasLinkTargetIdList = 0x01, kHasLinkInfo = 0x02, kHasName = 0x04,
                               kHasRelativePath = 0x08, kHasWorkingDir = 0x10, kHasArguments = 0x20,
                               kHasIconLocation = 0x40, kIsUnicode = 0x80;

// A read past the end marks the link as broken.
ParsedLink ParseLink(const std::vector<unsigned char>& bytes);

}  // namespace vtsetup::testing
