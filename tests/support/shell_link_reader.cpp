#include "tests/support/shell_link_reader.h"

#include <algorithm>

namespace vtsetup::testing {
namespace {

using Bytes = std::vector<unsigned char>;

// A reader of the documented Shell Link layout that knows nothing of the writer: every field is read
// at its documented offset, and a read past the end marks the file as broken.
struct LinkReader {
  std::uint64_t Number(std::size_t at, std::size_t size) {
    std::uint64_t value = 0;
    broken = broken || at + size > bytes.size();
    for (std::size_t i = size; i-- > 0 && at + size <= bytes.size();) {
      value = value << 8 | bytes[at + i];
    }
    return value;
  }
  std::uint32_t U16(std::size_t at) { return static_cast<std::uint32_t>(Number(at, 2)); }
  std::uint32_t U32(std::size_t at) { return static_cast<std::uint32_t>(Number(at, 4)); }
  std::string ZeroTerminated(std::size_t at) {
    std::string text;
    for (; at < bytes.size() && bytes[at] != 0; ++at) {
      text += static_cast<char>(bytes[at]);
    }
    broken = broken || at >= bytes.size();
    return text;
  }
  // A StringData entry at `at`, which moves past it.
  std::u16string Counted(std::size_t& at) {
    const std::uint32_t count = U16(at);
    std::u16string text;
    for (std::uint32_t i = 0; i < count && !broken; ++i) {
      text += static_cast<char16_t>(U16(at + 2 + 2 * i));
    }
    at += 2 + 2 * count;
    return text;
  }

  const Bytes& bytes;
  bool broken = false;
};

}  // namespace

ParsedLink ParseLink(const Bytes& bytes) {
  LinkReader read{bytes};
  ParsedLink link;
  link.header_size = read.U32(0x00);
  link.clsid.assign(bytes.begin() + std::min<std::size_t>(4, bytes.size()),
                    bytes.begin() + std::min<std::size_t>(20, bytes.size()));
  link.flags = read.U32(0x14);
  link.attributes = read.U32(0x18);
  link.creation = read.Number(0x1C, 8);
  link.access = read.Number(0x24, 8);
  link.write = read.Number(0x2C, 8);
  link.file_size = read.U32(0x34);
  link.icon_index = read.U32(0x38);
  link.show_command = read.U32(0x3C);
  link.hot_key = read.U16(0x40);
  link.reserved = read.U16(0x42) | read.U32(0x44) | read.U32(0x48);
  std::size_t at = link.header_size;
  if ((link.flags & kHasLinkTargetIdList) != 0) {
    at += 2 + read.U16(at);
  }
  if ((link.flags & kHasLinkInfo) != 0) {
    const std::size_t info = at;
    const std::uint32_t info_size = read.U32(info);
    link.info_header_size = read.U32(info + 4);
    link.info_flags = read.U32(info + 8);
    if ((link.info_flags & 1) != 0) {
      const std::size_t volume = info + read.U32(info + 12);
      link.volume_size = read.U32(volume);
      link.drive_type = read.U32(volume + 4);
      link.serial = read.U32(volume + 8);
      link.label = read.ZeroTerminated(volume + read.U32(volume + 12));
      link.local_base_path = read.ZeroTerminated(info + read.U32(info + 16));
    }
    if ((link.info_flags & 2) != 0) {
      const std::size_t network = info + read.U32(info + 20);
      link.network_flags = read.U32(network + 4);
      link.net_name = read.ZeroTerminated(network + read.U32(network + 8));
      link.device_name_offset = read.U32(network + 12);
    }
    const std::size_t suffix = info + read.U32(info + 24);
    link.suffix = read.ZeroTerminated(suffix);
    link.info_ends_after_suffix = suffix + link.suffix.size() + 1 == info + info_size;
    at = info + info_size;
  }
  for (const std::uint32_t flag :
       {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
    if ((link.flags & flag) == 0) {
      continue;
    }
    const std::u16string text = read.Counted(at);
    (flag == kHasName ? link.name : flag == kHasWorkingDir ? link.working_folder : link.other) = text;
  }
  link.terminal = read.U32(at);
  link.ends_after_terminal = at + 4 == bytes.size();
  link.broken = read.broken;
  return link;
}

}  // namespace vtsetup::testing
